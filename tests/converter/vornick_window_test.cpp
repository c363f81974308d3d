// Vornick's window: its settings, the texts of the report window and the two boxes, the menu,
// and File/Open running one conversion before the program quits.

#include "converter/window/vornick_window.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/ui_headless.h"
#include "tests/converter/conversion_fixture.h"
#include "tests/converter/m580_project.h"
#include "toolshell/tool_settings.h"

namespace {

namespace fs = std::filesystem;
namespace ui = platform::ui;

const std::string kIntro =
    "report \"Vornick.EXE\\r\\n Rev. 19MAR2020 \\r\\n \\r\\n This program opens a Unity Pro "
    "Premium .ZEF file,\\r\\n locates IBY100 Interbus-S modules, extracts the \\r\\n Interbus-S "
    "configuration and mapping, regerates the \\r\\n original .SVC file, replaces the "
    "topological references\\r\\n of the original IBY100 with new variables.\"";
// Every box is owned by the main window, so it stays above it.
const std::string kOverMainWindow = " over \"TVQ Vornick Tool Rev. 19MAR2020\" -> OK";
const std::string kAboutBox =
    "msgbox \"TVQ Vornick Tool, About\" \" TVQ Vornick Tool.EXE\\r\\n Rev. 19MAR2020 \\r\\n \" "
    "icon "
    "information" +
    kOverMainWindow;

class VornickWindow : public converter_test::ConversionTest {
  protected:
    int run(const std::string& script) {
        ui::headless::StartSession(script);
        std::ostringstream out;
        const int code = vornick::vornickMain(out);
        console = out.str();
        return code;
    }

    std::vector<std::string> lines() const {
        std::vector<std::string> found;
        std::istringstream in(transcript());
        for (std::string line; std::getline(in, line);) {
            found.push_back(line);
        }
        return found;
    }

    static std::string setting(const std::string& name) {
        std::string text = "(missing)";
        toolshell::readRegistryString(toolshell::toolSettingsKey("VORNICK"), name, text);
        return text;
    }
};

TEST_F(VornickWindow, AFirstStartWritesTheDefaultsAndShowsTheIntroduction) {
    EXPECT_EQ(run(""), 0);
    EXPECT_EQ(setting("ClevPath"), "c:\\Calvento\\PMEDWL\\");
    EXPECT_EQ(setting("Debug"), "4");
    EXPECT_EQ(lines(), (std::vector<std::string>{"open window \"TVQ Vornick Tool Rev. 19MAR2020\"",
                                                 kIntro, "end window"}));
}

TEST_F(VornickWindow, StoredSettingsAreKept) {
    toolshell::writeRegistryString(toolshell::toolSettingsKey("VORNICK"), "Debug", "1");
    toolshell::writeRegistryString(toolshell::toolSettingsKey("VORNICK"), "ClevPath", "d:\\x\\");
    EXPECT_EQ(run(""), 0);
    EXPECT_EQ(setting("Debug"), "1");
    EXPECT_EQ(setting("ClevPath"), "d:\\x\\");
}

TEST_F(VornickWindow, AboutAndInstructionsShowTheirBoxes) {
    EXPECT_EQ(run("menu 103\nmenu 102\nmenu 101\n"), 0);
    const std::vector<std::string> shown = lines();
    // The box's text stands in the report text until the next paint puts the introduction
    // back, so the report window keeps showing the introduction.
    ASSERT_EQ(shown.size(), 5u) << transcript();
    EXPECT_EQ(shown[1], kIntro);
    EXPECT_EQ(shown[2], kAboutBox);
    EXPECT_EQ(shown[3].rfind("msgbox \"TVQ Vornick Tool, Instructions\" \"\\r\\n NOTE:  Make sure "
                             "that all DFBs in the Premium \\r\\n    application are unlocked.",
                             0),
              0u);
    EXPECT_NE(shown[3].find("\\r\\n 9. Run the program Vornick.EXE on this new .ZEF file.\\r\\n  "
                            "   When Vornick finishes it creats a new *_IBS.ZEF file.\\r\\n "),
              std::string::npos);
    const std::string end =
        "\\r\\n     The PMEDWL should now be ready to operate.\\r\\n \" icon "
        "information" +
        kOverMainWindow;
    EXPECT_EQ(shown[3].substr(shown[3].size() - end.size()), end);
    EXPECT_EQ(shown[4], "end window");
}

TEST_F(VornickWindow, ACancelledOpenRunsNothingAndLeavesTheLastText) {
    // After the Open command the paint no longer brings the introduction back: the About box's
    // text stays in the report window.
    EXPECT_EQ(run("menu 100\nfile cancel\nmenu 103\n"), 0);
    EXPECT_EQ(lines(),
              (std::vector<std::string>{"open window \"TVQ Vornick Tool Rev. 19MAR2020\"", kIntro,
                                        "file \"TV&Q Vornick Utility\" -> cancel", kAboutBox,
                                        "report \" TVQ Vornick Tool.EXE\\r\\n Rev. "
                                        "19MAR2020 \\r\\n \"",
                                        "end window"}));
}

TEST_F(VornickWindow, OpeningAProjectConvertsItAndQuitsAfterPaintingTheReport) {
    // The program quits after the job's last box: the report, with the lines that lead to the
    // box, is on the screen before it, and a Success box names the count itself.
    std::vector<std::string> unmatched = m580_test::projectLines();
    unmatched.erase(unmatched.begin() +
                    m580_test::findLine(unmatched, "<attribute name=\"DeviceId\""));
    const struct {
        const char* what;
        std::vector<std::string> lines;
        std::string box;       // the box's caption and the start of its text
        std::string lastLine;  // how the painted report ends
        std::string icon;
    } cases[] = {
        {"converted", m580_test::projectLines(), "msgbox \"Success\" \" Created: ", " variables.\"",
         "information"},
        {"refused", unmatched, "msgbox \"ERROR\" \"  ERROR: File '",
         "ERROR: Found no DTM variable TYPE to match IBS IODDT DTM(1) for DeviceID=1\"", "stop"},
    };
    for (const auto& c : cases) {
        const fs::path input = folder() / (std::string(c.what) + ".zef");
        m580_test::writeZef(input, m580_test::joinLines(c.lines));
        EXPECT_EQ(run("menu 100\nfile \"" + input.string() + "\"\nmenu 103\n"), 0);
        // What the window says while the job runs is vornick_running_job_test's.
        std::vector<std::string> shown = lines();
        std::erase_if(shown, [](const std::string& line) {
            return line.rfind("cursor ", 0) == 0 || line.rfind("title ", 0) == 0;
        });
        ASSERT_EQ(shown.size(), 5u) << transcript();
        EXPECT_EQ(shown[2], "file \"TV&Q Vornick Utility\" -> \"" + input.string() + "\"");
        const std::string& painted = shown[3];
        EXPECT_EQ(painted.rfind(
                      "report \"\\r\\n zeffilename = '" + (folder() / c.what).string() + "'", 0),
                  0u)
            << c.what;
        ASSERT_GE(painted.size(), c.lastLine.size()) << c.what;
        EXPECT_EQ(painted.substr(painted.size() - c.lastLine.size()), c.lastLine) << c.what;
        EXPECT_EQ(shown[4].rfind(c.box, 0), 0u) << shown[4];
        // The box belongs to the main window, which names the job while it runs.
        const std::string tail = "\" icon " + c.icon + " over \"Converting " + c.what +
                                 ".zef... - TVQ Vornick Tool Rev. 19MAR2020\" -> OK";
        ASSERT_GE(shown[4].size(), tail.size()) << c.what;
        EXPECT_EQ(shown[4].substr(shown[4].size() - tail.size()), tail) << c.what;
        if (c.icon == "information") {
            // "...variables." ends both the report and the box's second line.
            const std::size_t count = painted.rfind("\\r\\n  Replaced ");
            ASSERT_NE(count, std::string::npos);
            const std::string replaced =
                painted.substr(count + 6, painted.size() - 1 - (count + 6));
            EXPECT_EQ(shown[4], "msgbox \"Success\" \" Created: " + (folder() / c.what).string() +
                                    "_IBS.zef\\r\\n " + replaced + tail);
            EXPECT_TRUE(fs::exists(folder() / (std::string(c.what) + "_IBS.zef")));
            EXPECT_NE(console.find(" ------------ Found T_IBY -----------------"),
                      std::string::npos);
        }
    }
}

}  // namespace
