#include "converter/conversion/defined_names.h"

#include <algorithm>

#include "converter/format/xef_line.h"

namespace vornick {
namespace {

// The element that defines a name, and the attribute that holds it.
struct DefiningElement {
    std::string_view opening;
    std::string_view attribute;
    DefinedNames::Kind kind;
};

constexpr DefiningElement definingElements[] = {
    {"<DDTSource ", " DDTName=", DefinedNames::Kind::DataType},
    {"<FBSource ", " nameOfFBType=", DefinedNames::Kind::FunctionBlock},
    {"<identProgram ", " name=", DefinedNames::Kind::Section},
    {"<variables ", " name=", DefinedNames::Kind::Variable},
};

// Data types and function blocks share one set of names.
int nameSet(DefinedNames::Kind kind) {
    return kind == DefinedNames::Kind::FunctionBlock
               ? static_cast<int>(DefinedNames::Kind::DataType)
               : static_cast<int>(kind);
}

// The defining element a line holds; each of the line's tags is looked at once, so the many
// lines that define nothing cost one scan.
const DefiningElement* definingElementOf(std::string_view line, bool inDataBlock) {
    for (std::size_t at = line.find('<'); at != std::string_view::npos;
         at = line.find('<', at + 1)) {
        const std::string_view tag = line.substr(at);
        for (const DefiningElement& element : definingElements) {
            if (tag.substr(0, element.opening.size()) == element.opening &&
                (element.kind != DefinedNames::Kind::Variable || inDataBlock)) {
                return &element;
            }
        }
    }
    return nullptr;
}

const char* kindText(DefinedNames::Kind kind) {
    switch (kind) {
        case DefinedNames::Kind::DataType:
            return "data type";
        case DefinedNames::Kind::FunctionBlock:
            return "function block";
        case DefinedNames::Kind::Variable:
            return "variable";
        case DefinedNames::Kind::Section:
            return "section";
    }
    return "";
}

}  // namespace

DefinedNames::DefinedNames(const Inventory& inventory) {
    for (int k = 1; k <= inventory.moduleCount && k <= maxModules; ++k) {
        for (const std::string& part : {inventory.dtmEntryName[k], inventory.dtmIpAddress[k]}) {
            if (!part.empty()) {
                renamedNameParts_.push_back(upperCase(part));
            }
        }
    }
}

std::string DefinedNames::definedBy(std::string_view line, bool inDataBlock) {
    const DefiningElement* element = definingElementOf(line, inDataBlock);
    return element == nullptr ? std::string() : attributeValue(line, element->attribute);
}

bool DefinedNames::mayMeetARenamedName(const std::string& folded) const {
    return std::any_of(renamedNameParts_.begin(), renamedNameParts_.end(),
                       [&](const std::string& part) { return holds(folded, part); });
}

void DefinedNames::note(std::string_view rewritten, const std::string& original, bool inDataBlock,
                        int lineNumber) {
    const DefiningElement* element = definingElementOf(rewritten, inDataBlock);
    if (element == nullptr) {
        return;
    }
    std::string name = attributeValue(rewritten, element->attribute);
    if (name.empty()) {
        return;
    }
    const bool renamed = name != original;
    std::string folded = upperCase(name);
    if (!renamed && !mayMeetARenamedName(folded)) {
        return;
    }
    definitions_[{nameSet(element->kind), std::move(folded)}].push_back(
        {element->kind, lineNumber, std::move(name), renamed ? original : std::string()});
}

std::string DefinedNames::warning() const {
    // Each name defined more than once with a renamed definition among them, in the order of
    // their first definitions.
    std::vector<const std::vector<Definition>*> twice;
    for (const auto& [key, definitions] : definitions_) {
        const bool renamed =
            std::any_of(definitions.begin(), definitions.end(),
                        [](const Definition& d) { return !d.renamedFrom.empty(); });
        if (definitions.size() > 1 && renamed) {
            twice.push_back(&definitions);
        }
    }
    if (twice.empty()) {
        return {};
    }
    std::sort(twice.begin(), twice.end(),
              [](const auto* a, const auto* b) { return a->front().line < b->front().line; });
    std::string text =
        "WARNING: After the renames these names are defined more than once, so the project "
        "does not build until the extra definitions are removed by hand: ";
    for (std::size_t i = 0; i < twice.size(); ++i) {
        const std::vector<Definition>& definitions = *twice[i];
        text += (i > 0 ? "; " : "") + definitions.front().name + ": ";
        for (std::size_t j = 0; j < definitions.size(); ++j) {
            const Definition& d = definitions[j];
            text += std::string(j > 0 ? ", " : "") + kindText(d.kind) +
                    (i == 0 && j == 0 ? " at unitpro.xef line " : " at line ") +
                    std::to_string(d.line);
            if (!d.renamedFrom.empty()) {
                text += " (was " + d.renamedFrom + ")";
            }
        }
    }
    return text + ".";
}

}  // namespace vornick
