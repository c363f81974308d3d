// The layout check: creates every dialog of a program from the templates in its executable,
// with no procedure of the program behind them, and measures each text that a static, button,
// check box, radio button, group box, edit or combo box shows (the template's own texts and
// the run-time texts listed for the program) with the control's own font. It fails on any text
// that needs more room than its control gives, and on any control that reaches outside its
// dialog.
//   dialog_layout_check [-v] <program.exe> [<resource header> <run-time texts>]
// -v also lists the texts that fit.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "sample_texts.h"
#include "text_room.h"

namespace {

using layout_check::SampleText;
using layout_check::TextFit;

struct Report {
    const char* program;
    int dialogs = 0;
    int measured = 0;
    int failures = 0;
    bool verbose = false;  // every measurement, not only the failures

    void Fail(int dialog, const std::string& what) {
        ++failures;
        std::printf("FAIL %s dialog %d: %s\n", program, dialog, what.c_str());
    }
};

INT_PTR CALLBACK NoProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

BOOL CALLBACK CollectDialog(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(found)->push_back(
            static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string Printable(const std::string& text) {
    std::string shown;
    for (char c : text)
        shown += c == '\r'   ? std::string("\\r")
                 : c == '\n' ? std::string("\\n")
                             : std::string(1, c);
    return shown;
}

std::string Describe(const TextFit& fit) {
    return "needs " + std::to_string(fit.need.cx) + "x" + std::to_string(fit.need.cy) +
           " px, has " + std::to_string(fit.room.cx) + "x" + std::to_string(fit.room.cy);
}

void Judge(Report& report, int dialog, int control, const std::string& label, const TextFit& fit) {
    ++report.measured;
    if (report.verbose && fit.Fits())
        std::printf("fits %d/%d %s %s\n", dialog, control, label.c_str(), Describe(fit).c_str());
    if (!fit.Fits())
        report.Fail(dialog,
                    "control " + std::to_string(control) + " " + label + " " + Describe(fit));
}

void CheckText(Report& report, int dialog, HWND control, const std::string& text,
               const char* origin) {
    if (text.empty())
        return;
    if (const auto fit = layout_check::FitText(control, text)) {
        std::string label(origin);
        label += '"';
        label += Printable(text);
        label += '"';
        Judge(report, dialog, ::GetDlgCtrlID(control), label, *fit);
    }
}

void CheckSample(Report& report, int dialog, HWND control, const SampleText& sample) {
    if (!sample.columns.empty()) {
        Judge(report, dialog, sample.control, "columns",
              layout_check::FitColumns(control, sample.columns));
    } else if (!layout_check::FitText(control, sample.text)) {
        report.Fail(dialog, "control " + std::to_string(sample.control) +
                                " does not show text; run-time text line " +
                                std::to_string(sample.line));
    } else {
        CheckText(report, dialog, control, sample.text, "run-time ");
    }
}

void CheckDialog(Report& report, HMODULE program, int id, const std::vector<SampleText>& samples) {
    HRSRC found = ::FindResourceA(program, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    const auto* dialogTemplate =
        found != nullptr
            ? static_cast<LPCDLGTEMPLATEA>(::LockResource(::LoadResource(program, found)))
            : nullptr;
    HWND dialog = dialogTemplate != nullptr ? ::CreateDialogIndirectParamA(program, dialogTemplate,
                                                                           nullptr, NoProcedure, 0)
                                            : nullptr;
    if (dialog == nullptr) {
        report.Fail(id, "cannot be created (error " + std::to_string(::GetLastError()) + ")");
        return;
    }
    ++report.dialogs;
    if (report.verbose) {
        HDC dc = ::GetDC(dialog);
        HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0)));
        char face[64] = {};
        ::GetTextFaceA(dc, sizeof face, face);
        TEXTMETRICA metrics{};
        ::GetTextMetricsA(dc, &metrics);
        ::SelectObject(dc, old);
        ::ReleaseDC(dialog, dc);
        std::printf("dialog %d font \"%s\", %ld px high, characters %ld px wide on average\n", id,
                    face, metrics.tmHeight, metrics.tmAveCharWidth);
    }
    RECT client{};
    ::GetClientRect(dialog, &client);
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control != nullptr;
         control = ::GetWindow(control, GW_HWNDNEXT)) {
        const int controlId = ::GetDlgCtrlID(control);
        RECT place{};
        ::GetWindowRect(control, &place);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        if (place.left < 0 || place.top < 0 || place.right > client.right ||
            place.bottom > client.bottom) {
            report.Fail(id, "control " + std::to_string(controlId) + " reaches outside the dialog");
        }
        CheckText(report, id, control, TextOf(control), "");
        char kind[64] = {};
        ::GetClassNameA(control, kind, sizeof kind);
        if (lstrcmpiA(kind, WC_IPADDRESSA) == 0) {
            int field = 0;
            for (const TextFit& fit : layout_check::FitAddressFields(control))
                Judge(report, id, controlId, "field " + std::to_string(++field) + " \"255\"", fit);
        }
    }
    for (const SampleText& sample : samples) {
        if (sample.dialog != id)
            continue;
        if (HWND control = ::GetDlgItem(dialog, sample.control))
            CheckSample(report, id, control, sample);
        else
            report.Fail(id, "has no control " + std::to_string(sample.control) +
                                " (run-time text line " + std::to_string(sample.line) + ")");
    }
    ::DestroyWindow(dialog);
}

}  // namespace

int main(int argc, char** argv) {
    const bool verbose = argc > 1 && std::string(argv[1]) == "-v";
    if (verbose) {
        --argc;
        ++argv;
    }
    if (argc != 2 && argc != 4) {
        std::printf(
            "usage: dialog_layout_check [-v] <program.exe> [<resource header> <run-time texts>]\n");
        return 2;
    }
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES |
                                                     ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    Report report{argv[1]};
    report.verbose = verbose;
    std::vector<SampleText> samples;
    if (argc == 4) {
        std::string error;
        const auto names = layout_check::ReadResourceNames(argv[2], error);
        if (error.empty())
            samples = layout_check::ReadSampleTexts(argv[3], names, error);
        if (!error.empty()) {
            std::printf("FAIL %s: %s\n", argv[1], error.c_str());
            return 1;
        }
    }
    HMODULE program = ::LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (program == nullptr) {
        std::printf("FAIL %s: cannot be read (error %lu)\n", argv[1], ::GetLastError());
        return 1;
    }
    std::vector<int> dialogs;
    ::EnumResourceNamesA(program, MAKEINTRESOURCEA(5), CollectDialog,
                         reinterpret_cast<LONG_PTR>(&dialogs));
    for (const SampleText& sample : samples) {
        bool known = false;
        for (int id : dialogs)
            known = known || id == sample.dialog;
        if (!known)
            report.Fail(sample.dialog, "is not in the program (run-time text line " +
                                           std::to_string(sample.line) + ")");
    }
    for (int id : dialogs)
        CheckDialog(report, program, id, samples);
    ::FreeLibrary(program);
    HDC screen = ::GetDC(nullptr);
    std::printf("%s: %d dialogs, %d texts measured at %d dpi, %d do not fit\n", argv[1],
                report.dialogs, report.measured, ::GetDeviceCaps(screen, LOGPIXELSX),
                report.failures);
    ::ReleaseDC(nullptr, screen);
    return report.failures == 0 ? 0 : 1;
}
