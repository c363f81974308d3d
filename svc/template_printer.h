#pragma once

// The Control Expert exchange-file text of generated PLC data types (DDTSource) and function
// blocks (FBSource). The text goes line by line to a sink, so that a file writer and a project
// rewriter that streams its own output can both take it.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace svc {

// Takes one line without its line end.
using TemplateLineSink = std::function<void(std::string_view line)>;

// A sink that writes each line to `out` ended in CR LF.
TemplateLineSink streamLineSink(std::ostream& out);

using TemplateAttribute = std::pair<std::string, std::string>;  // name, value

struct TemplateMember {
    std::string name;
    std::string typeName;
    std::string comment;  // empty: no comment line
    std::vector<TemplateAttribute> attributes;
};

struct TemplateDataType {
    std::string name;
    std::string version;
    std::string dateTime;
    std::string comment;  // empty: no comment line
    std::vector<TemplateAttribute> attributes;
    // Plain records print each member on one line; the status and device types print an
    // opening line, the comment and attributes, and a closing line.
    bool oneLineMembers = false;
    std::vector<TemplateMember> members;

    // Gives an existing member another type (earlier versions of a type differ only so).
    void setMemberType(const std::string& memberName, const std::string& typeName);
};

// A pin or a local variable of a function block.
struct TemplateVariable {
    std::string name;
    std::string typeName;
    std::string comment;                      // empty: no comment line
    int position = 0;                         // the PositionPin of a pin; 0 for a local variable
    std::optional<std::string> initialValue;  // a variableInit line
    std::vector<std::string> elementValues;   // initial values of an array, by index
};

// A local variable without initial value: one line.
TemplateVariable templateLocal(std::string name, std::string typeName);
// A local variable with a variableInit line.
TemplateVariable templateInitialised(std::string name, std::string typeName, std::string value);
// A pin at its PositionPin, with an optional comment.
TemplateVariable templatePin(std::string name, std::string typeName, int position,
                             std::string comment = {});

using TemplateSection = std::optional<std::vector<TemplateVariable>>;  // none: not written

struct TemplateFunctionBlock {
    std::string name;
    std::string version;
    std::string dateTime;
    std::string codeCheckSum = "0000";
    std::string signatureCheckSum = "0000";
    // Written in this order; a present section without variables is an empty pair of lines.
    TemplateSection inputParameters;
    TemplateSection inOutParameters;
    TemplateSection outputParameters;
    TemplateSection publicLocals;
    TemplateSection privateLocals;
    bool blankLineBeforeProgram = false;
    std::string programName;
    std::string programText;  // lines separated by LF, written from column 1
};

// One DDTSource element.
void printTemplateDataType(const TemplateLineSink& sink, const TemplateDataType& type);

// One FBSource element.
void printTemplateFunctionBlock(const TemplateLineSink& sink, const TemplateFunctionBlock& block);

}  // namespace svc
