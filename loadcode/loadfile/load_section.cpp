#include "loadcode/loadfile/load_section.h"

#include "loadcode/loadfile/load_names.h"
#include "svc/svc_number_text.h"

namespace loadcode {
namespace {

using svc::decimalText;
using svc::realText;

// "Module = " the high byte, "Sub-Module = " the low byte of a device word.
std::string moduleComment(int word, const char* closing) {
    return "\t(* Module = " + decimalText((word >> 8) & 0xFF) +
           ", Sub-Module = " + decimalText(word & 0xFF) + closing;
}

// Input data lies in the dual-port memory from byte 16#0200 on; Inputs.IW counts its words.
std::string inputByteComment(int destination) {
    const int offset = destination - 512;
    return "\t(* DPM Start Byte = 16#0200 + " + decimalText(offset) + "   Inputs.IW[" +
           realText(offset / 2.0) + "] *)";
}

// Output data lies from byte 0 on. A word number with the fraction .5 names the odd byte of
// that word; the range ends at the entry's last byte, (source + 2 words - 1) / 2.
std::string outputByteComment(const svc::SvcMapEntry& entry,
                              const svc::SvcDeviceTable& deviceTable) {
    const int source = entry.mapSourceNumber;
    std::string text = "\t(* DPM Start Byte = 16#0000 + " + decimalText(source) + "   Outputs.QW[" +
                       realText(source / 2.0) + "]";
    const svc::SvcDevice* device = deviceTable.findByNumberWord(entry.mapDestination);
    // An entry whose device is not in the table has no known length: only its start is shown.
    if (device == nullptr || device->lengthCode == 1) {
        return text + " *)";
    }
    return text + " - Outputs.QW[" + realText((source - 1) / 2.0 + device->lengthCode) + "]  *)";
}

}  // namespace

svc::SvcReferenceComments tamselReferenceComments(const svc::SvcMapEntry& entry,
                                                  const svc::SvcDeviceTable& deviceTable) {
    switch (svc::svcReferenceKind(entry.mapPdrIndex)) {
        case svc::SvcReferenceKind::Input:
            return {"\t(* Input *)", moduleComment(entry.mapSourceNumber, " *)"),
                    "\t(* Always 16#6010 *)", inputByteComment(entry.mapDestination),
                    "\t(* Always 0 *)"};
        case svc::SvcReferenceKind::Output:
            return {"\t(* Output *)", outputByteComment(entry, deviceTable), "\t(* Always 0 *)",
                    moduleComment(entry.mapDestination, "  *)"), "\t(* Always 16#6011 *)"};
        case svc::SvcReferenceKind::DirectLink:
            break;
    }
    svc::SvcReferenceComments directLink;
    directLink.fill("\t(* Direct Link *)");
    return directLink;
}

svc::SvcSectionForm tamselSectionForm(const std::string& dtmName) {
    svc::SvcSectionForm form;
    form.names = tamselSectionNames(dtmName);
    form.wordCountComment = false;
    form.descriptionStartBitBlanks = 12;
    form.referenceComments = tamselReferenceComments;
    return form;
}

}  // namespace loadcode
