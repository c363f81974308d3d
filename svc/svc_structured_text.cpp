#include "svc/svc_structured_text.h"

#include <algorithm>

#include "svc/ibs_templates.h"
#include "svc/svc_exchange_text.h"
#include "svc/svc_listing_output.h"
#include "svc/svc_number_text.h"

namespace svc {
namespace {

constexpr const char* kConfigPrefix = "\tIBS_Manage_d0_s0.Config[IBS_Manage_d0_s0.Entry].";
constexpr const char* kMapPrefix = "\tIBS_Manage_d0_s0.Map[IBS_Manage_d0_s0.Entry].";
constexpr const char* kNextEntry = "\tIBS_Manage_d0_s0.Entry := IBS_Manage_d0_s0.Entry + 1;";

// An assignment, blanks to the next print zone, then its comment.
std::string zoned(const std::string& assignment, const std::string& comment) {
    return assignment + std::string(blanksToNextZone(assignment.size()), ' ') + comment;
}

std::string mapAssignment(const char* member, const std::string& value) {
    return std::string(kMapPrefix) + member + value + ";";
}

std::string byteComment(const char* first, const char* second, int word) {
    return std::string("\t(* ") + first + decimalText((word >> 8) & 0xFF) + second +
           decimalText(word & 0xFF) + " *)";
}

void putDevice(std::ostream& out, const SvcDevice& device, const SvcPcpMarkText& pcpMarkText) {
    const std::string cp = kConfigPrefix;
    putLine(out, cp + "Segment_Number :=   " + decimalText(device.busSegment) + ";");
    putLine(out, cp + "Segment_Position := " + decimalText(device.busPosition) + ";");
    putLine(out, cp + "Module_ID :=        " + decimalText(device.idCode) + ";\t(* " +
                     pcpMarkText[device.pcpFlag == 1 ? 1 : 0] + " " + device.directionText + " *)");
    putLine(out, cp + "DP_Word_Count :=    16#" + hex4Text(device.lengthCode) + ";\t(* " +
                     decimalText(device.lengthCode & 15) + " " + device.lengthUnitText + " *)");
    putLine(out, cp + "Device_Level :=     " + decimalText(device.deviceLevel) + ";");
    putLine(out, cp + "Logical_Group :=    " + decimalText(device.logicalGroup) + ";");
    putLine(out, cp + "Alternative :=      " + decimalText(device.alternative) + ";");
    putLine(out, cp + "PCP_TX_Max_PDU :=   " + decimalText(device.pcpMaxPduSending) + ";");
    putLine(out, cp + "PCP_RX_Max_PDU :=   " + decimalText(device.pcpMaxPduReceiving) + ";");
    for (int i = 0; i < 3; ++i) {
        putLine(out, cp + "PCP_Services[" + decimalText(i) + "] :=  16#" +
                         hex2Text(device.pcpServices[static_cast<std::size_t>(i)]) + ";");
    }
    putLine(out, cp + "Name :=             'Node_" + decimalText(device.busSegment) + "." +
                     decimalText(device.busPosition) + "';");
    putLine(out, "");
    putLine(out, kNextEntry);
}

void putMapLegend(std::ostream& out) {
    putLines(out,
             "\t(*  Map PDR_Index Range for IBS INPUT: 16#0000-16#3FFF *)\n"
             "\t(*  Source_Number for Input is 16#xxyy where xx is device number, yy is "
             "sub-number *)\n"
             "\t(*  Source_Index for Input is always 16#6010 *)\n"
             "\t(*  Destination_Number for Input starts at 16#0200 (internal dual port map) *)\n"
             "\t(*  Destination_Index for Input is always 0 *)\n"
             "\t(*  Start_Bit is usually 0 *)\n"
             "\t(*  Data_Consistancy for Input is 0=16bits, 1=32bits, 2=8bits *)\n"
             "\n"
             "\t(*  Map PDR_Index Range for IBS OUTPUT: 16#4000-16#7FFF *)\n"
             "\t(*  Source_Number for Output starts at 16#0000 (internal dual port map) *)\n"
             "\t(*  Source_Index for Output is always 0 *)\n"
             "\t(*  Destination_Number for Output 16#xxyy where xx is device number, yy is "
             "sub-number *)\n"
             "\t(*  Destination_Index for Output is always 16#6011 *)\n"
             "\t(*  Start_Bit is usually 0 *)\n"
             "\t(*  Data_Consistancy for Output is 0=16bits, 1=32bits, 2=8bits *)\n"
             "\n");
}

void putDescription(std::ostream& out, const SvcMapEntry& entry) {
    putLine(out, zoned(mapAssignment("PDR_Index :=           16#", hex4Text(entry.mapPdrIndex)),
                       "\t(* PDD Index *)"));
    putLine(out, zoned(mapAssignment("Source_Number :=       16#", hex4Text(entry.mapSourceNumber)),
                       byteComment("Module = ", ", Submodule = ", entry.mapSourceNumber)));
    putLine(out, zoned(mapAssignment("Source_Index :=        16#", hex4Text(entry.mapSourceIndex)),
                       byteComment("Data Direction = ", ", Type = ", entry.mapSourceIndex)));
    putLine(out, zoned(mapAssignment("Destination_Number :=  16#", hex4Text(entry.mapDestination)),
                       "\t(* Byte Position *)"));
    putLine(out,
            zoned(mapAssignment("Destination_Index :=   16#", hex4Text(entry.mapDestinationIndex)),
                  byteComment("Bit Position = ", ", Length = ", entry.mapDestinationIndex)));
    putLine(out, zoned(mapAssignment("Start_Bit :=           ", decimalText(entry.mapStartBit)),
                       "\t(* (not used) *)"));
    putLine(out, zoned(mapAssignment("Data_Consistancy :=    ", decimalText(entry.mapDataCons)),
                       "\t(* 3 = Process Data Description *)"));
}

// Where the entry's words lie in the module's dual-port memory and in its Inputs or Outputs.
std::string startComment(const SvcDeviceTable& devices, int deviceWord, bool output, int start) {
    const SvcDevice* device = devices.findByNumberWord(deviceWord);
    const int words = device != nullptr ? device->lengthCode : 0;
    const std::string base =
        output ? "\t(* Start DPM Word = 16#0000 + " : "\t(* Start DPM Word = 16#0200 + ";
    const std::string area = output ? "Outputs.QW[" : "Inputs.IW[";
    std::string text = base + decimalText(start) + "   " + area + decimalText(start) + "]";
    if (words == 1) {
        return text + " *)";
    }
    return text + " - " + area + decimalText(static_cast<long long>(start) + words - 1) + "]  *)";
}

void putReference(std::ostream& out, const SvcMapEntry& entry, const SvcDeviceTable& devices) {
    enum {
        kInput,
        kOutput,
        kDirectLink
    } direction = entry.mapPdrIndex < 0x4000   ? kInput
                  : entry.mapPdrIndex < 0x8000 ? kOutput
                                               : kDirectLink;
    const auto byDirection = [direction](const std::string& input, const std::string& output) {
        return direction == kInput ? input : direction == kOutput ? output : "\t(* Direct Link *)";
    };
    const auto moduleComment = [](int word) {
        return "\t(* Module = " + decimalText((word >> 8) & 0xFF) +
               ", Sub-Module = " + decimalText(word & 0xFF) + "  *)";
    };
    putLine(out, zoned(mapAssignment("PDR_Index :=           16#", hex4Text(entry.mapPdrIndex)),
                       byDirection("\t(* IBS Input *)", "\t(* IBS Output *)")));
    putLine(out, zoned(mapAssignment("Source_Number :=       16#", hex4Text(entry.mapSourceNumber)),
                       byDirection(moduleComment(entry.mapSourceNumber),
                                   startComment(devices, entry.mapDestination, true,
                                                entry.mapSourceNumber))));
    putLine(out, zoned(mapAssignment("Source_Index :=        16#", hex4Text(entry.mapSourceIndex)),
                       byDirection("\t(* Input always 16#6010  *)", "\t(* Output always 0 *)")));
    putLine(out, zoned(mapAssignment("Destination_Number :=  16#", hex4Text(entry.mapDestination)),
                       byDirection(startComment(devices, entry.mapSourceNumber, false,
                                                entry.mapDestination - 512),
                                   moduleComment(entry.mapDestination))));
    putLine(out,
            zoned(mapAssignment("Destination_Index :=   16#", hex4Text(entry.mapDestinationIndex)),
                  byDirection("\t(* Input always 0 *)", "\t(* Output always 16#6011 *)")));
    putLine(out, mapAssignment("Start_Bit :=           ", decimalText(entry.mapStartBit)));
    putLine(out, mapAssignment("Data_Consistancy :=    ", decimalText(entry.mapDataCons)) +
                     "\t\t\t(* 0=16 bits, 1=32 bits, 2=8 bits *)");
}

void putMap(std::ostream& out, const SvcMapTable& map, const SvcDeviceTable& devices, int last) {
    // The description block is opened once before the first description and closed once
    // before the first reference after it.
    enum { kBefore, kInside, kAfter } descriptions = kBefore;
    for (int j = 1; j <= last; ++j) {
        const SvcMapEntry& entry = map.rows[static_cast<std::size_t>(j)];
        if (entry.mapDataCons == 3) {
            if (descriptions == kBefore) {
                putLine(out, "");
                putLine(out, "\t(* Start of Process Data Description *)");
                descriptions = kInside;
            }
            putDescription(out, entry);
        } else {
            if (descriptions == kInside) {
                putLine(out, "\t(* End of Process Data Description *)");
                putLine(out, "");
                descriptions = kAfter;
            }
            putReference(out, entry, devices);
        }
        putLine(out, "");
        putLine(out, kNextEntry);
    }
}

struct CommandBit {
    int bit;
    const char* value;
    const char* blanks;
    const char* text;
};

constexpr CommandBit kCommandBits[] = {
    {0, "TRUE", "  ", "Allow OS port (503) Modbus Server for all remote IP Addresses"},
    {1, "TRUE", "  ", "Allow Web Server (80) for all remote IP Addresses"},
    {2, "FALSE", " ", "Allow Debug Telnet Server (23) for all remote IP Addresses"},
    {3, "TRUE", " ", "Allow Ethernet/IP Control (44818) for all remote IP Addresses"},
    {4, "FALSE", " ", "Force Primary FDR PRM read"},
    {5, "FALSE", " ", "Force Secondary FDR PRM read"},
    {6, "FALSE", " ", "Copy Primary FDR PRM to Secondary FDR"},
    {8, "FALSE", " ", "Turn OFF Speaker"},
    {10, "TRUE", "  ", "Allow OS port 503 Modbus Server for PLC Subnet IP Addresses"},
    {11, "TRUE", "  ", "Allow Web Server (80) for PLC Subnet IP Addresses"},
    {12, "FALSE", " ", "Allow Debug Telnet Server (23) for PLC Subnet IP Addresses"},
    {13, "TRUE", " ", "Allow Ethernet/IP Control (44818) for PLC Subnet IP Addresses"},
};

void putCommandBits(std::ostream& out, int firstBit, int lastBit) {
    for (const CommandBit& command : kCommandBits) {
        if (command.bit >= firstBit && command.bit <= lastBit) {
            putLine(out, "(* PMEDWL_RR_SS.Outputs.PDWL_COMMAND." + decimalText(command.bit) +
                             " := " + command.value + ";*)" + command.blanks +
                             "\t\t(* TRUE = " + command.text + " *)");
        }
    }
    putLine(out, "");
}

// Options the user may enable by hand; all of them are comments.
void putCommentedOptions(std::ostream& out) {
    putLine(out, "(* IBS_Manage_d0_s0.Module.AUTO_START := TRUE;*)\t(* Turn on IBS Auto_start *)");
    putLine(out, "");
    putLine(out,
            "(* WARNING: PDWL_COMMAND bits 0-3 bypass the normal ACL to allow full access from any "
            "remote IP Address. *)");
    putLine(out, "");
    putCommandBits(out, 0, 3);
    putCommandBits(out, 4, 6);
    putCommandBits(out, 8, 8);
    putLine(out,
            "(* WARNING: PDWL_COMMAND bits 10-13 bypass the normal ACL to allow full access from "
            "any IP Address on the PLC Subnet. *)");
    putLine(out, "");
    putCommandBits(out, 10, 13);
}

}  // namespace

void writeSvcInitXst(std::ostream& out, const SvcDeviceTable& devices, const SvcMapTable& map,
                     const SvcPcpMarkText& pcpMarkText, int limit) {
    putStExchangeHead(out);
    putLine(out, "\t<program>");
    putLine(out,
            "\t\t<identProgram name=\"IBS_Init_d0_s0\" type=\"section\" "
            "task=\"MAST\"></identProgram>");
    putLine(out, "\t<STSource>(* Configure PMEDWL Module *)");
    putLine(out, "if %S21 or %S0 or %S1 then");
    putLine(out, "\tIBS_Manage_d0_s0.Entry := 0;");
    const int lastDevice = std::min({devices.deviceCount, limit, SvcDeviceTable::maxRow});
    for (int k = 1; k <= lastDevice; ++k) {
        putDevice(out, *devices.row(k), pcpMarkText);
    }
    putLine(out,
            "\tIBS_Manage_d0_s0.Config[IBS_Manage_d0_s0.Entry].Segment_Number := 0;\t(* End of "
            "Config *)");
    putLine(out, "");
    putMapLegend(out);
    putLine(out, "\tIBS_Manage_d0_s0.Entry := 0;");
    putMap(out, map, devices, std::min({map.storedCount, limit, SvcMapTable::maxRow}));
    putLine(out,
            "\tIBS_Manage_d0_s0.Map[IBS_Manage_d0_s0.Entry].PDR_Index := 16#0000;\t\t(* End of Map "
            "*)");
    putLine(out, " ");
    putLine(out,
            "\tIBS_Layout_CRC_d0_s0 (IBS_Manage_d0_s0);\t\t\t(* Calculate checksum on Config and "
            "Map *)");
    putLine(out, " ");
    putLine(out, "END_IF;");
    putLine(out, " ");
    putCommentedOptions(out);
    // The transfer stands outside the "if", so that it runs every scan.
    putLine(out,
            "IBS_Layout_Xfer_d0_s0 (IBS_d0_s0, IBS_Manage_d0_s0); \t\t(* Move Config and Map to "
            "PMEDWL *)");
    putLine(out, "");
    putLine(out, "</STSource>");
    putLine(out, "\t</program>");
    putLine(out, "\t<dataBlock>");
    putLine(out, "\t\t<variables name=\"IBS_Manage_d0_s0\" typeName=\"IBS_Manage\"></variables>");
    putLine(out, "\t\t<variables name=\"IBS_d0_s0\" typeName=\"T_d0_s0\"></variables>");
    putLine(out,
            "\t\t<variables name=\"IBS_Layout_CRC_d0_s0\" "
            "typeName=\"IBS_Layout_CRC\"></variables>");
    putLine(out,
            "\t\t<variables name=\"IBS_Layout_Xfer_d0_s0\" "
            "typeName=\"IBS_Layout_Xfer\"></variables>");
    putLine(out, "\t</dataBlock>");
    printIbsTemplateSet(out, IbsTemplateNames{"d0_s0", "DIOiby"});
    putLine(out, "</STExchangeFile>");
}

}  // namespace svc
