#pragma once

// How much room a control gives its text, and how much the text needs, both measured the way the
// control draws: with its own font, DrawText with DT_CALCRECT and the control's own wrapping.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace layout_check {

struct TextFit {
    SIZE need{};  // the text as drawn, in pixels
    SIZE room{};  // the part of the control that shows text
    bool Fits() const { return need.cx <= room.cx && need.cy <= room.cy; }
};

// `text` shown in `control` (a static, button, check box, radio button, group box, edit or
// combo box). Nothing for a control whose text is not drawn as text (an icon, an owner-drawn
// button) or is cut on purpose (an ellipsis style).
std::optional<TextFit> FitText(HWND control, const std::string& text);

// The widest octet, "255", in each field of an IP address control.
std::vector<TextFit> FitAddressFields(HWND control);

// List view columns of these widths beside a vertical scroll bar, with no horizontal one: the
// widths of the dialog drawn at 96 dpi, grown with its font as the program grows them.
TextFit FitColumns(HWND control, const std::vector<int>& widths);

}  // namespace layout_check
