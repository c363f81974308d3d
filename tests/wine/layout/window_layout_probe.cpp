// The part of the window layout check that runs inside the program (window_layout_check loads
// it there): a window's font and brushes belong to the process that made them, so the texts are
// measured where they are drawn. For every visible top-level window of the process, on each
// page of its tab controls (chosen as the user chooses them, so that the program shows that
// page's controls), and each visible control in it:
//  - the control has a font of its own, not the System font that a control made in code starts
//    with;
//  - a label, check box or read-only field gets its window's own background from its parent,
//    not the dialog grey that paints a patch on a white window;
//  - a label, check box, radio button or button corner on a tab page is painted in the page's
//    colour, not the dialog's grey around it;
//  - its text fits the room the control gives it, measured with its own font;
//  - a list view's columns hold their titles and every text in them, and fit the list side by
//    side.
// Writes one line per fault and a summary to the report file; returns the count of faults.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <uxtheme.h>
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

    // What a control on a tab page is painted on: the page's colour. Labels, check boxes and
    // radio buttons ask their dialog for a brush; a themed push button asks it to paint what
    // shows through its round corners.
    void CheckOnPage(HWND control, COLORREF page) {
        HWND dialog = ::GetParent(control);
        const LONG type = ::GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
        COLORREF painted = 0;
        COLORREF text = page;
        HDC screen = ::GetDC(control);
        HDC dc = ::CreateCompatibleDC(screen);
        if (Is(control, "Button") && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
            RECT place{};
            ::GetClientRect(control, &place);
            HBITMAP bitmap = ::CreateCompatibleBitmap(screen, place.right, place.bottom);
            HGDIOBJ old = ::SelectObject(dc, bitmap);
            ::DrawThemeParentBackground(control, dc, &place);
            painted = ::GetPixel(dc, place.right / 2, place.bottom / 2);
            ::SelectObject(dc, old);
            ::DeleteObject(bitmap);
        } else {
            auto brush = reinterpret_cast<HBRUSH>(
                ::SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(control)));
            text = ::GetBkColor(dc);
            if (!BrushColour(brush, painted))
                painted = ::GetSysColor(COLOR_3DFACE);
        }
        ::DeleteDC(dc);
        ::ReleaseDC(control, screen);
        if (painted != page || text != page) {
            char what[128];
            std::snprintf(what, sizeof what,
                          "painted on %06lX (text on %06lX) on a tab page of %06lX",
                          static_cast<unsigned long>(painted), static_cast<unsigned long>(text),
                          static_cast<unsigned long>(page));
            Fault(control, what);
        }
    }

    // Each column of a list view in report mode holds its title and every text in it as the
    // list draws them (the room LVSCW_AUTOSIZE gives a text), and the columns fit side by side.
    void CheckColumns(HWND list) {
        if ((::GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT)
            return;
        HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
        const int columns = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        const int rows = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        constexpr int kTextPadding = 12;  // what the list adds to a text when it sizes a column
        int total = 0;
        for (int column = 0; column < columns; ++column) {
            const int width = static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
            total += width;
            std::vector<std::string> texts;
            char buffer[512] = {};
            LVCOLUMNA title{};
            title.mask = LVCF_TEXT;
            title.pszText = buffer;
            title.cchTextMax = sizeof buffer;
            if (::SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&title)))
                texts.push_back(buffer);
            for (int row = 0; row < rows; ++row) {
                LVITEMA item{};
                item.iSubItem = column;
                item.pszText = buffer;
                item.cchTextMax = sizeof buffer;
                buffer[0] = '\0';
                ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
                texts.push_back(buffer);
            }
            for (const std::string& text : texts) {
                ++measured;
                const int need =
                    static_cast<int>(::SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                                                    reinterpret_cast<LPARAM>(text.c_str()))) +
                    kTextPadding;
                if (need > width) {
                    char what[160];
                    std::snprintf(what, sizeof what, "column %d needs %d px for \"%s\", has %d",
                                  column, need, text.c_str(), width);
                    Fault(list, what);
                }
            }
        }
        RECT client{};
        ::GetClientRect(list, &client);
        ++measured;
        if (total > client.right) {
            char what[128];
            std::snprintf(what, sizeof what, "columns need %d px side by side, the list has %ld",
                          total, client.right);
            Fault(list, what);
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
        } else if (Is(control, WC_LISTVIEWA)) {
            CheckColumns(control);
        }
    }

    // The colour a tab control paints its page in, read from its own drawing; the dialog's
    // grey where it leaves the page unpainted.
    static COLORREF PageColour(HWND tab) {
        RECT client{};
        ::GetClientRect(tab, &client);
        RECT page = client;
        TabCtrl_AdjustRect(tab, FALSE, &page);
        HDC screen = ::GetDC(tab);
        HDC dc = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_3DFACE));
        ::SendMessageA(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                       PRF_CLIENT | PRF_ERASEBKGND);
        const COLORREF colour =
            ::GetPixel(dc, (page.left + page.right) / 2, (page.top + page.bottom) / 2);
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
        ::ReleaseDC(tab, screen);
        return colour;
    }

    // The controls of the window that lie on the page of `tab`, checked against its colour.
    void CheckPage(HWND window, HWND tab, const std::vector<HWND>& controls) {
        const COLORREF page = PageColour(tab);
        RECT area{};
        ::GetWindowRect(tab, &area);
        TabCtrl_AdjustRect(tab, FALSE, &area);
        int checked = 0;
        for (HWND control : controls) {
            RECT place{};
            ::GetWindowRect(control, &place);
            if (::GetParent(control) != window || !::IsWindowVisible(control) ||
                place.left < area.left || place.top < area.top || place.right > area.right ||
                place.bottom > area.bottom || !(Is(control, "Static") || Is(control, "Button")))
                continue;
            CheckOnPage(control, page);
            ++checked;
        }
        std::fprintf(report, "window \"%s\": page colour %06lX, %d controls on it\n", title.c_str(),
                     static_cast<unsigned long>(page), checked);
    }

    void CheckControls(HWND window) {
        std::vector<HWND> controls;
        ::EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&controls));
        for (HWND control : controls)
            CheckControl(control);
    }

    void CheckWindow(HWND window) {
        ++windows;
        const std::string name = TextOf(window);
        title = name;
        const int before = measured;
        std::vector<HWND> tabs;
        for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            if (Is(child, WC_TABCONTROLA) && ::IsWindowVisible(child))
                tabs.push_back(child);
        }
        if (tabs.empty())
            CheckControls(window);
        for (HWND tab : tabs) {
            // Each page as the user opens it: the program shows its controls when told that the
            // selection changed.
            const int shown = static_cast<int>(::SendMessageA(tab, TCM_GETCURSEL, 0, 0));
            const int pages = static_cast<int>(::SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
            for (int page = 0; page < pages; ++page) {
                SelectPage(window, tab, page);
                char text[128] = {};
                TCITEMA item{};
                item.mask = TCIF_TEXT;
                item.pszText = text;
                item.cchTextMax = sizeof text;
                ::SendMessageA(tab, TCM_GETITEMA, page, reinterpret_cast<LPARAM>(&item));
                title = name + "\" page \"" + text;
                CheckControls(window);
                std::vector<HWND> controls;
                ::EnumChildWindows(window, Collect, reinterpret_cast<LPARAM>(&controls));
                CheckPage(window, tab, controls);
            }
            SelectPage(window, tab, shown);
            title = name;
        }
        std::fprintf(report, "window \"%s\" (%s): %d texts measured\n", title.c_str(),
                     ClassOf(window).c_str(), measured - before);
    }

    static void SelectPage(HWND window, HWND tab, int page) {
        ::SendMessageA(tab, TCM_SETCURSEL, page, 0);
        NMHDR changed{tab, static_cast<UINT_PTR>(::GetDlgCtrlID(tab)),
                      static_cast<UINT>(TCN_SELCHANGE)};
        ::SendMessageA(window, WM_NOTIFY, changed.idFrom, reinterpret_cast<LPARAM>(&changed));
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
