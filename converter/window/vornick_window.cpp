#include "converter/window/vornick_window.h"

#include "converter/conversion/convert_zef.h"
#include "converter/format/xef_line.h"
#include "converter/window/vornick_menu.h"
#include "converter/window/vornick_resource.h"
#include "converter/window/vornick_texts.h"
#include "toolshell/open_file_dialog.h"
#include "toolshell/report_edit.h"
#include "toolshell/running_job.h"
#include "toolshell/tool_settings.h"
#include "toolshell/tool_window.h"
#include "toolshell/work_folder.h"

namespace vornick {

namespace ui = platform::ui;

namespace {

// Widths of the settings' variables, less their terminating zero.
constexpr std::size_t clevPathChars = 1024 - 1;
constexpr std::size_t debugChars = 10 - 1;

void refreshSettings(VornickShell& shell) {
    const std::string key = toolshell::toolSettingsKey("VORNICK");
    toolshell::readToolSetting(key, "ClevPath", shell.clevPath, "c:\\Calvento\\PMEDWL\\",
                               clevPathChars);
    toolshell::readToolSetting(key, "Debug", shell.debugText, "4", debugChars);
    shell.debugLevel = readNumber(shell.debugText);
}

void paint(VornickShell& shell) {
    if (shell.displayCode != 2) {
        shell.reportText = introText();
    }
    ui::SetText(toolshell::reportEdit, shell.reportText);
}

void showBox(VornickShell& shell, ui::Window window, std::string text, const std::string& caption) {
    // The box's text is kept in the report text, which the next paint shows until File/Open
    // has run.
    shell.reportText = std::move(text);
    ui::ShowMessageBox(window, shell.reportText, caption, ui::Buttons::Ok, ui::Icon::Information);
}

// The dialog belongs to the main window, so it stays in front of it and the window waits for it.
void openZef(VornickShell& shell, ui::Window window) {
    shell.zefPath.clear();
    shell.zefPath = toolshell::openFileDialog(
        window, {{"ZEF Files, (*.ZEF)", "*.ZEF"}, {"All Files, (*.*)", "*.*"}},
        "TV&Q Vornick Utility");
    shell.displayCode = 2;
    if (shell.zefPath.empty()) {
        return;
    }
    // The program quits after the job's last box, so the report is painted before each box,
    // while the user can still read it.
    ConversionWindow conversionWindow{window, [window] {
                                          ui::Invalidate(window);
                                          ui::PaintNow(window);
                                      }};
    {
        // PowerShell keeps the window from answering until the archive is packed.
        const toolshell::RunningJob job(
            window, "Converting " + toolshell::fileNameOf(shell.zefPath) + "...");
        convertZefToIbs(shell.zefPath, shell.reportText, *shell.console, conversionWindow);
    }
    ui::PostQuit(0);
}

void command(VornickShell& shell, ui::Window window, int id) {
    switch (id) {
        case IDM_OPEN_ZEF:
            openZef(shell, window);
            break;
        case IDM_EXIT:
            ui::PostClose(window);
            break;
        case IDM_INSTRUCTIONS:
            showBox(shell, window, instructionsText(), instructionsCaption());
            break;
        case IDM_ABOUT:
            showBox(shell, window, aboutText(), aboutCaption());
            break;
        default:
            break;
    }
    ui::Invalidate(window);
}

}  // namespace

ui::Procedure vornickWndProc(VornickShell& shell) {
    return [&shell](ui::Window window, const ui::Message& message) {
        refreshSettings(shell);
        switch (message.kind) {
            case ui::MessageKind::Init:
                vornickBuildMenu(window);
                toolshell::createReportEdit(window);
                return true;
            case ui::MessageKind::Size:
                toolshell::fitReportEdit(message.width, message.height);
                return true;
            case ui::MessageKind::Paint:
                paint(shell);
                return true;
            case ui::MessageKind::Command:
                command(shell, window, message.id);
                return true;
            case ui::MessageKind::Destroy:
                ui::PostQuit(0);
                return true;
            default:
                return false;
        }
    };
}

int vornickMain(std::ostream& console) {
    // What runs that were killed left goes at the next start.
    toolshell::WorkFolder::sweepLeftovers("vornick");
    VornickShell shell;
    shell.console = &console;
    ui::InitCommonControlClasses();
    toolshell::ToolWindowSpec spec;
    spec.programName = std::string(programName);
    spec.revisionDate = std::string(revisionDate);
    spec.procedure = vornickWndProc(shell);
    return toolshell::toolWinMain(spec);
}

}  // namespace vornick
