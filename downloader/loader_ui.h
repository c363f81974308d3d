#pragma once

#include <cstdint>
#include <string>

#include "downloader/load_job.h"
#include "platform/ui.h"

// What the loaders show the user: questions and error boxes over the main dialog, and the
// progress dialog's bar and buttons.

// Sent to the main dialog after a successful download: the history takes the current settings.
inline constexpr unsigned UM_ADD_HISTORY = platform::ui::kUserMessage + 100;
// Posted to the main dialog when the open serial port's device was removed: the program ends
// once the job that noticed it has unwound.
inline constexpr unsigned UM_PORT_REMOVED = platform::ui::kUserMessage + 104;

// Progress dialog items.
inline constexpr int kProgressBar = 1031;

enum class QuestionAnswer { kYes, kNo, kCancel };

// A Yes/No question (no icon); true for Yes.
bool AskYesNo(const std::string& text, const char* caption = "File loader");
// A question with Yes, No and Cancel.
QuestionAnswer AskYesNoCancel(const std::string& text, const char* caption = "File loader");
// An error box with the stop icon.
void StopBox(const std::string& text, const char* caption);

// Progress of the transfer: words sent against the progress length in bytes, so that with the
// bar's range 0..100 it reads as the percentage of bytes sent.
void ShowTransferProgress(uint32_t wordsSent, int32_t progressLength);

// The final status line of a successful load: "%d words loaded successfully.", or for an erase
// without a load "Application space %s erased.".
std::string FinalStatus(uint32_t wordsLoaded);

// The end of a successful load: history, OK in place of Cancel, the final status line, and in an
// unattended run the progress dialog ends itself.
void FinishLoad(const std::string& status);

// Cancel in the progress dialog: the load stops quietly before its next request, and the status
// line reads "Cancelling..." meanwhile.
void CancelDownload();

// After Cancel has stopped a load that had changed the channel: says in what state the channel
// is left ("Download cancelled: application space 1 is erased.").
void ReportCancelledLoad(const ChannelChanges& changes);
