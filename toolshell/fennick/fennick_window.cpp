#include "toolshell/fennick/fennick_window.h"

#include "extractor/convert_project.h"
#include "toolshell/fennick/fennick_menu.h"
#include "toolshell/fennick/fennick_settings.h"
#include "toolshell/fennick/fennick_texts.h"
#include "toolshell/open_file_dialog.h"
#include "toolshell/report_edit.h"
#include "toolshell/running_job.h"
#include "toolshell/tool_settings.h"

namespace fennick {

namespace ui = platform::ui;

bool FennickWindow::checksBeforeMessage(ui::Window self) {
    if (quitting_) {
        return false;
    }
    // A box shown by the check runs its own message loop, which sends this window Paint and
    // Timer messages: they are handled without checking again.
    if (checking_) {
        return true;
    }
    checking_ = true;
    readFennickSettings(values_);
    const bool passed = checkPowerShell(values_, self);
    checking_ = false;
    quitting_ = !passed;
    return passed;
}

bool FennickWindow::handle(ui::Window self, const ui::Message& message) {
    if (!checksBeforeMessage(self)) {
        // The quit request is on its way; the window is left to the system until it ends.
        return false;
    }
    switch (message.kind) {
        case ui::MessageKind::Init:
            fennickBuildMenu(self, values_.ignore);
            toolshell::createReportEdit(self);
            return true;
        case ui::MessageKind::Destroy:
            ui::PostQuit(0);
            return true;
        case ui::MessageKind::Size:
            toolshell::fitReportEdit(message.width, message.height);
            return true;
        case ui::MessageKind::Paint:
            values_.reportText = reportTextFor(values_);
            if (toolshell::reportEdit != nullptr) {
                ui::SetText(toolshell::reportEdit, values_.reportText);
            }
            return true;
        case ui::MessageKind::Command:
            command(self, message.id);
            ui::Invalidate(self);
            return true;
        default:
            return false;
    }
}

void FennickWindow::command(ui::Window self, int id) {
    const std::string key = fennickSettingsKey();
    switch (id) {
        case IDM_OPEN_ZEF:
            openAndConvert(self);
            break;
        case IDM_EXIT:
            ui::PostClose(self);
            break;
        case IDM_IGNORE_NO:
            values_.ignoreText.assign(1, '0');
            values_.ignore = values_.ignoreText;
            toolshell::writeRegistryString(key, "Ignore", values_.ignore);
            fennickMarkIgnoreItems(self, values_.ignore);
            values_.displayCode = 20;
            break;
        case IDM_IGNORE_YES:
            values_.ignoreText.assign(1, '1');
            values_.ignore = values_.ignoreText;
            toolshell::writeRegistryString(key, "Ignore", values_.ignore);
            fennickMarkIgnoreItems(self, values_.ignore);
            values_.displayCode = 21;
            break;
        case IDM_INSTRUCTIONS:
            values_.reportText = instructionsText();
            ui::ShowMessageBox(self, values_.reportText, values_.programName + ", Instructions",
                               ui::Buttons::Ok, ui::Icon::Information);
            break;
        case IDM_ABOUT:
            values_.reportText = aboutText(values_);
            ui::ShowMessageBox(self, values_.reportText, values_.programName + ", About",
                               ui::Buttons::Ok, ui::Icon::Information);
            break;
        default:
            break;
    }
}

void FennickWindow::openAndConvert(ui::Window self) {
    values_.displayCode = 2;
    values_.fileName = toolshell::openFileDialog(
        self, {{"ZEF Files, (*.ZEF)", "*.ZEF"}, {"All Files, (*.*)", "*.*"}},
        "TV&Q Fennick Utility");
    values_.reportText = "\r\n Original File = " + values_.fileName;
    if (values_.fileName.empty()) {
        return;
    }
    extractor::ConversionOptions options;
    options.fileName = values_.fileName;
    options.debugLevel = values_.debugLevel;
    options.ignore = values_.ignore;
    options.pcpMarkText = values_.pcpMarkText;
    options.owner = self;
    options.showReport = [](const std::string& text) {
        if (toolshell::reportEdit != nullptr) {
            ui::SetText(toolshell::reportEdit, text);
        }
    };
    {
        // PowerShell keeps the window from answering until the archives are written.
        const toolshell::RunningJob job(
            self, "Converting " + toolshell::fileNameOf(values_.fileName) + "...");
        extractor::convertProject(options, values_.reportText);
    }
    // One conversion per run.
    ui::PostQuit(0);
}

}  // namespace fennick
