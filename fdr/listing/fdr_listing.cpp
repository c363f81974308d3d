#include "fdr/listing/fdr_listing.h"

namespace fdr {

namespace {

constexpr std::size_t kSizeColumn = 23;  // 0-based
constexpr std::size_t kSizeWidth = 16;
constexpr std::size_t kDateColumn = 39;
constexpr std::size_t kDateWidth = 13;
constexpr std::size_t kNameColumn = 52;

std::string_view Columns(std::string_view line, std::size_t from, std::size_t width) {
    return from < line.size() ? line.substr(from, width) : std::string_view();
}

bool IsModuleFile(std::string_view name) {
    for (std::string_view marker : moduleFileMarkers) {
        if (name.find(marker) != std::string_view::npos)
            return true;
    }
    return false;
}

bool HoldsControlCharacters(std::string_view name) {
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

std::string_view WithoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool IsBlankLine(std::string_view line) {
    for (char c : line) {
        if (c != ' ' && c != '\t' && c != '\r')
            return false;
    }
    return true;
}

// Calls `each` with every line of the listing (without its line feed) until it returns false.
template <typename EachLine>
void ForEachLine(std::string_view listing, EachLine each) {
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t lineFeed = listing.find('\n', start);
        // A last line that the server did not end is still a line of the listing.
        if (lineFeed == std::string_view::npos)
            lineFeed = listing.size();
        if (!each(listing.substr(start, lineFeed - start)))
            return;
        start = lineFeed + 1;
    }
}

void ParseLine(std::string_view line, bool queueing, ReportTexts& reports, FileQueue& queue,
               std::ostream& trace) {
    const ListingEntry entry = parseListingLine(line);
    trace << "'" << line << "'\n"
          << "File Size = '" << entry.size << "'\n"
          << "File Date = '" << entry.date << "'\n"
          << "File Name = '" << entry.name << "'\n";
    appendToAllReports(reports,
                       reportSafe("\r\n" + entry.size + "\t\t" + entry.date + "\t" + entry.name));
    if (!queueing || !IsModuleFile(entry.name) || listedSize(entry.size) == 0)
        return;
    std::string refusal;
    if (HoldsControlCharacters(entry.name))
        refusal = "\r\nNot fetched (the name holds control characters): ";
    else if (queue.names.size() >= fileQueueCapacity)
        refusal = "\r\nNot fetched (at most 50 files per query): ";
    if (refusal.empty()) {
        queue.names.push_back(entry.name);
        queue.sizes.push_back(listedSize(entry.size));
        return;
    }
    trace << refusal.substr(2) << entry.name << "\n";
    appendToAllReports(reports, reportSafe(refusal + entry.name));
}

}  // namespace

bool inServerLayout(std::string_view line) {
    line = WithoutCarriageReturn(line);
    if (line.size() < kSizeColumn + kSizeWidth || parseListingLine(line).name.empty())
        return false;
    // A number that fills the columns from one side: aligned right, as the server writes it,
    // or left. Blanks on both sides are another server's columns crossing these.
    std::string_view size = line.substr(kSizeColumn, kSizeWidth);
    const bool alignedRight = size.front() == ' ';
    while (!size.empty() && size.front() == ' ')
        size.remove_prefix(1);
    if (!alignedRight) {
        while (!size.empty() && size.back() == ' ')
            size.remove_suffix(1);
    }
    if (size.empty())
        return false;
    for (char c : size) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

ListingEntry parseListingLine(std::string_view line) {
    line = WithoutCarriageReturn(line);
    ListingEntry entry;
    std::string_view size = Columns(line, kSizeColumn, kSizeWidth);
    while (!size.empty() && size.front() == ' ')
        size.remove_prefix(1);
    entry.size = std::string(size);
    entry.date = std::string(Columns(line, kDateColumn, kDateWidth));
    std::string_view name = Columns(line, kNameColumn, std::string_view::npos);
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    entry.name = std::string(name);
    return entry;
}

unsigned long long listedSize(std::string_view size) {
    unsigned long long value = 0;
    for (char c : size) {
        if (c < '0' || c > '9')
            break;
        // A size too large to count is still above 0.
        value = value > (~0ULL - 9) / 10 ? ~0ULL : value * 10 + static_cast<unsigned>(c - '0');
    }
    return value;
}

bool parseListing(std::string_view listing, ReportTexts& reports, FileQueue& queue,
                  std::ostream& trace) {
    bool inLayout = false;
    bool empty = true;
    ForEachLine(listing, [&](std::string_view line) {
        empty = empty && IsBlankLine(line);
        inLayout = inServerLayout(line);
        return !inLayout;
    });
    trace << "\nSize (bytes)\\tDate\\t\\tFilename\n"
          << "---------------- ------------ ---------------------\n";
    appendToAllReports(
        reports,
        "\r\nSize (bytes)\tDate\t\tFilename\r\n--------------------\t"
        "-----------------------\t-------------------------------------------------");
    ForEachLine(listing, [&](std::string_view line) {
        ParseLine(line, inLayout, reports, queue, trace);
        return true;
    });
    return inLayout || empty;
}

}  // namespace fdr
