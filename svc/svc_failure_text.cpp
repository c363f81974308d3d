#include "svc/svc_failure_text.h"

namespace svc {

std::string svcFailureText(int fileNumber, std::string_view what, std::string_view fileName,
                           int errorNumber) {
    // Appended piece by piece: GCC 12 warns falsely on "literal" + temporary (-Wrestrict).
    std::string text = "(";
    text += std::to_string(fileNumber);
    text += ") ";
    text += what;
    text += fileName;
    text += " Err = ";
    text += std::to_string(errorNumber);
    return text;
}

std::string svcTruncationText(int fileNumber, std::string_view fileName,
                              const SvcTruncation& truncation) {
    std::string text = "(";
    text += std::to_string(fileNumber);
    text += ") Truncated file ";
    text += fileName;
    if (truncation.lastRecord) {
        text += ": its last record ends after ";
    } else {
        text += ": its record at line ";
        text += std::to_string(truncation.recordLine);
        text += " ends after ";
    }
    text += std::to_string(truncation.wordsRead);
    text += " of its ";
    text += std::to_string(truncation.wordCount);
    text += " data words";
    return text;
}

std::string svcMalformedLineText(int fileNumber, std::string_view fileName,
                                 const SvcMalformedLine& malformed) {
    std::string text = "(";
    text += std::to_string(fileNumber);
    text += ") Malformed line ";
    text += std::to_string(malformed.lineNumber);
    text += " in ";
    text += fileName;
    text += ": a word line is \"#0x\", four hexadecimal digits and \"#\"";
    return text;
}

std::string svcNoServiceText(int fileNumber, std::string_view fileName) {
    std::string text = "(";
    text += std::to_string(fileNumber);
    text += ") No service record in ";
    text += fileName;
    text += ": it is not an InterBus-S service file";
    return text;
}

}  // namespace svc
