#pragma once

// The headless UI's script: one event per line, read in order. Answers wait for the message
// box, file dialog or print dialog that asks for them; every other event is something the user
// does to the innermost open dialog or window. The format is described in UI_SCRIPTS.md.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace platform::ui {

enum class ScriptEventKind {
    Answer,         // answer OK|Cancel|Yes|No            -> message box
    File,           // file "path" | file offered | file cancel -> open or save dialog
    Print,          // print "path" | print cancel | print fail -> print dialog
    Command,        // command ID       button press or accelerator
    Menu,           // menu ID          menu bar entered, then the item chosen
    SystemCommand,  // syscommand ID    system menu item chosen
    Text,           // text ID "value"  typed into an edit or combo field
    Select,         // select ID N      combo or list item N chosen
    Check,          // check ID 0|1     check box or radio button clicked into that state
    Tab,            // tab ID N         tab N chosen
    Ip,             // ip ID a.b.c.d    IP address typed
    Key,            // key ID CODE      key typed into a child (ID 0: the window)
    Click,          // click ID         left button pressed and released (ID 0: the window)
    Size,           // size W H         client area resized
    Activate,       // activate 0|1     window deactivated or activated
    Device,         // device remove    a device was removed
    Close,          // close            the close box
    Pump,           // pump             a PumpMessages call passes with nothing happening
};
// "pump EVENT" (any user event) happens during a PumpMessages call, that is while the program
// works, rather than when a dialog waits for the user.

enum class PrintAnswer { ToFile, Cancel, Fail };

struct ScriptEvent {
    ScriptEventKind kind = ScriptEventKind::Close;
    int line = 0;  // 1-based line in the script, for error lines
    int id = 0;
    int value = 0;         // index, check state, key code, width, activation
    int value2 = 0;        // height
    std::string text;      // typed text, file path, print file
    bool cancel = false;   // file cancel
    bool offered = false;  // file offered: the name the dialog offers, as it stands
    Answer answer = Answer::Ok;
    PrintAnswer print = PrintAnswer::ToFile;
    uint32_t ip = 0;
    bool duringPump = false;  // "pump EVENT"
    bool shift = false;       // "key ID CODE shift"
    bool IsAnswer() const {
        return kind == ScriptEventKind::Answer || kind == ScriptEventKind::File ||
               kind == ScriptEventKind::Print;
    }
};

struct Script {
    std::vector<ScriptEvent> events;
    std::vector<std::string> errors;  // "line N: ..." for lines that were left out
};

// Blank lines and lines whose first non-blank character is '#' are ignored.
Script ParseScript(std::string_view text);

// Transcript and script words for the answers: "OK", "Cancel", "Yes", "No".
const char* AnswerName(Answer answer);

}  // namespace platform::ui
