#include "dtmrepo/window/help_texts.h"

#include <array>

namespace dtmrepo {

std::string aboutText(std::string_view revisionDate) {
    std::string text = "\r\n Brondel.EXE";
    text += "\r\n Rev. " + std::string(revisionDate) + " ";
    for (std::string_view contact : {"Calvento R&D", "Lugano, Switzerland",
                                     "Support: +41 91 555 01 23", "www.calvento.example"}) {
        text += "\r\n \r\n ";
        text += contact;
    }
    text += "\r\n \r\n This program is used to convert comma separated formated files ";
    text += "\r\n into the DDXML file used by Dizodozav Ovodurid Unity Pro for use ";
    text += "\r\n with the PMEKRT0302 module.";
    text += "\r\n \r\n The DTM tree on the left is taken from the PME DDXML_Repository ";
    text += "\r\n in Unity Pro.";
    text += "\r\n \r\n It is necessary to 'Update' the DTM section of the Hardware Catalog ";
    text += "\r\n in Unity Pro after any modification.";
    return text;
}

std::string instructionsText() {
    const std::string notice =
        "\r\n \r\n NOTICE: It is necessary to 'Update' the DTM section of the Hardware Catalog in "
        "\r\n Unity Pro after any modification.";
    std::string text = "\r\n ADDING A NEW FILE:";
    text += "\r\n \r\n To install a new 'DTM', make a txt file as shown in the 'Help > Example'.";
    text += "\r\n Then select 'File > Install new .txt'";
    text += notice;
    text += "\r\n \r\n ";
    text += "\r\n REMOVING A FILE:";
    text += "\r\n \r\n To remove a 'DTM', select the entry to remove in the tree on the left.";
    text += "\r\n Then select 'File > Remove from Repository'";
    text += notice;
    text += "\r\n \r\n ";
    text += "\r\n AFTER UPGRADING PME GENERIC DTM:";
    text += "\r\n \r\n Upgrading the PME Generic DTM will remove all installed files.";
    text += "\r\n To restore the old files, select 'File > Restore after DTM Upgrade'";
    text +=
        "\r\n \r\n NOTICE: It is necessary to 'Update' the DTM section of the Hardware Catalog "
        "in Unity Pro ";
    text += "\r\n after the DTM Upgrade.";
    text +=
        "\r\n \r\n NOTICE: The instance of any installed DTMs will need to be removed and "
        "reinstalled ";
    text += "\r\n after the update of the Hardware Catalog.";
    text += "\r\n \r\n ";
    text += "\r\n REBUILD A MISSING FILE FROM UNITY PROJECT:";
    text +=
        "\r\n \r\n It is possible to rebuild a missing .txt source file from a Unity Pro "
        "project.";
    text +=
        "\r\n Inside the Unity Pro project, Right Click on the IODDT and select Export to "
        ".xys file.";
    text += "\r\n Then select 'File > Rebuild .txt from Unity Pro xys'";
    text += "\r\n Now, select 'File > Install new .txt' to install the new file.";
    text +=
        "\r\n \r\n NOTICE: The new .txt assumes a simple assemblyID mapping that may not match "
        "the ";
    text += "\r\n original file.";
    return text;
}

namespace {

struct ExampleVariable {
    std::string_view type, name, label;
};

void addVariable(std::string& text, std::string_view heading, const ExampleVariable& v) {
    text += "\r\n \r\n varHeading,\t";
    text += heading;
    text += "\r\n   varType,\t";
    text += v.type;
    text += "\r\n   varName,\t";
    text += v.name;
    text += "\r\n   varLabel,en-us,\t";
    text += v.label;
}

}  // namespace

std::string exampleText() {
    std::string text = "# The source file must be named 'PME KRT 0XXXX_name_v_x_yy.txt'";
    text += "\r\n# where 'name' is the identifier for the project.";
    text += "\r\n# Comments start with a '#' character";
    text += "\r\n \r\n# SW is the software version number that shows up in the DTM catalog.";
    text += "\r\n SW,\t\t01.00";
    text += "\r\n \r\n# Odd numbered assemblyIDs are used for INPUTS, Paths start at 101.";
    text += "\r\n assemblyID,\t1";
    text += "\r\n assemblyPath,\t101";
    for (const ExampleVariable& v : std::array<ExampleVariable, 3>{{
             {"WORD", "KRT_Runtime_Status", ".15=Run; LSB=Runtime Error"},
             {"UINT", "KRT_Halt_Line_Number", "KRT Runtime Error Halt Line Number"},
             {"UINT", "In_01", "PLC Input Variable"},
         }}) {
        addVariable(text, "InputVars", v);
    }
    text += "\r\n \r\n# This Loop makes 3 new variables labeled In_002 through In_004.";
    text += "\r\n varLoopStart,2,4";
    text += "\r\n varHeading,\tInputVars";
    text += "\r\n   varType,\tINT";
    text += "\r\n   varName,\tIn_%";
    text += "\r\n   varLabel,en-us,\tInput Variable";
    text += "\r\n varLoopEnd";
    text += "\r\n \r\n# Even numbered assemblyIDs are used for OUTPUTS, Paths start at 102.";
    text += "\r\n assemblyID,\t2";
    text += "\r\n assemblyPath,\t102";
    for (const ExampleVariable& v : std::array<ExampleVariable, 2>{{
             {"INT", "out_01", "PLC Output Variable"},
             {"DINT", "out_02", "out_02"},
         }}) {
        addVariable(text, "outputVars", v);
    }
    text +=
        "\r\n \r\n# Array variables may be made by setting the start and end elements on the "
        "TYPE.";
    text += "\r\n# Arrays must start on element 0.";
    text += "\r\n# String arrays are not supported.";
    addVariable(text, "outputVars",
                {"REAL,0,4", "out_03", "Real Output Variable Array[0..4] of REAL"});
    text += "\r\n \r\n varHeading,\toutputVars";
    text += "\r\n   varLength,\t16";
    text += "\r\n   varType,\tSTRING";
    text += "\r\n   varName,\tout_String";
    text += "\r\n   varLabel,en-us,\tOutput String of 16 Characters";
    return text;
}

}  // namespace dtmrepo
