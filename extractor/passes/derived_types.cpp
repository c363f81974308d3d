#include "extractor/passes/derived_types.h"

#include "extractor/project/line_text.h"

namespace extractor {

void DerivedTypeCatalogue::line(std::string_view text) {
    if (holds(text, "<DDTSource")) {
        open_ = &types_[std::string(namedAttribute(text, "DDTName"))];
        *open_ = DerivedType{};
        return;
    }
    if (open_ == nullptr) {
        return;
    }
    if (holds(text, "</DDTSource")) {
        open_ = nullptr;
        return;
    }
    if (holds(text, "<variables")) {
        if (open_->members++ == 0) {
            open_->firstMemberName = std::string(namedAttribute(text, "name"));
            open_->firstMemberType = std::string(namedAttribute(text, "typeName"));
        }
    }
}

const DerivedType* DerivedTypeCatalogue::find(std::string_view name) const {
    const auto at = types_.find(name);
    return at == types_.end() ? nullptr : &at->second;
}

}  // namespace extractor
