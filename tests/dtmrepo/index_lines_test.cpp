#include "dtmrepo/repository/index_lines.h"

#include <gtest/gtest.h>

#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/description_fixture.h"

namespace {

using dtmrepo_test::indexLine;
using dtmrepo_test::Lines;

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

TEST(DtmIndexLines, TheEntryLineNamesTheProfileAndItsPictures) {
    auto outcome = dtmrepo_test::parseDescription(dtmrepo_test::sampleDescription());
    outcome.record.imageLarge = "a&b.jpg";
    EXPECT_EQ(dtmrepo::indexEntryLine(outcome.record, outcome.names),
              "  <File DDXMLFile=\"PME KRT 0302_Pump.XML\" Filename=\"PME KRT 0302_Pump.XML\" "
              "Fileversion=\"01.00\" ProductName=\"PMEKRT0302\" Vendorname=\"243\" "
              "ProductID=\"PME KRT 0302_Pump\" ImageLarge=\"pictures/a&amp;b.jpg\" "
              "ImageSmall=\"pictures/pmekrtsmall.ico\" ImageIcon=\"pictures/pmekrt.ico\" "
              "CompanyLogo=\"pictures/tvqlogo.jpg\" ImageCompanyIcon=\"pictures/tvq.ico\" "
              "CAPPLogo=\"pictures/TechnologyApproved.jpg\"/>");
}

TEST(DtmIndexLines, ANewEntryGoesAboveTheLastLine) {
    const auto merged =
        dtmrepo::mergeEntry({kHead, "<Root>", indexLine("A.XML", "1", "A"), "</Root>"},
                            "NEW DDXMLFile=\"B.XML\"", "B.XML");
    EXPECT_FALSE(merged.matched);
    EXPECT_EQ(merged.lines, (Lines{kHead, "<Root>", indexLine("A.XML", "1", "A"),
                                   "NEW DDXMLFile=\"B.XML\"", "</Root>"}));
    EXPECT_EQ(dtmrepo::mergeEntry({"only"}, "NEW", "B.XML").lines, (Lines{"NEW", "only"}));
    const auto empty = dtmrepo::mergeEntry({}, "NEW", "B.XML");
    EXPECT_FALSE(empty.placed);
}

// An index that lists the installed file twice (once in other letter case, as a file system
// that ignores case allows) keeps one entry, at the first one's place.
TEST(DtmIndexLines, AFileListedTwiceKeepsOneEntryAtTheFirstPlace) {
    const Lines index = {kHead,
                         "<Root>",
                         indexLine("pmx_1.xml", "1", "PMX_1"),
                         indexLine("B.XML", "1", "B"),
                         indexLine("PMX_1.XML", "1", "PMX_1"),
                         "</Root>"};
    const auto merged =
        dtmrepo::mergeEntry(index, indexLine("PMX_1.XML", "2", "PMX_1"), "PMX_1.XML");
    EXPECT_TRUE(merged.matched);
    EXPECT_EQ(merged.lines, (Lines{kHead, "<Root>", indexLine("PMX_1.XML", "2", "PMX_1"),
                                   indexLine("B.XML", "1", "B"), "</Root>"}));
}

TEST(DtmIndexLines, AReinstallReplacesItsOwnEntryOnly) {
    const Lines index = {kHead, "<Root>", indexLine("PMX_1.XML", "1", "PMX_1"),
                         indexLine("PMX_10.XML", "1", "PMX_10"), "</Root>"};
    // The identifier stands inside another entry's line: that one is not it.
    const auto merged =
        dtmrepo::mergeEntry(index, indexLine("PMX_1.XML", "2", "PMX_1"), "pmx_1.xml");
    EXPECT_TRUE(merged.matched);
    EXPECT_EQ(merged.lines, (Lines{kHead, "<Root>", indexLine("PMX_1.XML", "2", "PMX_1"),
                                   indexLine("PMX_10.XML", "1", "PMX_10"), "</Root>"}));
    const auto fresh = dtmrepo::mergeEntry(index, indexLine("PMX.XML", "1", "PMX"), "PMX.XML");
    EXPECT_FALSE(fresh.matched);
    EXPECT_EQ(fresh.lines.size(), index.size() + 1);
}

TEST(DtmIndexLines, RemovalTakesOnlyThatFilesLines) {
    const Lines index = {kHead,
                         "<Root>",
                         indexLine("A.XML", "1", "A"),
                         indexLine("AB.XML", "1", "AB"),
                         indexLine("A.XML", "2", "A"),
                         "</Root>"};
    const auto removed = dtmrepo::removeEntry(index, "A.XML");
    EXPECT_EQ(removed.removed, 2);
    EXPECT_EQ(removed.lines, (Lines{kHead, "<Root>", indexLine("AB.XML", "1", "AB"), "</Root>"}));
    EXPECT_EQ(dtmrepo::removeEntry(index, "C.XML").removed, 0);
    // An attribute that merely ends in the name is another attribute.
    EXPECT_FALSE(dtmrepo::fileAttribute("<File OldDDXMLFile=\"A.XML\"/>").has_value());
    EXPECT_EQ(*dtmrepo::fileAttribute("<File DDXMLFile=\"A&amp;B.XML\"/>"), "A&B.XML");
}

// After a DTM upgrade the index holds entries the install copy never knew: every line of the
// index stays, and only the copy's entries that it lacks come back.
TEST(DtmIndexLines, RestoreKeepsTheIndexAndAddsTheCopysMissingEntries) {
    const Lines index = {kHead,
                         "<Root version=\"new\">",
                         indexLine("A.XML", "9", "A"),
                         indexLine("X.XML", "5", "X"),
                         indexLine("N.XML", "1", "N"),
                         "</Root>"};
    const Lines copy = {kHead,
                        "<Root version=\"old\">",
                        indexLine("a.xml", "1", "A"),
                        indexLine("X.XML", "4", "X"),
                        indexLine("Y.XML", "1", "Y"),
                        indexLine("Y.XML", "1", "Y"),
                        "</Root>"};
    const auto restored = dtmrepo::restoreFromCopy(index, copy);
    EXPECT_EQ(restored.keys, 3u);
    EXPECT_TRUE(restored.changed);
    EXPECT_EQ(restored.lines, (Lines{kHead, "<Root version=\"new\">", indexLine("A.XML", "9", "A"),
                                     indexLine("X.XML", "5", "X"), indexLine("N.XML", "1", "N"),
                                     indexLine("Y.XML", "1", "Y"), "</Root>"}));
    // Nothing missing: nothing changes. No index lines: no place for the entries.
    EXPECT_FALSE(dtmrepo::restoreFromCopy(restored.lines, copy).changed);
    EXPECT_TRUE(dtmrepo::restoreFromCopy({}, copy).lines.empty());
    // An index without entries takes them all.
    EXPECT_EQ(dtmrepo::restoreFromCopy({kHead, "<Root>", "</Root>"}, copy).lines.size(), 6u);
}

// An index of a few thousand entries is realistic: every entry of both comes through, in
// order, and the merge reads each line's file name once instead of once per pair of lines
// (bench/brondel_restore times it).
TEST(DtmIndexLines, RestoreOfThousandsOfEntriesReadsEachLineOnce) {
    for (const int entries : {1, 10, 5000}) {
        Lines index = {kHead, "<Root>"};
        Lines copy = {kHead, "<Root>"};
        for (int n = 0; n < entries; ++n) {
            index.push_back(indexLine("Dav" + std::to_string(n) + ".XML", "1", "Dav"));
            copy.push_back(indexLine("Ours" + std::to_string(n) + ".XML", "1", "Ours"));
        }
        index.push_back("</Root>");
        copy.push_back("</Root>");
        const auto restored = dtmrepo::restoreFromCopy(index, copy);
        ASSERT_EQ(restored.lines.size(), 2u * entries + 3) << entries;
        EXPECT_EQ(restored.keys, static_cast<size_t>(entries));
        EXPECT_EQ(restored.lines[2], index[2]);
        EXPECT_EQ(restored.lines[entries + 2], copy[2]);
        EXPECT_EQ(restored.lines[2 * entries + 1], copy[entries + 1]);
        EXPECT_EQ(restored.lines.back(), "</Root>");
        EXPECT_LE(restored.attributeReads, index.size() + copy.size()) << entries;
    }
}

// A name is refused for what a Windows file name cannot hold, as the file call receives it:
// look-alikes that the ANSI conversion turns into points and separators included. Characters
// a command line would read are plain file-name characters: nothing runs these names.
TEST(DtmIndexLines, RepositoryNamesHoldNothingAWindowsFileNameCannot) {
    for (const char* name : {"PME KRT 0302_Pump", "PMX_1_2_v2.10", "a(b)", "a&del", "50%", "wow!",
                             "x^y", "$cost", "a;b", "back`quote", "caf\xC3\xA9"}) {
        EXPECT_FALSE(dtmrepo::checkRepositoryName(name, "x").has_value()) << name;
    }
    for (const char* name : {"", "..\\evil", "a/b", "x\"y", "end.", "end ", "tab\tname", "c:x",
                             "a|b", "a*b", "a?b", "a<b>",
                             "\xEF\xBC\x8E\xEF\xBC\x8E\xEF\xBC\x8F\xEF\xBC\x8E\xEF\xBC\x8E"
                             "\xEF\xBC\x8F"
                             "evil",  // fullwidth ．．／
                             "a\xEF\xBC\xBC"
                             "b",  // fullwidth reverse solidus
                             "a\xE2\x88\x95"
                             "b",  // division slash
                             "a\xE2\x81\x84"
                             "b",  // fraction slash
                             "c\xEF\xBC\x9A"
                             "x",                             // fullwidth colon
                             "\xE2\x80\xA4\xE2\x80\xA4x"}) {  // one dot leaders
        EXPECT_TRUE(dtmrepo::checkRepositoryName(name, "x").has_value()) << name;
    }
}

}  // namespace
