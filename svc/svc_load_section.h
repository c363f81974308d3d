#pragma once

// The program section that loads a decoded bus into an IBS_Manage variable when the PLC starts
// (%S21, %S0 or %S1): one Config entry per device and one Map entry per process-data entry,
// each table closed by its end entry, then the checksum call; and on every scan the call of the
// transfer block that moves both into the PMEDWL module. Both decoders of the tool family write
// it, each with its own names and a few texts of its own.

#include <array>
#include <functional>
#include <ostream>
#include <string>

#include "svc/svc_decode_tables.h"

namespace svc {

// The mark of a device's Module_ID comment by its PCP flag: nothing, or "PCP".
using SvcPcpMarkText = std::array<std::string, 2>;

struct SvcSectionNames {
    std::string section;        // the section itself
    std::string manage;         // the IBS_Manage variable
    std::string layoutCrc;      // the IBS_Layout_CRC instance
    std::string layoutXfer;     // the IBS_Layout_Xfer instance
    std::string device;         // the device variable handed to the transfer block
    std::string commandDevice;  // the device named in the commented-out command-bit lines
};

enum class SvcReferenceKind { Input, Output, DirectLink };

// By the PDR index: below 16#4000 input, up to 16#7FFF output, above that a direct link.
SvcReferenceKind svcReferenceKind(int pdrIndex);

// The comments after the PDR_Index, Source_Number, Source_Index, Destination_Number and
// Destination_Index lines of a process-data reference, each starting with its TAB.
using SvcReferenceComments = std::array<std::string, 5>;

struct SvcSectionForm {
    SvcSectionNames names;
    // DP_Word_Count lines end in "\t(* " + count + " " + unit + " *)".
    bool wordCountComment = true;
    // Blanks after "Start_Bit :=" on a process-data description's line.
    int descriptionStartBitBlanks = 11;
    std::function<SvcReferenceComments(const SvcMapEntry&, const SvcDeviceTable&)>
        referenceComments;
};

// From "\t<program>" to "\t</program>". At most `limit` devices and `limit` map entries are
// written; each table then ends with its end entry, the map's always with PDR_Index 16#0000.
void writeSvcLoadSection(std::ostream& out, const SvcDeviceTable& devices, const SvcMapTable& map,
                         const SvcPcpMarkText& pcpMarkText, int limit, const SvcSectionForm& form);

// An assignment, blanks to the next print zone, then its comment.
std::string svcZoned(const std::string& assignment, const std::string& comment);

}  // namespace svc
