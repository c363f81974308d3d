#include "dtmrepo/parser/number_text.h"

#include <gtest/gtest.h>

namespace {

using dtmrepo::canonicalOf;
using dtmrepo::passesNumberTest;

struct NumberCase {
    const char* text;
    bool passes;
    const char* canonical;  // what the message shows the user
};

TEST(DtmNumberText, OnlyTheCanonicalFormOfAValuePasses) {
    const NumberCase cases[] = {
        {"12", true, "12"},   {"-3", true, "-3"},     {"2.5", true, "2.5"},  {"0", true, "0"},
        {"012", false, "12"}, {"+12", false, "12"},   {"12.0", false, "12"}, {"12abc", false, "12"},
        {"0x10", false, "0"}, {"", false, "0"},       {"abc", false, "0"},   {".5", false, "0.5"},
        {"-0", false, "0"},   {"1e3", false, "1000"}, {"101", true, "101"},  {"0.1", true, "0.1"},
        {" 7", false, "7"},   {"1.", false, "1"},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(passesNumberTest(c.text), c.passes) << c.text;
        EXPECT_EQ(canonicalOf(c.text), c.canonical) << c.text;
    }
}

TEST(DtmNumberText, IntegersRoundHalvesToEvenAndStayBounded) {
    EXPECT_EQ(dtmrepo::integerValue("2.5"), 2);
    EXPECT_EQ(dtmrepo::integerValue("3.5"), 4);
    EXPECT_EQ(dtmrepo::integerValue("-2.5"), -2);
    EXPECT_EQ(dtmrepo::integerValue("7.49"), 7);
    // A value no description could mean is held, never overflowed.
    EXPECT_EQ(dtmrepo::integerValue("1e300"), 1000000000000000LL);
    EXPECT_EQ(dtmrepo::integerValue("-1e300"), -1000000000000000LL);
}

TEST(DtmNumberText, HexadecimalPathTexts) {
    EXPECT_EQ(dtmrepo::hexText(101), "65");
    EXPECT_EQ(dtmrepo::hexText(108), "6C");
    EXPECT_EQ(dtmrepo::hexText(0), "0");
    EXPECT_EQ(dtmrepo::hexText(-1), "FFFFFFFF");
}

}  // namespace
