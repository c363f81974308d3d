// The message loop, the pump used during long jobs, and messages a program sends itself.

#include "platform/win32/ui_win32.h"

namespace platform::ui::win32 {
bool TakeDeviceRemoved();
}  // namespace platform::ui::win32

namespace platform::ui {

using win32::FromHwnd;
using win32::ToHwnd;

namespace {

bool IsInput(UINT message) {
    return message == WM_CHAR || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP;
}

// Keys and clicks: the control handled them when dispatched; now the window that holds it
// (or the window itself) and the loop's observer see them.
void DeliverInput(const MSG& msg, const Procedure& observer) {
    Message input{msg.message == WM_CHAR          ? MessageKind::Char
                  : msg.message == WM_LBUTTONDOWN ? MessageKind::MouseDown
                                                  : MessageKind::MouseUp};
    input.window = FromHwnd(msg.hwnd);
    input.message = msg.message;
    input.wParam = msg.wParam;
    input.lParam = msg.lParam;
    input.code = msg.message == WM_CHAR ? static_cast<int>(msg.wParam) : 0;
    input.shift = msg.message == WM_CHAR && (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const bool isChild = (::GetWindowLongA(msg.hwnd, GWL_STYLE) & WS_CHILD) != 0;
    input.id = isChild ? ::GetDlgCtrlID(msg.hwnd) : 0;
    HWND holder = isChild ? ::GetParent(msg.hwnd) : msg.hwnd;
    win32::Deliver(holder, input);
    if (observer) {
        observer(FromHwnd(holder), input);
    }
}

bool IsDialog(HWND window) {
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

}  // namespace

int RunMessageLoop(const Procedure& observer) {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        if (IsInput(msg.message)) {
            DeliverInput(msg, observer);
        } else if (observer) {
            Message seen;
            if (!win32::Translate(msg.hwnd, msg.message, msg.wParam, msg.lParam, seen)) {
                seen.kind = MessageKind::Other;
                seen.window = FromHwnd(msg.hwnd);
                seen.message = msg.message;
                seen.wParam = msg.wParam;
                seen.lParam = msg.lParam;
            }
            observer(FromHwnd(msg.hwnd), seen);
        }
    }
    return static_cast<int>(msg.wParam);
}

void PostQuit(int code) {
    ::PostQuitMessage(code);
}

PumpResult PumpMessages() {
    PumpResult result;
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Put it back for the loop that owns it.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            result.quit = true;
            break;
        }
        // Keys go through the dialog manager as in a modal loop, so that Esc in a dialog is
        // its Cancel and Tab moves the focus while a long job runs.
        HWND root = msg.hwnd != nullptr ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (root != nullptr && IsDialog(root) && ::IsDialogMessageA(root, &msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    result.deviceRemoved = win32::TakeDeviceRemoved();
    return result;
}

bool SendUserMessage(Window window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    return ::SendMessageA(ToHwnd(window), message, wParam, lParam) != 0;
}

void PostUserMessage(Window window, unsigned message, uintptr_t wParam, intptr_t lParam) {
    ::PostMessageA(ToHwnd(window), message, wParam, lParam);
}

void SendCommand(Window window, int id) {
    ::SendMessageA(ToHwnd(window), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void SetTimer(Window window, int id, unsigned milliseconds) {
    ::SetTimer(ToHwnd(window), static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void KillTimer(Window window, int id) {
    ::KillTimer(ToHwnd(window), static_cast<UINT_PTR>(id));
}

}  // namespace platform::ui
