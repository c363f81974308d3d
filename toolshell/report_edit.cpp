#include "toolshell/report_edit.h"

namespace toolshell {

namespace ui = platform::ui;

ui::Window reportEdit = nullptr;

// The edit starts 2 pixels in from the left and top, and its width and height are the client
// size less 2, so it ends exactly at the right and bottom edges: a margin on two sides only.
ChildPlace reportEditPlace(const ui::Rect& client) {
    return ChildPlace{client.left + 2, 2, client.right - 2, client.bottom - 2};
}

ui::Window createReportEdit(ui::Window parent) {
    const ChildPlace place = reportEditPlace(ui::GetClientRect(parent));
    ui::ChildSpec spec;
    spec.kind = ui::ControlKind::Edit;
    spec.x = place.x;
    spec.y = place.y;
    spec.width = place.width;
    spec.height = place.height;
    spec.style = ui::kChildClientEdge | ui::kChildVScroll | ui::kChildHScroll | ui::kChildReadOnly |
                 ui::kChildMultiLine;
    reportEdit = ui::CreateChild(parent, spec);
    return reportEdit;
}

void fitReportEdit(int clientWidth, int clientHeight) {
    if (reportEdit == nullptr) {
        return;
    }
    const ChildPlace place = reportEditPlace(ui::Rect{0, 0, clientWidth, clientHeight});
    ui::MoveWindow(reportEdit, place.x, place.y, place.width, place.height, true);
}

}  // namespace toolshell
