#include "loadcode/window/tamsel_window.h"

#include <optional>
#include <string>

#include "loadcode/decoding/tamsel_conversion.h"
#include "loadcode/window/dtm_name_field.h"
#include "loadcode/window/tamsel_boxes.h"
#include "loadcode/window/tamsel_menu.h"
#include "loadcode/window/tamsel_resource.h"
#include "platform/ansi_path.h"
#include "toolshell/open_file_dialog.h"
#include "toolshell/tool_window.h"

namespace loadcode {

namespace ui = platform::ui;

namespace {

// The name in the field is the one the files get, so a conversion never runs under a name the
// user no longer sees; a name that cannot make PLC names is refused before anything is read.
void openSvc(TamselProgram& program, std::ostream& console, ui::Window window) {
    const std::string name = dtmNameInField(program);
    if (const std::optional<std::string> refusal = dtmNameRefusal(name)) {
        ui::ShowMessageBox(window, *refusal, program.programName + ", DTM Name", ui::Buttons::Ok,
                           ui::Icon::Stop);
        return;
    }
    program.dtmName = name;
    storeDtmName(name);
    const std::string chosen = toolshell::openFileDialog(
        window, {{"SVC Files, (*.SVC)", "*.SVC"}, {"All Files, (*.*)", "*.*"}},
        program.programName);
    if (chosen.empty()) {
        return;
    }
    tamselConvertSvcFile(window, platform::PathFromAnsi(chosen), program.dtmName, program.pcpTags,
                         console);
    ui::PostQuit(0);
}

void runCommand(TamselProgram& program, std::ostream& console, ui::Window window, int command) {
    switch (command) {
        case IDM_OPEN_SVC:
            openSvc(program, console, window);
            break;
        case IDM_EXIT:
            ui::PostClose(window);
            break;
        case IDM_INSTRUCTIONS:
            showTamselInstructions(program, window);
            break;
        case IDM_ABOUT:
            showTamselAbout(program, window);
            break;
        default:
            break;
    }
}

// The smallest client area that shows the DTM-name field whole, with the label before it.
constexpr int kMinimumClientWidth = 300;
constexpr int kMinimumClientHeight = 80;

}  // namespace

bool tamselWndProc(TamselProgram& program, std::ostream& console, ui::Window window,
                   const ui::Message& message) {
    refreshTamselSettings(program);
    switch (message.kind) {
        case ui::MessageKind::Init:
            tamselBuildMenu(window);
            createDtmNameField(program, window);
            ui::SetText(program.dtmNameField, program.dtmName);
            ui::SetMinimumClientSize(window, kMinimumClientWidth, kMinimumClientHeight);
            return true;
        case ui::MessageKind::Activate:
            // The field is the window's one control: the keys go there, not to the window.
            if (message.code == 0) {
                return false;
            }
            ui::SetFocus(program.dtmNameField);
            return true;
        case ui::MessageKind::Char:
            // A window that is no dialog moves no focus by itself; Tab leads to the field.
            if (message.code == ui::kKeyTab) {
                ui::SetFocus(program.dtmNameField);
            }
            return false;
        case ui::MessageKind::Command:
            runCommand(program, console, window, message.id);
            ui::Invalidate(window);
            return true;
        case ui::MessageKind::Size:
            return true;
        case ui::MessageKind::Paint:
            ui::Invalidate(window);
            synchroniseDtmName(program);
            return true;
        case ui::MessageKind::Destroy:
            ui::PostQuit(0);
            return true;
        default:
            return false;
    }
}

int tamselWinMain(TamselProgram& program, std::ostream& console) {
    toolshell::ToolWindowSpec spec;
    spec.programName = program.programName;
    spec.revisionDate = program.revisionDate;
    spec.iconId = IDI_TAMSEL;
    spec.x = 100;
    spec.y = 100;
    spec.width = 400;
    spec.height = 200;
    spec.procedure = [&program, &console](ui::Window window, const ui::Message& message) {
        return tamselWndProc(program, console, window, message);
    };
    return toolshell::toolWinMain(spec);
}

}  // namespace loadcode
