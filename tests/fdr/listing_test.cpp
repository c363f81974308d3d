// The FDR server's listing: columns, the queue of module files, and the reports.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "fdr/listing/fdr_listing.h"

namespace {

// A listing line in the server's columns: 23 characters of mode and owner, the size right
// aligned in 16, the date in 13, then the name.
std::string Line(unsigned long size, const std::string& name, const char* end = "\r\n") {
    char head[64];
    std::snprintf(head, sizeof head, "%-23s%16lu%-13s", "-rw-rw-rw-   1 fdr", size,
                  " May 03  2022");
    return head + name + end;
}

struct Parsed {
    fdr::ReportTexts reports{"", "Connect to 10.0.0.1", "Connect to 10.0.0.1",
                             "Connect to 10.0.0.1"};
    fdr::FileQueue queue;
    std::string trace;
};

Parsed Parse(const std::string& listing) {
    Parsed parsed;
    std::ostringstream trace;
    fdr::parseListing(listing, parsed.reports, parsed.queue, trace);
    parsed.trace = trace.str();
    return parsed;
}

constexpr const char* kListingHead =
    "Connect to 10.0.0.1\r\nSize (bytes)\tDate\t\tFilename\r\n--------------------\t"
    "-----------------------\t-------------------------------------------------";

TEST(FdrListing, ColumnsOfALine) {
    const fdr::ListingEntry entry = fdr::parseListingLine(Line(1234, "r1_PMEKRT_s2.prm  ", "\r"));
    EXPECT_EQ(entry.size, "1234");
    EXPECT_EQ(entry.date, " May 03  2022");
    EXPECT_EQ(entry.name, "r1_PMEKRT_s2.prm");
    // A line too short for the name column has none; one without a CR keeps its last letter.
    EXPECT_EQ(fdr::parseListingLine("-rw-rw-rw-   1 fdr          99 May 0").name, "");
    EXPECT_EQ(fdr::parseListingLine(Line(5, "a_PMEDWL.prm", "")).name, "a_PMEDWL.prm");
}

TEST(FdrListing, ModuleFilesWithASizeAreQueuedAndEveryLineIsShownInAllThreeReports) {
    const Parsed parsed = Parse(Line(900, "r1_PMEKRT_s2.prm") + Line(0, "r1_PMEJQA_s3.prm") +
                                Line(700, "r1_ATV320.prm") + Line(800, "r2_PMEHVN_s1.prm") +
                                Line(10, "x_PMEDWL_y.prm", "\n"));
    EXPECT_EQ(parsed.queue.names,
              (std::vector<std::string>{"r1_PMEKRT_s2.prm", "r2_PMEHVN_s1.prm", "x_PMEDWL_y.prm"}));
    const std::string expected = std::string(kListingHead) +
                                 "\r\n900\t\t May 03  2022\tr1_PMEKRT_s2.prm"
                                 "\r\n0\t\t May 03  2022\tr1_PMEJQA_s3.prm"
                                 "\r\n700\t\t May 03  2022\tr1_ATV320.prm"
                                 "\r\n800\t\t May 03  2022\tr2_PMEHVN_s1.prm"
                                 "\r\n10\t\t May 03  2022\tx_PMEDWL_y.prm";
    for (int level : {1, 2, 3})
        EXPECT_EQ(parsed.reports[level], expected) << level;
    EXPECT_NE(parsed.trace.find("Size (bytes)\\tDate\\t\\tFilename\n"), std::string::npos);
    EXPECT_NE(parsed.trace.find("File Name = 'r1_ATV320.prm'\n"), std::string::npos);
}

TEST(FdrListing, ANameWithTwoMarkersIsFetchedOnce) {
    const Parsed parsed = Parse(Line(10, "a_PMEKRT_PMEDWL.prm"));
    EXPECT_EQ(parsed.queue.names, std::vector<std::string>{"a_PMEKRT_PMEDWL.prm"});
}

TEST(FdrListing, TheLastLineNeedNotEndInALineFeed) {
    const Parsed parsed = Parse(Line(10, "a_PMEKRT.prm") + Line(11, "b_PMEKRT.prm", ""));
    EXPECT_EQ(parsed.queue.names.size(), 2U);
}

TEST(FdrListing, AnEmptyListingShowsOnlyItsHead) {
    const Parsed parsed = Parse("");
    EXPECT_TRUE(parsed.queue.names.empty());
    for (int level : {1, 2, 3})
        EXPECT_EQ(parsed.reports[level], kListingHead);
}

TEST(FdrListing, MoreThanFiftyModuleFilesAreReportedNotQueued) {
    std::string listing;
    for (int n = 1; n <= 53; ++n)
        listing += Line(100 + n, "f" + std::to_string(n) + "_PMEKRT.prm");
    const Parsed parsed = Parse(listing);
    ASSERT_EQ(parsed.queue.names.size(), fdr::fileQueueCapacity);
    EXPECT_EQ(parsed.queue.names.front(), "f1_PMEKRT.prm");
    EXPECT_EQ(parsed.queue.names.back(), "f50_PMEKRT.prm");
    for (int n = 51; n <= 53; ++n) {
        const std::string line =
            "\r\nNot fetched (at most 50 files per query): f" + std::to_string(n) + "_PMEKRT.prm";
        for (int level : {1, 2, 3})
            EXPECT_NE(parsed.reports[level].find(line), std::string::npos) << n;
    }
}

TEST(FdrListing, ANameThatCouldCarryACommandIsNotFetched) {
    const Parsed parsed = Parse(Line(10, std::string("a_PMEKRT\rDELE x.prm")) +
                                Line(10, std::string("b_PMEKRT\0.prm", 14)));
    EXPECT_TRUE(parsed.queue.names.empty());
    EXPECT_NE(parsed.reports[3].find("Not fetched (the name holds control characters): "),
              std::string::npos);
    EXPECT_EQ(parsed.reports[3].find('\0'), std::string::npos);
}

TEST(FdrListing, ControlCharactersInANameKeepItFromTheQueue) {
    for (const char* inside : {"\x01", "\t", "\x1B", "\x7F"}) {
        const Parsed parsed = Parse(Line(10, "a_PMEKRT" + std::string(inside) + "x.prm"));
        EXPECT_TRUE(parsed.queue.names.empty()) << int(inside[0]);
        EXPECT_NE(parsed.reports[3].find("Not fetched (the name holds control characters): "),
                  std::string::npos)
            << int(inside[0]);
    }
}

TEST(FdrListing, ALineIsInTheServersLayoutWhenItsSizeColumnsHoldANumberAlignedRight) {
    // Lines as the listing is cut into them: without their line feeds.
    const struct {
        std::string line;
        bool inLayout;
    } cases[] = {
        {Line(589, "a_PMEKRT.prm", "\r"), true},
        {Line(589, "a_PMEKRT.prm", ""), true},
        {Line(0, "empty.prm", "\r"), true},
        {Line(1234567890123456, "a_PMEKRT.prm", "\r"), true},  // all 16 columns
        {Line(589, "ATV320 drive.prm  ", "\r"), true},
        {Line(589, "", "\r"), false},  // no name
        // The size written flush left, and in the middle of its columns.
        {std::string("-rw-rw-rw-   1 fdr     ") + "589             " + " May 03  2022" +
             "a_PMEKRT.prm\r",
         true},
        {std::string("-rw-rw-rw-   1 fdr     ") + "      589       " + " May 03  2022" +
             "a_PMEKRT.prm\r",
         false},
        {"-rw-r--r--    1 0        0             612 May 03 10:00 a_PMEKRT_s1.prm\r", false},
        {"-rw-r--r--    1 ftp      ftp         12345 May  3  2022 b_PMEDWL_s2.prm\r", false},
        {"-rw-r--r--   1 owner    group           589 May  3  2022 a_PMEKRT.prm\r", false},
        {"05-03-22  10:00AM                  612 a_PMEKRT_s1.prm\r", false},
        {"05-03-22  10:00AM       <DIR>          backup\r", false},
        {"total 12\r", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fdr::inServerLayout(c.line), c.inLayout) << c.line;
}

TEST(FdrListing, AListingWithNoLineInTheServersLayoutQueuesNothingAndSaysSo) {
    const std::string others =
        "total 8\r\n"
        "-rw-r--r--    1 0        0             612 May 03 10:00 ab_PMEKRT_PMEKRT_s1.prm\r\n"
        "-rw-r--r--    1 0        0             612 May 03 10:00 ab_PMEKRT_\x01_s2.prm\r\n"
        // IIS: its columns give the size 12345 and the name "s2_PMEKRT.prm".
        "05-03-22  10:00AM                12345 b_PMEDWL_IBS_s2_PMEKRT.prm\r\n";
    const struct {
        std::string listing;
        bool inLayout;
        size_t queued;
    } cases[] = {
        {others, false, 0},
        // One line of the layout is enough: the others are read by the columns as before.
        {others + Line(10, "a_PMEKRT.prm"), true, 2},
        {"", true, 0},
        {"\r\n", true, 0},
    };
    for (const auto& c : cases) {
        Parsed parsed;
        std::ostringstream trace;
        EXPECT_EQ(fdr::parseListing(c.listing, parsed.reports, parsed.queue, trace), c.inLayout)
            << c.listing;
        EXPECT_EQ(parsed.queue.names.size(), c.queued) << c.listing;
        if (!c.inLayout) {
            // Its lines are shown as they were cut, and no name is said to be held back.
            EXPECT_NE(parsed.reports[3].find("_PMEKRT_s1.prm"), std::string::npos);
            EXPECT_EQ(parsed.reports[3].find("Not fetched"), std::string::npos);
        }
    }
}

TEST(FdrListing, SizesCountTheirLeadingDigits) {
    EXPECT_EQ(fdr::listedSize("1234"), 1234U);
    EXPECT_EQ(fdr::listedSize("12ab"), 12U);
    EXPECT_EQ(fdr::listedSize(""), 0U);
    EXPECT_EQ(fdr::listedSize("-5"), 0U);
    EXPECT_GT(fdr::listedSize("99999999999999999999999"), 0U);
}

}  // namespace
