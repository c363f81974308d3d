#pragma once

// The project file is never parsed as XML: every pass tests its lines by plain substring search
// and cuts values out by counting double quotes, as Control Expert writes one element (or a
// few) per line. These are the small text tools the passes share.

#include <optional>
#include <string>
#include <string_view>

#include "toolshell/ascii_case.h"

namespace extractor {

inline bool holds(std::string_view line, std::string_view text) {
    return line.find(text) != std::string_view::npos;
}

// Topological addresses and call names are matched on the upper-case form of a line.
using toolshell::upperCase;

// The text between the line's first and second double quote; empty when there are fewer than
// two.
std::string_view firstQuotedValue(std::string_view line);

// The text after `attribute` (e.g. "name=") between the double quote that follows it and the
// next double quote; empty when the line lacks either.
std::string_view attributeValue(std::string_view line, std::string_view attribute);

// Where the value of the attribute `name` stands in the line: the attribute is read by its
// whole name wherever it stands among the others ("name" is not the end of "typeName"), and its
// value runs from the double quote after "=" to the next. None when the line lacks it.
struct AttributeSpan {
    std::size_t at = 0;      // the first character of the value
    std::size_t length = 0;  // the value's length
};
std::optional<AttributeSpan> attributeSpan(std::string_view line, std::string_view name);

// The value of the attribute `name` (as attributeSpan finds it); empty when the line lacks it.
std::string_view namedAttribute(std::string_view line, std::string_view name);

// An empty element written as one tag, "<name/>" or "<name />", written as its two tags
// "<name></name>" instead, so the lines that go inside it find their place; false when the line
// holds no such tag.
bool expandEmptyElement(std::string& line, std::string_view name);

// The decimal value of the leading digits, leading blanks skipped; no digits give 0. Values too
// large for a word number are held at a ceiling instead of overflowing.
long leadingNumber(std::string_view text);

// True when the text (leading blanks skipped) starts with a digit.
bool startsWithDigit(std::string_view text);

// A configuration value line: the hexadecimal number whose digits begin at the third character
// after the line's first double quote ("0x00F2" gives 242), read up to the first character that
// is not a hexadecimal digit; no digits give 0.
long configurationValue(std::string_view line);

// Decimal text without a leading blank.
std::string decimal(long long value);

}  // namespace extractor
