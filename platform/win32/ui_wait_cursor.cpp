// The wait cursor over the program's windows while a long job runs on the GUI thread.

#include "platform/win32/ui_win32.h"

namespace platform::ui {

namespace {

int jobsRunning = 0;

HCURSOR SystemCursor(int id) {
    return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(id));
}

constexpr int kArrow = 32512;  // IDC_ARROW
constexpr int kWait = 32514;   // IDC_WAIT

}  // namespace

// A job that blocks the thread handles no message, so the cursor set here is the one the
// window shows until the job ends; a job that pumps gets WM_SETCURSOR, answered by
// ShowWaitCursor.
WaitCursor::WaitCursor() {
    if (jobsRunning++ == 0) {
        ::SetCursor(SystemCursor(kWait));
    }
}

WaitCursor::~WaitCursor() {
    if (--jobsRunning == 0) {
        // The window under the cursor sets its own at the next move.
        ::SetCursor(SystemCursor(kArrow));
    }
}

namespace win32 {

bool Busy() {
    return jobsRunning > 0;
}

// A window disabled by a box it owns waits for the user, not for the job: it keeps the usual
// cursor, as the box does.
bool ShowWaitCursor(HWND hwnd) {
    if (!Busy() || !::IsWindowEnabled(hwnd)) {
        return false;
    }
    ::SetCursor(SystemCursor(kWait));
    return true;
}

}  // namespace win32

}  // namespace platform::ui
