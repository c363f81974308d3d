#include "loadcode/loadfile/load_names.h"

namespace loadcode {
namespace {

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

svc::SvcSectionNames tamselSectionNames(const std::string& dtmName) {
    return {"IBS_LOAD_" + dtmName,
            "IBS_Manage_" + dtmName,
            "IBS_Layout_CRC_" + dtmName,
            "IBS_Layout_Xfer_" + dtmName,
            dtmName,
            dtmName};
}

bool isPlcNamePart(std::string_view dtmName) {
    if (dtmName.empty() || !isAsciiLetter(dtmName.front()) || dtmName.back() == '_') {
        return false;
    }
    char previous = '\0';
    for (char c : dtmName) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != '_') {
            return false;
        }
        if (c == '_' && previous == '_') {
            return false;
        }
        previous = c;
    }
    return true;
}

}  // namespace loadcode
