// The counted replace-all of the rewrite.

#include "converter/conversion/replace_counted.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vornick::KeyMatch;
using vornick::replaceAllCounted;

struct Case {
    const char* text;
    const char* search;
    const char* replacement;
    KeyMatch matching;
    const char* expected;
    int count;
};

TEST(ReplaceAllCounted, ReplacesCountsAndEnds) {
    const Case cases[] = {
        {"IBY_IN_d0_s3", "IBY_IN", "IBS_IN", KeyMatch::Anywhere, "IBS_IN_d0_s3", 1},
        // Letters match in either case; the replacement goes in as given.
        {"call iby_in_x; IBY_In_y", "IBY_IN", "IBS_IN", KeyMatch::Anywhere,
         "call IBS_IN_x; IBS_IN_y", 2},
        {"no such name", "IBY_IN", "IBS_IN", KeyMatch::Anywhere, "no such name", 0},
        // Searching again from the start: a shorter replacement that joins with the text
        // before it makes a new occurrence.
        {"aabb", "ab", "", KeyMatch::Anywhere, "", 2},
        {"aaabb", "ab", "", KeyMatch::Anywhere, "a", 2},
        // A replacement that holds its search text goes in once per occurrence and ends.
        {"Not yet set; Not yet set", "Not yet set", "Not yet set", KeyMatch::Anywhere,
         "Not yet set; Not yet set", 2},
        {"IBS_Manage", "IBS_Manage", "IBS_Manage_Not yet set", KeyMatch::Anywhere,
         "IBS_Manage_Not yet set", 1},
        // A longer replacement that could join again ("ab" in "a" + "bbaa") would grow the line
        // without end under the restart rule; one pass replaces what the line held.
        {"aab", "ab", "bbaa", KeyMatch::Anywhere, "abbaa", 1},
        // An empty search text changes nothing.
        {"text", "", "x", KeyMatch::Anywhere, "text", 0},
        // Module suffixes match only where no further digit follows.
        {"IBS_DIO_d0_s10 := IBS_DIO_d0_s1;", "IBS_DIO_d0_s1", "PMEDWL_A", KeyMatch::WholeKey,
         "IBS_DIO_d0_s10 := PMEDWL_A;", 1},
        {"IBS_DIO_d0_s1", "IBS_DIO_d0_s1", "A", KeyMatch::WholeKey, "A", 1},
        {"'IBYREADVARIPd0_s1' 'IBYREADVARIPd0_s12'", "IBYREADVARIPd0_s1", "10.1.1.1",
         KeyMatch::WholeKey, "'10.1.1.1' 'IBYREADVARIPd0_s12'", 1},
        // Under the restart rule too: the digit after a joined occurrence keeps it.
        {"_d0_s1_d0_s12", "_d0_s1", "", KeyMatch::WholeKey, "_d0_s12", 1},
        {"_d0_s1_d0_s1", "_d0_s1", "", KeyMatch::WholeKey, "", 2},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        int count = 5;
        replaceAllCounted(text, c.search, c.replacement, count, c.matching);
        EXPECT_EQ(text, c.expected) << c.text << " / " << c.search;
        EXPECT_EQ(count, 5 + c.count) << c.text << " / " << c.search;
    }
}

TEST(ReplaceAllCounted, ALongLineWithManyOccurrencesStaysQuick) {
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += "IBY_IN_d0_s3;";
    }
    int count = 0;
    replaceAllCounted(text, "IBY_IN_d0_s3", "IBS_IN_A", count, KeyMatch::WholeKey);
    EXPECT_EQ(count, 200000);
    EXPECT_EQ(text.substr(0, 18), "IBS_IN_A;IBS_IN_A;");
}

}  // namespace

namespace {

TEST(ReplaceAllCounted, APassBeyondTheLengthLimitIsNotMade) {
    std::string text = "a a a";
    int count = 0;
    EXPECT_FALSE(replaceAllCounted(text, "a", "bbb", count, KeyMatch::Anywhere, 10));
    EXPECT_EQ(text, "a a a");
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(replaceAllCounted(text, "a", "bbb", count, KeyMatch::Anywhere, 11));
    EXPECT_EQ(text, "bbb bbb bbb");
    EXPECT_EQ(count, 3);
}

}  // namespace
