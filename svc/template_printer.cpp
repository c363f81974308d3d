#include "svc/template_printer.h"

#include "svc/svc_exchange_text.h"

namespace svc {
namespace {

std::string attributeLine(const std::string& indent, const TemplateAttribute& attribute) {
    return indent + "<attribute name=\"" + attribute.first + "\" value=\"" + attribute.second +
           "\"></attribute>";
}

std::string variablesOpening(const std::string& name, const std::string& typeName) {
    return "\t\t\t<variables name=\"" + name + "\" typeName=\"" + typeName + "\">";
}

void printMember(const TemplateLineSink& sink, const TemplateMember& member, bool oneLine) {
    const std::string opening = variablesOpening(member.name, member.typeName);
    if (oneLine) {
        sink(opening + "</variables>");
        return;
    }
    sink(opening);
    if (!member.comment.empty()) {
        sink("\t\t\t\t<comment>" + xmlEscaped(member.comment) + "</comment>");
    }
    for (const TemplateAttribute& attribute : member.attributes) {
        sink(attributeLine("\t\t\t\t", attribute));
    }
    sink("\t\t\t</variables>");
}

void printVariable(const TemplateLineSink& sink, const TemplateVariable& variable) {
    const std::string opening = variablesOpening(variable.name, variable.typeName);
    const bool oneLine = variable.comment.empty() && variable.position == 0 &&
                         !variable.initialValue && variable.elementValues.empty();
    if (oneLine) {
        sink(opening + "</variables>");
        return;
    }
    sink(opening);
    if (!variable.comment.empty()) {
        sink("\t\t\t\t<comment>" + xmlEscaped(variable.comment) + "</comment>");
    }
    if (variable.position != 0) {
        sink(attributeLine("\t\t\t\t", {"PositionPin", std::to_string(variable.position)}));
    }
    if (variable.initialValue) {
        sink("\t\t\t\t<variableInit value=\"" + *variable.initialValue + "\"></variableInit>");
    }
    for (std::size_t index = 0; index < variable.elementValues.size(); ++index) {
        sink("\t\t\t\t<instanceElementDesc name=\"[" + std::to_string(index) + "]\">");
        sink("\t\t\t\t\t<value>" + variable.elementValues[index] + "</value>");
        sink("\t\t\t\t</instanceElementDesc>");
    }
    sink("\t\t\t</variables>");
}

void printSection(const TemplateLineSink& sink, const char* tag, const TemplateSection& section) {
    if (!section) {
        return;
    }
    sink(std::string("\t\t<") + tag + ">");
    for (const TemplateVariable& variable : *section) {
        printVariable(sink, variable);
    }
    sink(std::string("\t\t</") + tag + ">");
}

}  // namespace

TemplateVariable templateLocal(std::string name, std::string typeName) {
    TemplateVariable variable;
    variable.name = std::move(name);
    variable.typeName = std::move(typeName);
    return variable;
}

TemplateVariable templateInitialised(std::string name, std::string typeName, std::string value) {
    TemplateVariable variable = templateLocal(std::move(name), std::move(typeName));
    variable.initialValue = std::move(value);
    return variable;
}

TemplateVariable templatePin(std::string name, std::string typeName, int position,
                             std::string comment) {
    TemplateVariable variable = templateLocal(std::move(name), std::move(typeName));
    variable.position = position;
    variable.comment = std::move(comment);
    return variable;
}

TemplateLineSink streamLineSink(std::ostream& out) {
    return [&out](std::string_view line) { putLine(out, line); };
}

void TemplateDataType::setMemberType(const std::string& memberName, const std::string& typeName) {
    for (TemplateMember& candidate : members) {
        if (candidate.name == memberName) {
            candidate.typeName = typeName;
        }
    }
}

void printTemplateDataType(const TemplateLineSink& sink, const TemplateDataType& type) {
    sink("\t<DDTSource DDTName=\"" + type.name + "\" version=\"" + type.version + "\" dateTime=\"" +
         type.dateTime + "\">");
    if (!type.comment.empty()) {
        sink("\t\t<comment>" + xmlEscaped(type.comment) + "</comment>");
    }
    for (const TemplateAttribute& attribute : type.attributes) {
        sink(attributeLine("\t\t", attribute));
    }
    sink("\t\t<structure>");
    for (const TemplateMember& member : type.members) {
        printMember(sink, member, type.oneLineMembers);
    }
    sink("\t\t</structure>");
    sink("\t</DDTSource>");
}

void printTemplateFunctionBlock(const TemplateLineSink& sink, const TemplateFunctionBlock& block) {
    sink("\t<FBSource nameOfFBType=\"" + block.name + "\" version=\"" + block.version +
         "\" dateTime=\"" + block.dateTime + "\">");
    sink(attributeLine("\t\t", {"TypeCodeCheckSumString", block.codeCheckSum}));
    sink(attributeLine("\t\t", {"TypeSignatureCheckSumString", block.signatureCheckSum}));
    printSection(sink, "inputParameters", block.inputParameters);
    printSection(sink, "inOutParameters", block.inOutParameters);
    printSection(sink, "outputParameters", block.outputParameters);
    printSection(sink, "publicLocalVariables", block.publicLocals);
    printSection(sink, "privateLocalVariables", block.privateLocals);
    if (block.blankLineBeforeProgram) {
        sink("");
    }
    sink("\t\t<FBProgram name=\"" + block.programName + "\">");
    sink("\t\t\t<STSource>");
    forEachBlockLine(block.programText, sink);
    sink("</STSource>");
    sink("\t\t</FBProgram>");
    sink("\t</FBSource>");
}

}  // namespace svc
