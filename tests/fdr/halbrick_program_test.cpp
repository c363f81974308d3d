// The halbrick program as the user starts it: headless UI script and transcript, its own
// settings store, the trace on standard output, a query of pyftpdlib on port 21 of 127.0.0.1
// (the program has no other port); and its Windows resource script against the control tables.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include "fdr/ftp/ftp_session.h"
#include "fdr/window/halbrick_controls.h"
#include "fdr/window/halbrick_resource.h"
#include "platform/ui_resource_script.h"
#include "tests/fdr/fdr_peer.h"
#include "tests/fdr/prm_builder.h"

namespace {

using fdr_test::ReadText;

TEST(HalbrickProgram, AQueryFromTheWindowShowsTheThreeReportLevels) {
    fdr_test::FdrFtpServer server;
    const std::string address = fdr_test::kLoopback;
    std::vector<uint8_t> damaged = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    damaged[60] ^= 1;
    // Port 21 is the machine's: a user other than root may not bind it, and another run of
    // the suite, or a real FTP service, may hold it.
    if (!server.Start(
            {{"r1_PMEKRT_s2.prm", prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"))},
             {"r2_PMEKRT_s3.prm", damaged}},
            address, fdr::fdrServerPort))
        GTEST_SKIP() << "no FDR server on port 21 for the program to query: " << server.failure();
    fdr_test::TempFolder folder;
    std::ofstream(folder.File("script.txt"))
        << "text 1002 \"" << address << "\"\nclick 1001\nclick 1006\nclick 1006\nclose\n";
    const std::string command = "CALVENTO_REGISTRY='" + folder.File("registry.reg") +
                                "' CALVENTO_UI_SCRIPT='" + folder.File("script.txt") +
                                "' CALVENTO_UI_TRANSCRIPT='" + folder.File("ui.txt") + "' '" +
                                HALBRICK_EXECUTABLE + "' > '" + folder.File("trace.txt") + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    const std::string transcript = ReadText(folder.File("ui.txt"));
    EXPECT_EQ(transcript.rfind("open window \"Halbrick  Rev 03MAY2022\"\n", 0), 0U);
    EXPECT_NE(transcript.find("\nexit 0\n"), std::string::npos);
    EXPECT_EQ(transcript.find("msgbox"), std::string::npos);
    // Some detail after the query, then Summary, then High detail.
    const size_t some = transcript.find("report \"Connect to " + address);
    const size_t summary = transcript.find("field 1006 \"Summary\"");
    const size_t high = transcript.find("field 1006 \"High Detail\"");
    ASSERT_NE(some, std::string::npos);
    ASSERT_NE(summary, std::string::npos);
    ASSERT_NE(high, std::string::npos);
    EXPECT_LT(some, summary);
    EXPECT_LT(summary, high);
    const std::string someLine = transcript.substr(some, transcript.find('\n', some) - some);
    EXPECT_NE(someLine.find("r2_PMEKRT_s3.prm\\r\\n\\t                                +---"),
              std::string::npos);
    EXPECT_NE(someLine.find("File Checksum =  FAIL"), std::string::npos);
    EXPECT_NE(someLine.find("File Checksum =  Good"), std::string::npos);
    EXPECT_NE(someLine.find("DTM Name = 'PMEKRT'"), std::string::npos);
    EXPECT_NE(transcript.substr(high).find("\\t13\\t14 DWORD \\t\\t-40000"), std::string::npos);

    const std::string trace = ReadText(folder.File("trace.txt"));
    EXPECT_NE(trace.find("Connect to " + address + "\n"), std::string::npos);
    EXPECT_NE(trace.find("ftp return code = 226\n"), std::string::npos);
    EXPECT_NE(trace.find("RH_DeviceName = 'PMEKRT EtherNet/IP module'\n"), std::string::npos);

    EXPECT_NE(ReadText(folder.File("registry.reg")).find("\"IPaddress\"=\"" + address + "\""),
              std::string::npos);
}

TEST(HalbrickProgram, TheResourceScriptDescribesTheWindowAndMenuTheProgramBuilds) {
    const auto symbols = platform::ui::ParseDefines(ReadText(HALBRICK_RESOURCE_HEADER));
    ASSERT_FALSE(symbols.empty());
    const platform::ui::ResourceScript script =
        platform::ui::ParseResourceScript(ReadText(HALBRICK_RESOURCE_SCRIPT), symbols);
    for (const std::string& error : script.errors)
        ADD_FAILURE() << error;
    ASSERT_EQ(script.dialogs.size(), 1U);
    ASSERT_EQ(script.menus.size(), 1U);
    for (const std::string& difference : platform::ui::CompareResourceTables(
             script, {fdr::halbrickControlTable()}, {fdr::halbrickMenu()}))
        ADD_FAILURE() << difference;
}

}  // namespace
