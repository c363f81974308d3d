// The first body after its device manager: the device function, the array types of the
// description's variables, the fixed device-health model, the standard configuration
// variables and parameters, and the packet-interval parameters of each connection.

#include <array>

#include "dtmrepo/writers/profile_sections.h"
#include "dtmrepo/writers/xml_text.h"

namespace dtmrepo {

namespace {

struct HealthEnum {
    std::string_view name, label, zero, one, base;
};
constexpr std::array<HealthEnum, 7> kHealthEnums = {{
    {"Partner_Device_Status", "Device State", "Stop", "Run", "BITSTRING"},
    {"Device_Health_State", "Device Health", "Not Healthy", "Healthy", "BOOL"},
    {"SPI_Error", "SPI Error", "No Error", "Error", "BOOL"},
    {"Init_Param_Corrupted_Error", "Init Parameter Corrupted Error", "No Error", "Error", "BOOL"},
    {"Runtime_Configuration_Error", "Runtime Configuration Error", "No Error", "Error", "BOOL"},
    {"Control_FW_Corrupted", "Control Firmware Error", "No", "Yes", "BOOL"},
    {"Control_FW_Download_Progress", "Control Firmware download in progress", "No", "Yes", "BOOL"},
}};

struct StandardParameter {
    std::string_view id, text;
    int position;               // -1: a plain variable reference
    std::string_view variable;  // the variable (or structure) referred to
    std::string_view member;    // the structure member, or empty
    std::string_view defaultValue;
};
constexpr std::array<StandardParameter, 9> kStandardParameters = {{
    {"P_1_Device_Name_ID", "Device Name", -1, "V_Device_Name_ID", "", ""},
    {"P_Device_Health_ID", "Device Health", -1, "V_Device_Health_ID", "", "0"},
    {"P_2_Device_Status_ID", "Device Status", 0, "V_Device_Health_ID", "V_Partner_Device_Status_ID",
     "0"},
    {"P_3_Device_Health_Status_ID", "Device Health", 1, "V_Device_Health_ID",
     "V_Device_Health_State_ID", "0"},
    {"P_4_SPI_Status_ID", "SPI Error", 2, "V_Device_Health_ID", "V_SPI_Error_ID", "0"},
    {"P_5_Init_Param_Corrupt_ID", "Init Parameter Corrupted Error", 3, "V_Device_Health_ID",
     "V_Init_Param_Corrupted_Error_ID", "0"},
    {"P_6_Runtime_Configuration_Error_ID", "Runtime configuration error", 4, "V_Device_Health_ID",
     "V_Runtime_Configuration_Error_ID", "0"},
    {"P_7_Control_FW_Corrupt_Error_ID", "Control F/W Corrupted", 5, "V_Device_Health_ID",
     "V_Control_FW_Corrupted_ID", "0"},
    {"P_8_Control_FW_Download_Progress_ID", "Control F/W download in progress", 6,
     "V_Device_Health_ID", "V_Control_FW_Download_Progress_ID", "0"},
}};

std::string englishLabel(std::string_view text) {
    return "<label lang=\"en-us\">" + std::string(text) + "</label>";
}

std::string englishDescription(std::string_view text) {
    return "<description lang=\"en-us\">" + std::string(text) + "</description>";
}

std::string property(std::string_view name, const std::string& value) {
    return startTag("property", {{"name", std::string(name)}, {"value", value}}, true);
}

void writeDeviceFunction(ProfileLines& out) {
    out.insert(out.end(),
               {"<DeviceFunction>",
                "<capabilities>",
                "<characteristicsList>",
                "<category>",
                englishLabel("Communication characteristics"),
                "</category>",
                "<characteristic>",
                "<characteristicName>",
                englishLabel("Communication"),
                "</characteristicName>",
                "<characteristicContent>",
                englishLabel("EtherNet/IP"),
                "</characteristicContent>",
                "</characteristic>",
                "</characteristicsList>",
                "<standardComplianceList>",
                "<compliantWith name=\"IEC61010-1\" range=\"international\">",
                englishDescription("Safety requirements for electrical equipment for measurement, "
                                   "control and laboratory use - Part 1: General requirements"),
                "</compliantWith>",
                "</standardComplianceList>",
                "</capabilities>",
                "</DeviceFunction>"});
}

void writeDataTypes(const DescriptionRecord& r, ProfileLines& out) {
    out.push_back("<dataTypeList>");
    for (int s = 0; s < sectionCount; ++s) {
        for (size_t i = 0; i < r.sections[s].size(); ++i) {
            const VariableEntry& v = r.sections[s][i];
            if (!v.isArray()) {
                continue;
            }
            const std::string name =
                "DT_ArrayType_" + v.varType + "_" + std::to_string(s) + "_" + std::to_string(i + 1);
            out.push_back(startTag("array", {{"name", name}, {"uniqueID", name + "_ID"}}));
            out.push_back(englishLabel("Test Variable"));
            out.push_back(startTag("subrange",
                                   {{"lowerLimit", std::to_string(v.arrayStart)},
                                    {"upperLimit", std::to_string(v.arrayEnd)}},
                                   true));
            out.push_back("<" + typeTag(v.varType) + "/>");
            out.push_back("</array>");
        }
    }
    for (const HealthEnum& e : kHealthEnums) {
        const std::string name = "DT_" + std::string(e.name);
        out.push_back(startTag("enum", {{"name", name}, {"uniqueID", name + "_ID"}}));
        out.push_back(englishLabel(e.label));
        out.insert(out.end(), {"<enumValue value=\"0\">", englishLabel(e.zero), "</enumValue>",
                               "<enumValue value=\"1\">", englishLabel(e.one), "</enumValue>"});
        out.push_back("<" + std::string(e.base) + "/>");
        out.push_back("</enum>");
    }
    out.push_back("<struct name=\"DT_Device_Health\" uniqueID=\"DT_Device_Health_ID\">");
    for (const HealthEnum& e : kHealthEnums) {
        const std::string member = "V_" + std::string(e.name);
        out.push_back(startTag("varDeclaration",
                               {{"name", member}, {"uniqueID", member + "_ID"}, {"size", "1"}}));
        out.push_back(startTag("dataTypeIDRef",
                               {{"uniqueIDRef", "DT_" + std::string(e.name) + "_ID"}}, true));
        out.push_back("</varDeclaration>");
    }
    out.push_back("</struct>");
    out.push_back("</dataTypeList>");
}

void writeFunction(const DescriptionRecord& r, ProfileLines& out) {
    const std::string pme = r.pmeNumber.substr(0, 6);
    out.push_back("<functionTypeList>");
    out.push_back(startTag("functionType", {{"name", "FT_" + r.typeIdRef + "_PTK"},
                                            {"uniqueID", "FT_" + pme + "_PTK_ID"}}));
    out.insert(out.end(),
               {"<versionInfo organization=\"Dizodozav Ovodurid\" author=\"Dizodozav Ovodurid\" "
                "date=\"2010-04-01\" version=\"0.1\"/>",
                "<interfaceList>", "<configVars>",
                "<varDeclaration name=\"V_Generic_UINT\" uniqueID=\"V_Generic_UINT_ID\">",
                "<UINT/>", "</varDeclaration>",
                "<varDeclaration name=\"V_Device_Name\" uniqueID=\"V_Device_Name_ID\" size=\"64\">",
                "<STRING/>", "</varDeclaration>",
                "<varDeclaration name=\"V_Device_Health\" uniqueID=\"V_Device_Health_ID\" "
                "size=\"2\">",
                "<dataTypeIDRef uniqueIDRef=\"DT_Device_Health_ID\"/>", "</varDeclaration>",
                "</configVars>", "</interfaceList>", "</functionType>", "</functionTypeList>"});
    out.push_back("<functionInstanceList>");
    out.push_back(startTag("functionInstance",
                           {{"name", "F_" + r.typeIdRef + "_PTK"},
                            {"uniqueID", "F_" + r.typeIdRef + "_PTK_ID"},
                            {"typeIDRef", "FT_" + pme + "_PTK_ID"}},
                           true));
    out.push_back("</functionInstanceList>");
}

void writeRpiParameter(const DescriptionRecord& r, const std::string& id, const std::string& text,
                       int assembly, const std::string& instance, ProfileLines& out) {
    out.push_back(startTag("parameter", {{"uniqueID", id}}));
    out.push_back(englishLabel(text));
    out.push_back(englishDescription(text));
    out.push_back("<variableRef>");
    out.push_back(instance);
    out.push_back("<variableIDRef uniqueIDRef=\"V_Generic_UINT_ID\"/>");
    out.push_back("</variableRef>");
    out.push_back(property("defaultValue", std::to_string(r.defaultRpi[assembly])));
    out.push_back(property("lowLimit", std::to_string(r.minRpi[assembly])));
    out.push_back(property("highLimit", std::to_string(r.maxRpi[assembly])));
    out.push_back("<property name=\"unit\" value=\"ms\"/>");
    out.push_back("</parameter>");
}

void writeParameters(const DescriptionRecord& r, ProfileLines& out) {
    const std::string instance =
        startTag("instanceIDRef", {{"uniqueIDRef", "F_" + r.typeIdRef + "_PTK_ID"}}, true);
    out.push_back("<parameterList>");
    for (const StandardParameter& p : kStandardParameters) {
        out.push_back("<parameter uniqueID=\"" + std::string(p.id) + "\">");
        out.push_back(englishLabel(p.text));
        out.push_back(englishDescription(p.text));
        out.push_back(p.position < 0
                          ? "<variableRef>"
                          : "<variableRef position=\"" + std::to_string(p.position) + "\">");
        out.push_back(instance);
        out.push_back("<variableIDRef uniqueIDRef=\"" + std::string(p.variable) + "\"/>");
        if (!p.member.empty()) {
            out.push_back("<memberRef uniqueIDRef=\"" + std::string(p.member) + "\"/>");
        }
        out.push_back("</variableRef>");
        out.push_back(property("defaultValue", std::string(p.defaultValue)));
        out.push_back(property("Address", "-1"));
        if (!p.member.empty()) {
            out.push_back(property("lowLimit", "0"));
            out.push_back(property("highLimit", "1"));
        }
        out.push_back("</parameter>");
    }
    writeRpiParameter(r, "P_RPI_OT_PrimaryConnection", "RPI OT for Primary Connection", 1, instance,
                      out);
    writeRpiParameter(r, "P_RPI_TO_PrimaryConnection", "RPI TO for Primary Connection", 2, instance,
                      out);
    // Numbered as the connection list numbers its references, by assembly.
    for (int k = 3; k <= 7; k += 2) {
        if (r.entryCount(k) == 0) {
            continue;
        }
        const std::string m = std::to_string(connectionNumber(k));
        writeRpiParameter(r, "P_RPI_OT_Connection" + m, "RPI OT for Connection " + m, k, instance,
                          out);
        writeRpiParameter(r, "P_RPI_TO_Connection" + m, "RPI TO for Connection " + m, k + 1,
                          instance, out);
    }
    out.push_back("</parameterList>");
}

}  // namespace

void writeFirstBodyEnd(const DescriptionRecord& r, ProfileLines& out) {
    writeDeviceFunction(out);
    out.push_back("<ApplicationProcess>");
    writeDataTypes(r, out);
    writeFunction(r, out);
    writeParameters(r, out);
    out.insert(out.end(), {"</ApplicationProcess>", "</ProfileBody>"});
}

}  // namespace dtmrepo
