// Which host a query talks to: the one the user typed, read as four decimal numbers, for the
// control connection and every data connection alike, whatever host a passive reply names.
// Each server listens on a port of its own, on loopback addresses of this machine.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/fdr/query_runner.h"
#include "tests/fdr/scripted_ftp_server.h"

namespace {

using fdr_test::ListingLine;
using fdr_test::OneFileServer;
using fdr_test::QueryRun;
using fdr_test::RunQuery;
using fdr_test::ScriptedFtpServer;
using fdr_test::ShortLimits;

bool Received(const ScriptedFtpServer& server, const std::string& command) {
    const std::vector<std::string> commands = server.Commands();
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

TEST(QueryHost, TheDataComeFromTheControlConnectionsHostWhateverThePassiveReplyNames) {
    // Another host of this machine that serves other files on the announced port.
    const std::string otherListing = ListingLine(700, "z_PMEDWL_other.prm");
    const struct {
        const char* announced;
        std::string otherHostData;
    } cases[] = {
        {"127.0.0.1", ""},
        {"127.0.0.2", otherListing},
        {"0.0.0.0", ""},
        {"10.255.255.1", ""},  // a controller's second interface, which the PC cannot reach
    };
    for (const auto& c : cases) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.passiveHost = c.announced;
        behaviour.otherHostData = c.otherHostData;
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour)) << c.announced;
        const QueryRun run = RunQuery("127.0.0.1", ShortLimits(server.port()));
        EXPECT_TRUE(run.errors.empty()) << c.announced << ": " << run.errors.front();
        EXPECT_TRUE(Received(server, "RETR a_PMEKRT.prm")) << c.announced;
        EXPECT_NE(run.reports[1].find("File Checksum =  Good"), std::string::npos) << c.announced;
        EXPECT_EQ(run.reports[3].find("z_PMEDWL_other.prm"), std::string::npos) << c.announced;
        // The engineer still sees what the server announced.
        EXPECT_NE(run.trace.find("(announced " + std::string(c.announced) + ")"), std::string::npos)
            << c.announced;
    }
}

TEST(QueryHost, AnAddressIsReadAsDecimalOrRefusedBeforeAnyConnection) {
    const struct {
        const char* typed;
        const char* served;  // the address whose server must be queried; empty: none at all
    } cases[] = {
        {"127.000.016.010", "127.0.16.10"},
        {"127.000.000.001", "127.0.0.1"},
        {"127.0.0.1", "127.0.0.1"},
        {"127.0.0.1 ", "127.0.0.1"},
        {"0x7f.0.0.1", ""},
        {"127.1", ""},
        {"127.0.1", ""},
        {"127.0.0.256", ""},
        {"0.0.0.0", ""},
    };
    for (const auto& c : cases) {
        // Every address it could be taken for is served: only the right one may be asked.
        const std::string served = c.served;
        ScriptedFtpServer right;
        ASSERT_TRUE(right.Start(OneFileServer(), served.empty() ? "127.0.0.1" : served));
        ScriptedFtpServer octal;
        ASSERT_TRUE(octal.Start(OneFileServer(), "127.0.14.8", right.port()));
        const QueryRun run = RunQuery(c.typed, ShortLimits(right.port()));
        if (served.empty()) {
            EXPECT_EQ(run.errors, std::vector<std::string>{"Invalid IP Address"}) << c.typed;
            EXPECT_TRUE(right.Commands().empty()) << c.typed;
            EXPECT_EQ(run.reports, fdr::notQueriedReports()) << c.typed;
        } else {
            EXPECT_TRUE(run.errors.empty()) << c.typed << ": " << run.errors.front();
            EXPECT_TRUE(Received(right, "QUIT")) << c.typed;
            // The reports are titled with the address as typed.
            EXPECT_EQ(run.reports[3].rfind("Connect to " + std::string(c.typed) + "\r\n", 0), 0U)
                << c.typed;
        }
        EXPECT_TRUE(octal.Commands().empty()) << c.typed;
    }
}

}  // namespace
