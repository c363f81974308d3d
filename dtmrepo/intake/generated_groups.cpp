#include "dtmrepo/intake/generated_groups.h"

#include <algorithm>
#include <array>

#include "dtmrepo/intake/keyword_lines.h"
#include "dtmrepo/parser/number_text.h"
#include "dtmrepo/parser/vocabulary.h"

namespace dtmrepo {

void writeInformationGroup(const InformationValues& values, std::vector<std::string>& out) {
    struct Variable {
        std::string_view name, label;
        const std::string& value;
    };
    static const std::string kDllVersion = "N/A";
    const std::array<Variable, 4> variables = {{
        {"DTM_FileName", "DTM File Name", values.fileName},
        {"DTM_FileVersion", "DTM File Version", values.fileVersion},
        {"DTM_UTILVersion", "DTM Utility Version", values.utilityVersion},
        {"DTM_DLLVersion", "DTM DLL Version", kDllVersion},
    }};
    out.insert(out.end(), {" ", "\tParGroup, Info_Setting", "\tParGAccess, GUIControl",
                           "\tParGLabl,en-us, Information Only", "\t "});
    for (size_t i = 0; i < variables.size(); ++i) {
        const Variable& v = variables[i];
        out.push_back("\t\tvarHeading, configVars");
        out.push_back("\t\tvarLength, " + std::to_string(v.value.size()));
        out.push_back("\t\tvarType, string");
        out.push_back("\t\tvarName, " + std::string(v.name));
        out.push_back("\t\tvarLabel,en-us, " + std::string(v.label));
        out.push_back("\t\tvardefault, " + v.value);
        out.push_back("\t\tvarAccess, read");
        out.push_back(i + 1 < variables.size() ? "\t\t " : "\t ");
    }
    out.insert(out.end(), {"\tendParGroup", " "});
}

void writeIoStructureGroup(const std::vector<std::string>& ioLines, std::vector<std::string>& out) {
    out.insert(out.end(), {" ", "\tParGroup, IO_Setting", "\tParGAccess, GUIControl",
                           "\tParGLabl,en-us, I/O Structure", " "});
    std::string path;
    std::string length;
    std::string defaultText;
    bool anyKeyword = false;
    int number = 0;
    for (const std::string& line : ioLines) {
        if (!line.empty() && line.front() == '#') {
            continue;
        }
        const std::string upper = upperCase(line);
        if (upper.find("ASSEMBLYPATH,") != std::string::npos) {
            anyKeyword = true;
            path = canonicalText(numericValue(keywordValue(line)));
        }
        if (upper.find("VARLENGTH,") != std::string::npos) {
            anyKeyword = true;
            length = keywordValue(line);
        }
        if (upper.find("VARTYPE,") != std::string::npos) {
            anyKeyword = true;
            std::string type = upperCase(keywordValue(line));
            const size_t first = type.find_first_not_of('\t');
            type = first == std::string::npos ? std::string() : type.substr(first);
            type.erase(type.find_last_not_of(' ') + 1);  // all of it when only blanks remain
            std::replace(type.begin(), type.end(), ',', ';');
            defaultText = "varDefault, " + path + ";" + type;
            if (type.find("STRING") != std::string::npos) {
                defaultText += ";" + length;
            }
        }
        if (upper.find("VARNAME,") != std::string::npos) {
            anyKeyword = true;
            defaultText += ":" + keywordValue(line);
            const std::string n = std::to_string(number++);
            // The length of the default less its "varDefault," keyword.
            const long long size = static_cast<long long>(defaultText.size()) - 11;
            out.insert(out.end(), {" ", "\t\tvarHeading, configVars",
                                   "\t\tvarLength, " + std::to_string(size), "\t\tvarType, String",
                                   "\t\tvarName, IO_" + n, "\t\tvarLabel,en-us, IO_" + n,
                                   "\t\t" + defaultText, "\t\tvarAccess, Read"});
        }
    }
    if (anyKeyword) {
        out.insert(out.end(), {"\tendParGroup", ""});
    }
    out.insert(out.end(), {"endParGroup", ""});
    out.insert(out.end(), ioLines.begin(), ioLines.end());
}

}  // namespace dtmrepo
