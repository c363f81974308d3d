#include "toolshell/fennick/fennick_texts.h"

#include "platform/archive.h"

namespace fennick {

namespace {

std::string joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) {
        text += piece;
    }
    return text;
}

std::string archiveEngineLine(const FennickValues& values) {
#ifdef _WIN32
    return "\r\n PowerShell Version = " + values.powerShellVer0 + "." + values.powerShellVer1;
#else
    (void)values;
    return "\r\n Archive Engine = " + platform::ArchiveEngineName();
#endif
}

}  // namespace

std::string introductionText(const FennickValues& values) {
    return joined({
               " Fennick.EXE",
               "\r\n Rev. " + values.revisionDate,
               " ",
               "\r\n ",
               "\r\n This program opens a Control Expert (Unity Pro) .ZEF file for a Premium PLC "
               "application.",
               "\r\n It locates IBY100 Interbus-S modules and performs the following:",
               "\r\n     * Extracts the Interbus-S configuration and mapping",
               "\r\n     * Regerates the original .SVC file",
               "\r\n     * Replaces the topological references for the IBY100 with unlocated "
               "variables",
               "\r\n     * Generates ST code for copying data from PMEDWL structures to the new "
               "variables",
               "\r\n     * Generates ST code for configuring the PMEDWL from the .SVC data",
               "\r\n     * Replaces READ_VAR, WRITE_VAR and SEND_REQ EFBs with IBS_READ_VAR, "
               "IBS_WRITE_VAR, and IBS_SEND_REQ DFBs for the PMEDWL",
               "\r\n ",
               "\r\n NOTE:  Make sure that all DFBs in the Premium application are unlocked.",
               "\r\n ",
           }) +
           archiveEngineLine(values) + "\r\n ";
}

std::string instructionsText() {
    return joined({
        "\r\n NOTE:  Make sure that all DFBs in the Premium ",
        "\r\n    application are unlocked.",
        "\r\n ",
        "\r\n 1. Start with a buildable Premium IBY project in ",
        "\r\n     Control Expert (Unity Pro).",
        "\r\n ",
        "\r\n 2. Export the Premium IBY project to a .ZEF file ",
        "\r\n     in Control Expert (Unity Pro).",
        "\r\n ",
        "\r\n 3. Open the .ZEF file in Fennick.EXE.",
        "\r\n     When Fennick finishes it creats a new *_IBY.ZEF file.",
        "\r\n ",
        "\r\n 4. Use UMAC to convert the Premium *_IBY.ZEF project to M580 .ZEF.",
        "\r\n ",
        "\r\n 5. Open the new M580.ZEF file in Control Expert (Unity Pro).",
        "\r\n ",
        "\r\n 6. Add the PMEDWL0111 to the M580 rack.",
        "\r\n ",
        "\r\n 7. Add the PMEDWL0111 DTM to the DTM Browser.  Be sure to ",
        "\r\n    assign the 'Identifier' to the proper RACK_SLOT.",
        "\r\n ",
        "\r\n 8. Export the project to a new .ZEF file.",
        "\r\n ",
        "\r\n 9. Run the program Vornick.EXE on this new .ZEF file.",
        "\r\n     When Vornick finishes it creats a new *_IBS.ZEF file.",
        "\r\n ",
        "\r\n 10. Open the new *_IBS.ZEF file in Control Expert (Unity Pro).",
        "\r\n     The PMEDWL should now be ready to operate.",
        "\r\n ",
    });
}

std::string aboutText(const FennickValues& values) {
    return " " + values.programName + ".EXE" + "\r\n Rev. " + values.revisionDate + " " + "\r\n ";
}

std::string reportTextFor(const FennickValues& values) {
    switch (values.displayCode) {
        case 2:
            return values.reportText;
        case 20:
            return "Do not ignore topo strings.";
        case 21:
            return "Ignore topo strings.";
        default:
            return introductionText(values);
    }
}

}  // namespace fennick
