#include "svc/ibs_templates.h"
#include "svc/svc_exchange_text.h"

namespace svc {
namespace {

std::string attributeLine(const std::string& indent, const IbsAttribute& attribute) {
    return indent + "<attribute name=\"" + attribute.first + "\" value=\"" + attribute.second +
           "\"></attribute>";
}

void printMember(std::ostream& out, const IbsMember& member, bool oneLine) {
    const std::string opening =
        "\t\t\t<variables name=\"" + member.name + "\" typeName=\"" + member.typeName + "\">";
    if (oneLine) {
        putLine(out, opening + "</variables>");
        return;
    }
    putLine(out, opening);
    if (!member.comment.empty()) {
        putLine(out, "\t\t\t\t<comment>" + xmlEscaped(member.comment) + "</comment>");
    }
    for (const IbsAttribute& attribute : member.attributes) {
        putLine(out, attributeLine("\t\t\t\t", attribute));
    }
    putLine(out, "\t\t\t</variables>");
}

}  // namespace

void printIbsDataType(std::ostream& out, const IbsDataType& type) {
    putLine(out, "\t<DDTSource DDTName=\"" + type.name + "\" version=\"" + type.version +
                     "\" dateTime=\"" + type.dateTime + "\">");
    if (!type.comment.empty()) {
        putLine(out, "\t\t<comment>" + xmlEscaped(type.comment) + "</comment>");
    }
    for (const IbsAttribute& attribute : type.attributes) {
        putLine(out, attributeLine("\t\t", attribute));
    }
    putLine(out, "\t\t<structure>");
    for (const IbsMember& member : type.members) {
        printMember(out, member, type.oneLineMembers);
    }
    putLine(out, "\t\t</structure>");
    putLine(out, "\t</DDTSource>");
}

void printIbsTemplateSet(std::ostream& out, const IbsTemplateNames& names) {
    printIbsLayoutCrc(out);
    printIbsDataType(out, ibsManageType());
    printIbsDataType(out, ibsConfigNodeType());
    printIbsDataType(out, ibsMapEntryType());
    printIbsDataType(out, ibsChannelType());
    printIbsDataType(out, ibsModuleType());
    printIbsDataType(out, ibsDeviceType(names));
    printIbsDataType(out, ibsDeviceInputType(names));
    printIbsDataType(out, ibsDeviceOutputType(names));
    printIbsLayoutXfer(out, names);
}

}  // namespace svc
