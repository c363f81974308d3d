// Window messages in the interface's terms.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "platform/win32/ui_win32.h"

namespace platform::ui::win32 {

std::string WindowText(HWND hwnd) {
    const int length = ::GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

bool Translate(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, Message& out) {
    out = Message{};
    out.window = FromHwnd(hwnd);
    out.message = message;
    out.wParam = wParam;
    out.lParam = lParam;
    switch (message) {
        case WM_CREATE:
            out.kind = MessageKind::Init;
            out.lParam = reinterpret_cast<intptr_t>(
                reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
            return true;
        case WM_COMMAND:
            out.kind = MessageKind::Command;
            out.id = LOWORD(wParam);
            out.code = HIWORD(wParam);
            return true;
        case WM_SYSCOMMAND:
            // The system's own commands are 0xF000 and above; below are the program's items.
            if ((wParam & 0xFFF0) >= 0xF000) {
                return false;
            }
            out.kind = MessageKind::SystemCommand;
            out.id = static_cast<int>(wParam);
            return true;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->code != static_cast<UINT>(TCN_SELCHANGE)) {
                return false;
            }
            out.kind = MessageKind::TabChanged;
            out.id = static_cast<int>(header->idFrom);
            return true;
        }
        case WM_TIMER:
            out.kind = MessageKind::Timer;
            out.id = static_cast<int>(wParam);
            return true;
        case WM_CLOSE:
            out.kind = MessageKind::Close;
            return true;
        case WM_DESTROY:
            out.kind = MessageKind::Destroy;
            return true;
        case WM_SIZE:
            out.kind = MessageKind::Size;
            out.width = Unscaled(LOWORD(lParam));
            out.height = Unscaled(HIWORD(lParam));
            return true;
        case WM_PAINT:
            out.kind = MessageKind::Paint;
            return true;
        case WM_ACTIVATE:
            out.kind = MessageKind::Activate;
            out.code = LOWORD(wParam) != WA_INACTIVE ? 1 : 0;
            return true;
        case WM_INITMENU:
            out.kind = MessageKind::InitMenu;
            return true;
        case WM_DEVICECHANGE:
            out.kind = MessageKind::DeviceChange;
            out.code = static_cast<int>(wParam);
            return true;
        default:
            if (message >= WM_USER && message < 0xC000) {
                out.kind = MessageKind::User;
                return true;
            }
            return false;
    }
}

}  // namespace platform::ui::win32
