// Member lists of the shared data types.

#include <algorithm>
#include <string>

#include "svc/template_set.h"

namespace svc {
namespace {

struct CommentedMember {
    const char* name;
    const char* typeName;
    const char* comment;
};

std::vector<TemplateMember> commentedMembers(std::initializer_list<CommentedMember> rows) {
    std::vector<TemplateMember> members;
    for (const CommentedMember& row : rows) {
        members.push_back({row.name, row.typeName, row.comment, {}});
    }
    return members;
}

std::vector<TemplateMember> plainMembers(
    std::initializer_list<std::pair<const char*, const char*>> rows) {
    std::vector<TemplateMember> members;
    for (const auto& [name, typeName] : rows) {
        members.push_back({name, typeName, "", {}});
    }
    return members;
}

TemplateMember extractBit(const char* name, int bit) {
    return {name, "BOOL", "", {{"ExtractBit", std::to_string(bit)}}};
}

// A type under its variant's name and stamp, with the signature checksum attribute.
TemplateDataType stampedType(const TemplateVariant& variant, std::string name) {
    const TemplateStamp stamp = variant.stamp(name);
    TemplateDataType type;
    type.name = std::move(name);
    type.version = stamp.version;
    type.dateTime = stamp.dateTime;
    type.attributes = {{"TypeSignatureCheckSumString", stamp.signatureCheckSum}};
    return type;
}

// The device areas belong to the device's DTM: hidden but exported, and locked where the
// variant says so.
TemplateDataType deviceAreaType(const TemplateVariant& variant, const char* area) {
    TemplateDataType type = stampedType(variant, variant.deviceType + area);
    type.attributes.push_back({"IsTypeHiddenButExported", "TRUE"});
    if (variant.deviceAreasLocked) {
        type.attributes.insert(type.attributes.begin(), {"IsTypeLocked", "TRUE"});
    }
    return type;
}

}  // namespace

TemplateDataType templateManageType(const TemplateVariant& variant) {
    TemplateDataType type = stampedType(variant, variant.name("Manage"));
    type.oneLineMembers = true;
    // Control Expert resolves type names without regard to case: IBS_channel is IBS_Channel.
    const std::string config = "ARRAY[0..511] OF " + variant.name("Config_Node");
    const std::string map = "ARRAY[0..511] OF " + variant.name("Map_Entry");
    const std::string channel = variant.name("channel");
    const std::string module = variant.name("module");
    type.members = plainMembers({
        {"Active", "BOOL"},
        {"Done", "BOOL"},
        {"Error", "BOOL"},
        {"ErrorString", "string[25]"},
        {"Config", config.c_str()},
        {"Map", map.c_str()},
        {"Channel", channel.c_str()},
        {"Module", module.c_str()},
        {"Entry", "INT"},
        {"Config_CRC", "INT"},
        {"Map_CRC", "INT"},
    });
    return type;
}

TemplateDataType templateConfigNodeType(const TemplateVariant& variant) {
    TemplateDataType type = stampedType(variant, variant.name("Config_Node"));
    type.oneLineMembers = true;
    type.members = plainMembers({
        {"Segment_Number", "BYTE"},
        {"Segment_Position", "BYTE"},
        {"Module_ID", "BYTE"},
        {"DP_Word_Count", "BYTE"},
        {"Device_Level", "BYTE"},
        {"Logical_Group", "BYTE"},
        {"Alternative", "BYTE"},
        {"PCP_TX_Max_PDU", "BYTE"},
        {"PCP_RX_Max_PDU", "BYTE"},
        {"PCP_Services", "ARRAY[0..2] OF BYTE"},
        {"Name", variant.configNameType.c_str()},
    });
    return type;
}

TemplateDataType templateMapEntryType(const TemplateVariant& variant) {
    TemplateDataType type = stampedType(variant, variant.name("Map_Entry"));
    type.oneLineMembers = true;
    type.members = plainMembers({
        {"PDR_Index", "WORD"},
        {"Source_Number", "WORD"},
        {"Source_Index", "WORD"},
        {"Destination_Number", "WORD"},
        {"Destination_Index", "WORD"},
        {"Start_Bit", "BYTE"},
        {"Data_Consistancy", "BYTE"},
    });
    return type;
}

TemplateDataType templateChannelType(const TemplateVariant& variant) {
    TemplateDataType type = stampedType(variant, variant.name("Channel"));
    type.comment = "Ibs Channel IODDT";
    // The comments are the module documentation's own, double blanks and trailing blank kept.
    type.members = commentedMembers({
        {"MOD_ERROR", "BOOL", "Module error"},
        {"EXCH_STS", "INT", "Exchange status"},
        {"STS_IN_PROGR", "BOOL", "Status parameter read in progress"},
        {"EXCH_RPT", "INT", "Channel report"},
        {"STS_ERR", "BOOL", "Error while reading module status"},
        {"MOD_FLT", "INT", "Module faults"},
        {"MOD_FAIL", "BOOL", "Internal fault: Module failure"},
        {"CH_FLT", "BOOL", "Faulty channel(s)"},
        {"BLK", "BOOL", "External fault: Terminal block"},
        {"CONF_FLT", "BOOL", "Hardware or software configuration fault"},
        {"NO_MOD", "BOOL", "Module absent or powered-down"},
        {"EXT_MOD_FLT", "BOOL", "FIPIO extension module fault "},
        {"MOD_FAIL_EXT", "BOOL", "Internal fault: Module failure (only FIPIO extension)"},
        {"CH_FLT_EXT", "BOOL", "Faulty channel(s)  (only FIPIO extension)"},
        {"BLK_EXT", "BOOL", "External fault: Terminal block (only FIPIO extension)"},
        {"CONF_FLT_EXT", "BOOL",
         "Hardware or software configuration fault  (only FIPIO extension)"},
        {"NO_MOD_EXT", "BOOL", "Module absent or powered-down  (only FIPIO extension)"},
    });
    return type;
}

TemplateDataType templateModuleType(const TemplateVariant& variant) {
    TemplateDataType type = stampedType(variant, variant.name("Module"));
    type.comment = "Ibs Module IODDT";
    type.members = commentedMembers({
        {"CH_ERROR", "BOOL", "Channel error"},
        {"IBS_FLT", "BOOL", "X0=1 if X8=1 or X9=1 or X10=1"},
        {"INTERNAL_FLT", "BOOL", "Internal fault"},
        {"SOFT_CONF", "BOOL", "Incorrect software configuration"},
        {"MAST_OFF", "BOOL", "IBS master not operating"},
        {"DP_EXCH_FLT", "BOOL", "DP exchange fault"},
        {"PMS_EXCH_FLT", "BOOL", "PMS message handling exchange fault"},
        {"OUTP_FLT", "BOOL", "Output in error condition and bus stop"},
        {"CONF_FLT", "BOOL", "Module configuration fault"},
        {"COM_FLT", "BOOL", "Communication fault with PLC"},
        {"MSG_ERR", "BOOL", "Error message received"},
        {"PAR_SEG_NB_ERR", "INT",
         "Error code if %IW n+3:x0,x3=1 or equipment position if X2 or X1=1 segment number error "
         "if %IW n+3:x1;x2=1"},
        {"USR_PAR_ERR", "BOOL", "User parameter error available in %IW n+2"},
        {"PERIPH_ERR", "BOOL", "Peripheral error available in %IW n+2"},
        {"BUS_ERR", "BOOL", "Bus error available in %IW n+2"},
        {"CTRL_ERR", "BOOL", "Controller error available in %IW n+2"},
        {"OP_DETECT_FLT", "BOOL", "Operation detection fault"},
        {"DATA_EXCHG", "BOOL", "Data exchange"},
        {"BUS_ACTIV", "BOOL", "Bus active"},
        {"CTRL_RDY", "BOOL", "Controller ready for configuration"},
        {"BUS_INACTIV", "BOOL", "Bus segment non active"},
        {"HOST_FLT", "BOOL", "Host fault"},
        {"FCT_RES_NEG", "BOOL", "Result of command (negative)"},
        {"SYNC_ERR", "BOOL", "Synchronization error"},
        {"DATA_CYCL_ERR", "BOOL", "Data cycle error"},
        {"SCAN_TIME_OVR", "BOOL", "Scan time overrun"},
        {"BAD_BUS_QUAL", "BOOL", "Bad bus quality"},
        {"SLAVE_RDY", "BOOL", "Slave message ready for PLC"},
        {"MASTER_FLT", "BOOL", "Master fault"},
        {"MAST_RDY", "BOOL", "Master ready to exchange"},
        {"MOD_FLT", "BOOL", "Module fault"},
        {"MOD_RDY_COM", "BOOL", "Module ready to exchange"},
        // The micro sign in UTF-8, the only character of the set beyond ASCII.
        {"SCAN_TIME_LS", "INT", "IBS scan time (in \xC2\xB5s)  DINT (Least Significant)"},
        {"SCAN_TIME_MS", "INT", "IBS scan time (in \xC2\xB5s)  DINT (Most Significant)"},
        {"IBS_CTRL", "INT", "Image of IBS commands."},
        {"OUT_IN_NBR", "INT", "Number of %QW & %IW exchanges"},
        {"DP_EXCH_FLT_W", "INT", "DP exchange fault word"},
        {"MSG_NBR_RCV", "INT", "Number of PMS messages received"},
        {"MSG_NBR_SENT", "INT", "Number of PMS messages sent"},
        {"MSG_FLT", "INT", "PMS message handling fault"},
        {"AUTO_START", "BOOL", "Automatic start-up after fault disappears"},
        {"STOP_PROC", "BOOL", "Stop preprocessing on stop, outputs change to status"},
        {"SYS_START", "BOOL", "Launch IBS system"},
        {"SYS_STOP", "BOOL", "Stop IBS system, output, reconfigure"},
        {"ACK_FLT", "BOOL", "Acknowledge fault %IWm.0.130"},
        {"DESACT_EQMT", "BOOL", "Deactivate a device"},
        {"ACTIV_EQMT", "BOOL", "Activate a device"},
        {"SHUNT_EQMT", "BOOL", "Shunt a device"},
        {"REVERS_EQMT", "BOOL", "Reverse shunt"},
        {"ELMT_NBR", "INT",
         "If %QWn+7:x1, number of the current configuration. If %QWn+7:x3..x6, number of the "
         "device concerned"},
    });
    // The module's status words 242, 244 and 245 (243 is not used) and command words 242-253.
    for (int word : {242, 244, 245}) {
        type.members.push_back(
            {"Status" + std::to_string(word), "INT", "%IWm.0." + std::to_string(word), {}});
    }
    for (int word = 242; word <= 253; ++word) {
        type.members.push_back(
            {"Command" + std::to_string(word), "INT", "%QWm.0." + std::to_string(word), {}});
    }
    return type;
}

TemplateDataType templateDeviceType(const TemplateVariant& variant) {
    const std::string& device = variant.deviceType;
    std::vector<TemplateAttribute> access;
    if (variant.freshnessAccessRights) {
        access = {{"RequestAccessRight", "1"}, {"InstancesProgramAccessRight", "1"}};
    }
    TemplateDataType type = stampedType(variant, device);
    type.comment = "Device DDT for embedded M580 DTM (with standalone PLC)";
    type.members = {
        {"Freshness", "BOOL", "Global Freshness", access},
        {"Freshness_1", "BOOL", "Freshness of Object", access},
        {"Inputs", device + "_IN", "Input Variables", {}},
        {"Outputs", device + "_OUT", "Output Variables", {}},
    };
    return type;
}

TemplateDataType templateDeviceInputType(const TemplateVariant& variant) {
    TemplateDataType type = deviceAreaType(variant, "_IN");
    type.members = {
        {"DEVICE_NAME", "string[64]", "", {}},
        {"DEVICE_STATUS", "UINT", "", {}},
        extractBit("DEVICE_STATE", 0),
        extractBit("DEVICE_HEALTH", 1),
        extractBit("SPI_ERROR", 2),
        extractBit("INIT_PARAM_CORRUPTED_ERROR", 3),
        extractBit("RUNTIME_CONFIGURATION_ERROR", 4),
        extractBit("CONTROL_FW_MISSING_OR_CORRUPTED", 5),
        extractBit("CONTROL_FW_DOWNLOAD_IN_PROGRESS", 6),
        {"Free0", "BYTE", "Unused Variable", {}},
        {"Free1", "BYTE", "Unused Variable", {}},
        {"ETH_STATUS", "BYTE", "", {}},
        extractBit("PORT1_LINK", 0),
        extractBit("CCOTF_IN_PROGRESS", 4),
        extractBit("REDUNDANCY_OWNER", 6),
        extractBit("GLOBAL_STATUS", 7),
        {"SERVICE_STATUS", "BYTE", "", {}},
        extractBit("SNTP_SERVICE", 1),
        extractBit("SNMP_SERVICE", 3),
        extractBit("FDR_SERVICE_B1", 4),
        extractBit("FDR_SERVICE_B2", 5),
        extractBit("FDR_SERVICE_B3", 6),
        extractBit("FDR_SERVICE_B4", 7),
        {"ETH_PORT1_INFO", "BYTE", "", {}},
        extractBit("ETH_PORT1_FUNCTION_B1", 0),
        extractBit("ETH_PORT1_FUNCTION_B2", 1),
        {"Free2", "BYTE", "Unused Variable", {}},
        {"PDWL_Command_Echo", "WORD", "Command Word Echo", {}},
        {"PDWL_Status",
         "WORD",
         ".0=E1 LinkOK; .1=Dup IP E1; .2=E2 LinkOK; .3=Dup IP E2; .4=BP LinkOK; .5=Dup IP BP; "
         ".8=Speaker Muted; .9=Config Loaded; .10=Map Loaded; .14=IBS Error; .15=IBS Run;",
         {}},
        {"Last_IBS_Error_Time", "ARRAY[0..1] OF INT", "", {}},
        {"Last_IBS_Error_Date", "ARRAY[0..1] OF INT", "", {}},
        {"Last_IBS_Error", "string[64]", "", {}},
        {"Q_Handshake_Echo", "INT", "Outbound Handshake", {}},
        {"I_Config_CRC", "INT", "Checksum of PMEDWL Config", {}},
        {"I_Map_CRC", "INT", "Checksum of PMEDWL Map", {}},
        {"IBS_Status", "ARRAY[0..12] OF INT", "IBS_Status_Data", {}},
        {"IW", "ARRAY[0..241] OF INT", "DP_Input_Data", {}},
        {"Free3", "ARRAY[0..1] OF BYTE", "Unused Variable", {}},
    };
    if (variant.windowModeEcho) {
        // The module echoes the window mode right after the handshake.
        const auto echo = std::find_if(
            type.members.begin(), type.members.end(),
            [](const TemplateMember& member) { return member.name == "Q_Handshake_Echo"; });
        type.members.insert(echo + 1, {"I_Window_Mode", "WORD", variant.windowModeComment, {}});
    }
    return type;
}

TemplateDataType templateDeviceOutputType(const TemplateVariant& variant) {
    TemplateDataType type = deviceAreaType(variant, "_OUT");
    // The window mode comment is the module's documentation, although the transfer block sends
    // 1 for a Config window and 2 for a Map window.
    type.members = commentedMembers({
        {"Free4", "ARRAY[0..25] OF BYTE", "Unused Variable"},
        {"PDWL_command", "WORD",
         ".0=Force ON OS MBTCP Server; .1=Force ON Web Server; .2=Force ON Telnet Server; .3=Turn "
         "on LED2; .4=Read PriFDR; .5=Read Sec FDR; .6=Copy Pri to Sec FDR; .7=Force OFF ACL;"},
        {"Q_Handshake", "INT", "Output Window Handshake"},
        {"Q_Window_Mode", "INT", variant.windowModeComment.c_str()},
        {"Q_Window", "ARRAY[0..11] OF WORD", "Output Window Data"},
        {"Q_Config_CRC", "INT", "Checksum of PLC Config"},
        {"Q_Map_CRC", "INT", "Checksum of PLC Map"},
        {"IBS_Command", "ARRAY[0..11] OF INT", "IBS_Command_Data"},
        {"QW", "ARRAY[0..241] OF INT", "DP_Output_Data"},
    });
    return type;
}

}  // namespace svc
