#pragma once

// What a program puts into its controls at run time, which its resource template cannot show:
// the longest text of each control that the program fills (a digest, a module's name, a status
// line), and the column widths it gives a list view.
//
// One entry a line, blank lines and lines starting with '#' skipped:
//   <dialog> <control> "text"                 the text, with \r \n \t \" \\ escapes
//   <dialog> <control> columns <w> <w> ...     list view columns, in pixels
// Dialogs and controls are numbers or names that the program's resource header defines.

#include <map>
#include <string>
#include <vector>

namespace layout_check {

struct SampleText {
    int dialog = 0;
    int control = 0;
    std::string text;          // empty for a column entry
    std::vector<int> columns;  // list view column widths
    int line = 0;              // where it stands in the file, for the report
};

// "#define NAME number" lines of a resource header.
std::map<std::string, int> ReadResourceNames(const std::string& headerPath, std::string& error);

// The entries of a texts file; a line that cannot be read fills `error` and ends the reading.
std::vector<SampleText> ReadSampleTexts(const std::string& path,
                                        const std::map<std::string, int>& names,
                                        std::string& error);

}  // namespace layout_check
