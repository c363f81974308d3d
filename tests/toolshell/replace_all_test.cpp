#include "toolshell/replace_all.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using toolshell::LetterCase;

struct ReplaceCase {
    const char* text;
    const char* search;
    const char* replacement;
    const char* expected;
    int replacements;
    bool refused;
};

void PrintTo(const ReplaceCase& c, std::ostream* os) {
    *os << '"' << c.text << "\" \"" << c.search << "\" -> \"" << c.replacement << '"';
}

class ReplaceAll : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceAll, FollowsTheRestartRule) {
    const ReplaceCase& c = GetParam();
    std::string text = c.text;
    const toolshell::ReplaceOutcome outcome =
        toolshell::replaceEvery(text, c.search, c.replacement);
    EXPECT_EQ(text, c.expected);
    EXPECT_EQ(outcome.replacements, c.replacements);
    EXPECT_EQ(outcome.refused, c.refused);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReplaceAll,
    ::testing::Values(ReplaceCase{"aXbXc", "X", "--", "a--b--c", 2, false},
                      // The second pass finds the "aa" that the first pass made.
                      ReplaceCase{"aaa", "aa", "a", "a", 2, false},
                      ReplaceCase{"aaaaaaaa", "aa", "a", "a", 7, false},
                      // The replacement joins with the text before it to form a new occurrence.
                      ReplaceCase{"aab", "ab", "b", "b", 2, false},
                      ReplaceCase{"xaabby", "ab", "", "xy", 2, false},
                      ReplaceCase{"bba", "ba", "ab", "abb", 2, false},
                      ReplaceCase{"no match here", "X", "Y", "no match here", 0, false},
                      ReplaceCase{"", "X", "Y", "", 0, false},
                      ReplaceCase{"X", "X", "", "", 1, false},
                      ReplaceCase{"%I0.3.1%", "%I0.", "DIO.", "DIO.3.1%", 1, false},
                      ReplaceCase{"abc", "abcd", "x", "abc", 0, false},
                      // Would never end: refused, text unchanged.
                      ReplaceCase{"abc", "", "x", "abc", 0, true},
                      ReplaceCase{"aXa", "X", "XX", "aXa", 0, true},
                      ReplaceCase{"aXa", "X", "X", "aXa", 0, true},
                      ReplaceCase{"IBY_x", "IBY_", "IBY_IBS_", "IBY_x", 0, true}));

TEST(ReplaceAll, UpdatesTheCallersTextAndReturnsIt) {
    std::string text = "a.b.c";
    std::string& result = toolshell::replaceAll(text, ".", "::");
    EXPECT_EQ(&result, &text);
    EXPECT_EQ(text, "a::b::c");
}

TEST(ReplaceAll, IgnoringCaseMatchesEitherCaseAndKeepsTheRest) {
    std::string text = "call iby_manage and IBY_Layout";
    const auto outcome = toolshell::replaceEvery(text, "IBY_", "IBS_", LetterCase::Ignore);
    EXPECT_EQ(text, "call IBS_manage and IBS_Layout");
    EXPECT_EQ(outcome.replacements, 2);

    std::string same = "Not yet set";
    EXPECT_TRUE(
        toolshell::replaceEvery(same, "not yet SET", "Not yet set", LetterCase::Ignore).refused);
    EXPECT_EQ(same, "Not yet set");
}

TEST(ReplaceAll, LongTextFinishesQuickly) {
    // Every pass but the last makes a new occurrence at the front: a rescan from the start
    // after each one would be quadratic in the text's length.
    std::string text(200000, 'a');
    const auto outcome = toolshell::replaceEvery(text, "aa", "a");
    EXPECT_EQ(text, "a");
    EXPECT_EQ(outcome.replacements, 199999);
}

}  // namespace
