// The procedures of dialogs and windows: the system calls the thunks here, which translate its
// messages and hand them to the procedure registered for the window.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <dbt.h>
// clang-format on

#include <algorithm>
#include <map>
#include <vector>

#include "platform/win32/ui_win32.h"

namespace platform::ui::win32 {

bool focusSetDuringInit = false;
bool deviceRemovedSeen = false;

namespace {

std::map<HWND, Procedure>& Procedures() {
    static std::map<HWND, Procedure> procedures;
    return procedures;
}

std::map<std::string, Procedure>& ClassProcedures() {
    static std::map<std::string, Procedure> procedures;
    return procedures;
}

struct DialogStart {
    Procedure procedure;
    intptr_t param;
    bool toFront;  // no window owns it: it comes to the front when the system shows it
};

std::vector<HWND>& FrontWhenShown() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

// The dialog of its own that is shown now comes to the front, where the user sees it.
void BringToFrontWhenShown(HWND hwnd, UINT message, LPARAM lParam) {
    auto& dialogs = FrontWhenShown();
    const auto found = std::find(dialogs.begin(), dialogs.end(), hwnd);
    if (found == dialogs.end()) {
        return;
    }
    if (message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW) != 0) {
        dialogs.erase(found);
        ::SetForegroundWindow(hwnd);
    } else if (message == WM_NCDESTROY) {
        dialogs.erase(found);
    }
}

// What the system asks a dialog itself, not its procedure: the cursor while a job runs, and the
// colours of the tab pages it lays controls over. Returns whether it was answered, with the
// answer in `result`.
bool AnswerForDialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) {
    switch (message) {
        case WM_SETCURSOR:
            if (!ShowWaitCursor(hwnd)) {
                return false;
            }
            ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, TRUE);
            result = TRUE;
            return true;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // The brush itself is the answer to these, not DWLP_MSGRESULT.
            HBRUSH brush =
                TabPageBrush(hwnd, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
            result = reinterpret_cast<INT_PTR>(brush);
            return brush != nullptr;
        }
        case WM_ERASEBKGND:
        case WM_PRINTCLIENT:
            if (!PaintTabPages(hwnd, reinterpret_cast<HDC>(wParam))) {
                return false;
            }
            ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, TRUE);
            result = TRUE;
            return true;
        case WM_THEMECHANGED:
        case WM_SYSCOLORCHANGE:
            ForgetTabPages(hwnd);
            return false;
        default:
            return false;
    }
}

// Device notifications are sent, not posted: note them where they arrive so that the pump can
// report them.
void NoteDevice(UINT message, WPARAM wParam) {
    if (message == WM_DEVICECHANGE && wParam == DBT_DEVICEREMOVECOMPLETE) {
        deviceRemovedSeen = true;
    }
}

INT_PTR CALLBACK DialogThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    NoteDevice(message, wParam);
    BringToFrontWhenShown(hwnd, message, lParam);
    if (INT_PTR answer = 0; AnswerForDialog(hwnd, message, wParam, lParam, answer)) {
        return answer;
    }
    if (message == WM_INITDIALOG) {
        auto* start = reinterpret_cast<DialogStart*>(lParam);
        Procedures()[hwnd] = start->procedure;
        if (start->toFront) {
            FrontWhenShown().push_back(hwnd);
        }
        Message init{MessageKind::Init};
        init.window = FromHwnd(hwnd);
        init.lParam = start->param;
        HidePlaceholderItems(::GetMenu(hwnd));
        focusSetDuringInit = false;
        Deliver(hwnd, init);
        // TRUE lets the system focus the first control, unless the dialog chose one itself.
        return focusSetDuringInit ? FALSE : TRUE;
    }
    if (message == WM_TIMER && !::IsWindowVisible(hwnd)) {
        // The system shows a modal dialog only once its queue is first empty, which a short
        // timer beats: a job run from the timer would leave its dialog (and Cancel) unseen.
        ::ShowWindow(hwnd, SW_SHOW);
        ::UpdateWindow(hwnd);
    }
    Message translated;
    bool handled = false;
    if (Translate(hwnd, message, wParam, lParam, translated)) {
        handled = Deliver(hwnd, translated);
        if (translated.kind == MessageKind::User) {
            ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, handled ? 1 : 0);
        }
    }
    if (message == WM_DESTROY) {
        ForgetPlaceholders(::GetMenu(hwnd));
    } else if (message == WM_NCDESTROY) {
        Procedures().erase(hwnd);
        ForgetTabPages(hwnd);
    }
    return handled ? TRUE : FALSE;
}

// Labels, check boxes and read-only fields ask their parent for their background; unanswered
// they paint the dialog grey, a patch on a tool window's white. They get the window's own.
LRESULT WindowBackground(HWND hwnd, HDC dc) {
    auto* background = reinterpret_cast<HBRUSH>(::GetClassLongPtrA(hwnd, GCLP_HBRBACKGROUND));
    LOGBRUSH brush{};
    if (background == nullptr || ::GetObjectA(background, sizeof brush, &brush) == 0) {
        return 0;
    }
    ::SetBkColor(dc, brush.lbColor);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(background);
}

LRESULT CALLBACK WindowThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    NoteDevice(message, wParam);
    if (message == WM_SETCURSOR && ShowWaitCursor(hwnd)) {
        return TRUE;
    }
    auto& procedures = Procedures();
    if (procedures.find(hwnd) == procedures.end()) {
        char name[256] = {};
        ::GetClassNameA(hwnd, name, sizeof name);
        auto it = ClassProcedures().find(name);
        if (it != ClassProcedures().end()) {
            procedures[hwnd] = it->second;
        }
    }
    Message translated;
    bool handled = false;
    if (Translate(hwnd, message, wParam, lParam, translated)) {
        handled = Deliver(hwnd, translated);
    }
    if (message == WM_PAINT && handled) {
        // The procedure showed its state; validate the area so that the paint is not repeated.
        PAINTSTRUCT paint;
        ::BeginPaint(hwnd, &paint);
        ::EndPaint(hwnd, &paint);
    }
    LRESULT result = 0;
    if (handled) {
        result = translated.kind == MessageKind::User ? 1 : 0;
    } else if (message == WM_CTLCOLORSTATIC) {
        result = WindowBackground(hwnd, reinterpret_cast<HDC>(wParam));
    }
    if (!handled && result == 0) {
        result = ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        procedures.erase(hwnd);
    }
    return result;
}

}  // namespace

bool Deliver(HWND hwnd, const Message& message) {
    auto it = Procedures().find(hwnd);
    if (it == Procedures().end() || !it->second) {
        return false;
    }
    Procedure procedure = it->second;  // the window may go away while it runs
    return procedure(FromHwnd(hwnd), message);
}

int RunDialogWith(int dialogId, Window owner, Procedure procedure, intptr_t param) {
    HWND ownerWindow = VisibleOwner(owner);
    DialogStart start{std::move(procedure), param, ownerWindow == nullptr};
    return static_cast<int>(::DialogBoxParamA(Instance(), MAKEINTRESOURCEA(dialogId), ownerWindow,
                                              DialogThunk, reinterpret_cast<LPARAM>(&start)));
}

bool RegisterClassWith(std::string_view className, Procedure procedure, int iconId) {
    const std::string name(className);
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowThunk;
    wc.hInstance = Instance();
    // The program's own icon when it names one.
    wc.hIcon = iconId != 0 ? ::LoadIconA(Instance(), MAKEINTRESOURCEA(iconId)) : nullptr;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = name.c_str();
    if (::RegisterClassA(&wc) == 0) {
        return false;
    }
    ClassProcedures()[name] = std::move(procedure);
    return true;
}

bool TakeDeviceRemoved() {
    const bool seen = deviceRemovedSeen;
    deviceRemovedSeen = false;
    return seen;
}

}  // namespace platform::ui::win32

namespace platform::ui {

int RunDialog(int dialogId, Window owner, Procedure procedure, intptr_t param) {
    return win32::RunDialogWith(dialogId, owner, std::move(procedure), param);
}

void EndDialog(Window dialog, int result) {
    ::EndDialog(win32::ToHwnd(dialog), result);
}

bool RegisterWindowClass(std::string_view className, Procedure procedure, int iconId) {
    if (className.empty() || className == kDialogClass) {
        return false;
    }
    return win32::RegisterClassWith(className, std::move(procedure), iconId);
}

void RegisterDialog(const DialogSpec&) {}
void RegisterMenu(const MenuSpec&) {}

}  // namespace platform::ui
