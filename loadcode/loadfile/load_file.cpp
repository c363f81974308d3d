#include "loadcode/loadfile/load_file.h"

#include "loadcode/loadfile/load_section.h"
#include "svc/ibs_templates.h"
#include "svc/svc_exchange_text.h"

namespace loadcode {
namespace {

// The section's four variables, in the order the module's load code declares them.
void putDataBlock(std::ostream& out, const std::string& dtmName) {
    using svc::putLine;
    putLine(out, "\t<dataBlock>");
    putLine(out, "\t\t<variables name=\"IBS_Layout_CRC_" + dtmName +
                     "\" typeName=\"IBS_Layout_CRC\"></variables>");
    putLine(out,
            "\t\t<variables name=\"" + dtmName + "\" typeName=\"T_" + dtmName + "\"></variables>");
    putLine(out, "\t\t<variables name=\"IBS_Layout_Xfer_" + dtmName +
                     "\" typeName=\"IBS_Layout_Xfer\"></variables>");
    putLine(out, "\t\t<variables name=\"IBS_Manage_" + dtmName +
                     "\" typeName=\"IBS_Manage\"></variables>");
    putLine(out, "\t</dataBlock>");
}

}  // namespace

void writeTamselLoadFile(std::ostream& out, const svc::SvcDeviceTable& deviceTable,
                         const svc::SvcMapTable& mapTable, const std::string& dtmName,
                         const std::array<std::string, 2>& pcpTags) {
    svc::putStExchangeHead(out);
    svc::writeSvcLoadSection(out, deviceTable, mapTable, pcpTags, svc::svcPlcArrayEntries,
                             tamselSectionForm(dtmName));
    putDataBlock(out, dtmName);
    svc::printIbsTemplateSet(out, svc::IbsTemplateNames{dtmName, "DIOibs"});
    svc::putLine(out, "</STExchangeFile>");
}

}  // namespace loadcode
