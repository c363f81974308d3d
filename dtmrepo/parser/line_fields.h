#pragma once

// One line of a preprocessed description, cut into its comma-separated fields.

#include <string>
#include <string_view>
#include <vector>

namespace dtmrepo {

// A line holds at most this many fields (fields 0 to 1000).
inline constexpr size_t maxLineFields = 1001;

struct LineFields {
    std::vector<std::string> fields;  // trimmed; a line without text has none
    int fieldCount = 0;               // the index of the last field: the number of commas
    std::string keyword;              // field 0 in upper case
    std::string trimmed;              // the whole line, blanks cut from both ends
    bool tooManyFields = false;       // more than maxLineFields: the fields are not kept

    // Field `index`, or an empty text when the line has no such field.
    const std::string& field(size_t index) const;
};

// Blanks are cut from both ends of the line and of every field; characters below the blank
// (tabs among them) are dropped wherever they stand.
LineFields splitLine(std::string_view line);

// The text without the blanks (only blanks) at either end.
std::string_view trimBlanks(std::string_view text);

}  // namespace dtmrepo
