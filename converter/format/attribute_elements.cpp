#include "converter/format/attribute_elements.h"

namespace vornick {
namespace {

constexpr std::string_view tagOpening = "<attribute";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::size_t skipBlanks(std::string_view line, std::size_t at) {
    while (at < line.size() && isBlank(line[at])) {
        ++at;
    }
    return at;
}

// Reads the start tag's attributes from `at` (just behind "<attribute") up to its ">"; false
// when the tag breaks off. A "<" cannot stand inside a tag, not even in a quoted value: the
// tag has broken off there, and no tag is read past the start of the next one.
bool readTag(std::string_view line, std::size_t at, AttributeElement& element) {
    for (;;) {
        at = skipBlanks(line, at);
        if (at >= line.size()) {
            return false;
        }
        if (line[at] == '>' || line.substr(at, 2) == "/>") {
            return true;
        }
        const std::size_t nameStart = at;
        while (at < line.size() && !isBlank(line[at]) && line[at] != '=' && line[at] != '>' &&
               line[at] != '/' && line[at] != '<') {
            ++at;
        }
        const std::string_view name = line.substr(nameStart, at - nameStart);
        at = skipBlanks(line, at);
        if (name.empty() || at >= line.size() || line[at] != '=') {
            return false;
        }
        at = skipBlanks(line, at + 1);
        if (at >= line.size() || (line[at] != '"' && line[at] != '\'')) {
            return false;
        }
        const char quote[] = {line[at], '<', '\0'};
        const std::size_t closing = line.find_first_of(quote, at + 1);
        if (closing == std::string_view::npos || line[closing] == '<') {
            return false;
        }
        const std::string_view value = line.substr(at + 1, closing - at - 1);
        if (name == "name") {
            element.name = value;
        } else if (name == "value") {
            element.value = value;
            element.hasValue = true;
        }
        at = closing + 1;
    }
}

}  // namespace

std::vector<AttributeElement> attributeElements(std::string_view line) {
    std::vector<AttributeElement> elements;
    for (std::size_t at = line.find(tagOpening); at != std::string_view::npos;
         at = line.find(tagOpening, at + tagOpening.size())) {
        const std::size_t behind = at + tagOpening.size();
        // "<attributes" and the like are other elements.
        if (behind < line.size() && !isBlank(line[behind]) && line[behind] != '/' &&
            line[behind] != '>') {
            continue;
        }
        AttributeElement element;
        if (readTag(line, behind, element)) {
            elements.push_back(element);
        }
    }
    return elements;
}

}  // namespace vornick
