#include "svc/ibs_function_block.h"

#include "svc/ibs_templates.h"
#include "svc/svc_exchange_text.h"

namespace svc {
namespace {

void printLocals(std::ostream& out, const char* section,
                 const std::vector<IbsLocalVariable>& locals) {
    putLine(out, std::string("\t\t<") + section + ">");
    for (const IbsLocalVariable& local : locals) {
        const std::string opening =
            "\t\t\t<variables name=\"" + local.name + "\" typeName=\"" + local.typeName + "\">";
        if (local.initialValues.empty()) {
            putLine(out, opening + "</variables>");
            continue;
        }
        putLine(out, opening);
        for (std::size_t index = 0; index < local.initialValues.size(); ++index) {
            putLine(out, "\t\t\t\t<instanceElementDesc name=\"[" + std::to_string(index) + "]\">");
            putLine(out, "\t\t\t\t\t<value>" + local.initialValues[index] + "</value>");
            putLine(out, "\t\t\t\t</instanceElementDesc>");
        }
        putLine(out, "\t\t\t</variables>");
    }
    putLine(out, std::string("\t\t</") + section + ">");
}

}  // namespace

void printIbsFunctionBlock(std::ostream& out, const IbsFunctionBlock& block) {
    putLine(out, "\t<FBSource nameOfFBType=\"" + block.name + "\" version=\"" + ibsTemplateVersion +
                     "\" dateTime=\"" + ibsTemplateDateTime + "\">");
    putLine(out, "\t\t<attribute name=\"TypeCodeCheckSumString\" value=\"0000\"></attribute>");
    putLine(out, "\t\t<attribute name=\"TypeSignatureCheckSumString\" value=\"0000\"></attribute>");
    putLine(out, "\t\t<inOutParameters>");
    for (const IbsPin& pin : block.pins) {
        putLine(out,
                "\t\t\t<variables name=\"" + pin.name + "\" typeName=\"" + pin.typeName + "\">");
        putLine(out, "\t\t\t\t<attribute name=\"PositionPin\" value=\"" +
                         std::to_string(pin.position) + "\"></attribute>");
        putLine(out, "\t\t\t</variables>");
    }
    putLine(out, "\t\t</inOutParameters>");
    if (block.hasPublicLocals) {
        printLocals(out, "publicLocalVariables", block.publicLocals);
    }
    printLocals(out, "privateLocalVariables", block.privateLocals);
    putLine(out, "\t\t<FBProgram name=\"" + block.programName + "\">");
    putLine(out, "\t\t\t<STSource>");
    putLines(out, block.programText);
    putLine(out, "</STSource>");
    putLine(out, "\t\t</FBProgram>");
    putLine(out, "\t</FBSource>");
}

}  // namespace svc
