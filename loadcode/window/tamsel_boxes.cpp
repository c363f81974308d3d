#include "loadcode/window/tamsel_boxes.h"

namespace loadcode {

namespace ui = platform::ui;

std::string tamselAboutText(const TamselProgram& program) {
    return " " + program.programName + ".EXE" + "\r\n Rev. " + program.revisionDate + " " + "\r\n ";
}

std::string tamselInstructionsText() {
    return " 1. Set the 'DTM Name' text to match the name assigned to the PMEDWL"
           "\r\n      in the DTM Browser."
           "\r\n "
           "\r\n 2. Open the SVC file created in the Phoenix Contact CMD program."
           "\r\n "
           "\r\n 3. This program will then generate a new LOAD.xst Structured"
           "\r\n      Text progam section for configuring the PMEDWL."
           "\r\n "
           "\r\n 4. Import this section into the Control Expert (Unity) project."
           "\r\n "
           "\r\n 5. Select 'Keep All' when prompted by the 'Import Trouble Report'."
           "\r\n "
           "\r\n NOTICE:  The LOAD section only runs on PLC startup."
           "\r\n      Stopping/Starting the M580 may be required to "
           "\r\n      initiate the new IBS configuration transfer"
           "\r\n      to the PMEDWL."
           "\r\n ";
}

void showTamselAbout(const TamselProgram& program, ui::Window owner) {
    ui::ShowMessageBox(owner, tamselAboutText(program), program.programName + ", About",
                       ui::Buttons::Ok, ui::Icon::Information);
}

void showTamselInstructions(const TamselProgram& program, ui::Window owner) {
    ui::ShowMessageBox(owner, tamselInstructionsText(), program.programName + ", Instructions",
                       ui::Buttons::Ok, ui::Icon::Information);
}

}  // namespace loadcode
