#pragma once

// Shared parts of the Windows UI backend: handle conversions and message delivery to the
// procedures written against platform/ui.h.

#include <windows.h>

#include <string>

#include "platform/ui.h"

namespace platform::ui::win32 {

inline HWND ToHwnd(Window window) {
    return reinterpret_cast<HWND>(window);
}
inline Window FromHwnd(HWND hwnd) {
    return reinterpret_cast<Window>(hwnd);
}
inline HMENU ToHmenu(Menu menu) {
    return reinterpret_cast<HMENU>(menu);
}
inline Menu FromHmenu(HMENU menu) {
    return reinterpret_cast<Menu>(menu);
}

inline HWND Item(Window dialog, int id) {
    return ::GetDlgItem(ToHwnd(dialog), id);
}

// The program's own module: resources and window classes live there.
inline HINSTANCE Instance() {
    return ::GetModuleHandleA(nullptr);
}

// Sends a control message and returns its result.
inline LRESULT SendItem(Window dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendDlgItemMessageA(ToHwnd(dialog), id, message, wParam, lParam);
}

// Windows built in code are laid out in pixels at 96 dpi, as the programs were drawn; on a
// display of another scale their fonts grow with it, so their places and sizes grow alike.
// Scaled: a length of the layout in the display's pixels; Unscaled: the other way.
int Scaled(int length);
int Unscaled(int pixels);

// The text of a window, whatever its length.
std::string WindowText(HWND hwnd);

// Turns a window message into the interface's form; false for messages it does not name.
bool Translate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Message& out);

// Gives a message to the procedure of `hwnd`; false when it has none or did not handle it.
bool Deliver(HWND hwnd, const Message& message);

// A menu item of a resource with no text is a placeholder, an anchor before which the program
// inserts items of its own. The menus of the system cannot hide an item, and a placeholder shown
// would be a blank row to choose or, as a separator, a stray line: it is taken out of the menu
// bar and its place remembered, so that InsertMenuItemBefore and DeleteMenuItem still find it
// by its command. A popup left with nothing to show is grayed. ForgetPlaceholders drops what
// was remembered of a bar that goes away.
void HidePlaceholderItems(HMENU menu);
void ForgetPlaceholders(HMENU bar);

// The window that owns a box or dialog shown over `owner`: the owner's top-level window while
// the user can see it; else the window the user works in; else none.
HWND VisibleOwner(Window owner);

// The controls a dialog lays over the page of one of its tab controls take the page's colour:
// TabPageBrush answers their WM_CTLCOLORSTATIC and WM_CTLCOLORBTN (null: not on such a page),
// PaintTabPages paints the dialog's background with its pages (false: the dialog has none of
// their own colour), ForgetTabPages drops what was learnt of a dialog's pages.
HBRUSH TabPageBrush(HWND dialog, HWND control, HDC dc);
bool PaintTabPages(HWND dialog, HDC dc);
void ForgetTabPages(HWND dialog);

// True while a long job holds a WaitCursor.
bool Busy();
// The wait cursor, for a window that the system asks for its cursor while a job runs; false
// when the window shows its usual one.
bool ShowWaitCursor(HWND hwnd);

// Set when FocusItem runs while a dialog opens, so the dialog keeps that focus.
extern bool focusSetDuringInit;

}  // namespace platform::ui::win32
