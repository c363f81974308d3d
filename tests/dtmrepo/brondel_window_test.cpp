// Brondel's window: settings, menu, layout, the shown texts and the install command's outcome
// on the headless UI.

#include <gtest/gtest.h>

#include <filesystem>

#include "dtmrepo/window/brondel_menu.h"
#include "dtmrepo/window/brondel_messages.h"
#include "dtmrepo/window/help_texts.h"
#include "platform/posix/ui_session.h"
#include "platform/registry.h"
#include "platform/ui_resource_script.h"
#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/description_fixture.h"
#include "toolshell/tool_settings.h"

namespace {

namespace fs = std::filesystem;
namespace ui = platform::ui;
using dtmrepo_test::BrondelHarness;
using dtmrepo_test::Lines;

const std::string kKey = toolshell::toolSettingsKey("VADADOZAVOZAVOZ");

std::string setting(const std::string& name) {
    std::string value;
    toolshell::readRegistryString(kKey, name, value);
    return value;
}

// A repository with an empty index, so that the window starts without a message box.
std::string emptyRepository(const std::string& name) {
    const std::string unity = dtmrepo_test::freshFolder(name);
    dtmrepo_test::writeIndex(unity, {});
    return unity;
}

TEST(DtmBrondelWindow, AFirstStartWritesTheDefaultSettings) {
    const std::string folder = dtmrepo_test::freshFolder("first");
    BrondelHarness harness(folder, "");
    const auto run = harness.run("menu 104\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(setting("UnityPath"), "c:\\ProgramData\\Dizodozav Ovodurid\\DOV Uverare DAV\\");
    EXPECT_EQ(setting("Debug"), "4");
    EXPECT_EQ(run.transcript.front(), "open window \"TVQ PTK DTM Tool Rev. 16OCT2019\"");
    EXPECT_EQ(run.transcript.back(), "end window");
}

TEST(DtmBrondelWindow, StartAndEveryResizeShowTheAboutText) {
    const std::string unity = emptyRepository("about");
    BrondelHarness harness(unity, unity);
    const auto run = harness.run("menu 106\nsize 801 600\nmenu 105\nmenu 107\nmenu 104\n");
    const std::string about = dtmrepo::aboutText("16OCT2019");
    EXPECT_NE(about.find("Dizodozav Ovodurid Unity Pro"), std::string::npos);
    const auto reports = run.linesStartingWith("report ");
    ASSERT_EQ(reports.size(), 5u);
    EXPECT_EQ(dtmrepo_test::unquote(reports[0].substr(7)), about);
    EXPECT_EQ(dtmrepo_test::unquote(reports[1].substr(7)), dtmrepo::exampleText());
    EXPECT_EQ(dtmrepo_test::unquote(reports[2].substr(7)), about);
    EXPECT_EQ(dtmrepo_test::unquote(reports[3].substr(7)), dtmrepo::instructionsText());
    EXPECT_EQ(dtmrepo_test::unquote(reports[4].substr(7)), about);
}

TEST(DtmBrondelWindow, TheTreeTakesTheLeftHalfAndTheReportTheRight) {
    struct Layout {
        int width, half;
    };
    for (const Layout layout : {Layout{801, 400}, Layout{803, 402}, Layout{640, 320}}) {
        const std::string unity = emptyRepository("layout");
        BrondelHarness harness(unity, unity);
        ui::Rect tree, report;
        harness.run("size " + std::to_string(layout.width) + " 500\nclose\n");
        for (const auto& window : ui::CurrentSession().windows) {
            if (window->id == 1001) {
                tree = window->rect;
            } else if (window->id == 1002) {
                report = window->rect;
            }
        }
        EXPECT_EQ(tree.left, 2);
        EXPECT_EQ(tree.top, 2);
        EXPECT_EQ(tree.Width(), layout.half) << layout.width;
        EXPECT_EQ(tree.Height(), 498);
        EXPECT_EQ(report.left, layout.half + 2) << layout.width;
        EXPECT_EQ(report.Width(), layout.half - 2);
    }
}

TEST(DtmBrondelWindow, TheMenuIsTheResourceScriptsMenu) {
    const ui::ResourceScript script =
        ui::ParseResourceScript(dtmrepo_test::readFile(BRONDEL_RESOURCE_SCRIPT),
                                ui::ParseDefines(dtmrepo_test::readFile(BRONDEL_RESOURCE_HEADER)));
    EXPECT_TRUE(script.errors.empty()) << script.errors.front();
    ASSERT_EQ(script.menus.size(), 1u);
    EXPECT_EQ(ui::CompareResourceTables(script, {}, {dtmrepo::brondelMenuTable()}),
              std::vector<std::string>{});
}

TEST(DtmBrondelWindow, RefusedNamesAreShownOneBelowTheOther) {
    const std::string unity = emptyRepository("refused");
    const std::string bad = (fs::path(unity) / "PME KRT 0302 Pump.txt").string();
    dtmrepo_test::writeFile(bad, "SW, 1\r\n");
    BrondelHarness harness(unity, unity);
    const auto run = harness.run("menu 100\nfile \"" + bad + "\"\nmenu 100\nfile \"" + bad +
                                 "\"\nmenu 100\nfile cancel\nmenu 104\n");
    const std::string refusal =
        "\r\n \r\n ERROR - 'PME KRT 0302 Pumptxt' must include a single underscore in the root "
        "name '_' and must be of the form:\r\r 'PME KRT 03XX_name_v_x_yy.txt'  where 'name' is an "
        "identifier for the project.\r\n \r\n ( 5 )";
    const std::string about = dtmrepo::aboutText("16OCT2019");
    // Each refusal adds itself once; the repaint after the cancelled choice adds nothing.
    EXPECT_EQ(run.linesStartingWith("report ").size(), 3u);
    EXPECT_EQ(run.lastReport(), about + refusal + refusal);
}

TEST(DtmBrondelWindow, AnInstallWithErrorsShowsTheReportAndFailure) {
    const std::string unity = emptyRepository("failing");
    const std::string path = (fs::path(unity) / "PME KRT 0302_Pump.txt").string();
    Lines lines = dtmrepo_test::sampleDescription();
    lines.push_back("assemblyPath, 1o2");
    dtmrepo_test::writeFile(path, dtmrepo_test::fileText(lines));
    BrondelHarness harness(unity, unity);
    const auto run = harness.run("menu 100\nfile \"" + path + "\"\nmenu 104\n");
    const std::string report = run.lastReport();
    EXPECT_EQ(report.rfind("Building: " + path +
                               "\r\n   ERROR - 'assemblyPath' not a number!  "
                               "'1o2' <> '1'   on line ",
                           0),
              0u)
        << report;
    EXPECT_NE(report.find("\r\n Failure!\r\n DDXML not Installed / Updated!"), std::string::npos);
    // The work files went with the program's work folder: none is left beside the description.
    for (const char* suffix :
         {"_config.tx2", "_io.tx2", "_slammed.XML", ".XML", "_repository.XML"}) {
        EXPECT_FALSE(fs::exists(fs::path(unity) / ("PME KRT 0302_Pump" + std::string(suffix))))
            << suffix;
    }
}

TEST(DtmBrondelWindow, ALoopFaultFailsTheInstall) {
    const std::string unity = emptyRepository("loop");
    const std::string path = (fs::path(unity) / "PME KRT 0302_Pump.txt").string();
    Lines lines = dtmrepo_test::sampleDescription();
    lines.insert(lines.end(), {"varLoopStart,1,3", "varHeading, configVars", "varName, T%"});
    dtmrepo_test::writeFile(path, dtmrepo_test::fileText(lines));
    BrondelHarness harness(unity, unity);
    const auto run = harness.run("menu 100\nfile \"" + path + "\"\nmenu 104\n");
    const std::string report = run.lastReport();
    EXPECT_EQ(report.rfind("Building: " + path +
                               "\r\nERROR - Missing VARLOOPEND \r\n Failure!\r\n"
                               " DDXML not Installed / Updated!\r\n Inserting: ",
                           0),
              0u)
        << report;
    EXPECT_NE(report.find("\r\n Failure!\r\n \r\n Remember to Update"), std::string::npos);
}

// Notepad's "Unicode" and PowerShell 5's ">" write UTF-16 with a byte order mark: the user is
// told how to save the file instead of reading about an unknown command. A UTF-8 file with its
// byte order mark installs, as does one without.
TEST(DtmBrondelWindow, AFileSavedAsUtf16IsToldToBeSavedAsUtf8OrAnsi) {
    struct Case {
        std::string name;
        std::string bytes;
        bool installs;
    };
    const std::string text = dtmrepo_test::fileText(dtmrepo_test::sampleDescription());
    std::string little = "\xFF\xFE";
    std::string big = "\xFE\xFF";
    for (char c : text) {
        little += std::string{c, '\0'};
        big += std::string{'\0', c};
    }
    const std::vector<Case> cases = {{"utf16le", little, false},
                                     {"utf16be", big, false},
                                     {"utf8bom", "\xEF\xBB\xBF" + text, true},
                                     {"utf8", text, true}};
    for (const Case& c : cases) {
        const std::string unity = emptyRepository("utf16-" + c.name);
        const std::string path = (fs::path(unity) / "PME KRT 0302_Pump.txt").string();
        dtmrepo_test::writeFile(path, c.bytes);
        const auto index = dtmrepo_test::readFile(
            (fs::path(unity) / "DDXMLRepository" / "DDXMLRepository.XML").string());
        BrondelHarness harness(unity, unity);
        const auto run = harness.run("menu 100\nfile \"" + path + "\"\nmenu 104\n");
        const std::string report = run.lastReport();
        if (c.installs) {
            EXPECT_NE(report.find("New DTM Succesfully Added."), std::string::npos)
                << c.name << ": " << report;
            continue;
        }
        EXPECT_EQ(report.rfind("Building: " + path +
                                   "\r\nERROR - the file is saved as UTF-16 (\"Unicode\"): save "
                                   "it as UTF-8 or ANSI and install it again\r\n Failure!",
                               0),
                  0u)
            << c.name << ": " << report;
        EXPECT_EQ(report.find("Unknown"), std::string::npos) << c.name;
        EXPECT_EQ(dtmrepo_test::readFile(
                      (fs::path(unity) / "DDXMLRepository" / "DDXMLRepository.XML").string()),
                  index)
            << c.name;
    }
}

TEST(DtmBrondelWindow, AnUnreadableDescriptionIsAnOpenFailure) {
    // A folder of a description's name is no file to read (and the test may run as root,
    // who reads every file).
    const std::string folder = dtmrepo_test::freshFolder("unreadable");
    const std::string path = (fs::path(folder) / "PME KRT 0302_Folder.txt").string();
    fs::create_directories(path);
    const dtmrepo::Trace quiet(0);
    const auto outcome =
        dtmrepo::runInstallIntake(path, folder, dtmrepo_test::fixedSettings(), quiet);
    ASSERT_EQ(outcome.result, dtmrepo::IntakeOutcome::Result::OpenFailed);
    EXPECT_EQ(dtmrepo::openFailureText(outcome.openFailure.site, outcome.openFailure.path,
                                       outcome.openFailure.output, outcome.openFailure.fileNumber),
              "(12) Unable to open " + path + " For INPUT as 1");
}

TEST(DtmBrondelWindow, TheExampleTextIsAValidDescription) {
    const std::string unity = emptyRepository("example");
    const std::string path = (fs::path(unity) / "PME KRT 0202 SampleSite.txt").string();
    dtmrepo_test::writeFile(path, dtmrepo::exampleText());
    BrondelHarness harness(unity, unity);
    const auto run = harness.run("menu 100\nfile \"" + path + "\"\nmenu 104\n");
    const std::string report = run.lastReport();
    EXPECT_EQ(report.find("ERROR"), std::string::npos) << report;
    EXPECT_EQ(report.find("WARNING"), std::string::npos) << report;
    EXPECT_NE(report.find("\r\n Success!"), std::string::npos) << report;
}

}  // namespace
