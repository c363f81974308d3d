// Texts, checks, visibility, progress bars and IP address fields of dialog controls.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>
// clang-format on

#include "platform/win32/ui_win32.h"

namespace platform::ui {

using win32::Item;
using win32::SendItem;
using win32::ToHwnd;

void SetItemText(Window dialog, int id, std::string_view text) {
    ::SetDlgItemTextA(ToHwnd(dialog), id, std::string(text).c_str());
}

std::string GetItemText(Window dialog, int id) {
    return win32::WindowText(Item(dialog, id));
}

void ShowStatus(Window dialog, int id, std::string_view text) {
    SetItemText(dialog, id, text);
    // The status line is read while the job blocks the loop: show it now.
    ::UpdateWindow(Item(dialog, id));
}

void SetCheck(Window dialog, int id, bool checked) {
    ::CheckDlgButton(ToHwnd(dialog), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool IsChecked(Window dialog, int id) {
    return ::IsDlgButtonChecked(ToHwnd(dialog), id) == BST_CHECKED;
}

void ShowItem(Window dialog, int id, bool visible) {
    ::ShowWindow(Item(dialog, id), visible ? SW_SHOW : SW_HIDE);
}

// The control's own flag: IsWindowVisible also asks the parent, which is hidden while the
// dialog is being set up.
bool IsItemVisible(Window dialog, int id) {
    HWND item = Item(dialog, id);
    return item != nullptr && (::GetWindowLongA(item, GWL_STYLE) & WS_VISIBLE) != 0;
}

void EnableItem(Window dialog, int id, bool enabled) {
    ::EnableWindow(Item(dialog, id), enabled ? TRUE : FALSE);
}

void FocusItem(Window dialog, int id) {
    ::SetFocus(Item(dialog, id));
    win32::focusSetDuringInit = true;
}

void SetCueBanner(Window edit, std::string_view prompt) {
    // The cue banner takes UTF-16; the prompt is in the ANSI code page like every other text.
    const std::string narrow(prompt);
    const int length = ::MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, wide.data(), length);
    // TRUE: shown while the field has the focus too, until the user types.
    ::SendMessageW(ToHwnd(edit), EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

void EnableFileAutoComplete(Window dialog, int id) {
    HWND item = Item(dialog, id);
    // A combo box completes in its edit field.
    HWND edit = ::FindWindowExA(item, nullptr, "Edit", nullptr);
    ::SHAutoComplete(edit != nullptr ? edit : item, SHACF_FILESYSTEM);
}

void SetDialogIcon(Window dialog, int iconId) {
    HICON icon = ::LoadIconA(win32::Instance(), MAKEINTRESOURCEA(iconId));
    ::SendMessageA(ToHwnd(dialog), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(ToHwnd(dialog), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void SetProgressRange(Window dialog, int id, int low, int high) {
    SendItem(dialog, id, PBM_SETRANGE32, static_cast<WPARAM>(low), high);
}

void SetProgress(Window dialog, int id, int position) {
    SendItem(dialog, id, PBM_SETPOS, static_cast<WPARAM>(position));
}

int GetProgress(Window dialog, int id) {
    return static_cast<int>(SendItem(dialog, id, PBM_GETPOS));
}

void SetIpAddress(Window dialog, int id, uint32_t address) {
    SendItem(dialog, id, IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
}

uint32_t GetIpAddress(Window dialog, int id) {
    DWORD address = 0;
    SendItem(dialog, id, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return address;
}

}  // namespace platform::ui
