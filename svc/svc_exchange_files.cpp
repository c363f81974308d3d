#include "svc/svc_exchange_files.h"

#include <algorithm>
#include <string>

#include "svc/ibs_templates.h"
#include "svc/svc_exchange_text.h"
#include "svc/svc_number_text.h"

namespace svc {
namespace {

void putVariablesHead(std::ostream& out, const char* variableLine) {
    putLine(out, svcXmlDeclaration);
    putLine(out, "<VariablesExchangeFile>");
    putLine(out,
            "\t<fileHeader company=\"Schneider Automation\" product=\"Unity Pro XL V13.0 - "
            "170914B\" dateTime=\"date_and_time#2019-12-25-21:14:12\" content=\"Variable source "
            "file\" DTDVersion=\"41\"></fileHeader>");
    putLine(out,
            "\t<contentHeader name=\"Project\" version=\"0.0.11\" "
            "dateTime=\"date_and_time#2019-12-25-21:14:12\"></contentHeader>");
    putLine(out, "\t<dataBlock>");
    putLine(out, variableLine);
}

void putVariablesEnd(std::ostream& out) {
    putLine(out, "\t\t</variables>");
    putLine(out, "\t</dataBlock>");
}

std::string elementName(int index) {
    std::string name = "[";  // not "[" + temporary: GCC 12 warns falsely (-Wrestrict)
    name += std::to_string(index);
    name += "]";
    return name;
}

void putMemberValue(std::ostream& out, const char* member, const std::string& value) {
    putLine(out, std::string("\t\t\t\t<instanceElementDesc name=\"") + member + "\">");
    putLine(out, "\t\t\t\t\t<value>" + value + "</value>");
    putLine(out, "\t\t\t\t</instanceElementDesc>");
}

void putConfigElement(std::ostream& out, int index, const SvcDevice& device) {
    putLine(out, "\t\t\t<instanceElementDesc name=\"" + elementName(index) + "\">");
    putMemberValue(out, "Segment_Number", decimalText(device.busSegment));
    putMemberValue(out, "Segment_Position", decimalText(device.busPosition));
    putMemberValue(out, "Module_ID", decimalText(device.idCode));
    putMemberValue(out, "DP_Word_Count", decimalText(device.lengthCode));
    putMemberValue(out, "Device_Level", decimalText(device.deviceLevel));
    putMemberValue(out, "Logical_Group", decimalText(device.logicalGroup));
    putMemberValue(out, "Alternative", decimalText(device.alternative));
    putMemberValue(out, "PCP_TX_Max_PDU", decimalText(device.pcpMaxPduSending));
    putMemberValue(out, "PCP_RX_Max_PDU", decimalText(device.pcpMaxPduReceiving));
    putLine(out, "\t\t\t\t<instanceElementDesc name=\"PCP_Services\">");
    for (int i = 0; i < 3; ++i) {
        putLine(out, "\t\t\t\t\t<instanceElementDesc name=\"" + elementName(i) + "\">");
        putLine(out, "\t\t\t\t\t\t<value>" +
                         decimalText(device.pcpServices[static_cast<std::size_t>(i)]) + "</value>");
        putLine(out, "\t\t\t\t\t</instanceElementDesc>");
    }
    putLine(out, "\t\t\t\t</instanceElementDesc>");
    putLine(out, "\t\t\t</instanceElementDesc>");
}

void putMapElement(std::ostream& out, int index, const SvcMapEntry& entry) {
    putLine(out, "\t\t\t<instanceElementDesc name=\"" + elementName(index) + "\">");
    putMemberValue(out, "PDR_Index", "16#" + hex4Text(entry.mapPdrIndex));
    putMemberValue(out, "Source_Number", "16#" + hex4Text(entry.mapSourceNumber));
    putMemberValue(out, "Source_Index", "16#" + hex4Text(entry.mapSourceIndex));
    putMemberValue(out, "Destination_Number", "16#" + hex4Text(entry.mapDestination));
    putMemberValue(out, "Destination_Index", "16#" + hex4Text(entry.mapDestinationIndex));
    putMemberValue(out, "Start_Bit", "16#" + hex4Text(entry.mapStartBit));
    putMemberValue(out, "Data_Consistancy", decimalText(entry.mapDataCons));
    putLine(out, "\t\t\t</instanceElementDesc>");
}

// The IBS types as the variables were first declared with them.
IbsDataType earlierType(IbsDataType type, const char* name, const char* version,
                        const char* dateTime) {
    type.name = name;
    type.version = version;
    type.dateTime = dateTime;
    return type;
}

IbsDataType earlierConfigNode() {
    IbsDataType type =
        earlierType(ibsConfigNodeType(), "IBS_Config_Node", "0.02", "dt#12018-10-30-10:16:21");
    type.setMemberType("Name", "STRING[10]");
    return type;
}

IbsDataType earlierChannel() {
    return earlierType(ibsChannelType(), "IBYchannel", "0.02", "dt#12019-03-13-23:19:41");
}

IbsDataType earlierModule() {
    return earlierType(ibsModuleType(), "IBYmodule", "0.05", "dt#12019-03-13-23:57:35");
}

IbsDataType earlierMapEntry() {
    return earlierType(ibsMapEntryType(), "IBS_Map_Entry", "0.01", "dt#12018-11-29-19:32:36");
}

IbsDataType earlierManage(const char* version) {
    IbsDataType type =
        earlierType(ibsManageType(), "IBY_Manage", version, "dt#12019-03-25-12:16:35");
    type.setMemberType("Config", "ARRAY[0..511] OF IBY_Config_Node");
    type.setMemberType("Map", "ARRAY[0..511] OF IBY_Map_Entry");
    type.setMemberType("Channel", "IBY_channel");
    type.setMemberType("Module", "IBY_module");
    return type;
}

}  // namespace

void writeSvcConfigXsy(std::ostream& out, const SvcDeviceTable& devices, int limit) {
    putVariablesHead(out,
                     "\t\t<variables name=\"IBS_Config_d0_s0\" typeName=\"ARRAY[0..511] OF "
                     "IBS_Config_Node\">");
    const int last = std::min({devices.deviceCount, limit, SvcDeviceTable::maxRow});
    for (int k = 1; k <= last; ++k) {
        putConfigElement(out, k - 1, *devices.row(k));
    }
    putVariablesEnd(out);
    printIbsDataType(out, earlierConfigNode());
    printIbsDataType(out, earlierChannel());
    printIbsDataType(out, earlierModule());
    printIbsDataType(out, earlierMapEntry());
    printIbsDataType(out, earlierManage("0.03"));
    putLine(out, "</VariablesExchangeFile>");
}

void writeSvcMapXsy(std::ostream& out, const SvcMapTable& map, int limit) {
    putVariablesHead(
        out, "\t\t<variables name=\"IBS_Map_d0_s0\" typeName=\"ARRAY[0..511] OF IBS_Map_Entry\">");
    const int last = std::min({map.storedCount, limit, SvcMapTable::maxRow});
    for (int j = 1; j <= last; ++j) {
        putMapElement(out, j - 1, map.rows[static_cast<std::size_t>(j)]);
    }
    putVariablesEnd(out);
    printIbsDataType(out, earlierConfigNode());
    printIbsDataType(out, earlierMapEntry());
    printIbsDataType(out, earlierChannel());
    printIbsDataType(out, earlierModule());
    printIbsDataType(out, earlierManage("0.04"));
    putLine(out, "</VariablesExchangeFile>");
}

}  // namespace svc
