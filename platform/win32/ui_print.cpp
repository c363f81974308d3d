// Printing one page of text lines with GDI on the printer chosen in the print dialog.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commdlg.h>
// clang-format on

#include "platform/win32/ui_win32.h"

namespace platform::ui {

struct PrintJob::State {
    HDC dc = nullptr;
    HGLOBAL devMode = nullptr;
    HGLOBAL devNames = nullptr;
    PrintMetrics metrics;
};

namespace {

void Release(PrintJob::State* state) {
    if (state->dc != nullptr) {
        ::DeleteDC(state->dc);
    }
    if (state->devMode != nullptr) {
        ::GlobalFree(state->devMode);
    }
    if (state->devNames != nullptr) {
        ::GlobalFree(state->devNames);
    }
    delete state;
}

}  // namespace

PrintJob::Start PrintJob::Begin(Window owner, std::string_view documentName) {
    End();
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = win32::ToHwnd(owner);
    dialog.Flags = PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE;
    dialog.nCopies = 1;
    dialog.nFromPage = 0xFFFF;
    dialog.nToPage = 0xFFFF;
    dialog.nMinPage = 1;
    dialog.nMaxPage = 0xFFFF;
    if (!::PrintDlgA(&dialog)) {
        return Start::Cancelled;
    }
    auto* state = new State{dialog.hDC, dialog.hDevMode, dialog.hDevNames, {}};
    const std::string name(documentName);
    DOCINFOA document{};
    document.cbSize = sizeof document;
    document.lpszDocName = name.c_str();
    if (state->dc == nullptr || ::StartDocA(state->dc, &document) <= 0) {
        Release(state);
        return Start::Failed;
    }
    if (::StartPage(state->dc) <= 0) {
        ::AbortDoc(state->dc);
        Release(state);
        return Start::Failed;
    }
    ::SetMapMode(state->dc, MM_TEXT);
    ::SelectObject(state->dc, ::GetStockObject(ANSI_FIXED_FONT));
    TEXTMETRICA text{};
    ::GetTextMetricsA(state->dc, &text);
    state->metrics =
        PrintMetrics{static_cast<int>(text.tmMaxCharWidth), static_cast<int>(text.tmHeight),
                     ::GetDeviceCaps(state->dc, HORZRES)};
    state_ = state;
    return Start::Printing;
}

PrintMetrics PrintJob::Metrics() const {
    return state_ != nullptr ? state_->metrics : PrintMetrics{};
}

void PrintJob::Text(int x, int y, std::string_view text) {
    if (state_ != nullptr) {
        ::TextOutA(state_->dc, x, y, text.data(), static_cast<int>(text.size()));
    }
}

void PrintJob::End() {
    if (state_ == nullptr) {
        return;
    }
    ::EndPage(state_->dc);
    ::EndDoc(state_->dc);
    Release(state_);
    state_ = nullptr;
}

PrintJob::~PrintJob() {
    End();
}

}  // namespace platform::ui
