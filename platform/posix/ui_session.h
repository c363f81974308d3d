#pragma once

// The headless UI backend's state: the window and menu model, the script being played and the
// transcript being written. One session per process (tests start new ones).

#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/ui_script.h"

namespace platform::ui {

struct TreeItemObject {
    std::string text;
    TreeItemObject* parent = nullptr;
    int number = 0;        // its index in the control's treeItems, as `select` names it
    bool deleted = false;  // kept so that numbers and stale handles stay valid
};

struct MenuObject {
    struct Item {
        int command = 0;
        std::string text;
        unsigned flags = 0;
        bool separator = false;
        MenuObject* popup = nullptr;
    };
    std::vector<Item> items;
};

struct WindowObject {
    // What it is.
    WindowObject* parent = nullptr;
    ControlKind kind = ControlKind::Static;  // for controls
    bool isDialog = false;
    bool isTopLevel = false;
    int dialogId = 0;
    int id = 0;
    std::string text;    // caption, control text or title
    std::string cue;     // an edit field's cue banner: shown when empty, never its text
    unsigned style = 0;  // ChildStyle bits of a child made by CreateChild
    Procedure procedure;
    std::vector<WindowObject*> children;  // in creation order
    Rect rect;                            // top-level: the client area
    bool destroyed = false;

    // Control state.
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    std::vector<std::pair<std::string, intptr_t>> items;  // combo, list box, tab
    int selected = -1;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
    int low = 0, high = 100, position = 0;
    uint32_t ip = 0;
    std::vector<std::unique_ptr<TreeItemObject>> treeItems;
    TreeItemObject* treeSelected = nullptr;

    // Dialog and window state.
    MenuObject* menuBar = nullptr;
    MenuObject* systemMenu = nullptr;
    bool ended = false;
    int result = 0;
    std::map<int, unsigned> timers;  // id -> period
    bool needsPaint = false;
    int minWidth = 0, minHeight = 0;  // top-level: the smallest client area the user can make
    bool shown = false;               // a dialog that got through its Init, a main window once made
};

struct PostedMessage {
    Window window;
    Message message;
};

struct Session {
    // Model; objects live until the session ends so that stale handles stay harmless.
    std::vector<std::unique_ptr<WindowObject>> windows;
    std::vector<std::unique_ptr<MenuObject>> menus;
    std::map<std::string, std::pair<Procedure, int>, std::less<>> classes;
    std::vector<WindowObject*> modalStack;  // innermost last
    std::deque<PostedMessage> posted;
    std::optional<int> quitCode;
    Procedure loopObserver;           // RunMessageLoop's observer while it runs
    WindowObject* focused = nullptr;  // the window SetFocus named last
    int jobsRunning = 0;              // WaitCursor objects alive

    // Script and transcript.
    Script script;
    size_t next = 0;
    bool toMemory = false;
    std::string memory;
    FILE* file = nullptr;  // null with toMemory false: standard error
};

Session& CurrentSession();

// Transcript lines: one observable act each, written and flushed at once.
void Record(const std::string& line);
void RecordError(const std::string& what);

// The next script event, or null when the script has run out.
const ScriptEvent* PeekEvent();
void ConsumeEvent();

// Model helpers.
WindowObject* NewWindow();
MenuObject* NewMenu();
WindowObject* FindControl(Window dialog, int id);  // null (and an error line) when missing
WindowObject* FindChild(Window dialog, int id);    // null without complaint
bool Deliver(Window window, const Message& message);
// The window that user events go to: the innermost modal dialog, else the newest live
// top-level window.
WindowObject* EventTarget();
// The window that owns a box or dialog shown over `owner`: the owner's top-level window when it
// is shown; else the window the user works in (the innermost shown dialog, else the newest
// shown top-level window); else none.
WindowObject* VisibleOwner(Window owner);
// Plays one user event on the target; returns false when it could not be applied.
void PlayEvent(const ScriptEvent& event, WindowObject* target, bool* deviceRemoved);
void DispatchPosted();
// The close box: Close to the procedure; unhandled, a dialog gets Command(kIdCancel) and a
// window is destroyed.
void CloseBox(WindowObject* window);

// One round of waiting for the user, the only way a headless run can: posted messages, each
// pending timer once, due repaints, then the next script event. When the script has run out the
// waiting window gets its close box once; Stuck means that did not help either, and the caller
// ends the wait by force so that no run waits forever.
enum class WaitResult { Done, Waiting, Stuck };
WaitResult WaitOnce(WindowObject* waiting, bool* closeTried, const std::function<bool()>& done);

}  // namespace platform::ui

namespace platform::ui {
const DialogSpec* FindDialogSpec(int dialogId);
const MenuSpec* FindMenuSpec(int menuId);
// The item with `command` anywhere in `menu`'s tree, or null; `holder` gets its menu.
MenuObject::Item* FindMenuItem(MenuObject* menu, int command, MenuObject** holder = nullptr);
// Builds the menu tree of a menu table.
MenuObject* BuildMenu(const MenuSpec& spec);
// A placeholder: an item of a menu table with no text, never shown to the user.
bool IsPlaceholder(const MenuObject::Item& item);
// True when the item with `command` lies in a grayed popup of `menu`, which the user cannot open.
bool InGrayedPopup(MenuObject* menu, int command);
// Grays each popup below `menu` that holds placeholders and nothing else (`bar` holds `menu`).
void GrayEmptyPopups(MenuObject* bar, MenuObject* menu);
}  // namespace platform::ui
