#pragma once

// The report window: a read-only multi-line edit over the parent's client area, 2 pixels in
// from the left and top edges and reaching the right and bottom edges.

#include "platform/ui.h"

namespace toolshell {

// Null until createReportEdit has made it.
extern platform::ui::Window reportEdit;

// Where a child sits in its parent's client area, and its size.
struct ChildPlace {
    int x = 0, y = 0, width = 0, height = 0;
};

// The report window's place for a parent client area.
ChildPlace reportEditPlace(const platform::ui::Rect& client);

platform::ui::Window createReportEdit(platform::ui::Window parent);

// For the owner's Size message: moves the report window to its place in the new client area
// and repaints it.
void fitReportEdit(int clientWidth, int clientHeight);

}  // namespace toolshell
