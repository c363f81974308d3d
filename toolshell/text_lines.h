#pragma once

// Line input and output of the tool programs' text files: lines are read whole whatever their
// length, and written with CR LF line ends, as the Windows tools that read them expect.

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace toolshell {

// Reads the next line into `line` without its line end (LF, or CR LF). False at the end of
// the stream when nothing was left to read; a last line without a line end is still a line.
bool readTextLine(std::istream& in, std::string& line);

// Writes `text` followed by CR LF.
void writeTextLine(std::ostream& out, std::string_view text);

// Listings line their fields up in print zones of 14 characters.
inline constexpr std::size_t printZoneWidth = 14;

// The blanks that move an output line of `column` characters to the start of the next print
// zone: always 1 to 14, so a field that fills its zone exactly still gets a full zone after it.
std::string printZonePadding(std::size_t column);

// Appends that padding to `line`, whose length is the column reached.
void padToNextPrintZone(std::string& line);

}  // namespace toolshell
