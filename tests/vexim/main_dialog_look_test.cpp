// What the main dialog shows around its controls: a title that never starts with a dash, the
// Modbus TCP address with its label, and a Recent Files menu that opens only when it lists
// something.

#include <gtest/gtest.h>

#include "downloader/dialogs/vexim_resource.h"
#include "downloader/history.h"
#include "downloader/settings.h"
#include "platform/posix/ui_session.h"
#include "vexim_fixture.h"

namespace {

namespace ui = platform::ui;

class VeximMainDialogLook : public vexim_test::VeximTest {};

TEST_F(VeximMainDialogLook, TheInactiveTitleNamesTheFileOrOnlyTheProgram) {
    const std::string program = "ZKRT File Downloader - 03Dec2020";
    const struct {
        std::string file;
        std::string title;
    } cases[] = {
        {"", program},
        // A folder names no file either.
        {"C:\\work\\", program},
        {"C:\\work\\prog.vxo", "prog.vxo - " + program},
        {"prog", "prog - " + program},
        {"C:prog.vxo", "prog.vxo - " + program},
        // A name whose only separator is its first character is shown whole.
        {"\\prog.vxo", "\\\\prog.vxo - " + program},
    };
    for (const auto& c : cases) {
        LoadDefaultSettings(nullptr);
        loadOptions.fileName = c.file;
        RunMainDialogObserved("activate 0\n", [](ui::Window, const ui::Message&) {});
        EXPECT_EQ(TranscriptLines("title").back(), "title \"" + c.title + "\"") << c.file;
    }
}

TEST_F(VeximMainDialogLook, TheHostFieldIsLabelledOnTheModbusTcpTab) {
    // Label and field, shown together with the tab's other controls.
    std::vector<std::pair<bool, bool>> shown;
    LoadDefaultSettings(nullptr);
    RunMainDialogObserved("tab 1012 1\ntab 1012 0\ntab 1012 2\ntab 1012 1\n",
                          [&](ui::Window self, const ui::Message& message) {
                              if (message.kind == ui::MessageKind::TabChanged)
                                  shown.emplace_back(ui::IsItemVisible(self, IDC_HOST_LABEL),
                                                     ui::IsItemVisible(self, IDC_HOST));
                          });
    EXPECT_EQ(shown, (std::vector<std::pair<bool, bool>>{
                         {true, true}, {false, false}, {false, false}, {true, true}}));
}

// The Recent Files popup holds only its two anchors until there is a file or profile to list.
bool RecentFilesGrayed(ui::Window dialog) {
    for (const auto& top : dialog->menuBar->items) {
        if (top.popup == nullptr)
            continue;
        for (const auto& item : top.popup->items) {
            if (item.text == "Recent &Files")
                return (item.flags & ui::kMenuGrayed) != 0;
        }
    }
    ADD_FAILURE() << "no Recent Files popup";
    return false;
}

TEST_F(VeximMainDialogLook, RecentFilesOpensOnlyWithSomethingToList) {
    std::vector<bool> grayed;
    for (const std::string listed : {"", "plant.vxf"}) {
        LoadDefaultSettings(nullptr);
        RunMainDialogObserved("menu 40010\n", [&](ui::Window self, const ui::Message& message) {
            if (message.kind == ui::MessageKind::Init) {
                for (std::string& name : profileHistory)
                    name.clear();
                profileHistory[0] = listed;
            } else if (message.kind == ui::MessageKind::InitMenu) {
                grayed.push_back(RecentFilesGrayed(self));
            }
        });
    }
    EXPECT_EQ(grayed, (std::vector<bool>{true, false}));
}

}  // namespace
