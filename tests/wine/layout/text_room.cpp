#include "text_room.h"

#include <commctrl.h>

#include <cctype>

namespace layout_check {

namespace {

std::string ClassOf(HWND control) {
    char name[64] = {};
    ::GetClassNameA(control, name, sizeof name);
    std::string lower(name);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

SIZE ClientSize(HWND control) {
    RECT client{};
    ::GetClientRect(control, &client);
    return {client.right - client.left, client.bottom - client.top};
}

// A device context with the control's own font selected; released when it goes.
class ControlDc {
  public:
    explicit ControlDc(HWND control) : control_(control), dc_(::GetDC(control)) {
        auto font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
        old_ = ::SelectObject(dc_, font != nullptr ? font : ::GetStockObject(SYSTEM_FONT));
        ::GetTextMetricsA(dc_, &metrics_);
    }
    ~ControlDc() {
        ::SelectObject(dc_, old_);
        ::ReleaseDC(control_, dc_);
    }
    ControlDc(const ControlDc&) = delete;
    ControlDc& operator=(const ControlDc&) = delete;

    HDC dc() const { return dc_; }
    const TEXTMETRICA& metrics() const { return metrics_; }
    int Dpi() const { return ::GetDeviceCaps(dc_, LOGPIXELSX); }

    // The text's size as DrawText lays it out in a box `width` pixels wide.
    SIZE Measure(const std::string& text, UINT flags, int width) const {
        RECT box{0, 0, width, 0};
        ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &box,
                    flags | DT_CALCRECT | DT_EXPANDTABS);
        return {box.right - box.left, box.bottom - box.top};
    }

  private:
    HWND control_;
    HDC dc_;
    HGDIOBJ old_ = nullptr;
    TEXTMETRICA metrics_{};
};

std::optional<TextFit> FitStatic(HWND control, LONG style, const std::string& text) {
    const LONG type = style & SS_TYPEMASK;
    if ((type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
         type != SS_LEFTNOWORDWRAP) ||
        (style & SS_ELLIPSISMASK) != 0) {
        return std::nullopt;
    }
    ControlDc dc(control);
    const UINT prefix = (style & SS_NOPREFIX) != 0 ? DT_NOPREFIX : 0;
    const UINT wrap = type == SS_SIMPLE           ? DT_SINGLELINE
                      : type == SS_LEFTNOWORDWRAP ? 0
                                                  : DT_WORDBREAK;
    TextFit fit;
    fit.room = ClientSize(control);
    fit.need = dc.Measure(text, prefix | wrap, fit.room.cx);
    return fit;
}

std::optional<TextFit> FitButton(HWND control, LONG style, const std::string& text) {
    const LONG type = style & BS_TYPEMASK;
    ControlDc dc(control);
    const UINT wrap = (style & BS_MULTILINE) != 0 ? DT_WORDBREAK : DT_SINGLELINE;
    const int scale = dc.Dpi();
    TextFit fit;
    fit.room = ClientSize(control);
    const bool pushLike = (style & BS_PUSHLIKE) != 0;
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || pushLike) {
        // The raised edge and the focus rectangle inside it.
        fit.room.cx -= 2 * ::MulDiv(3, scale, 96);
        fit.room.cy -= 2 * ::MulDiv(2, scale, 96);
    } else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
               type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE) {
        // The box or circle, then a gap of half a character before the text.
        fit.room.cx -= ::MulDiv(13, scale, 96) + dc.metrics().tmAveCharWidth / 2;
    } else if (type == BS_GROUPBOX) {
        // The caption interrupts the frame, a little in from either side.
        fit.room.cx -= 2 * ::MulDiv(8, scale, 96);
    } else {
        return std::nullopt;
    }
    fit.need = dc.Measure(text, wrap, fit.room.cx);
    return fit;
}

// One line in an edit field between its margins.
TextFit FitEdit(HWND edit, const std::string& text) {
    ControlDc dc(edit);
    const auto margins = static_cast<DWORD>(::SendMessageA(edit, EM_GETMARGINS, 0, 0));
    TextFit fit;
    fit.room = ClientSize(edit);
    fit.room.cx -= LOWORD(margins) + HIWORD(margins);
    fit.need = dc.Measure(text, DT_SINGLELINE | DT_NOPREFIX, fit.room.cx);
    return fit;
}

// The selection field of a combo box, beside its button.
TextFit FitCombo(HWND combo, const std::string& text) {
    ControlDc dc(combo);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    TextFit fit;
    if (::GetComboBoxInfo(combo, &info)) {
        fit.room = {info.rcItem.right - info.rcItem.left, info.rcItem.bottom - info.rcItem.top};
    }
    fit.need = dc.Measure(text, DT_SINGLELINE | DT_NOPREFIX, fit.room.cx);
    return fit;
}

}  // namespace

std::optional<TextFit> FitText(HWND control, const std::string& text) {
    const std::string kind = ClassOf(control);
    const LONG style = ::GetWindowLongA(control, GWL_STYLE);
    if (kind == "static")
        return FitStatic(control, style, text);
    if (kind == "button")
        return FitButton(control, style, text);
    if (kind == "edit")
        return FitEdit(control, text);
    if (kind == "combobox")
        return FitCombo(control, text);
    return std::nullopt;
}

std::vector<TextFit> FitAddressFields(HWND control) {
    std::vector<TextFit> fits;
    for (HWND field = ::GetWindow(control, GW_CHILD); field != nullptr;
         field = ::GetWindow(field, GW_HWNDNEXT)) {
        if (ClassOf(field) == "edit")
            fits.push_back(FitEdit(field, "255"));
    }
    return fits;
}

TextFit FitColumns(HWND control, const std::vector<int>& widths) {
    TextFit fit;
    fit.room = ClientSize(control);
    fit.room.cx -= ::GetSystemMetrics(SM_CXVSCROLL);
    // The widths are those of the dialog drawn at 96 dpi in MS Sans Serif 8 (4 dialog units
    // across are 6 pixels); the program grows them with the dialog's font.
    RECT fourUnits{0, 0, 4, 0};
    const bool inDialog = ::MapDialogRect(::GetParent(control), &fourUnits) && fourUnits.right > 0;
    for (int width : widths)
        fit.need.cx += inDialog ? ::MulDiv(width, fourUnits.right, 6) : width;
    fit.need.cy = 0;
    return fit;
}

}  // namespace layout_check
