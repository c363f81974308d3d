// Message boxes, file dialogs, help and the program's end in the headless backend: answered
// from the script, recorded in the transcript.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/posix/ui_session.h"
#include "platform/ui_quote.h"

namespace platform::ui {

namespace {

Answer SafeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::YesNoCancel:
            return Answer::Cancel;
    }
    return Answer::Ok;
}

bool Offers(Buttons buttons, Answer answer) {
    switch (buttons) {
        case Buttons::Ok:
            return answer == Answer::Ok;
        case Buttons::OkCancel:
            return answer == Answer::Ok || answer == Answer::Cancel;
        case Buttons::YesNo:
            return answer == Answer::Yes || answer == Answer::No;
        case Buttons::YesNoCancel:
            return answer == Answer::Yes || answer == Answer::No || answer == Answer::Cancel;
    }
    return false;
}

// The next script event when it is of `kind`; it is then consumed.
const ScriptEvent* TakeAnswer(ScriptEventKind kind) {
    const ScriptEvent* event = PeekEvent();
    if (event == nullptr || event->kind != kind) {
        return nullptr;
    }
    ConsumeEvent();
    return event;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> FileDialog(const FileDialogOptions& options) {
    const ScriptEvent* event = TakeAnswer(ScriptEventKind::File);
    std::optional<std::string> chosen;
    if (event != nullptr && !event->cancel) {
        chosen = event->offered ? options.initialPath : event->text;
    }
    // The system's dialog refuses a path it has no room for, and a missing file when the file
    // must exist; the user can only cancel then.
    if (chosen && (chosen->size() > options.maxLength || chosen->empty() ||
                   (options.mustExist && !FileExists(*chosen)))) {
        RecordError("file dialog refuses " + QuoteText(*chosen));
        chosen.reset();
    }
    Record("file " + QuoteText(options.title) + " -> " +
           (chosen ? QuoteText(*chosen) : std::string("cancel")));
    if (chosen && !options.keepDirectory) {
        const size_t slash = chosen->find_last_of('/');
        if (slash != std::string::npos && ::chdir(chosen->substr(0, slash + 1).c_str()) != 0) {
            RecordError("cannot change to the folder of " + QuoteText(*chosen));
        }
    }
    return chosen;
}

const char* IconName(Icon icon) {
    switch (icon) {
        case Icon::None:
            return "";
        case Icon::Stop:
            return "stop";
        case Icon::Question:
            return "question";
        case Icon::Warning:
            return "warning";
        case Icon::Information:
            return "information";
    }
    return "";
}

// " icon NAME", " default ANSWER" (a second default button) and " over \"TITLE\"" (the top-level
// window that owns the box), each when there is one. A box shown with no owner names none, though
// on Windows the active window takes it.
std::string BoxDetails(Window owner, Buttons buttons, Icon icon, DefaultButton defaultButton) {
    std::string details;
    if (icon != Icon::None) {
        details += std::string(" icon ") + IconName(icon);
    }
    if (defaultButton == DefaultButton::Second && buttons != Buttons::Ok) {
        details += std::string(" default ") +
                   AnswerName(buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No);
    }
    if (const WindowObject* shown = owner != nullptr ? VisibleOwner(owner) : nullptr) {
        details += " over " + QuoteText(shown->text);
    }
    return details;
}

}  // namespace

Answer ShowMessageBox(Window owner, std::string_view text, std::string_view caption,
                      Buttons buttons, Icon icon, DefaultButton defaultButton) {
    CurrentSession();
    Answer answer = SafeAnswer(buttons);
    if (const ScriptEvent* event = TakeAnswer(ScriptEventKind::Answer)) {
        if (Offers(buttons, event->answer)) {
            answer = event->answer;
        } else {
            RecordError("script line " + std::to_string(event->line) + ": the box has no " +
                        AnswerName(event->answer) + " button");
        }
    }
    Record("msgbox " + QuoteText(caption) + " " + QuoteText(text) +
           BoxDetails(owner, buttons, icon, defaultButton) + " -> " + AnswerName(answer));
    return answer;
}

std::optional<std::string> OpenFileDialog(Window, const FileDialogOptions& options) {
    CurrentSession();
    return FileDialog(options);
}

std::optional<std::string> SaveFileDialog(Window, const FileDialogOptions& options) {
    CurrentSession();
    FileDialogOptions save = options;
    save.mustExist = false;
    return FileDialog(save);
}

bool ShowHelp(std::string_view helpFile) {
    CurrentSession();
    Record("help " + QuoteText(helpFile));
    return FileExists(std::string(helpFile));
}

std::string HelpFilePath(std::string_view name) {
    char path[4096] = {};
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string folder = length > 0 ? std::string(path, static_cast<size_t>(length)) : "";
    folder.resize(folder.find_last_of('/') == std::string::npos ? 0 : folder.find_last_of('/'));
    return folder + "/" + std::string(name);
}

bool InitCommonControlClasses() {
    return true;
}

std::string MapTempPath(std::string_view windowsPath) {
    constexpr std::string_view kTemp = "c:\\temp\\";
    std::string path(windowsPath);
    if (path.size() < kTemp.size()) {
        return path;
    }
    for (size_t i = 0; i < kTemp.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(path[i])) != kTemp[i]) {
            return path;
        }
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    if (folder.back() != '/') {
        folder += '/';
    }
    std::string rest = path.substr(kTemp.size());
    for (char& c : rest) {
        if (c == '\\') {
            c = '/';
        }
    }
    return folder + rest;
}

int RecordExit(int code) {
    CurrentSession();
    Record("exit " + std::to_string(code));
    return code;
}

void ExitProgram(int code) {
    RecordExit(code);
    std::fflush(nullptr);
    std::exit(code);
}

}  // namespace platform::ui
