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

void ParseLine(std::string_view line, ReportTexts& reports, FileQueue& queue, std::ostream& trace) {
    const ListingEntry entry = parseListingLine(line);
    trace << "'" << line << "'\n"
          << "File Size = '" << entry.size << "'\n"
          << "File Date = '" << entry.date << "'\n"
          << "File Name = '" << entry.name << "'\n";
    appendToAllReports(reports,
                       reportSafe("\r\n" + entry.size + "\t\t" + entry.date + "\t" + entry.name));
    if (!IsModuleFile(entry.name) || listedSize(entry.size) == 0)
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

ListingEntry parseListingLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
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

void parseListing(std::string_view listing, ReportTexts& reports, FileQueue& queue,
                  std::ostream& trace) {
    trace << "\nSize (bytes)\\tDate\\t\\tFilename\n"
          << "---------------- ------------ ---------------------\n";
    appendToAllReports(
        reports,
        "\r\nSize (bytes)\tDate\t\tFilename\r\n--------------------\t"
        "-----------------------\t-------------------------------------------------");
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t lineFeed = listing.find('\n', start);
        // A last line that the server did not end is still a line of the listing.
        if (lineFeed == std::string_view::npos)
            lineFeed = listing.size();
        ParseLine(listing.substr(start, lineFeed - start), reports, queue, trace);
        start = lineFeed + 1;
    }
}

}  // namespace fdr
