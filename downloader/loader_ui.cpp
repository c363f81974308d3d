#include "downloader/loader_ui.h"

#include <algorithm>

#include "downloader/connection.h"
#include "downloader/load_outcome.h"
#include "downloader/log_file.h"
#include "downloader/settings.h"

namespace ui = platform::ui;

bool AskYesNo(const std::string& text, const char* caption, QuestionDefault defaultAnswer) {
    const bool yes =
        ui::ShowMessageBox(mainDialogWindow, text, caption, ui::Buttons::YesNo, ui::Icon::None,
                           defaultAnswer == QuestionDefault::kNo
                               ? ui::DefaultButton::Second
                               : ui::DefaultButton::First) == ui::Answer::Yes;
    if (!yes) {
        NoteEndingAnswer(text, "No");
    }
    return yes;
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
    NoteToldEnding("Download failed: " + text);
}

void ShowTransferProgress(uint32_t wordsSent, int32_t progressLength) {
    if (progressDialogWindow == nullptr) {
        return;
    }
    const int64_t position = progressLength > 0 ? int64_t{wordsSent} * 200 / progressLength : 0;
    ui::SetProgress(progressDialogWindow, kProgressBar, static_cast<int>(position));
}

void CancelDownload() {
    ConnectionClosed = true;
    DownloadCancelled = true;
    SetStatusText("Cancelling...");
}

void FinishLoad(const std::string& status) {
    if (mainDialogWindow != nullptr) {
        ui::SendUserMessage(mainDialogWindow, UM_ADD_HISTORY);
    }
    const ui::Window progress = progressDialogWindow;
    if (progress != nullptr) {
        ui::ShowItem(progress, ui::kIdCancel, false);
        ui::ShowItem(progress, ui::kIdOk, true);
    }
    SetStatusText("%s", status.c_str());
    for (size_t line = 0; line < status.size();) {
        const size_t end = std::min(status.find("\r\n", line), status.size());
        LogPrintf("%s\n", status.substr(line, end - line).c_str());
        line = end + 2;
    }
    if (progress != nullptr) {
        ui::FocusItem(progress, ui::kIdOk);
        if (loadOptions.unattended) {
            ui::EndDialog(progress, 0);
        }
    }
}
