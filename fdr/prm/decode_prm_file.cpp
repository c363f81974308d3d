#include "fdr/prm/decode_prm_file.h"

#include <cstdio>
#include <string>

#include "fdr/prm/hex_text.h"
#include "fdr/prm/prm_report.h"

namespace fdr {

namespace {

void TraceSummary(const PrmContent& content, std::string_view fileName, std::ostream& trace) {
    trace << "\n==========  " << fileName << "  ==========\n"
          << "VChecksum = " << hexText(content.vChecksum, 8) << "\n"
          << "FileChecksum = " << hexText(content.fileChecksum, 8)
          << (content.checksumGood ? "  (Good)" : "  (FAIL)") << "\n"
          << "ConfigChecksum = " << hexText(content.configChecksum, 8) << "\n"
          << "Config Date = " << content.configDate << "\n"
          << "Config Time = " << content.configTime << "\n"
          << "Config Creator Version = " << content.creatorVersion << "\n"
          << "Config File Size = " << content.configFileSize << "\n";
    if (!content.assemblies.empty()) {
        trace << "\nInstance    Type        Size  RegType   DataID  BlockSize\n";
        for (const PrmAssembly& a : content.assemblies) {
            char line[128];
            std::snprintf(line, sizeof line, "%8lu  %u %-6s  %6u  %7u  %7lu  %9u\n",
                          static_cast<unsigned long>(a.instance), unsigned{a.type},
                          std::string(assemblyTypeName(a.type)).c_str(), unsigned{a.size},
                          unsigned{a.registerType}, static_cast<unsigned long>(a.dataId),
                          unsigned{a.blockSize});
            trace << line;
        }
    }
    if (!content.variables.empty()) {
        trace << "\nRegister  Type       Length  Value\n";
        for (const PrmVariable& v : content.variables) {
            char line[64];
            std::snprintf(line, sizeof line, "%8u  %2u %-6s  %6u  ", unsigned{v.eipRegister},
                          unsigned{v.type}, std::string(eipTypeName(v.type)).c_str(),
                          unsigned{v.typeLength});
            trace << line;
            if (v.type == eipString)
                trace << "'" << reportSafe(v.text) << "'\n";
            else if (v.type == eipReal)
                trace << showReal(v.single) << "\n";
            else
                trace << v.integer << "\n";
        }
    }
    for (const std::string& fault : content.faults)
        trace << "Decode Error: " << fault << "\n";
}

}  // namespace

PrmContent decodePrmFile(std::span<const uint8_t> bytes, std::string_view fileName,
                         ReportTexts& reports, std::ostream& trace) {
    const PrmContent content = decodePrmContent(bytes, trace);
    TraceSummary(content, fileName, trace);
    appendPrmReports(content, fileName, reports);
    return content;
}

}  // namespace fdr
