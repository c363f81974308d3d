// The part of the window layout check that runs inside the program (window_layout_check loads
// it there): a window's font and brushes belong to the process that made them, so the texts are
// measured where they are drawn. For every visible top-level window of the process and each
// visible control in it (static, button, check box, radio button, group box, edit, combo box):
//  - the control has a font of its own, not the System font that a control made in code starts
//    with;
//  - a label, check box or read-only field gets its window's own background from its parent,
//    not the dialog grey that paints a patch on a white window;
//  - its text fits the room the control gives it, measured with its own font.
// Writes one line per fault and a summary to the report file; returns the count of faults.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <cstdio>
#include <string>
#include <vector>

#include "text_room.h"

namespace {

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

bool Is(HWND window, const char* className) {
    return ::lstrcmpiA(ClassOf(window).c_str(), className) == 0;
}

std::string TextOf(HWND window) {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
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

// The colour a brush paints, or nothing for none. A class brush may be a system colour + 1.
bool BrushColour(HBRUSH brush, COLORREF& colour) {
    const auto value = reinterpret_cast<ULONG_PTR>(brush);
    if (value == 0)
        return false;
    if (value <= COLOR_MENUBAR + 1) {
        colour = ::GetSysColor(static_cast<int>(value - 1));
        return true;
    }
    LOGBRUSH logical{};
    if (::GetObjectA(brush, sizeof logical, &logical) == 0 || logical.lbStyle != BS_SOLID)
        return false;
    colour = logical.lbColor;
    return true;
}

BOOL CALLBACK Collect(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectOwn(HWND window, LPARAM found) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

struct Probe {
    FILE* report = nullptr;
    int windows = 0;
    int measured = 0;
    int faults = 0;
    std::string title;

    void Fault(HWND control, const std::string& what) {
        ++faults;
        std::fprintf(report, "FAIL window \"%s\": %s %d \"%s\": %s\n", title.c_str(),
                     ClassOf(control).c_str(), ::GetDlgCtrlID(control),
                     Printable(TextOf(control)).c_str(), what.c_str());
    }

    void CheckFont(HWND control) {
        if (::SendMessageA(control, WM_GETFONT, 0, 0) == 0)
            Fault(control, "drawn in the System font");
    }

    // What a label on this window is painted on, against the window's own background.
    void CheckBackground(HWND control) {
        HWND parent = ::GetParent(control);
        COLORREF window = 0;
        if (Is(parent, "#32770") ||
            !BrushColour(reinterpret_cast<HBRUSH>(::GetClassLongPtrA(parent, GCLP_HBRBACKGROUND)),
                         window))
            return;  // a dialog paints its controls' grey itself; no brush: nothing to match
        HDC dc = ::CreateCompatibleDC(nullptr);
        auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(parent, WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(control)));
        const COLORREF textBackground = ::GetBkColor(dc);
        ::DeleteDC(dc);
        COLORREF painted = 0;
        if (!BrushColour(brush, painted) || painted != window || textBackground != window) {
            char what[128];
            std::snprintf(
                what, sizeof what, "painted on %06lX (text on %06lX) on a window of %06lX",
                static_cast<unsigned long>(painted), static_cast<unsigned long>(textBackground),
                static_cast<unsigned long>(window));
            Fault(control, what);
        }
    }

    void CheckFit(HWND control, const std::string& text) {
        const auto fit = layout_check::FitText(control, text);
        if (!fit)
            return;
        ++measured;
        if (!fit->Fits()) {
            char what[128];
            std::snprintf(what, sizeof what, "needs %ldx%ld px, has %ldx%ld", fit->need.cx,
                          fit->need.cy, fit->room.cx, fit->room.cy);
            Fault(control, what);
        }
    }

    void CheckControl(HWND control) {
        // The parts of a combo box or an address field are measured as the whole.
        HWND parent = ::GetParent(control);
        if (!::IsWindowVisible(control) || Is(parent, "ComboBox") || Is(parent, WC_IPADDRESSA))
            return;
        const LONG style = ::GetWindowLongA(control, GWL_STYLE);
        if (Is(control, "Static")) {
            const LONG type = style & SS_TYPEMASK;
            if (type == SS_ICON || type == SS_BITMAP || type == SS_ETCHEDHORZ ||
                type == SS_ETCHEDVERT || type == SS_ETCHEDFRAME || type == SS_BLACKRECT ||
                type == SS_GRAYRECT || type == SS_WHITERECT || type == SS_BLACKFRAME ||
                type == SS_GRAYFRAME || type == SS_WHITEFRAME)
                return;
            CheckFont(control);
            CheckBackground(control);
            CheckFit(control, TextOf(control));
        } else if (Is(control, "Button")) {
            const LONG type = style & BS_TYPEMASK;
            CheckFont(control);
            if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && (style & BS_PUSHLIKE) == 0)
                CheckBackground(control);
            CheckFit(control, TextOf(control));
        } else if (Is(control, "Edit")) {
            CheckFont(control);
            if ((style & ES_READONLY) != 0)
                CheckBackground(control);
            // A field scrolls what is typed into it; its line must show whole, and a text the
            // program puts in a one-line field must show whole too.
            const std::string text = TextOf(control);
            CheckFit(control, (style & ES_MULTILINE) != 0 || text.empty() ? "Xg" : text);
        } else if (Is(control, "ComboBox")) {
            CheckFont(control);
            const std::string text = TextOf(control);
            CheckFit(control, text.empty() ? "Xg" : text);
        }
    }

    void CheckWindow(HWND window) {
        ++windows;
        title = TextOf(window);
        std::vector<HWND> controls;
        ::EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&controls));
        const int before = measured;
        for (HWND control : controls)
            CheckControl(control);
        std::fprintf(report, "window \"%s\" (%s): %d texts measured\n", title.c_str(),
                     ClassOf(window).c_str(), measured - before);
    }
};

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI MeasureWindows(LPVOID reportPath) {
    Probe probe;
    probe.report = std::fopen(static_cast<const char*>(reportPath), "w");
    if (probe.report == nullptr)
        return MAXDWORD;
    std::vector<HWND> windows;
    ::EnumWindows(CollectOwn, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows)
        probe.CheckWindow(window);
    std::fprintf(probe.report, "%d windows, %d texts measured, %d faults\n", probe.windows,
                 probe.measured, probe.faults);
    std::fclose(probe.report);
    return probe.windows == 0 ? MAXDWORD : static_cast<DWORD>(probe.faults);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
