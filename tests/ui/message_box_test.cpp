#include <gtest/gtest.h>

#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;
using ui::Answer;
using ui::Buttons;

struct BoxCase {
    std::string script;
    Buttons buttons;
    Answer expected;
    std::string transcript;
};

TEST(UiMessageBox, TakesTheScriptsAnswerOrTheSafeOne) {
    const BoxCase cases[] = {
        {"answer Yes", Buttons::YesNo, Answer::Yes,
         "msgbox \"File loader\" \"Continue?\" -> Yes\n"},
        {"answer No", Buttons::YesNo, Answer::No, "msgbox \"File loader\" \"Continue?\" -> No\n"},
        {"", Buttons::YesNo, Answer::No, "msgbox \"File loader\" \"Continue?\" -> No\n"},
        {"", Buttons::Ok, Answer::Ok, "msgbox \"File loader\" \"Continue?\" -> OK\n"},
        {"", Buttons::OkCancel, Answer::Cancel, "msgbox \"File loader\" \"Continue?\" -> Cancel\n"},
        {"answer OK", Buttons::OkCancel, Answer::Ok,
         "msgbox \"File loader\" \"Continue?\" -> OK\n"},
        {"", Buttons::YesNoCancel, Answer::Cancel,
         "msgbox \"File loader\" \"Continue?\" -> Cancel\n"},
        {"answer No", Buttons::YesNoCancel, Answer::No,
         "msgbox \"File loader\" \"Continue?\" -> No\n"},
        // An answer the box does not offer is used up and the safe answer taken.
        {"answer Yes", Buttons::Ok, Answer::Ok,
         "error \"script line 1: the box has no Yes button\"\n"
         "msgbox \"File loader\" \"Continue?\" -> OK\n"},
        {"answer OK", Buttons::YesNo, Answer::No,
         "error \"script line 1: the box has no OK button\"\n"
         "msgbox \"File loader\" \"Continue?\" -> No\n"},
        // A user event is not an answer: it stays for whoever waits for the user.
        {"command 2", Buttons::YesNo, Answer::No, "msgbox \"File loader\" \"Continue?\" -> No\n"},
    };
    for (const auto& c : cases) {
        ui::headless::StartSession(c.script);
        EXPECT_EQ(ui::ShowMessageBox(nullptr, "Continue?", "File loader", c.buttons), c.expected)
            << c.script;
        EXPECT_EQ(ui::headless::Transcript(), c.transcript) << c.script;
    }
}

TEST(UiMessageBox, AnswersAreUsedInOrderAndTextsQuoted) {
    ui::headless::StartSession("answer Yes\nanswer No\n");
    EXPECT_EQ(
        ui::ShowMessageBox(nullptr, "Object code is corrupted.\n\rChecksum = 1A2B\n\rLoad anyway?",
                           "File loader", Buttons::YesNo, ui::Icon::Question),
        Answer::Yes);
    EXPECT_EQ(
        ui::ShowMessageBox(nullptr, "Unrecognized switch: \"-x\"\n", "VEXIM Error", Buttons::YesNo),
        Answer::No);
    EXPECT_EQ(ui::ShowMessageBox(nullptr, "Too many parameters: d", "VEXIM Error"), Answer::Ok);
    EXPECT_EQ(ui_fixture::Lines(ui::headless::Transcript()),
              (std::vector<std::string>{
                  "msgbox \"File loader\" \"Object code is corrupted.\\n\\rChecksum = "
                  "1A2B\\n\\rLoad anyway?\" icon question -> Yes",
                  "msgbox \"VEXIM Error\" \"Unrecognized switch: \\\"-x\\\"\\n\" -> No",
                  "msgbox \"VEXIM Error\" \"Too many parameters: d\" -> OK",
              }));
}

// A box names the window it belongs to (the dialog or top-level window of the owner given,
// whatever child was named) and its icon, so a test sees that it stays above its window.
TEST(UiMessageBox, NamesItsIconAndTheWindowThatOwnsIt) {
    ui::headless::StartSession("");
    ASSERT_TRUE(ui::RegisterWindowClass("BoxOwnerTest",
                                        [](ui::Window, const ui::Message&) { return false; }));
    ui::WindowSpec spec;
    spec.className = "BoxOwnerTest";
    spec.title = "Tool \"One\"";
    ui::Window main = ui::CreateMainWindow(spec);
    ui::ChildSpec field;
    field.kind = ui::ControlKind::Edit;
    field.id = 7;
    ui::Window child = ui::CreateChild(main, field);
    ui::ShowMessageBox(main, "Done", "Success", Buttons::Ok, ui::Icon::Information);
    ui::ShowMessageBox(child, "Bad", "ERROR", Buttons::Ok, ui::Icon::Stop);
    ui::ShowMessageBox(nullptr, "Sure?", "Remove", Buttons::YesNo, ui::Icon::Question);
    ui::ShowMessageBox(main, "Careful", "Warning", Buttons::Ok, ui::Icon::Warning);
    std::vector<std::string> boxes;
    for (const std::string& line : ui_fixture::Lines(ui::headless::Transcript())) {
        if (line.rfind("msgbox", 0) == 0) {
            boxes.push_back(line);
        }
    }
    EXPECT_EQ(boxes,
              (std::vector<std::string>{
                  "msgbox \"Success\" \"Done\" icon information over \"Tool \\\"One\\\"\" -> OK",
                  "msgbox \"ERROR\" \"Bad\" icon stop over \"Tool \\\"One\\\"\" -> OK",
                  "msgbox \"Remove\" \"Sure?\" icon question -> No",
                  "msgbox \"Warning\" \"Careful\" icon warning over \"Tool \\\"One\\\"\" -> OK",
              }));
}

TEST(UiMessageBox, ScriptErrorsAreReportedFirst) {
    ui::headless::StartSession("bogus 1\nanswer Yes\n");
    EXPECT_EQ(ui::ShowMessageBox(nullptr, "t", "c", Buttons::YesNo), Answer::Yes);
    EXPECT_EQ(ui_fixture::Lines(ui::headless::Transcript()),
              (std::vector<std::string>{"error \"script line 1: unknown event \\\"bogus\\\"\"",
                                        "msgbox \"c\" \"t\" -> Yes"}));
}

}  // namespace
