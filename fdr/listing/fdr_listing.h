#pragma once

// The FDR server's directory listing: one file per line in fixed columns (1-based): the size
// in the 16 characters from column 24, the date in the 13 from column 40, the name from
// column 53 to the line end. Files of the maker's modules carry a marker in their names.

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "fdr/reports/report_texts.h"

namespace fdr {

struct ListingEntry {
    std::string size;  // leading blanks removed
    std::string date;  // as it stands
    std::string name;  // trailing blanks removed
};

// A line without its line feed; a carriage return at its end is not part of the name.
ListingEntry parseListingLine(std::string_view line);

// The numeric value of a size text (its leading digits; 0 when there are none).
unsigned long long listedSize(std::string_view size);

inline constexpr std::array<std::string_view, 4> moduleFileMarkers = {"_PMEKRT", "_PMEJQA",
                                                                      "_PMEHVN", "_PMEDWL"};

// The files to fetch, in listing order; the last one is fetched first.
inline constexpr std::size_t fileQueueCapacity = 50;
struct FileQueue {
    std::vector<std::string> names;
    std::vector<unsigned long long> sizes;  // as listed, one per name
};

// A line of the FDR server's own layout: a name, and in the size columns a number aligned
// right (or left). The columns of other servers (Unix `ls -l`, IIS) put other text there, or a
// number with blanks on both sides.
bool inServerLayout(std::string_view line);

// Parses the listing: the trace lines, the listing part of the three reports, and the queue
// of module files with a size above 0. Module files that cannot be queued (the queue is
// full, or the name holds control characters that no command may carry) are named in the
// reports instead. False when the listing holds lines but none in the server's layout: then
// nothing is queued, as its columns hold no sizes or names.
bool parseListing(std::string_view listing, ReportTexts& reports, FileQueue& queue,
                  std::ostream& trace);

}  // namespace fdr
