#pragma once

// Reading the lines of a project file (unitpro.xef): substring tests, attribute values and the
// numbers that addresses and identifiers carry. Every test is case-sensitive, as the project
// file writes its element and attribute names in one way only.

#include <string>
#include <string_view>

#include "toolshell/ascii_case.h"

namespace vornick {

inline bool holds(std::string_view line, std::string_view text) {
    return line.find(text) != std::string_view::npos;
}

// True when `key` occurs in `line` as a whole number-bearing key: where the key ends in a digit
// the next character may not be a digit, and where it begins with one the character before may
// not be, so "_d0_s1" is not found inside "_d0_s10" and the id "1" not inside "12".
bool holdsKey(std::string_view line, std::string_view key);

// Whether the occurrence of `key` at `at` in `text` is a whole key in that sense.
bool isWholeKeyAt(std::string_view text, std::size_t at, std::size_t keyLength,
                  std::string_view key);

// The value of an attribute: the text after `attribute` (" name=" and the like) and its opening
// double quote, up to the next double quote. Empty when the line lacks the attribute, its
// opening quote or its closing quote.
std::string attributeValue(std::string_view line, std::string_view attribute);

// A number as the project texts give it: leading blanks skipped, the decimal number at the start
// of the text (with an optional sign and fraction) taken to the nearest integer, 0 when the text
// does not start with one. Values beyond the integer range are held at its ends.
int readNumber(std::string_view text);

// True when the text, after leading blanks, starts with a decimal digit: a number was written.
bool startsWithNumber(std::string_view text);

// The programming tool's names compare in any letter case.
using toolshell::upperCase;

}  // namespace vornick
