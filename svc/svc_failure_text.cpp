#include "svc/svc_failure_text.h"

namespace svc {

std::string svcFailureText(int fileNumber, std::string_view what, const std::filesystem::path& path,
                           int errorNumber) {
    // Appended piece by piece: GCC 12 warns falsely on "literal" + temporary (-Wrestrict).
    std::string text = "(";
    text += std::to_string(fileNumber);
    text += ") ";
    text += what;
    text += path.string();
    text += " Err = ";
    text += std::to_string(errorNumber);
    return text;
}

std::string svcTruncationText(int fileNumber, const std::filesystem::path& path,
                              const SvcTruncation& truncation) {
    std::string text = "(";
    text += std::to_string(fileNumber);
    text += ") Truncated file ";
    text += path.string();
    text += ": its last record ends after ";
    text += std::to_string(truncation.wordsRead);
    text += " of its ";
    text += std::to_string(truncation.wordCount);
    text += " data words";
    return text;
}

}  // namespace svc
