#include "loadcode/window/tamsel_tables.h"

#include "loadcode/window/tamsel_program.h"
#include "loadcode/window/tamsel_resource.h"
#include "toolshell/tool_window.h"

namespace loadcode {

namespace ui = platform::ui;

ui::DialogSpec tamselWindowSpec() {
    return {IDD_TAMSEL,
            toolshell::toolWindowTitle(tamselProgramName, tamselRevisionDate),
            IDM_TAMSEL,
            {{IDC_DTM_NAME, ui::ControlKind::Edit, "Not Queried."},
             {ui::kIdStatic, ui::ControlKind::Static, "DTM Name:"}}};
}

ui::MenuSpec tamselMenuSpec() {
    return {IDM_TAMSEL,
            {{0, true, false, 0, "&File"},
             {1, false, false, IDM_OPEN_SVC, "&Open .SVC..."},
             {1, false, true, 0, ""},
             {1, false, false, IDM_EXIT, "&Exit"},
             {0, true, false, 0, "&Help"},
             {1, false, false, IDM_INSTRUCTIONS, "&Instructions"},
             {1, false, false, IDM_ABOUT, "&About"}}};
}

}  // namespace loadcode
