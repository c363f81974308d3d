// Tamsel as the user meets it: the window with its DTM-name field and menu, its settings, the
// boxes, and File/Open .SVC running one conversion, all through the headless UI.

#include <gtest/gtest.h>

#include <fstream>

#include "loadcode/window/tamsel_boxes.h"
#include "loadcode/window/tamsel_program.h"
#include "platform/posix/ui_session.h"
#include "tamsel_fixture.h"
#include "tamsel_sample.h"
#include "toolshell/tool_menus.h"

namespace loadcode::testing {
namespace {

namespace fs = std::filesystem;

const std::string kOpenWindow = "open window \"Tamsel Rev. 04JUN2020\"\n";
// Every box the window shows is owned by it, so a click on the window cannot hide the box.
const std::string kFieldsMade =
    "field 1001 \"Not Queried.\"\ncue 1001 \"Enter DTM Name...\"\nfield 0 \"DTM Name:\"\n"
    "field 1001 \"PMEDWL\"\n";

std::string fileLine(const fs::path& path) {
    return "file \"Tamsel\" -> \"" + path.string() + "\"\n";
}

std::string finishedLine(const fs::path& load) {
    return "msgbox \"Finished\" \" Created: " + load.string() +
           "\" icon information over \"Tamsel Rev. 04JUN2020\" -> OK\n";
}

class TamselWindow : public TamselTest {};

TEST_F(TamselWindow, OpenConvertsTheChosenFileAndEnds) {
    const fs::path svc = writeSvc("plant.SVC", tamselSampleRecords());
    const ProgramRun run = runProgram("menu 100\nfile \"" + svc.string() + "\"\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.transcript, kOpenWindow + kFieldsMade + fileLine(svc) +
                                  finishedLine(folder() / "plant_LOAD.xst"));
    EXPECT_TRUE(fs::exists(folder() / "plant_parse.txt"));
    EXPECT_NE(run.console.find("\nIBS_Main,IBS_Sub,Module_ID,Word_len,PCP_len,PDR(IN),DPM "
                               "(IN),%IW,PDR(OUT),DPM(OUT),%QW\n"),
              std::string::npos);
    EXPECT_EQ(storedSetting("DTMname"), "PMEDWL");
}

TEST_F(TamselWindow, ConversionThatFailsEndsTheProgramToo) {
    const fs::path svc = writeSvc("cut.SVC", {{0x0307, {0x0003, 0x0001, 0x0002, 0x0101}, 7}});
    const ProgramRun run = runProgram("menu 100\nfile \"" + svc.string() + "\"\nmenu 105\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.transcript, kOpenWindow + kFieldsMade + fileLine(svc) +
                                  "msgbox \"OK\" \"(1) Truncated file " + svc.string() +
                                  ": its last record ends after 4 of its 7 data words\" icon stop "
                                  "over \"Tamsel Rev. 04JUN2020\" -> OK\n");
}

TEST_F(TamselWindow, CancelledDialogLeavesTheWindowOpen) {
    const ProgramRun run = runProgram("menu 100\nfile cancel\nmenu 105\nmenu 104\nmenu 101\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.transcript,
              kOpenWindow + kFieldsMade + "file \"Tamsel\" -> cancel\n" +
                  "msgbox \"Tamsel, About\" \" Tamsel.EXE\\r\\n Rev. 04JUN2020 "
                  "\\r\\n \" icon information over \"Tamsel Rev. 04JUN2020\" -> OK\n" +
                  "msgbox \"Tamsel, Instructions\" \" 1. Set the 'DTM Name' text "
                  "to match the name assigned to the PMEDWL\\r\\n      in the DTM "
                  "Browser.\\r\\n \\r\\n 2. Open the SVC file created in the Phoenix "
                  "Contact CMD program.\\r\\n \\r\\n 3. This program will then "
                  "generate a new LOAD.xst Structured\\r\\n      Text progam "
                  "section for configuring the PMEDWL.\\r\\n \\r\\n 4. Import this "
                  "section into the Control Expert (Unity) project.\\r\\n \\r\\n 5. "
                  "Select 'Keep All' when prompted by the 'Import Trouble "
                  "Report'.\\r\\n \\r\\n NOTICE:  The LOAD section only runs on PLC "
                  "startup.\\r\\n      Stopping/Starting the M580 may be required "
                  "to \\r\\n      initiate the new IBS configuration "
                  "transfer\\r\\n      to the PMEDWL.\\r\\n \" icon information over \"Tamsel Rev. "
                  "04JUN2020\" -> OK\n" +
                  "end window\n");
    for (const std::string& name : filesIn(folder())) {
        EXPECT_EQ(name.rfind("settings.reg", 0), 0u) << name;
    }
}

TEST_F(TamselWindow, MenuBarHoldsFileThenHelp) {
    runProgram("menu 101\n");
    ASSERT_NE(toolshell::popupMenuTable[0], nullptr);
    ASSERT_NE(toolshell::popupMenuTable[2], nullptr);
    EXPECT_EQ(toolshell::popupMenuTable[1], nullptr);
    const auto& file = toolshell::popupMenuTable[0]->items;
    ASSERT_EQ(file.size(), 3u);
    EXPECT_EQ(file[0].text, "&Open .SVC...");
    EXPECT_TRUE(file[1].separator);
    EXPECT_EQ(file[2].text, "&Exit");
    const auto& help = toolshell::popupMenuTable[2]->items;
    ASSERT_EQ(help.size(), 2u);
    EXPECT_EQ(help[0].command, 104);
    EXPECT_EQ(help[1].command, 105);
}

TEST_F(TamselWindow, EmptySettingsTakeTheirDefaultsAndAreWrittenBack) {
    storeSetting("DTMname", "");
    storeSetting("Debug", "");
    runProgram("menu 101\n");
    EXPECT_EQ(storedSetting("DTMname"), "PMEDWL");
    EXPECT_EQ(storedSetting("Debug"), "4");
    EXPECT_EQ(storedSetting("ClevPath"), "c:\\Calvento\\PMEDWL\\");
}

TEST_F(TamselWindow, StoredNameIsShownAndLongValuesAreCut) {
    storeSetting("DTMname", std::string(120, 'N'));
    const ProgramRun run = runProgram("menu 101\n");
    EXPECT_NE(run.transcript.find("field 1001 \"" + std::string(99, 'N') + "\"\n"),
              std::string::npos)
        << run.transcript;
}

// A typed name becomes the DTM name at the next repaint and names every output.
TEST_F(TamselWindow, TypedNameNamesTheLoadCode) {
    const fs::path svc = writeSvc("plant.SVC", tamselSampleRecords());
    runProgram("text 1001 \"Line_2\"\nmenu 100\nfile \"" + svc.string() + "\"\n");
    EXPECT_EQ(storedSetting("DTMname"), "Line_2");
    std::ifstream load(folder() / "plant_LOAD.xst", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(load)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<identProgram name=\"IBS_LOAD_Line_2\""), std::string::npos);
}

// An emptied field asks for a name with its cue banner, never with its text; the request is
// never stored nor used as one, and Open refuses to run without a name the PLC can take.
TEST_F(TamselWindow, EmptiedFieldShowsThePromptAsItsCueAndOpenRefusesIt) {
    const ProgramRun run = runProgram("text 1001 \"\"\nmenu 100\nmenu 101\n");
    EXPECT_EQ(run.transcript,
              kOpenWindow + kFieldsMade +
                  "msgbox \"Tamsel, DTM Name\" \" Set the 'DTM Name' text to the name assigned "
                  "to the PMEDWL in the DTM Browser first.\" icon stop over \"Tamsel Rev. "
                  "04JUN2020\" -> OK\nend window\n");
    EXPECT_EQ(storedSetting("DTMname"), "PMEDWL");
}

// The name typed into an emptied field is the name, whole: the prompt is never part of it.
TEST_F(TamselWindow, NameTypedIntoAnEmptiedFieldIsTheNameAlone) {
    const fs::path svc = writeSvc("plant.SVC", tamselSampleRecords());
    const ProgramRun run =
        runProgram("text 1001 \"\"\ntext 1001 \"X\"\nmenu 100\nfile \"" + svc.string() + "\"\n");
    EXPECT_EQ(run.transcript.find("field 1001 \"Enter DTM Name...\""), std::string::npos)
        << run.transcript;
    EXPECT_EQ(storedSetting("DTMname"), "X");
    const std::string load = svc::testing::readFile(folder() / "plant_LOAD.xst");
    EXPECT_NE(load.find("<identProgram name=\"IBS_LOAD_X\""), std::string::npos);
}

TEST_F(TamselWindow, NameThatCannotNamePlcVariablesIsRefused) {
    for (const char* name : {"Line 2", "2ndLine", "Line__2", "Line_", "_Line", "Lïne"}) {
        SCOPED_TRACE(name);
        const ProgramRun run = runProgram(std::string("text 1001 \"") + name +
                                          "\"\nmenu 100\nfile cancel\nmenu 101\n");
        EXPECT_NE(run.transcript.find(std::string("msgbox \"Tamsel, DTM Name\" \" The DTM Name '") +
                                      name + "' cannot name the PLC variables"),
                  std::string::npos)
            << run.transcript;
        EXPECT_EQ(run.transcript.find("file \"Tamsel\""), std::string::npos);
    }
}

TEST_F(TamselWindow, PlaceholderStoredByAnEarlierRunIsNotTaken) {
    storeSetting("DTMname", "Enter DTM Name...");
    const ProgramRun run = runProgram("menu 101\n");
    EXPECT_EQ(run.transcript, kOpenWindow + kFieldsMade + "end window\n");
    EXPECT_EQ(storedSetting("DTMname"), "PMEDWL");
}

TEST(TamselSettings, DebugLevelIsTheRoundedLeadingNumber) {
    const struct {
        const char* text;
        int level;
    } cases[] = {{"4", 4},   {"1", 1}, {"2.5", 2}, {"3.5", 4},
                 {" 7x", 7}, {"x", 0}, {"", 0},    {"1e99", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(debugLevelOf(c.text), c.level) << c.text;
    }
}

}  // namespace
}  // namespace loadcode::testing
