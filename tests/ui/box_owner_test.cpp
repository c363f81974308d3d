// Which window a box belongs to when it is shown before the window that would own it is on the
// screen: a main window still in its Init, a dialog still in its Init (vexim's unattended
// download runs inside its main dialog's Init). A hidden owner owns nothing; the box goes to the
// window the user works in, or stands on its own.

#include <gtest/gtest.h>

#include <functional>

#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;
using ui::MessageKind;
using ui_fixture::kJobDialog;
using ui_fixture::kMainDialog;

std::vector<std::string> BoxLines() {
    std::vector<std::string> boxes;
    for (const std::string& line : ui_fixture::Lines(ui::headless::Transcript())) {
        if (line.rfind("msgbox", 0) == 0) {
            boxes.push_back(line);
        }
    }
    return boxes;
}

std::string Box(const std::string& text, const std::string& over) {
    return "msgbox \"Box\" \"" + text + "\" icon stop" +
           (over.empty() ? std::string() : " over \"" + over + "\"") + " -> OK";
}

void Tell(ui::Window owner, const std::string& text) {
    ui::ShowMessageBox(owner, text, "Box", ui::Buttons::Ok, ui::Icon::Stop);
}

// A tool window whose procedure shows a box at `when`; returns the window.
ui::Window ToolWindowShowingABoxAt(MessageKind when, const std::string& text) {
    ui::RegisterWindowClass("BoxBeforeWindow", [when, text](ui::Window self, const ui::Message& m) {
        if (m.kind == when) {
            Tell(self, text);
        }
        return m.kind == MessageKind::Init || m.kind == when;
    });
    ui::WindowSpec spec;
    spec.className = "BoxBeforeWindow";
    spec.title = "Tool";
    return ui::CreateMainWindow(spec);
}

TEST(UiBoxOwner, ABoxShownWhileItsMainWindowIsMadeStandsOnItsOwn) {
    const struct {
        MessageKind when;
        std::string over;
    } cases[] = {
        // Brondel's first-start box and Fennick's PowerShell check come while the window is made.
        {MessageKind::Init, ""},
        // Once made the window is shown and owns its boxes.
        {MessageKind::Size, "Tool"},
    };
    for (const auto& c : cases) {
        ui::headless::StartSession("");
        ui::Window window = ToolWindowShowingABoxAt(c.when, "now");
        ASSERT_NE(window, nullptr);
        Tell(window, "later");
        EXPECT_EQ(BoxLines(), (std::vector<std::string>{Box("now", c.over), Box("later", "Tool")}))
            << static_cast<int>(c.when);
    }
}

// vexim's unattended run: its main dialog starts the download in its Init, before it is
// shown; the loader's boxes name the main dialog as their owner.
TEST(UiBoxOwner, ABoxOverADialogInItsInitGoesToTheDialogTheUserSees) {
    ui_fixture::RegisterAll();
    ui::headless::StartSession("");
    ui::Window main = nullptr;
    const auto job = [&main](ui::Window self, const ui::Message& m) {
        if (m.kind == MessageKind::Init) {
            Tell(main, "while the job dialog opens");
            ui::SetTimer(self, 1, 10);
        } else if (m.kind == MessageKind::Timer) {
            ui::KillTimer(self, 1);
            Tell(main, "while the job runs");
            Tell(self, "over the job");
            ui::EndDialog(self, 0);
        }
        return true;
    };
    ui::RunDialog(kMainDialog, nullptr, [&](ui::Window self, const ui::Message& m) {
        if (m.kind == MessageKind::Init) {
            main = self;
            Tell(self, "before the job");
            ui::RunDialog(kJobDialog, self, job);
            ui::EndDialog(self, 0);
        }
        return true;
    });
    EXPECT_EQ(BoxLines(), (std::vector<std::string>{
                              Box("before the job", ""),
                              Box("while the job dialog opens", ""),
                              Box("while the job runs", "Job"),
                              Box("over the job", "Job"),
                          }));
}

// The interactive run: the main dialog is shown, and a dialog it opens is owned by it; a box
// over that dialog in its Init belongs to the main dialog the user sees.
TEST(UiBoxOwner, ABoxOverADialogInItsInitOverAShownWindowGoesToThatWindow) {
    ui_fixture::RegisterAll();
    ui::headless::StartSession("command 1053\n");
    ui::RunDialog(kMainDialog, nullptr, [](ui::Window self, const ui::Message& m) {
        if (m.kind == MessageKind::Command && m.id == ui_fixture::kStart) {
            ui::RunDialog(kJobDialog, self, [](ui::Window job, const ui::Message& inner) {
                if (inner.kind == MessageKind::Init) {
                    Tell(job, "job opens");
                    ui::EndDialog(job, 0);
                }
                return true;
            });
            ui::EndDialog(self, 0);
        }
        return true;
    });
    EXPECT_EQ(BoxLines(), (std::vector<std::string>{Box("job opens", "Main \\\"quoted\\\"")}));
}

}  // namespace
