#include "downloader/loader_ui.h"

#include <cstdio>

#include "downloader/channel_control.h"
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

std::string FinalStatus(uint32_t wordsLoaded) {
    char text[64];
    if (!loadOptions.loadProgram && loadOptions.eraseFlash) {
        std::snprintf(text, sizeof text, "Application space %s erased.",
                      ChannelName(loadOptions.channel).c_str());
    } else {
        std::snprintf(text, sizeof text, "%d words loaded successfully.",
                      static_cast<int>(wordsLoaded));
    }
    return text;
}

void CancelDownload() {
    ConnectionClosed = true;
    DownloadCancelled = true;
    SetStatusText("Cancelling...");
}

void ReportCancelledLoad(const ChannelChanges& changes) {
    const std::string channel = ChannelName(loadOptions.channel);
    std::string state;
    switch (changes.space) {
        case ChannelChanges::Space::kErased:
            state = "application space " + channel + " is erased";
            break;
        case ChannelChanges::Space::kPartlyWritten:
            state = "application space " + channel + " is partly written";
            break;
        case ChannelChanges::Space::kLoaded:
            state = "application space " + channel + " holds the new program";
            break;
        case ChannelChanges::Space::kUntouched:
            break;
    }
    if (changes.programStopped) {
        state += (state.empty() ? "the program on channel " + channel : " and its program") +
                 " is stopped";
    }
    if (!state.empty()) {
        ErrorBox("Download cancelled: %s.", state.c_str());
    }
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
    if (progress != nullptr) {
        ui::FocusItem(progress, ui::kIdOk);
        if (loadOptions.unattended) {
            ui::EndDialog(progress, 0);
        }
    }
}
