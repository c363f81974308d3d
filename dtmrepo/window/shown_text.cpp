#include "dtmrepo/window/shown_text.h"

#include "dtmrepo/window/help_texts.h"

namespace dtmrepo {

namespace {

constexpr const char* kRememberCatalog =
    "\r\n \r\n Remember to Update the Unity Pro Hardware DTM Catalog.";

std::string installResult(const BrondelState& state) {
    std::string text = state.reportText + installVerdict(state);
    text += "\r\n Inserting: " + state.insertedProfile + "    " + "\n\r";
    if (state.errorCount != 0) {
        text += "\r\n Failure!";
    } else if (state.entryStatus == 1 || state.entryStatus == 3 || state.entryStatus == 5 ||
               state.entryStatus == 7) {
        text += "\r\n New DTM Succesfully Added.";
    } else if (state.entryStatus == 2 || state.entryStatus == 4 || state.entryStatus == 6 ||
               state.entryStatus == 8) {
        text += "\r\n DTM Successfully Updated.";
    }
    return text + kRememberCatalog;
}

std::string removeResult(const BrondelState& state) {
    if (state.currentFile.empty()) {
        return "Please select a filename in the tree for removal.";
    }
    std::string text = "Removing: " + state.currentFile + "    " + "\n\r";
    if (state.errorCount != 0) {
        text += "\r\n File Error!";
    } else if (state.entryStatus % 2 == 1) {
        text += "\r\n Match, Removed.";
    } else if (state.entryStatus >= 2 && state.entryStatus <= 8) {
        text += "\r\n No Match, Ignored.";
    }
    return text + kRememberCatalog;
}

}  // namespace

std::string installVerdict(const BrondelState& state) {
    if (state.errorCount != 0) {
        return "\r\n Failure!\r\n DDXML not Installed / Updated!";
    }
    const long long in = state.inputByteCount;
    const long long out = state.outputByteCount;
    return "\r\n Success!\r\n  INPUT Byte Count = " + std::to_string(in) + "  ( " +
           std::to_string(in + 72) + " )\r\n  OUTPUT Byte Count = " + std::to_string(out) + "  ( " +
           std::to_string(out + 26) + " )";
}

std::string composeShownText(const BrondelState& state) {
    switch (state.displayCode) {
        case 0:
            return state.currentFile;
        case 1:
        case 3:
        case 5:
        case 7:
            return state.reportText + installVerdict(state);
        case 2:
        case 4:
        case 6:
        case 8:
            return installResult(state);
        case 10:
            return removeResult(state);
        case 11:
            return state.shownText + "\r\n \r\n " + state.reportText + "\r\n \r\n ( " +
                   std::to_string(state.errorValue) + " )";
        case 13:
            return exampleText();
        case 14:
            return "\r\n xsy file to open:\r\n" + state.currentFile + "\r\n" + state.reportText;
        case 15:
            return instructionsText();
        default:
            return aboutText(state.revisionDate);
    }
}

void showOutcome(BrondelState& state, int displayCode) {
    state.displayCode = displayCode;
    state.shownText = composeShownText(state);
}

}  // namespace dtmrepo
