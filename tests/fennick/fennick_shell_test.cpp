// Fennick's window, menu and settings, driven through the headless UI.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "fennick_fixture.h"
#include "platform/archive.h"
#include "platform/ui_headless.h"
#include "platform/ui_resource_script.h"
#include "toolshell/fennick/fennick_main.h"
#include "toolshell/fennick/fennick_menu.h"
#include "toolshell/fennick/fennick_settings.h"
#include "toolshell/fennick/fennick_texts.h"
#include "toolshell/tool_settings.h"

namespace fennick_test {
namespace {

namespace ui = platform::ui;
namespace fs = std::filesystem;

std::string setting(const char* name) {
    std::string value;
    toolshell::readRegistryString(fennick::fennickSettingsKey(), name, value);
    return value;
}

// The transcript's form of a text.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

TEST(FennickResources, ScriptAndMenuTableAgree) {
    std::ifstream header(FENNICK_RESOURCE_HEADER), script(FENNICK_RESOURCE_SCRIPT);
    std::stringstream headerText, scriptText;
    headerText << header.rdbuf();
    scriptText << script.rdbuf();
    const ui::ResourceScript parsed =
        ui::ParseResourceScript(scriptText.str(), ui::ParseDefines(headerText.str()));
    EXPECT_TRUE(parsed.errors.empty()) << parsed.errors.front();
    ASSERT_EQ(parsed.menus.size(), 1u);
    for (const std::string& difference :
         ui::CompareResourceTables(parsed, {}, {fennick::fennickMenuSpec("0")})) {
        ADD_FAILURE() << difference;
    }
}

// Within each popup every item has an access key of its own, whatever the setting.
TEST(FennickResources, AccessKeysDifferWithinEachPopup) {
    for (const char* ignore : {"0", "1"}) {
        SCOPED_TRACE(ignore);
        std::vector<char> keys;
        for (const ui::MenuEntrySpec& entry : fennick::fennickMenuSpec(ignore).entries) {
            if (entry.popup) {
                keys.clear();
                continue;
            }
            const std::size_t amp = entry.text.find('&');
            if (entry.separator || amp == std::string::npos || amp + 1 >= entry.text.size()) {
                continue;
            }
            const char key = static_cast<char>(std::toupper(entry.text[amp + 1]));
            EXPECT_EQ(std::count(keys.begin(), keys.end(), key), 0) << entry.text;
            keys.push_back(key);
        }
    }
}

class FennickWindowTest : public FennickTest {};

TEST_F(FennickWindowTest, FirstStartWritesTheDefaultsAndShowsTheIntroduction) {
    EXPECT_EQ(runFennick({}, "menu 101\n"), 0);
    EXPECT_EQ(setting("ClevPath"), "c:\\Calvento\\PMEDWL\\");
    EXPECT_EQ(setting("Debug"), "4");
    EXPECT_EQ(setting("Ignore"), "0");
    const std::string text = transcript();
    EXPECT_NE(text.find("open window \"Fennick Rev. 07SEP2021\""), std::string::npos) << text;
    fennick::FennickValues values;
    const std::string intro = fennick::introductionText(values);
    EXPECT_NE(text.find("report " + quoted(intro)), std::string::npos) << text;
    EXPECT_NE(intro.find("\r\n Archive Engine = " + platform::ArchiveEngineName() + "\r\n "),
              std::string::npos);
}

TEST_F(FennickWindowTest, IgnoreItemsFollowTheSetting) {
    runFennick({}, "menu 103\nmenu 101\n");
    EXPECT_EQ(setting("Ignore"), "1");
    EXPECT_NE(transcript().find("report \"Ignore topo strings.\""), std::string::npos);
    // Built at the next start with the mark on the (YES) item; choosing it again keeps "1".
    runFennick({}, "menu 103\nmenu 102\nmenu 101\n");
    EXPECT_NE(transcript().find("report \"Do not ignore topo strings.\""), std::string::npos);
    EXPECT_EQ(setting("Ignore"), "0");
    EXPECT_EQ(fennick::fennickMenuSpec("1").entries[6].text, "X Ignore Strings (&YES)");
    EXPECT_EQ(fennick::fennickMenuSpec("1").entries[5].text, "Ignore Strings (&NO)");
}

// The "X " follows the choice at once, so the menu never marks the setting not in force.
TEST_F(FennickWindowTest, IgnoreMarkMovesWithTheChoice) {
    runFennick({}, "menu 103\nmenu 103\nmenu 102\nmenu 101\n");
    std::vector<std::string> marks;
    std::istringstream lines(transcript());
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("menuitem ", 0) == 0) {
            marks.push_back(line);
        }
    }
    EXPECT_EQ(marks, (std::vector<std::string>{
                         "menuitem 102 \"Ignore Strings (&NO)\"",
                         "menuitem 103 \"X Ignore Strings (&YES)\"",
                         "menuitem 102 \"Ignore Strings (&NO)\"",
                         "menuitem 103 \"X Ignore Strings (&YES)\"",
                         "menuitem 102 \"X Ignore Strings (&NO)\"",
                         "menuitem 103 \"Ignore Strings (&YES)\"",
                     }))
        << transcript();
    EXPECT_EQ(setting("Ignore"), "0");
}

// Every box the window shows is owned by it, so a click on the window cannot hide the box.
const std::string overTheWindow = " icon information over \"Fennick Rev. 07SEP2021\" -> OK";

TEST_F(FennickWindowTest, AboutAndInstructionsBoxes) {
    runFennick({}, "menu 105\nmenu 104\nmenu 101\n");
    const std::vector<std::string> shown = boxes();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "msgbox \"Fennick, About\" " +
                            quoted(" Fennick.EXE\r\n Rev. 07SEP2021 \r\n ") + overTheWindow);
    EXPECT_EQ(shown[1], "msgbox \"Fennick, Instructions\" " + quoted(fennick::instructionsText()) +
                            overTheWindow);
}

TEST_F(FennickWindowTest, AFailedConversionsBoxIsOwnedByTheWindow) {
    ProjectSpec noModule = sampleProject();
    noModule.modules.clear();
    writeProject("Line.zef", noModule);
    runFennick({}, "menu 100\nfile \"" + path("Line.zef").string() + "\"\n");
    const std::vector<std::string> shown = boxes();
    ASSERT_EQ(shown.size(), 1u) << transcript();
    // The window names the conversion until it ends.
    EXPECT_NE(shown[0].find("\" icon stop over \"Converting Line.zef... - Fennick Rev. "
                            "07SEP2021\" -> OK"),
              std::string::npos)
        << shown[0];
}

TEST_F(FennickWindowTest, CancelledOpenWaitsForTheNextCommand) {
    runFennick({}, "menu 100\nfile cancel\nmenu 101\n");
    EXPECT_NE(transcript().find("report \"\\r\\n Original File = \""), std::string::npos)
        << transcript();
}

TEST_F(FennickWindowTest, OpenConvertsOnceAndEnds) {
    writeProject("Line.zef", sampleProject());
    // The script's later commands are never played: the program ends after the conversion.
    const int code = runFennick(
        {}, "menu 100\nfile \"" + path("Line.zef").string() + "\"\nanswer OK\nmenu 104\n");
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(std::filesystem::exists(path("Line_IBY.zef")));
    const std::vector<std::string> shown = boxes();
    ASSERT_EQ(shown.size(), 1u) << transcript();
    EXPECT_EQ(shown[0], "msgbox \"Success\" " +
                            quoted(" Created: " + path("Line").string() + "_IBY.zef") +
                            " icon information over \"Converting Line.zef... - Fennick Rev. "
                            "07SEP2021\" -> OK");
    // The report window shows the progress and the results file behind the box.
    const std::string text = transcript();
    EXPECT_NE(text.find("\\r\\n  ---- IBY100 in Rack 0 Slot 3 ----- "), std::string::npos) << text;
    EXPECT_NE(text.find("\\r\\n zeffileroot = 'Line'"), std::string::npos);
}

TEST(FennickSettings, NumbersOfSettingTexts) {
    const std::pair<const char*, int> cases[] = {
        {"4", 4}, {"1", 1}, {" 12", 12}, {"1.5", 2}, {"2.5", 2}, {"x", 0}, {"", 0}, {"-3", -3},
    };
    for (const auto& [text, number] : cases) {
        EXPECT_EQ(fennick::settingNumber(text), number) << text;
    }
}

TEST(FennickSettings, PowerShellVersionFile) {
    fennick::VersionCounters counters{};
    // Get-Host's table written by Out-File: UTF-16 with its byte-order mark.
    const std::string header = "\xFF\xFE" + std::string("V\0e\0r\0s\0i\0o\0n\0", 14);
    const std::string value("5\0.\0\x31\0.\0\x31\0\x39\0\x30\0\x34\0\x31\0.\0\x31\0", 22);
    for (const std::string& line : {header, std::string("-\0-\0-\0", 6), value}) {
        fennick::scanVersionLine(line, counters);
    }
    EXPECT_EQ(counters[0], 5);
    EXPECT_EQ(counters[1], 1);
    EXPECT_EQ(counters[2], 19041);
    EXPECT_FALSE(fennick::powerShellVersionPasses(5, 0));
    EXPECT_TRUE(fennick::powerShellVersionPasses(5, 1));
    EXPECT_TRUE(fennick::powerShellVersionPasses(6, 0));
    EXPECT_TRUE(fennick::powerShellVersionPasses(7, 0));
    EXPECT_FALSE(fennick::powerShellVersionPasses(4, 9));
}

TEST(FennickSettings, ProbeCommandQuotesTheFolder) {
    const std::string command =
        fennick::powerShellProbeCommand("C:\\Tools $x\\it's\\powershellver.txt");
    EXPECT_NE(command.find("Out-File -LiteralPath 'C:\\Tools $x\\it''s\\powershellver.txt'"),
              std::string::npos)
        << command;
    EXPECT_EQ(command.rfind("powershell.exe -NoProfile -NonInteractive -Command \"", 0), 0u);
}

TEST(FennickSettings, ProbeFailureSaysWhenPowerShellDidNotAnswer) {
    const std::string head =
        "FENNICK ERROR(0) Unable to open C:\\Fennick\\powershellver.txt    Err = 2";
    EXPECT_EQ(fennick::powerShellProbeFailure("C:\\Fennick\\powershellver.txt", 2, true), head);
    EXPECT_EQ(fennick::powerShellProbeFailure("C:\\Fennick\\powershellver.txt", 2, false),
              head + "\r\nPowerShell did not answer: it is missing or could not be started.");
}

// A version file an earlier probe left does not pass for PowerShell's answer: with PowerShell
// gone (here: never there), the probe says it did not answer, and the old file is gone.
TEST_F(FennickWindowTest, AnEarlierProbesAnswerIsNotReadAgain) {
    fennick::FennickValues values;
    values.clevPath = path("Clev").string() + "/";
    fs::create_directories(path("Clev"));
    std::ofstream(path("Clev/powershellver.txt")) << "\r\nVersion\r\n-------\r\n5.1.19041.1\r\n";
    platform::ui::headless::StartSession("");
    EXPECT_FALSE(fennick::probePowerShell(values, nullptr));
    EXPECT_EQ(values.powerShellVer0, "");
    EXPECT_FALSE(fs::exists(path("Clev/powershellver.txt")));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].find("PowerShell did not answer"), std::string::npos) << boxes()[0];
}

TEST(FennickBatch, ArchivePathFromTheCommandLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"line.zef", "line.zef"},
        {"\"C:\\Plant A\\line.zef\"", "C:\\Plant A\\line.zef"},
        {"  C:\\Plant A\\line.zef ", "C:\\Plant A\\line.zef"},
        {"", ""},
        {"   ", ""},
    };
    for (const auto& [commandLine, path] : cases) {
        EXPECT_EQ(fennick::batchArchivePath(commandLine), path) << commandLine;
    }
}

}  // namespace
}  // namespace fennick_test
