#include "dtmrepo/window/brondel_window.h"

#include "dtmrepo/parser/number_text.h"
#include "dtmrepo/window/brondel_menu.h"
#include "dtmrepo/window/commands.h"
#include "dtmrepo/window/repository_tree_view.h"
#include "dtmrepo/window/shown_text.h"
#include "toolshell/tool_settings.h"
#include "toolshell/tool_window.h"

namespace dtmrepo {

namespace ui = platform::ui;

namespace {

constexpr int kIconId = 300;
constexpr const char* kDefaultUnityPath = "c:\\ProgramData\\Dizodozav Ovodurid\\DOV Uverare DAV\\";

void layOut(BrondelState& state, int width, int height) {
    const int half = halfWidth(width);
    if (state.treeView != nullptr) {
        ui::MoveWindow(state.treeView, 2, 2, half, height - 2, true);
    }
    if (state.reportEdit != nullptr) {
        ui::MoveWindow(state.reportEdit, half + 2, 2, half - 2, height - 2, true);
    }
}

void runCommand(BrondelState& state, int command) {
    // Each command counts its own faults.
    state.errorCount = 0;
    state.warningCount = 0;
    switch (command) {
        case commandExit:
            ui::PostClose(state.mainWindow);
            break;
        case commandRebuild:
            rebuildCommand(state);
            break;
        case commandRestore:
            restoreCommand(state);
            break;
        case commandAbout:
            showOutcome(state, 12);
            break;
        case commandExample:
            showOutcome(state, 13);
            break;
        case commandInstructions:
            showOutcome(state, 15);
            break;
        case commandRemove:
            removeCommand(state);
            break;
        case commandInstall:
            installCommand(state);
            break;
        default:
            break;
    }
    if (command == commandInstall || command == commandExit ||
        (command < commandInstall || command > commandAbout)) {
        state.trace.line(1, " Finished Tree! end select");
    }
    ui::Invalidate(state.mainWindow);
}

// A window that is no dialog moves no focus by itself: Tab and Shift+Tab go from the tree to
// the report and back, and from the window itself to the tree (backward: to the report).
void moveFocus(BrondelState& state, const ui::Message& message) {
    ui::Window next = nullptr;
    if (message.window == state.treeView) {
        next = state.reportEdit;
    } else if (message.window == state.reportEdit) {
        next = state.treeView;
    } else {
        next = message.shift ? state.reportEdit : state.treeView;
    }
    if (next != nullptr) {
        state.keyChild = next;
        ui::SetFocus(next);
    }
}

// Keys, clicks and activation decide which child has the keys; true when the message was one
// of them and is handled.
bool followFocus(BrondelState& state, const ui::Message& message) {
    switch (message.kind) {
        case ui::MessageKind::Char:
            if (message.code == ui::kKeyTab) {
                moveFocus(state, message);
            }
            return false;
        case ui::MessageKind::MouseDown:
            if (message.window == state.treeView || message.window == state.reportEdit) {
                state.keyChild = message.window;
            }
            return false;
        case ui::MessageKind::Activate:
            if (message.code == 0) {
                return false;
            }
            ui::SetFocus(state.keyChild != nullptr ? state.keyChild : state.treeView);
            return true;
        default:
            return false;
    }
}

}  // namespace

void readBrondelSettings(BrondelState& state) {
    const std::string key = toolshell::toolSettingsKey("VADADOZAVOZAVOZ");
    toolshell::readToolSetting(key, "UnityPath", state.UnityPath, kDefaultUnityPath);
    toolshell::readToolSetting(key, "Debug", state.Debug, "4", 9);
    state.debugLevel = static_cast<int>(integerValue(state.Debug));
    state.trace.setLevel(state.debugLevel);
}

bool brondelWndProc(BrondelState& state, ui::Window self, const ui::Message& message) {
    readBrondelSettings(state);
    switch (message.kind) {
        case ui::MessageKind::Init:
            state.mainWindow = self;
            brondelBuildMenu(self);
            buildRepositoryTree(self, state);
            return true;
        case ui::MessageKind::Size:
            showOutcome(state, 99);
            layOut(state, message.width, message.height);
            return true;
        case ui::MessageKind::Command:
            runCommand(state, message.id);
            return true;
        case ui::MessageKind::Paint:
            ui::SetText(state.reportEdit, state.shownText);
            return true;
        case ui::MessageKind::Destroy:
            ui::PostQuit(0);
            return true;
        default:
            return followFocus(state, message);
    }
}

int brondelWinMain(BrondelState& state) {
    toolshell::ToolWindowSpec spec;
    spec.programName = state.programName;
    spec.revisionDate = state.revisionDate;
    spec.iconId = kIconId;
    spec.procedure = [&state](ui::Window self, const ui::Message& message) {
        return brondelWndProc(state, self, message);
    };
    return toolshell::toolWinMain(spec);
}

int brondelMain() {
    BrondelState state;
    state.revisionDate = "16OCT2019";
    state.debugLevel = 4;
    state.entryStatus = 0;
    state.errorValue = 0;
    ui::InitCommonControlClasses();
    return brondelWinMain(state);
}

}  // namespace dtmrepo
