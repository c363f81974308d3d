// Halbrick's window through the headless UI: start state, presets, Esc, the detail button,
// prompts, the menu, the re-layout, and a query as the user runs it.

#include "fdr/window/halbrick_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>

#include "fdr/ftp/control_connection.h"
#include "fdr/window/halbrick_controls.h"
#include "fdr/window/halbrick_main.h"
#include "fdr/window/halbrick_resource.h"
#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "platform/ui_quote.h"
#include "tests/fdr/fdr_peer.h"
#include "tests/fdr/prm_builder.h"
#include "tests/fdr/query_runner.h"
#include "tests/fdr/scripted_ftp_server.h"
#include "tests/platform_registry/temp_store.h"
#include "tests/ui/job_lines.h"
#include "toolshell/tool_settings.h"

namespace {

namespace ui = platform::ui;

const std::string kKey = "SOFTWARE\\Calvento R&D\\Halbrick";

class HalbrickWindowTest : public ::testing::Test {
  protected:
    // Runs the program while the UI plays `script`, its queries going to `port`; returns the
    // exit code.
    int Run(const std::string& script, uint16_t port = fdr::fdrServerPort) {
        return Run(script, fdr_test::ShortLimits(port));
    }
    int Run(const std::string& script, const fdr::FtpSessionSettings& settings) {
        ui::headless::StartSession(script);
        fdr::HalbrickOptions options;
        options.trace = &trace_;
        options.settings = settings;
        return fdr::halbrickMain(options);
    }

    std::vector<std::string> Lines(const std::string& prefix = "") const {
        std::vector<std::string> lines;
        std::istringstream in(ui::headless::Transcript());
        for (std::string line; std::getline(in, line);) {
            if (line.rfind(prefix, 0) == 0)
                lines.push_back(line);
        }
        return lines;
    }

    static std::string FieldLine(int id, const std::string& text) {
        return "field " + std::to_string(id) + " " + ui::QuoteText(text);
    }
    // The address field's texts: the one it was made with, then each the program gave it.
    std::vector<std::string> AddressTexts() const {
        return Lines("field " + std::to_string(IDC_ADDRESS) + " ");
    }
    static std::string ReportLine(const std::string& text) {
        return "report " + ui::QuoteText(text);
    }

    std::string StoredAddress() const {
        std::string value;
        toolshell::readRegistryString(kKey, "IPaddress", value);
        return value;
    }

    TempStore store_;
    std::ostringstream trace_;
};

TEST_F(HalbrickWindowTest, FirstStartAsksForTheTargetAddress) {
    EXPECT_EQ(Run(""), 0);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "open window \"Halbrick  Rev 03MAY2022\"",
                           FieldLine(IDC_QUERY, "Query FDR Server"),
                           FieldLine(IDC_ADDRESS, "192.168.10.1"),
                           FieldLine(IDC_PRESET_USB, "USB"),
                           FieldLine(IDC_PRESET_192, "192.168.10.1"),
                           FieldLine(IDC_PRESET_172, "172.168.12.1"),
                           FieldLine(IDC_DETAIL, "Some Detail"),
                           "progress 1",
                           FieldLine(IDC_ADDRESS, "Enter Target IP Address"),
                       }));
    // No default is written.
    EXPECT_EQ(StoredAddress(), "");
}

TEST_F(HalbrickWindowTest, AKeptAddressOfSevenToFifteenCharactersIsShown) {
    const struct {
        const char* stored;
        const char* shown;
    } cases[] = {
        {"1.2.3.4", "1.2.3.4"},
        {"192.168.100.200", "192.168.100.200"},
        {"1.2.3", "Enter Target IP Address"},
        {"192.168.100.2000", "Enter Target IP Address"},
    };
    for (const auto& c : cases) {
        toolshell::writeRegistryString(kKey, "IPaddress", c.stored);
        Run("");
        EXPECT_EQ(AddressTexts().back(), FieldLine(IDC_ADDRESS, c.shown)) << c.stored;
    }
}

TEST_F(HalbrickWindowTest, TheDetailButtonCyclesThroughTheThreeReports) {
    Run("click " + std::to_string(IDC_DETAIL) + "\nkey " + std::to_string(IDC_DETAIL) +
        " 13\nclick " + std::to_string(IDC_DETAIL) + "\n");
    EXPECT_EQ(Lines("field " + std::to_string(IDC_DETAIL) + " "),
              (std::vector<std::string>{
                  FieldLine(IDC_DETAIL, "Some Detail"), FieldLine(IDC_DETAIL, "Summary"),
                  FieldLine(IDC_DETAIL, "High Detail"), FieldLine(IDC_DETAIL, "Some Detail")}));
    // "Not Queried" without the full stop of the field's first text, the same at each level.
    EXPECT_EQ(Lines("report "), std::vector<std::string>{ReportLine("Not Queried")});
}

TEST_F(HalbrickWindowTest, PresetsFillTheFieldAndEscRestoresTheLastOne) {
    toolshell::writeRegistryString(kKey, "IPaddress", "10.20.30.40");
    const std::string address = std::to_string(IDC_ADDRESS);
    Run("text " + address + " \"9.9.9.9\"\nkey " + address + " 27\nclick " +
        std::to_string(IDC_PRESET_USB) + "\ntext " + address + " \"typed\"\nkey " + address +
        " 27\nkey " + std::to_string(IDC_PRESET_172) + " 13\nkey " +
        std::to_string(IDC_PRESET_192) + " 13\n");
    EXPECT_EQ(AddressTexts(), (std::vector<std::string>{
                                  FieldLine(IDC_ADDRESS, "192.168.10.1"),  // made with it
                                  FieldLine(IDC_ADDRESS, "10.20.30.40"),   // kept at start
                                  FieldLine(IDC_ADDRESS, "10.20.30.40"),   // Esc after typing
                                  FieldLine(IDC_ADDRESS, "90.0.0.1"),      // the USB preset
                                  FieldLine(IDC_ADDRESS, "90.0.0.1"),      // Esc gives it back
                                  FieldLine(IDC_ADDRESS, "172.168.12.1"),
                                  FieldLine(IDC_ADDRESS, "192.168.10.1"),
                              }));
    // Presets do not query, and only a query writes the setting.
    EXPECT_EQ(StoredAddress(), "10.20.30.40");
    EXPECT_TRUE(Lines("msgbox").empty());
}

TEST_F(HalbrickWindowTest, ClicksAroundAnEmptyFieldPutThePromptThereAndAClickInItClearsIt) {
    const std::string address = std::to_string(IDC_ADDRESS);
    Run("text " + address + " \"\"\nclick 0\nclick " + address + "\nclick " + address + "\ntext " +
        address + " \"\"\nclick " + std::to_string(IDC_QUERY) + "\n");
    const std::vector<std::string> lines = AddressTexts();
    ASSERT_EQ(lines.size(), 5U);
    EXPECT_EQ(lines[2], FieldLine(IDC_ADDRESS, "Enter IP Address..."));
    EXPECT_EQ(lines[3], FieldLine(IDC_ADDRESS, ""));
    // The query button's press puts the prompt in; its release then queries with it, which is
    // no address, and the box says so.
    EXPECT_EQ(lines[4], FieldLine(IDC_ADDRESS, "Enter IP Address..."));
    EXPECT_EQ(Lines("msgbox"),
              std::vector<std::string>{
                  "msgbox \"Error\" \"Invalid IP Address\\r\\n\\r\\n\\\"Enter IP Address...\\\" is "
                  "neither an IPv4 address nor a known host name.\" icon stop over \"Halbrick  Rev "
                  "03MAY2022\" -> OK"});
    // A prompt is never kept as the address.
    EXPECT_EQ(StoredAddress(), "");
}

TEST_F(HalbrickWindowTest, TheFirstStartPromptIsClearedByAClickAndNeverKept) {
    const std::string address = std::to_string(IDC_ADDRESS);
    Run("click " + address + "\nclick " + std::to_string(IDC_DETAIL) + "\nkey " + address +
        " 27\nkey " + address + " 13\n");
    const std::vector<std::string> lines = AddressTexts();
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[1], FieldLine(IDC_ADDRESS, "Enter Target IP Address"));
    EXPECT_EQ(lines[2], FieldLine(IDC_ADDRESS, ""));
    // Esc gives the prompt back (it is what the field showed at start); a query with it
    // stores nothing.
    EXPECT_EQ(lines[3], FieldLine(IDC_ADDRESS, "Enter Target IP Address"));
    EXPECT_EQ(Lines("msgbox").size(), 1U);
    EXPECT_EQ(StoredAddress(), "");
}

TEST_F(HalbrickWindowTest, MenuAboutAndExit) {
    EXPECT_EQ(Run("menu " + std::to_string(IDM_ABOUT) + "\nmenu " + std::to_string(IDM_EXIT) +
                  "\nmenu " + std::to_string(IDM_ABOUT) + "\n"),
              0);
    const std::vector<std::string> boxes = Lines("msgbox");
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0].rfind("msgbox \"About\" \"Halbrick    Rev 03MAY2022\\r\\n", 0), 0U);
    // Over the main window, so a click on the window cannot hide it.
    const std::string end = " icon information over \"Halbrick  Rev 03MAY2022\" -> OK";
    ASSERT_GT(boxes[0].size(), end.size());
    EXPECT_EQ(boxes[0].substr(boxes[0].size() - end.size()), end);
}

TEST_F(HalbrickWindowTest, TheCloseBoxEndsTheProgram) {
    EXPECT_EQ(Run("close\nmenu " + std::to_string(IDM_ABOUT) + "\n"), 0);
    EXPECT_TRUE(Lines("msgbox").empty());
}

TEST_F(HalbrickWindowTest, TheReportFieldFollowsTheWindowSizeAtItsNextMessage) {
    ui::headless::StartSession("size 900 300\n");
    fdr::HalbrickState state;
    fdr::HalbrickWindow window(state, trace_, fdr_test::ShortLimits(fdr::fdrServerPort));
    ASSERT_TRUE(window.create());
    ui::Window report = ui::ItemWindow(window.mainWindow(), IDC_REPORT);
    // The field fills the 700 x 600 window from the start, before the loop runs (on Windows
    // the window's first paint never reaches the loop).
    EXPECT_EQ(ui::GetClientRect(report).Width(), 660);
    EXPECT_EQ(ui::GetClientRect(report).Height(), 500);
    ui::RunMessageLoop([&window, report](ui::Window, const ui::Message& message) {
        // The new size is not followed until the window's next message.
        if (message.kind == ui::MessageKind::Size) {
            EXPECT_EQ(ui::GetClientRect(report).Width(), 660);
        }
        return window.observe(message);
    });
    EXPECT_EQ(ui::GetClientRect(report).Width(), 860);
    EXPECT_EQ(ui::GetClientRect(report).Height(), 200);
}

TEST_F(HalbrickWindowTest, TheWindowKeepsTheDetailButtonAndThePresetsInView) {
    // The user drags the frame small: the detail button (ending at 650) and the presets
    // (ending at 74) stay in view, and the report keeps a few lines.
    fdr::HalbrickState state;
    ui::headless::StartSession("size 300 50\n");
    fdr::HalbrickWindow window(state, trace_, fdr_test::ShortLimits(fdr::fdrServerPort));
    ASSERT_TRUE(window.create());
    ui::RunMessageLoop(
        [&window](ui::Window, const ui::Message& message) { return window.observe(message); });
    const ui::Rect client = ui::GetClientRect(window.mainWindow());
    EXPECT_GE(client.Width(), 650 + 20);
    EXPECT_GE(client.Height(), 90 + 60);
    EXPECT_GE(ui::GetClientRect(ui::ItemWindow(window.mainWindow(), IDC_REPORT)).Height(), 60);
}

TEST_F(HalbrickWindowTest, AQueryShowsTheReportOfEachLevelAndKeepsTheAddress) {
    fdr_test::FdrFtpServer server;
    const std::string address = fdr_test::kLoopback;
    ASSERT_TRUE(
        server.Start({{"a_PMEKRT_s1.prm", prm_builder::build(prm_builder::sampleModuleFile("KRT"))},
                      {"c_ATV320.prm", {1, 2, 3}}}))
        << server.failure();
    const std::string detail = std::to_string(IDC_DETAIL);
    Run("text " + std::to_string(IDC_ADDRESS) + " \"" + address + "\"\nkey " +
            std::to_string(IDC_ADDRESS) + " 13\nclick " + detail + "\nclick " + detail + "\n",
        server.port());
    const std::vector<std::string> reports = Lines("report ");
    ASSERT_EQ(reports.size(), 3U);
    // Some detail first, then Summary, then High detail.
    EXPECT_NE(reports[0].find("DTM Name = 'KRT'"), std::string::npos) << reports[0];
    EXPECT_EQ(reports[0].find("\\tInstance\\tType"), std::string::npos);
    EXPECT_EQ(reports[1].rfind("report \"Connect to " + address + "\\r\\nSize (bytes)", 0), 0U);
    EXPECT_EQ(reports[1].find("Config Checksum"), std::string::npos);
    EXPECT_NE(reports[1].find("\\r\\n3\\t\\t May 03  2022\\tc_ATV320.prm"), std::string::npos);
    EXPECT_NE(reports[2].find("\\tInstance\\tType\\t\\tValue"), std::string::npos);
    EXPECT_NE(reports[2].find("File Checksum =  Good"), std::string::npos);
    EXPECT_TRUE(Lines("msgbox").empty());
    EXPECT_EQ(StoredAddress(), address);
    // The progress bar ends full.
    EXPECT_EQ(Lines("progress ").back(), "progress 10");
}

TEST_F(HalbrickWindowTest, AFailedQueryIsShownAndItsAddressIsStillKept) {
    const fdr_test::RefusingPort refusing;
    const std::string address = fdr_test::kLoopback;
    Run("text " + std::to_string(IDC_ADDRESS) + " \"" + address + "\"\nclick " +
            std::to_string(IDC_QUERY) + "\n",
        refusing.port());
    // The box names the address, the port and what may be wrong. It comes while the query
    // runs, over the window that says so.
    EXPECT_EQ(
        Lines("msgbox"),
        std::vector<std::string>{
            "msgbox \"Error\" " +
            ui::QuoteText("Fail to Connect\r\n\r\nNo FTP server answered at \"" + address +
                          "\", port " + std::to_string(refusing.port()) +
                          ": the controller is off, unreachable, or its FDR server is not "
                          "running.") +
            " icon stop over \"Querying " + address + "... - Halbrick  Rev 03MAY2022\" -> OK"});
    EXPECT_EQ(Lines("report "),
              (std::vector<std::string>{
                  ReportLine(""), ReportLine("Connect to " + address + "\r\nFail to Connect")}));
    EXPECT_EQ(StoredAddress(), address);
}

TEST_F(HalbrickWindowTest, AServerThatResetsTheConnectionBeforeAByteEndsTheProgram) {
    fdr_test::ScriptedFtpServer::Behaviour behaviour;
    behaviour.resetAtAccept = true;
    fdr_test::ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    fdr::FtpSessionSettings settings = fdr_test::ShortLimits(server.port());
    // Time enough for a busy machine: the wait below ends as soon as the reset is in.
    settings.replyMs = 5000;
    // Connected: the server may reset now. The reset is in once a wait for the greeting sees
    // the connection end; only then does the session send its first line.
    settings.connected = [&server](fdr::ControlConnection& control) {
        server.CueReset();
        fdr::FtpReply reply;
        EXPECT_EQ(control.nextReply(reply), fdr::ReplyWait::Closed);
    };
    const std::string address = fdr_test::kLoopback;
    // The program ends with the box: the About box asked for after the query never shows.
    EXPECT_EQ(Run("text " + std::to_string(IDC_ADDRESS) + " \"" + address + "\"\nclick " +
                      std::to_string(IDC_QUERY) + "\nmenu " + std::to_string(IDM_ABOUT) + "\n",
                  settings),
              1);
    EXPECT_EQ(
        Lines("msgbox"),
        std::vector<std::string>{
            "msgbox \"Error\" " +
            ui::QuoteText("Fail to Send 1\r\n\r\nFDR server: \"" + address + "\"") +
            " icon stop over \"Querying " + address + "... - Halbrick  Rev 03MAY2022\" -> OK"});
    EXPECT_TRUE(server.Commands().empty());
}

TEST_F(HalbrickWindowTest, WhileABoxIsUpTheReportShowsNoEarlierServersResults) {
    fdr_test::FdrFtpServer server;
    ASSERT_TRUE(server.Start(
        {{"a_PMEKRT_s1.prm", prm_builder::build(prm_builder::sampleModuleFile("KRT"))}}))
        << server.failure();
    const std::string address = std::to_string(IDC_ADDRESS);
    Run("text " + address + " \"" + fdr_test::kLoopback + "\"\nkey " + address + " 13\ntext " +
            address + " \"\"\nkey " + address + " 13\n",
        server.port());
    const std::vector<std::string> lines = Lines();
    const auto box = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("msgbox", 0) == 0;
    });
    ASSERT_NE(box, lines.end());
    EXPECT_NE(box->find("Invalid IP Address"), std::string::npos);
    const auto shown =
        std::find_if(std::make_reverse_iterator(box), lines.rend(),
                     [](const std::string& line) { return line.rfind("report ", 0) == 0; });
    ASSERT_NE(shown, lines.rend());
    EXPECT_EQ(*shown, ReportLine(""));
}

TEST_F(HalbrickWindowTest, ShiftTabWalksTheControlsBackward) {
    const struct {
        int from;
        int to;
    } cases[] = {
        {IDC_ADDRESS, IDC_QUERY},         {IDC_QUERY, IDC_DETAIL},
        {IDC_DETAIL, IDC_PRESET_172},     {IDC_PRESET_172, IDC_PRESET_192},
        {IDC_PRESET_192, IDC_PRESET_USB}, {IDC_PRESET_USB, IDC_ADDRESS},
    };
    for (const auto& c : cases) {
        Run("key " + std::to_string(c.from) + " 9 shift\n");
        EXPECT_EQ(ui::headless::FocusedId(), c.to) << c.from;
        Run("key " + std::to_string(c.to) + " 9\n");
        EXPECT_EQ(ui::headless::FocusedId(), c.from) << c.to;
    }
}

TEST_F(HalbrickWindowTest, TabWalksTheControlsAndResetsTheProgressBar) {
    std::string script;
    for (int id :
         {IDC_ADDRESS, IDC_PRESET_USB, IDC_PRESET_192, IDC_PRESET_172, IDC_DETAIL, IDC_QUERY})
        script += "key " + std::to_string(id) + " 9\n";
    Run(script);
    // One reset at start and one per Tab; the bar keeps to its range of 1 to 10.
    EXPECT_EQ(Lines("progress ").size(), 7U);
    EXPECT_EQ(AddressTexts().size(), 2U);
}

TEST_F(HalbrickWindowTest, SpaceOnAButtonPressesItAsEnterDoes) {
    const std::string detailField = "field " + std::to_string(IDC_DETAIL) + " ";
    const std::string addressField = "field " + std::to_string(IDC_ADDRESS) + " ";
    const struct {
        int button;
        std::string prefix;  // of the transcript lines that show the press
        std::string last;    // the start of the last of them
    } cases[] = {
        {IDC_DETAIL, detailField, FieldLine(IDC_DETAIL, "Summary")},
        {IDC_PRESET_USB, addressField, FieldLine(IDC_ADDRESS, "90.0.0.1")},
        {IDC_PRESET_192, addressField, FieldLine(IDC_ADDRESS, "192.168.10.1")},
        {IDC_PRESET_172, addressField, FieldLine(IDC_ADDRESS, "172.168.12.1")},
        // The first start's prompt is no address: the query says so.
        {IDC_QUERY, "msgbox", "msgbox \"Error\" \"Invalid IP Address"},
    };
    for (const auto& c : cases) {
        for (const int key : {ui::kKeyEnter, ui::kKeySpace}) {
            Run("key " + std::to_string(c.button) + " " + std::to_string(key) + "\n");
            const std::vector<std::string> lines = Lines(c.prefix);
            ASSERT_FALSE(lines.empty()) << c.button << " " << key;
            EXPECT_EQ(lines.back().rfind(c.last, 0), 0U) << c.button << " " << key;
        }
    }
}

TEST_F(HalbrickWindowTest, WhileAQueryRunsTheWindowSaysSoAndShowsTheWaitCursor) {
    const fdr_test::RefusingPort refusing;
    const std::string address = fdr_test::kLoopback;
    Run("text " + std::to_string(IDC_ADDRESS) + " \"" + address + "\"\nkey " +
            std::to_string(IDC_QUERY) + " 13\n",
        refusing.port());
    const std::string title = "Halbrick  Rev 03MAY2022";
    const std::string running = "Querying " + address + "... - " + title;
    // The box about the refused connection comes while the query runs.
    EXPECT_EQ(ui_fixture::JobLines(ui::headless::Transcript()),
              (std::vector<std::string>{"cursor wait", "title \"" + running + "\"",
                                        "msgbox over \"" + running + "\" -> OK",
                                        "title \"" + title + "\"", "cursor normal"}));
}

}  // namespace
