// Queries of a real FTP server: Debian's pyftpdlib serving device-replacement files made from
// the file format, each server on a port of its own.

#include <gtest/gtest.h>

#include <sstream>

#include "fdr/prm/decode_prm_file.h"
#include "tests/fdr/fdr_peer.h"
#include "tests/fdr/prm_builder.h"
#include "tests/fdr/query_runner.h"

namespace {

using fdr_test::FdrFtpServer;
using fdr_test::FileSet;
using fdr_test::kLoopback;
using fdr_test::OnPort;
using fdr_test::QueryRun;
using fdr_test::RunQuery;

constexpr const char* kListingHead =
    "\r\nSize (bytes)\tDate\t\tFilename\r\n--------------------\t"
    "-----------------------\t-------------------------------------------------";

std::string ListingLine(size_t size, const std::string& name) {
    return "\r\n" + std::to_string(size) + "\t\t May 03  2022\t" + name;
}

// Reports 1 and 2 as the decoder writes them for files as they lie on the server.
fdr::ReportTexts DecodedLocally(const FileSet& files, const std::vector<std::string>& order) {
    fdr::ReportTexts reports{};
    std::ostringstream trace;
    for (const std::string& name : order) {
        const std::vector<uint8_t>& bytes = files.at(name);
        fdr::decodePrmFile(bytes, name, reports, trace);
    }
    return reports;
}

TEST(FtpSession, AQueryListsFetchesAndDecodesTheModuleFiles) {
    std::vector<uint8_t> damaged = prm_builder::build(prm_builder::sampleModuleFile("JQA"));
    damaged[150] ^= 0x04;
    const FileSet files = {
        {"a_PMEKRT_s1.prm", prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"))},
        {"b_PMEDWL_IBS_s2.prm", prm_builder::build(prm_builder::sampleModuleFile("PMEDWL"))},
        {"c_ATV320.prm", prm_builder::build(prm_builder::sampleModuleFile("ATV"))},
        {"d_PMEKRT_new.prm", {}},
        {"e_PMEJQA_s4.prm", damaged},
    };
    FdrFtpServer server;
    const std::string address = kLoopback;
    ASSERT_TRUE(server.Start(files)) << server.failure();
    const QueryRun run = RunQuery(address, OnPort(server.port()));

    EXPECT_TRUE(run.errors.empty()) << run.errors.front();
    EXPECT_EQ(run.end, fdr::QueryEnd::Finished);
    // Fetched from the last queued to the first; the empty file and the other maker's file are
    // listed only; QUIT goes once.
    EXPECT_EQ(server.Commands(),
              (std::vector<std::string>{"", "USER fdrusers", "PASS ********", "CWD \\RAM0\\fdr",
                                        "TYPE I", "PASV", "LIST", "PASV", "RETR e_PMEJQA_s4.prm",
                                        "PASV", "RETR b_PMEDWL_IBS_s2.prm", "PASV",
                                        "RETR a_PMEKRT_s1.prm", "QUIT"}));
    std::string summary = "Connect to " + address + kListingHead;
    for (const auto& [name, bytes] : files)
        summary += ListingLine(bytes.size(), name);
    EXPECT_EQ(run.reports[3], summary);
    const fdr::ReportTexts local =
        DecodedLocally(files, {"e_PMEJQA_s4.prm", "b_PMEDWL_IBS_s2.prm", "a_PMEKRT_s1.prm"});
    EXPECT_EQ(run.reports[1], summary + local[1]);
    EXPECT_EQ(run.reports[2], summary + local[2]);
    // What the user looks for: the damaged file says so, the good ones say Good.
    EXPECT_NE(run.reports[2].find("e_PMEJQA_s4.prm\r\n\t                                +---"),
              std::string::npos);
    const size_t damagedAt = run.reports[2].find("\r\n\r\ne_PMEJQA_s4.prm");
    const size_t nextAt = run.reports[2].find("\r\n\r\nb_PMEDWL_IBS_s2.prm");
    ASSERT_NE(damagedAt, std::string::npos);
    ASSERT_NE(nextAt, std::string::npos);
    EXPECT_NE(run.reports[2].substr(damagedAt, nextAt - damagedAt).find("File Checksum =  FAIL"),
              std::string::npos);
    EXPECT_NE(run.reports[2].substr(nextAt).find("File Checksum =  Good"), std::string::npos);
    EXPECT_NE(run.reports[2].find("\r\n\tDTM Name = 'PMEDWL'"), std::string::npos);
    EXPECT_NE(run.reports[2].find("\r\n\tDTM Name = 'PMEKRT'"), std::string::npos);
    ASSERT_FALSE(run.progress.empty());
    EXPECT_EQ(run.progress.back(), 10);
    // The trace goes to a console anyone may read: the account's password stays out of it.
    EXPECT_NE(run.trace.find("PASS "), std::string::npos);
    EXPECT_EQ(run.trace.find("tkvomela"), std::string::npos);
}

TEST(FtpSession, AListingWithoutModuleFilesFetchesNothing) {
    const FileSet files = {{"c_ATV320.prm", {1, 2, 3}}, {"d_PMEHVN.prm", {}}};
    FdrFtpServer server;
    const std::string address = kLoopback;
    ASSERT_TRUE(server.Start(files)) << server.failure();
    const QueryRun run = RunQuery(address, OnPort(server.port()));
    EXPECT_TRUE(run.errors.empty());
    EXPECT_EQ(server.Commands(),
              (std::vector<std::string>{"", "USER fdrusers", "PASS ********", "CWD \\RAM0\\fdr",
                                        "TYPE I", "PASV", "LIST", "QUIT"}));
    const std::string summary = "Connect to " + address + kListingHead +
                                ListingLine(3, "c_ATV320.prm") + ListingLine(0, "d_PMEHVN.prm");
    for (int level : {1, 2, 3})
        EXPECT_EQ(run.reports[level], summary) << level;
}

TEST(FtpSession, AFileLargerThanOneReceiveIsReadWhole) {
    prm_builder::PrmFile file = prm_builder::sampleModuleFile("PMEKRT");
    std::vector<prm_builder::Variable> variables;
    for (uint16_t n = 1; n <= 4000; ++n)
        variables.push_back(prm_builder::uintVariable(n, static_cast<uint16_t>(n * 3)));
    file.sections.back() = prm_builder::variablesSection(variables);
    const FileSet files = {{"big_PMEKRT.prm", prm_builder::build(file)}};
    ASSERT_GT(files.at("big_PMEKRT.prm").size(), 8192U * 2);
    FdrFtpServer server;
    const std::string address = kLoopback;
    ASSERT_TRUE(server.Start(files)) << server.failure();
    const QueryRun run = RunQuery(address, OnPort(server.port()));
    EXPECT_TRUE(run.errors.empty());
    EXPECT_NE(run.reports[1].find("File Checksum =  Good"), std::string::npos);
    EXPECT_NE(run.reports[1].find("\r\n\t4000\t2 UINT  \t\t12000"), std::string::npos);
    EXPECT_EQ(run.reports[1].find("Decode Error"), std::string::npos);
}

TEST(FtpSession, AnAddressThatIsNeitherDottedNorAKnownNameIsRefused) {
    // Digits and dots that make no address are refused without asking the name service, so the
    // test does not depend on the machine's.
    for (const char* address : {"1.2.3.4.5", "256.0.0.1", ""}) {
        const QueryRun run = RunQuery(address, OnPort(fdr::fdrServerPort));
        EXPECT_EQ(run.errors, std::vector<std::string>{"Invalid IP Address"}) << address;
        EXPECT_EQ(run.reports, fdr::notQueriedReports()) << address;
    }
}

TEST(FtpSession, NoServerOnTheAddressFailsToConnect) {
    const fdr_test::RefusingPort refusing;
    const std::string address = kLoopback;
    const QueryRun run = RunQuery(address, OnPort(refusing.port()));
    EXPECT_EQ(run.errors, std::vector<std::string>{"Fail to Connect"});
    for (int level : {1, 2, 3})
        EXPECT_EQ(run.reports[level], "Connect to " + address + "\r\nFail to Connect");
}

}  // namespace
