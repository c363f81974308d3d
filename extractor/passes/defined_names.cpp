#include "extractor/passes/defined_names.h"

#include "extractor/project/line_text.h"

namespace extractor {

void DefinedTypeNames::line(std::string_view text) {
    if (holds(text, "<DDTSource")) {
        names_.insert(upperCase(namedAttribute(text, "DDTName")));
    } else if (holds(text, "<FBSource")) {
        names_.insert(upperCase(namedAttribute(text, "nameOfFBType")));
    }
}

bool DefinedTypeNames::defines(std::string_view name) const {
    return names_.count(upperCase(name)) > 0;
}

}  // namespace extractor
