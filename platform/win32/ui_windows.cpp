// Top-level tool windows and their child controls.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>

#include "platform/win32/ui_win32.h"

namespace platform::ui::win32 {

namespace {

int DisplayDpi() {
    static const int dpi = [] {
        HDC screen = ::GetDC(nullptr);
        const int found = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        return found > 0 ? found : 96;
    }();
    return dpi;
}

}  // namespace

int Scaled(int length) {
    return length == kDefaultPosition ? length : ::MulDiv(length, DisplayDpi(), 96);
}

int Unscaled(int pixels) {
    return ::MulDiv(pixels, 96, DisplayDpi());
}

}  // namespace platform::ui::win32

namespace platform::ui {

using win32::FromHwnd;
using win32::Scaled;
using win32::ToHwnd;
using win32::Unscaled;

namespace {

// A window placed and sized in code keeps within the work area of its screen: on a small screen
// at a large scale its bottom would otherwise run under the taskbar, out of the user's reach.
// It keeps its size where the area has room for it and moves in; it shrinks where not.
RECT WithinWorkArea(RECT frame) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoA(::MonitorFromRect(&frame, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return frame;
    }
    const RECT& work = monitor.rcWork;
    const LONG width = std::min(frame.right - frame.left, work.right - work.left);
    const LONG height = std::min(frame.bottom - frame.top, work.bottom - work.top);
    const LONG x = std::clamp(frame.left, work.left, work.right - width);
    const LONG y = std::clamp(frame.top, work.top, work.bottom - height);
    return RECT{x, y, x + width, y + height};
}

}  // namespace

Window CreateMainWindow(const WindowSpec& spec, intptr_t param) {
    int x = Scaled(spec.x), y = Scaled(spec.y);
    int width = Scaled(spec.width), height = Scaled(spec.height);
    if (x != kDefaultPosition && y != kDefaultPosition && width != kDefaultPosition &&
        height != kDefaultPosition) {
        const RECT frame = WithinWorkArea(RECT{x, y, x + width, y + height});
        x = frame.left;
        y = frame.top;
        width = frame.right - frame.left;
        height = frame.bottom - frame.top;
    }
    HWND hwnd = ::CreateWindowExA(0, spec.className.c_str(), spec.title.c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height, nullptr,
                                  nullptr, win32::Instance(), reinterpret_cast<LPVOID>(param));
    if (hwnd != nullptr) {
        ::ShowWindow(hwnd, SW_SHOWNORMAL);
        ::UpdateWindow(hwnd);
    }
    return FromHwnd(hwnd);
}

namespace {

struct ChildClass {
    const char* name;
    DWORD style;
};

ChildClass ClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::Static:
            return {"STATIC", 0};
        case ControlKind::Group:
            return {"BUTTON", BS_GROUPBOX};
        case ControlKind::Button:
            return {"BUTTON", BS_PUSHBUTTON};
        case ControlKind::Check:
            return {"BUTTON", BS_AUTOCHECKBOX};
        case ControlKind::Radio:
            return {"BUTTON", BS_AUTORADIOBUTTON};
        case ControlKind::Edit:
            return {"EDIT", 0};
        case ControlKind::Combo:
            return {"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL};
        case ControlKind::ComboList:
            return {"COMBOBOX", CBS_DROPDOWNLIST};
        case ControlKind::ListBox:
            return {"LISTBOX", LBS_NOTIFY};
        case ControlKind::ListView:
            return {WC_LISTVIEWA, LVS_REPORT};
        case ControlKind::Tab:
            return {WC_TABCONTROLA, 0};
        case ControlKind::Progress:
            return {PROGRESS_CLASSA, 0};
        case ControlKind::IpAddress:
            return {WC_IPADDRESSA, 0};
        case ControlKind::TreeView:
            return {WC_TREEVIEWA, TVS_HASLINES | TVS_LINESATROOT | TVS_HASBUTTONS};
        case ControlKind::Icon:
            return {"STATIC", SS_ICON};
    }
    return {"STATIC", 0};
}

// Controls made in code start with the System font (bold, larger than the dialogs' text); they
// get the font the programs' dialogs show, MS Sans Serif 8 at the display's scale.
HFONT DialogFont() {
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

Window CreateChild(Window parent, const ChildSpec& spec) {
    const ChildClass cls = ClassOf(spec.kind);
    DWORD style = WS_CHILD | WS_VISIBLE | cls.style;
    style |= (spec.style & kChildBorder) != 0 ? WS_BORDER : 0;
    style |= (spec.style & kChildVScroll) != 0 ? WS_VSCROLL : 0;
    style |= (spec.style & kChildHScroll) != 0 ? WS_HSCROLL : 0;
    style |= (spec.style & kChildMultiLine) != 0 ? ES_MULTILINE : 0;
    style |= (spec.style & kChildReadOnly) != 0 ? ES_READONLY : 0;
    style |= (spec.style & kChildAutoScroll) != 0 ? (ES_AUTOVSCROLL | ES_AUTOHSCROLL) : 0;
    const DWORD exStyle = (spec.style & kChildClientEdge) != 0 ? WS_EX_CLIENTEDGE : 0;
    HWND hwnd = ::CreateWindowExA(
        exStyle, cls.name, spec.text.c_str(), style, Scaled(spec.x), Scaled(spec.y),
        Scaled(spec.width), Scaled(spec.height), ToHwnd(parent),
        reinterpret_cast<HMENU>(static_cast<intptr_t>(spec.id)), win32::Instance(), nullptr);
    if (hwnd != nullptr) {
        ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    }
    return FromHwnd(hwnd);
}

void SetText(Window window, std::string_view text) {
    ::SetWindowTextA(ToHwnd(window), std::string(text).c_str());
}

std::string GetText(Window window) {
    return win32::WindowText(ToHwnd(window));
}

void SetTitle(Window window, std::string_view title) {
    SetText(window, title);
}
std::string GetTitle(Window window) {
    return GetText(window);
}

Window ItemWindow(Window dialog, int id) {
    return FromHwnd(win32::Item(dialog, id));
}

Rect GetClientRect(Window window) {
    RECT r{};
    ::GetClientRect(ToHwnd(window), &r);
    return Rect{Unscaled(r.left), Unscaled(r.top), Unscaled(r.right), Unscaled(r.bottom)};
}

namespace {

// The minimum client size (96-dpi units, scaled like every other length), packed into the
// subclass data, becomes the minimum frame size of each WM_GETMINMAXINFO, so it holds with the
// window's own frame, menu bar and dpi.
LRESULT CALLBACK KeepMinimumSize(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR subclass, DWORD_PTR data) {
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, KeepMinimumSize, subclass);
    } else if (message == WM_GETMINMAXINFO) {
        const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
        RECT frame{0, 0, static_cast<LONG>(Scaled(LOWORD(data))),
                   static_cast<LONG>(Scaled(HIWORD(data)))};
        ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)),
                             ::GetMenu(hwnd) != nullptr,
                             static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_EXSTYLE)));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = frame.right - frame.left;
        info->ptMinTrackSize.y = frame.bottom - frame.top;
        return result;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void SetMinimumClientSize(Window window, int width, int height) {
    ::SetWindowSubclass(ToHwnd(window), KeepMinimumSize, 1,
                        MAKELONG(static_cast<WORD>(width), static_cast<WORD>(height)));
}

void MoveWindow(Window window, int x, int y, int width, int height, bool repaint) {
    HWND hwnd = ToHwnd(window);
    x = Scaled(x);
    y = Scaled(y);
    width = Scaled(width);
    height = Scaled(height);
    if ((::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) == 0) {
        // A top-level window: the size given is its client size.
        RECT r{0, 0, width, height};
        ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)),
                             ::GetMenu(hwnd) != nullptr,
                             static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_EXSTYLE)));
        width = r.right - r.left;
        height = r.bottom - r.top;
    }
    ::MoveWindow(hwnd, x, y, width, height, repaint ? TRUE : FALSE);
}

void Invalidate(Window window) {
    ::InvalidateRect(ToHwnd(window), nullptr, TRUE);
}
void PaintNow(Window window) {
    ::UpdateWindow(ToHwnd(window));
}
void SetFocus(Window window) {
    ::SetFocus(ToHwnd(window));
}
void PostClose(Window window) {
    ::PostMessageA(ToHwnd(window), WM_CLOSE, 0, 0);
}
void DestroyWindow(Window window) {
    ::DestroyWindow(ToHwnd(window));
}

}  // namespace platform::ui
