#include "fdr/prm/prm_report.h"

#include <cstdio>
#include <string>

#include "fdr/prm/hex_text.h"

namespace fdr {

namespace {

constexpr std::string_view kBoxLine =
    "\r\n\t                                +----------------------+";

bool IsIntegerType(unsigned type) {
    return type == eipBool || type == eipUint || type == eipInt || type == eipByte ||
           type == eipWord || type == eipDword;
}

std::string FileLines(const PrmContent& content, std::string_view fileName) {
    std::string text = "\r\n\r\n" + reportSafe(fileName);
    text += kBoxLine;
    text += "\r\n\tConfig Checksum =     " + hexText(content.configChecksum, 8);
    text += kBoxLine;
    text += content.checksumGood ? "\r\n\tFile Checksum =  Good" : "\r\n\tFile Checksum =  FAIL";
    if (content.headerComplete) {
        text += "\r\n\tConfig Date = " + content.configDate;
        text += "\r\n\tConfig Time = " + content.configTime;
        text += "\r\n\tConfig Creator Version = " + content.creatorVersion;
        text += "\r\n\tConfig File Size = " + std::to_string(content.configFileSize);
    }
    for (const std::string& fault : content.faults)
        text += "\r\n\tDecode Error: " + fault;
    return text;
}

std::string AssemblyTable(const PrmContent& content) {
    std::string text = "\r\n";
    text += "\r\n\tAssmebly\tType\tID\tAssemblySize";
    text += "\r\n\t--------------\t\t--------------\t---------\t-----------------------";
    for (const PrmAssembly& assembly : content.assemblies) {
        if (assembly.type == 0)
            continue;
        text += "\r\n\t" + std::to_string(assembly.instance) + "\t\t" +
                std::to_string(assembly.type) + " " + std::string(assemblyTypeName(assembly.type)) +
                "\t" + std::to_string(assembly.dataId) + "\t" + std::to_string(assembly.size);
    }
    return text;
}

// The value as the reports write it; empty for a type that has none.
std::string ValueText(const PrmVariable& variable) {
    if (IsIntegerType(variable.type))
        return std::to_string(variable.integer);
    if (variable.type == eipReal)
        return showReal(variable.single);
    if (variable.type == eipString)
        return reportSafe(variable.text);
    return {};
}

void AppendVariables(const PrmContent& content, std::string_view fileName, ReportTexts& reports) {
    std::string& high = reports[highDetail];
    high += "\r\n";
    high += "\r\n\tInstance\tType\t\tValue";
    high += "\r\n\t--------------\t-----------------\t--------------------------------------";
    // The Some report names the first three values of the maker's own modules only.
    const bool labelled = fileName.find("KRT") != std::string_view::npos ||
                          fileName.find("IBS") != std::string_view::npos;
    for (std::size_t t = 1; t <= content.variables.size(); ++t) {
        const PrmVariable& variable = content.variables[t - 1];
        const bool isInteger = IsIntegerType(variable.type);
        if (!isInteger && variable.type != eipReal && variable.type != eipString)
            continue;
        const std::string value = ValueText(variable);
        high += "\r\n\t" + std::to_string(variable.eipRegister) + "\t" +
                std::to_string(variable.type) + " " + std::string(eipTypeName(variable.type)) +
                (isInteger ? "\t\t" : "\t") + value;
        if (labelled && t <= 3) {
            if (variable.type == eipString)
                reports[someDetail] +=
                    "\r\n\t" + std::string(variableLabel[t]) + " = '" + value + "'";
            else
                reports[someDetail] += "\r\n\t" + value;
        }
    }
}

}  // namespace

void appendPrmReports(const PrmContent& content, std::string_view fileName, ReportTexts& reports) {
    const std::string fileLines = FileLines(content, fileName);
    reports[highDetail] += fileLines;
    reports[someDetail] += fileLines;
    if (!content.assemblies.empty())
        reports[highDetail] += AssemblyTable(content);
    if (!content.variables.empty())
        AppendVariables(content, fileName, reports);
}

}  // namespace fdr
