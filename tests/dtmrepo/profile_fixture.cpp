#include "tests/dtmrepo/profile_fixture.h"

#include <cstdio>
#include <map>

namespace dtmrepo_test {

namespace {

std::string hex(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

long long bytesOf(const ProfileMember& m) {
    static const std::map<std::string, long long> sizes = {
        {"BOOL", 1}, {"BYTE", 1}, {"WORD", 2}, {"DWORD", 4}, {"REAL", 4},
        {"INT", 2},  {"DINT", 4}, {"UINT", 2}, {"UDINT", 4}, {"STRING", 1}};
    const long long element = m.type == "STRING" ? m.size : sizes.at(m.type);
    return m.arrayEnd > 0 ? (m.arrayEnd - m.arrayStart + 1) * element : element;
}

}  // namespace

std::vector<std::string> profileLines(const std::vector<ProfileConnection>& connections,
                                      const std::vector<ProfileMember>& members) {
    std::vector<std::string> lines = {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                      "<ISO15745Profile>",
                                      "<ProfilesBody>",
                                      "<ProfileBody>",
                                      "<DeviceManager>",
                                      "<cipAssemblyList>"};
    for (int assembly = 1; assembly <= 8; ++assembly) {
        long long size = assembly == 1 ? 72 : assembly == 2 ? 26 : 0;
        std::vector<std::string> refs;
        for (const ProfileMember& m : members) {
            if (m.assembly == assembly) {
                size += bytesOf(m);
                refs.push_back("<cipParameter parameterIDRef=\"P_" + m.name +
                               "_ID\"></cipParameter>");
            }
        }
        if (refs.empty()) {
            continue;
        }
        lines.push_back("<cipAssembly assemblyID=\"Assem0" + std::to_string(assembly) +
                        "\" name=\"Assembly\" type=\"assembly\">");
        lines.push_back("<assemblySize size=\"" + std::to_string(size) + "\"/>");
        for (const std::string& ref : refs) {
            lines.insert(lines.end(), {"<assembly>", ref, "</assembly>"});
        }
        lines.push_back("</cipAssembly>");
    }
    lines.insert(lines.end(), {"</cipAssemblyList>", "<cipConnectionList>"});
    for (size_t c = 0; c < connections.size(); ++c) {
        const std::string name =
            c == 0 ? "PrimaryConnection" : "Connection" + std::to_string(c + 1);
        lines.insert(
            lines.end(),
            {"<cipConnection>", "<O2T_RPI>",
             "<cipParameter parameterIDRef=\"P_RPI_OT_" + name + "\"/>", "</O2T_RPI>", "<O2T_size>",
             "<size value=\"26\"/>", "</O2T_size>", "<T2O_RPI>",
             "<cipParameter parameterIDRef=\"P_RPI_TO_" + name + "\"/>", "</T2O_RPI>", "<cipPath>",
             "<ePath pathType=\"padded\" value=\"20 04 24 64 2C " + hex(connections[c].outputPath) +
                 " 2C " + hex(connections[c].inputPath) + "\"/>",
             "</cipPath>", "</cipConnection>"});
    }
    lines.insert(lines.end(), {"</cipConnectionList>", "</DeviceManager>", "<ApplicationProcess>",
                               "<dataTypeList>"});
    for (const ProfileMember& m : members) {
        if (m.arrayEnd > 0) {
            const std::string id = "DT_ArrayType_" + m.type + "_" + m.name;
            lines.insert(lines.end(), {"<array name=\"" + id + "\" uniqueID=\"" + id + "_ID\">",
                                       "<label lang=\"en-us\">Test Variable</label>",
                                       "<subrange lowerLimit=\"" + std::to_string(m.arrayStart) +
                                           "\" upperLimit=\"" + std::to_string(m.arrayEnd) + "\"/>",
                                       "<" + m.type + "/>", "</array>"});
        }
    }
    lines.push_back("</dataTypeList>");
    // The connection intervals are parameters of the first body.
    lines.push_back("<parameterList>");
    for (size_t c = 0; c < connections.size(); ++c) {
        const std::string name =
            c == 0 ? "PrimaryConnection" : "Connection" + std::to_string(c + 1);
        for (const auto& [direction, value] :
             {std::pair{"OT", connections[c].rpiOt}, std::pair{"TO", connections[c].rpiTo}}) {
            lines.insert(
                lines.end(),
                {"<parameter uniqueID=\"P_RPI_" + std::string(direction) + "_" + name + "\">",
                 "<property name=\"defaultValue\" value=\"" + value + "\"/>", "</parameter>"});
        }
    }
    lines.insert(lines.end(),
                 {"</parameterList>", "</ApplicationProcess>", "</ProfileBody>", "<ProfileBody>",
                  "<ApplicationProcess>", "<functionTypeList>", "<interfaceList>", "<inputVars>"});
    for (const ProfileMember& m : members) {
        std::string declaration =
            "<varDeclaration name=\"V_" + m.name + "\" uniqueID=\"V_" + m.name + "_ID\"";
        if (m.type == "STRING") {
            declaration += " size=\"" + std::to_string(m.size) + "\"";
        }
        lines.push_back(declaration + ">");
        lines.push_back(m.arrayEnd > 0 ? "<dataTypeIDRef uniqueIDRef=\"DT_ArrayType_" + m.type +
                                             "_" + m.name + "_ID\"/>"
                                       : "<" + m.type + "/>");
        lines.push_back("</varDeclaration>");
    }
    lines.insert(lines.end(),
                 {"</inputVars>", "</interfaceList>", "</functionTypeList>", "<parameterList>"});
    for (const ProfileMember& m : members) {
        lines.insert(
            lines.end(),
            {"<parameter uniqueID=\"P_" + m.name + "_ID\" access=\"read\">", "<variableRef>",
             "<variableIDRef uniqueIDRef=\"V_" + m.name + "_ID\"/>", "</variableRef>"});
        if (!m.address.empty()) {
            lines.push_back("<property name=\"Address\" value=\"" + m.address + "\"/>");
        }
        lines.push_back("</parameter>");
    }
    lines.insert(lines.end(), {"</parameterList>", "</ApplicationProcess>", "</ProfileBody>",
                               "</ProfilesBody>", "</ISO15745Profile>"});
    return lines;
}

}  // namespace dtmrepo_test
