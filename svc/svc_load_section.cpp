#include "svc/svc_load_section.h"

#include <algorithm>

#include "svc/svc_exchange_text.h"
#include "svc/svc_listing_output.h"
#include "svc/svc_number_text.h"

namespace svc {
namespace {

// "\t" + the variable + "." + what follows: every line of the section names IBS_Manage so.
struct Prefixes {
    std::string config;     // "\t<manage>.Config[<manage>.Entry]."
    std::string map;        // "\t<manage>.Map[<manage>.Entry]."
    std::string nextEntry;  // "\t<manage>.Entry := <manage>.Entry + 1;"
    std::string firstEntry;

    explicit Prefixes(const std::string& manage)
        : config("\t" + manage + ".Config[" + manage + ".Entry]."),
          map("\t" + manage + ".Map[" + manage + ".Entry]."),
          nextEntry("\t" + manage + ".Entry := " + manage + ".Entry + 1;"),
          firstEntry("\t" + manage + ".Entry := 0;") {}
};

std::string byteComment(const char* first, const char* second, int word) {
    return std::string("\t(* ") + first + decimalText((word >> 8) & 0xFF) + second +
           decimalText(word & 0xFF) + " *)";
}

void putDevice(std::ostream& out, const Prefixes& p, const SvcDevice& device,
               const SvcPcpMarkText& pcpMarkText, const SvcSectionForm& form) {
    const std::string& cp = p.config;
    putLine(out, cp + "Segment_Number :=   " + decimalText(device.busSegment) + ";");
    putLine(out, cp + "Segment_Position := " + decimalText(device.busPosition) + ";");
    putLine(out, cp + "Module_ID :=        " + decimalText(device.idCode) + ";\t(* " +
                     pcpMarkText[device.pcpFlag == 1 ? 1 : 0] + " " + device.directionText + " *)");
    std::string wordCount = cp + "DP_Word_Count :=    16#" + hex4Text(device.lengthCode) + ";";
    if (form.wordCountComment) {
        wordCount +=
            "\t(* " + decimalText(device.lengthCode & 15) + " " + device.lengthUnitText + " *)";
    }
    putLine(out, wordCount);
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
    putLine(out, p.nextEntry);
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

// The five word members of a map entry, with the blanks that line their values up.
struct WordMember {
    const char* label;
    int SvcMapEntry::*field;
};
constexpr WordMember kWordMembers[] = {
    {"PDR_Index :=           16#", &SvcMapEntry::mapPdrIndex},
    {"Source_Number :=       16#", &SvcMapEntry::mapSourceNumber},
    {"Source_Index :=        16#", &SvcMapEntry::mapSourceIndex},
    {"Destination_Number :=  16#", &SvcMapEntry::mapDestination},
    {"Destination_Index :=   16#", &SvcMapEntry::mapDestinationIndex},
};

void putWordMembers(std::ostream& out, const Prefixes& p, const SvcMapEntry& entry,
                    const SvcReferenceComments& comments) {
    for (std::size_t i = 0; i < std::size(kWordMembers); ++i) {
        putLine(out, svcZoned(p.map + kWordMembers[i].label +
                                  hex4Text(entry.*kWordMembers[i].field) + ";",
                              comments[i]));
    }
}

void putDescription(std::ostream& out, const Prefixes& p, const SvcMapEntry& entry,
                    const SvcSectionForm& form) {
    putWordMembers(
        out, p, entry,
        {"\t(* PDD Index *)", byteComment("Module = ", ", Submodule = ", entry.mapSourceNumber),
         byteComment("Data Direction = ", ", Type = ", entry.mapSourceIndex),
         "\t(* Byte Position *)",
         byteComment("Bit Position = ", ", Length = ", entry.mapDestinationIndex)});
    putLine(out, svcZoned(p.map + "Start_Bit :=" +
                              std::string(static_cast<std::size_t>(form.descriptionStartBitBlanks),
                                          ' ') +
                              decimalText(entry.mapStartBit) + ";",
                          "\t(* (not used) *)"));
    putLine(out, svcZoned(p.map + "Data_Consistancy :=    " + decimalText(entry.mapDataCons) + ";",
                          "\t(* 3 = Process Data Description *)"));
}

void putReference(std::ostream& out, const Prefixes& p, const SvcMapEntry& entry,
                  const SvcDeviceTable& devices, const SvcSectionForm& form) {
    putWordMembers(out, p, entry, form.referenceComments(entry, devices));
    putLine(out, p.map + "Start_Bit :=           " + decimalText(entry.mapStartBit) + ";");
    putLine(out, p.map + "Data_Consistancy :=    " + decimalText(entry.mapDataCons) + ";" +
                     "\t\t\t(* 0=16 bits, 1=32 bits, 2=8 bits *)");
}

void putMap(std::ostream& out, const Prefixes& p, const SvcMapTable& map,
            const SvcDeviceTable& devices, int last, const SvcSectionForm& form) {
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
            putDescription(out, p, entry, form);
        } else {
            if (descriptions == kInside) {
                putLine(out, "\t(* End of Process Data Description *)");
                putLine(out, "");
                descriptions = kAfter;
            }
            putReference(out, p, entry, devices, form);
        }
        putLine(out, "");
        putLine(out, p.nextEntry);
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

void putCommandBits(std::ostream& out, const std::string& device, int firstBit, int lastBit) {
    for (const CommandBit& command : kCommandBits) {
        if (command.bit >= firstBit && command.bit <= lastBit) {
            putLine(out, "(* " + device + ".Outputs.PDWL_COMMAND." + decimalText(command.bit) +
                             " := " + command.value + ";*)" + command.blanks +
                             "\t\t(* TRUE = " + command.text + " *)");
        }
    }
    putLine(out, "");
}

// Options the user may enable by hand; all of them are comments.
void putCommentedOptions(std::ostream& out, const SvcSectionNames& names) {
    putLine(out,
            "(* " + names.manage + ".Module.AUTO_START := TRUE;*)\t(* Turn on IBS Auto_start *)");
    putLine(out, "");
    putLine(out,
            "(* WARNING: PDWL_COMMAND bits 0-3 bypass the normal ACL to allow full access from any "
            "remote IP Address. *)");
    putLine(out, "");
    putCommandBits(out, names.commandDevice, 0, 3);
    putCommandBits(out, names.commandDevice, 4, 6);
    putCommandBits(out, names.commandDevice, 8, 8);
    putLine(out,
            "(* WARNING: PDWL_COMMAND bits 10-13 bypass the normal ACL to allow full access from "
            "any IP Address on the PLC Subnet. *)");
    putLine(out, "");
    putCommandBits(out, names.commandDevice, 10, 13);
}

}  // namespace

SvcReferenceKind svcReferenceKind(int pdrIndex) {
    return pdrIndex < 0x4000   ? SvcReferenceKind::Input
           : pdrIndex < 0x8000 ? SvcReferenceKind::Output
                               : SvcReferenceKind::DirectLink;
}

std::string svcZoned(const std::string& assignment, const std::string& comment) {
    return assignment + std::string(blanksToNextZone(assignment.size()), ' ') + comment;
}

void writeSvcLoadSection(std::ostream& out, const SvcDeviceTable& devices, const SvcMapTable& map,
                         const SvcPcpMarkText& pcpMarkText, int limit, const SvcSectionForm& form) {
    const SvcSectionNames& names = form.names;
    const Prefixes p(names.manage);
    putLine(out, "\t<program>");
    putLine(out, "\t\t<identProgram name=\"" + names.section +
                     "\" type=\"section\" task=\"MAST\"></identProgram>");
    putLine(out, "\t<STSource>(* Configure PMEDWL Module *)");
    putLine(out, "if %S21 or %S0 or %S1 then");
    putLine(out, p.firstEntry);
    const int lastDevice = std::min({devices.deviceCount, limit, SvcDeviceTable::maxRow});
    for (int k = 1; k <= lastDevice; ++k) {
        putDevice(out, p, *devices.row(k), pcpMarkText, form);
    }
    putLine(out, p.config + "Segment_Number := 0;\t(* End of Config *)");
    putLine(out, "");
    putMapLegend(out);
    putLine(out, p.firstEntry);
    putMap(out, p, map, devices, std::min({map.storedCount, limit, SvcMapTable::maxRow}), form);
    // The end entry is always the empty one after the last entry written.
    putLine(out, p.map + "PDR_Index := 16#0000;\t\t(* End of Map *)");
    putLine(out, " ");
    putLine(out, "\t" + names.layoutCrc + " (" + names.manage +
                     ");\t\t\t(* Calculate checksum on Config and Map *)");
    putLine(out, " ");
    putLine(out, "END_IF;");
    putLine(out, " ");
    putCommentedOptions(out, names);
    // The transfer stands outside the "if", so that it runs every scan.
    putLine(out, names.layoutXfer + " (" + names.device + ", " + names.manage +
                     "); \t\t(* Move Config and Map to PMEDWL *)");
    putLine(out, "");
    putLine(out, "</STSource>");
    putLine(out, "\t</program>");
}

}  // namespace svc
