#include "platform/posix/ui_session.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/ui_headless.h"
#include "platform/ui_quote.h"

namespace platform::ui {

namespace {

std::map<int, DialogSpec>& DialogSpecs() {
    static std::map<int, DialogSpec> specs;
    return specs;
}

std::map<int, MenuSpec>& MenuSpecs() {
    static std::map<int, MenuSpec> specs;
    return specs;
}

std::unique_ptr<Session>& SessionSlot() {
    static std::unique_ptr<Session> session;
    return session;
}

void RecordScriptErrors(const Session& session) {
    for (const auto& error : session.script.errors) {
        RecordError("script " + error);
    }
}

// The session of a program run: script and transcript named by the environment.
void StartFromEnvironment() {
    auto session = std::make_unique<Session>();
    const char* transcript = std::getenv("CALVENTO_UI_TRANSCRIPT");
    std::string transcriptError;
    if (transcript != nullptr && *transcript != '\0') {
        session->file = std::fopen(transcript, "w");
        if (session->file == nullptr) {
            transcriptError = std::string("cannot write transcript ") + transcript;
        }
    }
    const char* scriptPath = std::getenv("CALVENTO_UI_SCRIPT");
    std::string scriptError;
    if (scriptPath != nullptr && *scriptPath != '\0') {
        std::ifstream in(scriptPath, std::ios::binary);
        if (in) {
            std::stringstream text;
            text << in.rdbuf();
            session->script = ParseScript(text.str());
        } else {
            scriptError = std::string("cannot read script ") + scriptPath;
        }
    }
    SessionSlot() = std::move(session);
    // Both go to standard error when the transcript cannot be written.
    for (const auto& error : {transcriptError, scriptError}) {
        if (!error.empty()) {
            RecordError(error);
        }
    }
    RecordScriptErrors(*SessionSlot());
}

}  // namespace

void RegisterDialog(const DialogSpec& dialog) {
    DialogSpecs()[dialog.id] = dialog;
}
void RegisterMenu(const MenuSpec& menu) {
    MenuSpecs()[menu.id] = menu;
}

const DialogSpec* FindDialogSpec(int dialogId) {
    auto it = DialogSpecs().find(dialogId);
    return it == DialogSpecs().end() ? nullptr : &it->second;
}

const MenuSpec* FindMenuSpec(int menuId) {
    auto it = MenuSpecs().find(menuId);
    return it == MenuSpecs().end() ? nullptr : &it->second;
}

Session& CurrentSession() {
    auto& slot = SessionSlot();
    if (!slot) {
        StartFromEnvironment();
    }
    return *slot;
}

void Record(const std::string& line) {
    Session& session = *SessionSlot();
    if (session.toMemory) {
        session.memory += line + "\n";
        return;
    }
    FILE* out = session.file != nullptr ? session.file : stderr;
    std::fputs(line.c_str(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

void RecordError(const std::string& what) {
    Record("error " + QuoteText(what));
}

const ScriptEvent* PeekEvent() {
    Session& session = CurrentSession();
    return session.next < session.script.events.size() ? &session.script.events[session.next]
                                                       : nullptr;
}

void ConsumeEvent() {
    ++CurrentSession().next;
}

WindowObject* NewWindow() {
    Session& session = CurrentSession();
    session.windows.push_back(std::make_unique<WindowObject>());
    return session.windows.back().get();
}

MenuObject* NewMenu() {
    Session& session = CurrentSession();
    session.menus.push_back(std::make_unique<MenuObject>());
    return session.menus.back().get();
}

MenuObject* BuildMenu(const MenuSpec& spec) {
    MenuObject* bar = NewMenu();
    std::vector<MenuObject*> levels{bar};
    for (const auto& entry : spec.entries) {
        levels.resize(std::min<size_t>(levels.size(), static_cast<size_t>(entry.depth) + 1));
        MenuObject* into = levels.back();
        MenuObject::Item item;
        item.command = entry.command;
        item.text = entry.text;
        item.separator = entry.separator;
        if (entry.popup) {
            item.popup = NewMenu();
        }
        into->items.push_back(item);
        if (entry.popup) {
            levels.push_back(item.popup);
        }
    }
    GrayEmptyPopups(bar, bar);
    return bar;
}

}  // namespace platform::ui

namespace platform::ui::headless {

void StartSession(std::string_view script) {
    auto session = std::make_unique<Session>();
    session->toMemory = true;
    session->script = ParseScript(script);
    SessionSlot() = std::move(session);
    RecordScriptErrors(*SessionSlot());
}

std::string Transcript() {
    return CurrentSession().memory;
}

int FocusedId() {
    const WindowObject* focused = CurrentSession().focused;
    return focused != nullptr && !focused->isTopLevel ? focused->id : 0;
}

}  // namespace platform::ui::headless
