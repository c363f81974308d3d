#include "converter/window/vornick_texts.h"

namespace vornick {

std::string introText() {
    return "Vornick.EXE"
           "\r\n Rev. " +
           std::string(revisionDate) +
           " "
           "\r\n "
           "\r\n This program opens a Unity Pro Premium .ZEF file,"
           "\r\n locates IBY100 Interbus-S modules, extracts the "
           "\r\n Interbus-S configuration and mapping, regerates the "
           "\r\n original .SVC file, replaces the topological references"
           "\r\n of the original IBY100 with new variables.";
}

std::string aboutText() {
    return " " + std::string(programName) + ".EXE" + "\r\n Rev. " + std::string(revisionDate) +
           " " + "\r\n ";
}

std::string aboutCaption() {
    return std::string(programName) + ", About";
}

std::string instructionsText() {
    return "\r\n NOTE:  Make sure that all DFBs in the Premium "
           "\r\n    application are unlocked."
           "\r\n "
           "\r\n 1. Start with a buildable Premium IBY project in "
           "\r\n     Control Expert (Unity Pro)."
           "\r\n "
           "\r\n 2. Export the Premium IBY project to a .ZEF file "
           "\r\n     in Control Expert (Unity Pro)."
           "\r\n "
           "\r\n 3. Open the .ZEF file in Fennick.EXE."
           "\r\n     When Fennick finishes it creats a new *_IBY.ZEF file."
           "\r\n "
           "\r\n 4. Use UMAC to convert the Premium *_IBY.ZEF project to M580 .ZEF."
           "\r\n "
           "\r\n 5. Open the new M580.ZEF file in Control Expert (Unity Pro)."
           "\r\n "
           "\r\n 6. Add the PMEDWL0111 to the M580 rack."
           "\r\n "
           "\r\n 7. Add the PMEDWL0111 DTM to the DTM Browser.  Be sure to "
           "\r\n    assign the 'Identifier' to the proper RACK_SLOT."
           "\r\n "
           "\r\n 8. Export the project to a new .ZEF file."
           "\r\n "
           "\r\n 9. Run the program Vornick.EXE on this new .ZEF file."
           "\r\n     When Vornick finishes it creats a new *_IBS.ZEF file."
           "\r\n "
           "\r\n 10. Open the new *_IBS.ZEF file in Control Expert (Unity Pro)."
           "\r\n     The PMEDWL should now be ready to operate."
           "\r\n ";
}

std::string instructionsCaption() {
    return std::string(programName) + ", Instructions";
}

}  // namespace vornick
