#pragma once

#include <cstdint>
#include <string>

#include "downloader/formatted_text.h"
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
// The answer that Enter gives: Yes, or No for a question whose safe answer is No.
enum class QuestionDefault { kYes, kNo };

// A Yes/No question (no icon) whose No ends the load; true for Yes.
bool AskYesNo(const std::string& text, const char* caption = "File loader",
              QuestionDefault defaultAnswer = QuestionDefault::kYes);
// A question with Yes, No and Cancel.
QuestionAnswer AskYesNoCancel(const std::string& text, const char* caption = "File loader");
// An error box with the stop icon.
void StopBox(const std::string& text, const char* caption);

// Progress of the transfer: words sent against the progress length in bytes, so that with the
// bar's range 0..100 it reads as the percentage of bytes sent.
void ShowTransferProgress(uint32_t wordsSent, int32_t progressLength);

// The end of a successful load: history, OK in place of Cancel, the final status line (which the
// log records too), and in an unattended run the progress dialog ends itself.
void FinishLoad(const std::string& status);

// Cancel in the progress dialog: the load stops quietly before its next request, and the status
// line reads "Cancelling..." meanwhile.
void CancelDownload();
