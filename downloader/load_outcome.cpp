#include "downloader/load_outcome.h"

#include <cctype>
#include <cstdarg>

#include "downloader/channel_control.h"
#include "downloader/connection.h"
#include "downloader/formatted_text.h"
#include "downloader/loader_ui.h"
#include "downloader/log_file.h"
#include "downloader/settings.h"

namespace {

// What ended the load, as the log records it; empty while nothing has.
std::string ending;
// The failure still to be told when the load has ended; empty when none is.
std::string untold;

// A message as one log line: its line breaks become blanks.
std::string OneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        if (c == '\n' || c == '\r') {
            if (!line.empty() && line.back() != ' ') {
                line.push_back(' ');
            }
        } else {
            line.push_back(c);
        }
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

std::string Sentence(std::string text) {
    if (!text.empty()) {
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        text += ".";
    }
    return text;
}

enum class Restart { kNotTried, kStarted, kFailed };

std::string SpaceState(ChannelChanges::Space space, const std::string& channel) {
    const std::string named = "application space " + channel;
    switch (space) {
        case ChannelChanges::Space::kPartlyErased:
            return named + " may be partly erased";
        case ChannelChanges::Space::kErased:
            return named + " is erased";
        case ChannelChanges::Space::kPartlyWritten:
            return named + " is partly written";
        case ChannelChanges::Space::kLoaded:
            return named + " holds the new program";
        default:
            return "nothing was erased or written in " + named;
    }
}

std::string ProgramState(const ChannelChanges& changes, Restart restart,
                         const std::string& restartError) {
    switch (restart) {
        case Restart::kStarted:
            return "its program was started again";
        case Restart::kFailed:
            return std::string(changes.programStopped ? "its program is stopped"
                                                      : "its program may be stopped") +
                   " and could not be started again (" + restartError + ")";
        default:
            if (changes.programStopped) {
                return "its program is stopped";
            }
            return changes.runByteBefore != 0 ? "its program may be stopped" : "";
    }
}

// What the load left the channel in, as a clause ("application space 1 is erased and its
// program is stopped"); when it changed nothing, that too once `tellUnchanged`, else nothing.
std::string ChannelState(const ChannelChanges& changes, Restart restart,
                         const std::string& restartError, bool tellUnchanged) {
    const std::string program = ProgramState(changes, restart, restartError);
    const bool untouched = changes.space == ChannelChanges::Space::kUntouched;
    if (untouched && program.empty() && !tellUnchanged) {
        return "";
    }
    const std::string space = SpaceState(changes.space, ChannelName(loadOptions.channel));
    if (program.empty()) {
        return space;
    }
    return space + (untouched ? "; " : " and ") + program;
}

}  // namespace

void BeginLoadOutcome() {
    ending.clear();
    untold.clear();
}

void NoteLoadFailure(const std::string& text) {
    if (ending.empty()) {
        ending = "Download failed: " + OneLine(text);
        untold = text;
    }
}

void NoteToldEnding(const std::string& text) {
    if (ending.empty()) {
        ending = OneLine(text);
    }
}

void NoteEndingAnswer(const std::string& question, const char* answer) {
    NoteToldEnding(std::string("Download stopped: answered ") + answer + " to \"" + question +
                   "\"");
}

void RefuseLoad(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string text = FormattedText(kShownTextLimit, format, arguments);
    va_end(arguments);
    ErrorBox("%s", text.c_str());
    NoteToldEnding(std::string("Download failed: ") + text);
}

void EndUnsuccessfulLoad(const ChannelChanges& changes) {
    const bool cancelled = untold.empty() && DownloadCancelled;
    Restart restart = Restart::kNotTried;
    std::string restartError;
    // Cancel leaves the channel as the user stopped it; a failure puts back a program whose space
    // it never touched.
    if (!cancelled && changes.runByteBefore != 0 &&
        changes.space == ChannelChanges::Space::kUntouched) {
        restart = StartProgramAgain(changes, restartError) ? Restart::kStarted : Restart::kFailed;
    }
    // A failure still to be told that reached the channel's program says what the channel is
    // left in, even as it was; Cancel, a refusal and a No only what it changed.
    const std::string state =
        ChannelState(changes, restart, restartError, !untold.empty() && changes.programReached);
    if (cancelled) {
        if (!state.empty()) {
            ErrorBox("Download cancelled: %s.", state.c_str());
        }
        LogPrintf("Download cancelled%s%s.\n", state.empty() ? "" : ": ", state.c_str());
        return;
    }
    if (!untold.empty()) {
        ErrorBox("%s%s%s", untold.c_str(), state.empty() ? "" : "\n\n", Sentence(state).c_str());
    } else if (!state.empty()) {
        ErrorBox("%s", Sentence(state).c_str());
    }
    LogPrintf("%s\n", ending.empty() ? "Download failed." : ending.c_str());
    if (!state.empty()) {
        LogPrintf("%s\n", Sentence(state).c_str());
    }
}

std::string FinalStatus(uint32_t wordsLoaded, const ChannelChanges& changes) {
    if (!loadOptions.loadProgram && loadOptions.eraseFlash) {
        return Formatted("Application space %s erased.", ChannelName(loadOptions.channel).c_str());
    }
    std::string status = Formatted("%d words loaded successfully.", static_cast<int>(wordsLoaded));
    if (changes.autoStartMissing) {
        status +=
            "\r\nWARNING: Module not equipped for Auto Start.\r\n"
            "The program is stopped: start it by hand.";
    }
    return status;
}
