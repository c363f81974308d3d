#pragma once

// The "<attribute>" elements of a project line, read as an XML parser reads a start tag: their
// "name" and "value" attributes in either order, in double or single quotes, with blanks around
// "=", the element closed at once ("/>") or by its own closing tag. Projects written by other
// tools, or edited by hand, spell them in all these ways.

#include <string_view>
#include <vector>

namespace vornick {

struct AttributeElement {
    std::string_view name;   // empty when the element has none
    std::string_view value;  // empty when the element has none
    bool hasValue = false;
};

// Every well-formed "<attribute" start tag of the line, in line order; a tag that breaks off
// (no "=", no closing quote, the line's end) gives nothing. The texts point into `line`.
std::vector<AttributeElement> attributeElements(std::string_view line);

}  // namespace vornick
