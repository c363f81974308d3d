#include "svc/svc_structured_text.h"

#include "svc/ibs_templates.h"
#include "svc/svc_exchange_text.h"
#include "svc/svc_number_text.h"

namespace svc {
namespace {

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

std::string moduleComment(int word) {
    return "\t(* Module = " + decimalText((word >> 8) & 0xFF) +
           ", Sub-Module = " + decimalText(word & 0xFF) + "  *)";
}

SvcReferenceComments referenceComments(const SvcMapEntry& entry, const SvcDeviceTable& devices) {
    switch (svcReferenceKind(entry.mapPdrIndex)) {
        case SvcReferenceKind::Input:
            return {"\t(* IBS Input *)", moduleComment(entry.mapSourceNumber),
                    "\t(* Input always 16#6010  *)",
                    startComment(devices, entry.mapSourceNumber, false, entry.mapDestination - 512),
                    "\t(* Input always 0 *)"};
        case SvcReferenceKind::Output:
            return {"\t(* IBS Output *)",
                    startComment(devices, entry.mapDestination, true, entry.mapSourceNumber),
                    "\t(* Output always 0 *)", moduleComment(entry.mapDestination),
                    "\t(* Output always 16#6011 *)"};
        case SvcReferenceKind::DirectLink:
            break;
    }
    SvcReferenceComments directLink;
    directLink.fill("\t(* Direct Link *)");
    return directLink;
}

}  // namespace

void writeSvcInitXst(std::ostream& out, const SvcDeviceTable& devices, const SvcMapTable& map,
                     const SvcPcpMarkText& pcpMarkText, int limit) {
    SvcSectionForm form;
    form.names = {"IBS_Init_d0_s0",        "IBS_Manage_d0_s0", "IBS_Layout_CRC_d0_s0",
                  "IBS_Layout_Xfer_d0_s0", "IBS_d0_s0",        "PMEDWL_RR_SS"};
    form.referenceComments = referenceComments;
    putStExchangeHead(out);
    writeSvcLoadSection(out, devices, map, pcpMarkText, limit, form);
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
