// A description whose loop expands into a flood of faults gives a report the user can read:
// the first few hundred messages and a count of the rest.

#include "dtmrepo/parser/check_report.h"

#include <gtest/gtest.h>

#include "tests/dtmrepo/description_fixture.h"

namespace {

size_t messagesIn(const std::string& text) {
    size_t count = 0;
    for (size_t at = text.find("   ERROR - "); at != std::string::npos;
         at = text.find("   ERROR - ", at + 1)) {
        ++count;
    }
    return count;
}

TEST(DtmCheckReport, AFloodOfFaultsListsTheFirstAndCountsTheRest) {
    dtmrepo_test::Lines lines = {"varHeading, configVars", "varName, S"};
    lines.insert(lines.end(), 3000, "varType, STRING");
    const auto run = dtmrepo_test::parseOnly(lines);
    const dtmrepo::CheckReport& report = run.report;
    ASSERT_GT(report.errorCount, 2000);
    const std::string shown = report.shown();
    EXPECT_LE(messagesIn(shown), 300u);
    EXPECT_LT(shown.size(), 100000u);
    EXPECT_NE(
        shown.find("more messages, not listed (" + std::to_string(report.errorCount) + " errors"),
        std::string::npos)
        << shown.substr(shown.size() - 300);
}

TEST(DtmCheckReport, AFewMessagesAreAllListed) {
    dtmrepo::CheckReport report;
    const dtmrepo::Trace trace;
    for (int n = 0; n < 3; ++n) {
        report.error("fault " + std::to_string(n), trace);
    }
    EXPECT_EQ(report.shown(), "\r\n   ERROR - fault 0\r\n   ERROR - fault 1\r\n   ERROR - fault 2");
}

}  // namespace
