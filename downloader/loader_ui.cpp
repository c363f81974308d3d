#include "downloader/loader_ui.h"

#include "downloader/connection.h"
#include "downloader/settings.h"

namespace ui = platform::ui;

bool AskYesNo(const std::string& text, const char* caption) {
    return ui::ShowMessageBox(mainDialogWindow, text, caption, ui::Buttons::YesNo) ==
           ui::Answer::Yes;
}

QuestionAnswer AskYesNoCancel(const std::string& text, const char* caption) {
    switch (ui::ShowMessageBox(mainDialogWindow, text, caption, ui::Buttons::YesNoCancel)) {
        case ui::Answer::Yes:
            return QuestionAnswer::kYes;
        case ui::Answer::No:
            return QuestionAnswer::kNo;
        default:
            return QuestionAnswer::kCancel;
    }
}

void StopBox(const std::string& text, const char* caption) {
    ui::ShowMessageBox(mainDialogWindow, text, caption, ui::Buttons::Ok, ui::Icon::Stop);
}

void ShowTransferProgress(uint32_t wordsSent, int32_t progressLength) {
    if (progressDialogWindow == nullptr) {
        return;
    }
    const int64_t position = progressLength > 0 ? int64_t{wordsSent} * 200 / progressLength : 0;
    ui::SetProgress(progressDialogWindow, kProgressBar, static_cast<int>(position));
}

void FinishLoad(uint32_t wordsLoaded) {
    if (mainDialogWindow != nullptr) {
        ui::SendUserMessage(mainDialogWindow, UM_ADD_HISTORY);
    }
    const ui::Window progress = progressDialogWindow;
    if (progress != nullptr) {
        ui::ShowItem(progress, ui::kIdCancel, false);
        ui::ShowItem(progress, ui::kIdOk, true);
    }
    SetStatusText("%d words loaded successfully.", static_cast<int>(wordsLoaded));
    if (progress != nullptr) {
        ui::FocusItem(progress, ui::kIdOk);
        if (loadOptions.unattended) {
            ui::EndDialog(progress, 0);
        }
    }
}
