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
    text += ": its last record ends after ";
    text += std::to_string(truncation.wordsRead);
    text += " of its ";
    text += std::to_string(truncation.wordCount);
    text += " data words";
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
