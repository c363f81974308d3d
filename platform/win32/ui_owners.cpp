// Which window a box or a modal dialog belongs to.

#include "platform/win32/ui_win32.h"

namespace platform::ui::win32 {

namespace {

bool IsShown(HWND window) {
    return window != nullptr && ::IsWindowVisible(window);
}

}  // namespace

// A box owned by a window the user cannot see (a main window still in its WM_CREATE, a dialog
// still in its WM_INITDIALOG) has no taskbar button and goes behind the first window clicked:
// the program seems never to have started. It belongs to the window the user works in instead,
// or to none, and then stands on its own.
HWND VisibleOwner(Window owner) {
    HWND root = owner != nullptr ? ::GetAncestor(ToHwnd(owner), GA_ROOT) : nullptr;
    if (IsShown(root)) {
        return root;
    }
    HWND active = ::GetActiveWindow();
    return IsShown(active) ? active : nullptr;
}

}  // namespace platform::ui::win32
