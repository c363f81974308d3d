// The page of a tab control: the controls that a dialog lays over it take its colour.

// windows.h first: the other system headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <vector>

#include "platform/win32/ui_win32.h"

namespace platform::ui::win32 {

namespace {

// A tab control draws its page in a colour of its own under visual styles (white, where the
// dialog is grey); the dialog's labels, check boxes and button corners on it would each paint a
// grey patch. Its colour is learnt once per tab control and number of tabs: a tab control
// without tabs draws no page.
struct Page {
    HWND dialog;
    HWND tab;
    LRESULT tabs;
    HBRUSH brush;  // null: the page has the dialog's colour, nothing to do
    COLORREF colour;
};

// Set while a tab control draws itself to show its colour: it asks its dialog to paint what
// lies behind it meanwhile, which is no page.
bool measuring = false;

std::vector<Page>& Pages() {
    static std::vector<Page> pages;
    return pages;
}

bool HasClass(HWND window, const char* name) {
    char found[32] = {};
    ::GetClassNameA(window, found, sizeof found);
    return ::lstrcmpiA(found, name) == 0;
}

COLORREF DialogColour() {
    return ::GetSysColor(COLOR_3DFACE);
}

// The page of `tab` in the client coordinates of `dialog`.
RECT PageArea(HWND dialog, HWND tab) {
    RECT area{};
    ::GetWindowRect(tab, &area);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tab, FALSE, &area);
    return area;
}

// The colour the tab control paints in the middle of its page, read from its own drawing.
COLORREF DrawnPageColour(HWND tab) {
    RECT client{};
    ::GetClientRect(tab, &client);
    RECT page = client;
    TabCtrl_AdjustRect(tab, FALSE, &page);
    if (page.right <= page.left || page.bottom <= page.top) {
        return DialogColour();
    }
    HDC screen = ::GetDC(tab);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    // What the tab leaves unpainted reads as the dialog's colour.
    ::FillRect(memory, &client, ::GetSysColorBrush(COLOR_3DFACE));
    ::SendMessageA(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory),
                   PRF_CLIENT | PRF_ERASEBKGND);
    const COLORREF colour =
        ::GetPixel(memory, (page.left + page.right) / 2, (page.top + page.bottom) / 2);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(tab, screen);
    return colour == CLR_INVALID ? DialogColour() : colour;
}

std::vector<Page>::iterator Drop(std::vector<Page>::iterator page) {
    if (page->brush != nullptr) {
        ::DeleteObject(page->brush);
    }
    return Pages().erase(page);
}

const Page* PageOf(HWND dialog, HWND tab) {
    const LRESULT tabs = ::SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0);
    auto& pages = Pages();
    for (auto page = pages.begin(); page != pages.end(); ++page) {
        if (page->tab == tab) {
            if (page->tabs == tabs) {
                return &*page;
            }
            Drop(page);
            break;
        }
    }
    if (measuring) {
        return nullptr;
    }
    measuring = true;
    const COLORREF colour = DrawnPageColour(tab);
    measuring = false;
    HBRUSH brush = colour == DialogColour() ? nullptr : ::CreateSolidBrush(colour);
    pages.push_back({dialog, tab, tabs, brush, colour});
    return &pages.back();
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Each shown tab control of the dialog with a page of its own colour.
template <typename Action>
void ForEachColouredPage(HWND dialog, Action action) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child) || !HasClass(child, WC_TABCONTROLA)) {
            continue;
        }
        const Page* page = PageOf(dialog, child);
        if (page != nullptr && page->brush != nullptr && action(*page, PageArea(dialog, child))) {
            return;
        }
    }
}

}  // namespace

HBRUSH TabPageBrush(HWND dialog, HWND control, HDC dc) {
    // Labels, check boxes, radio buttons and group boxes; a disabled or read-only edit field
    // asks the same question and keeps its own colour.
    if (!HasClass(control, "Static") && !HasClass(control, "Button")) {
        return nullptr;
    }
    RECT place{};
    ::GetWindowRect(control, &place);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    HBRUSH found = nullptr;
    ForEachColouredPage(dialog, [&](const Page& page, const RECT& area) {
        if (!Inside(place, area)) {
            return false;
        }
        ::SetBkColor(dc, page.colour);
        found = page.brush;
        return true;
    });
    return found;
}

// A themed push button asks its parent to paint what shows through its round corners
// (DrawThemeParentBackground): on a page that is the page's colour.
bool PaintTabPages(HWND dialog, HDC dc) {
    bool painted = false;
    ForEachColouredPage(dialog, [&](const Page& page, const RECT& area) {
        if (!painted) {
            RECT client{};
            ::GetClientRect(dialog, &client);
            ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_3DFACE));
            painted = true;
        }
        ::FillRect(dc, &area, page.brush);
        return false;
    });
    return painted;
}

void ForgetTabPages(HWND dialog) {
    auto& pages = Pages();
    for (auto page = pages.begin(); page != pages.end();) {
        if (page->dialog == dialog) {
            page = Drop(page);
        } else {
            ++page;
        }
    }
}

}  // namespace platform::ui::win32
