#include "svc/svc_failure_text.h"

namespace svc {
namespace {

// "(" + fileNumber + ") " + what, appended piece by piece: GCC 12 warns falsely on "literal" +
// temporary (-Wrestrict).
std::string numbered(int fileNumber, std::string_view what) {
    std::string text = "(";
    text += std::to_string(fileNumber);
    text += ") ";
    text += what;
    return text;
}

void appendRecordWords(std::string& text, const SvcCountMismatch& mismatch) {
    text += ": its record at line ";
    text += std::to_string(mismatch.recordLine);
    text += " has ";
    text += std::to_string(mismatch.wordsRead);
    text += " data words for a word count of ";
    text += std::to_string(mismatch.wordCount);
}

}  // namespace

std::string svcFailureText(int fileNumber, std::string_view what, std::string_view fileName,
                           int errorNumber) {
    std::string text = numbered(fileNumber, what);
    text += fileName;
    text += " Err = ";
    text += std::to_string(errorNumber);
    return text;
}

std::string svcCountMismatchText(int fileNumber, std::string_view fileName,
                                 const SvcCountMismatch& mismatch) {
    if (!mismatch.knownService) {
        std::string text = numbered(fileNumber, "Unknown service ");
        text += mismatch.codeDigits;
        text += " in ";
        text += fileName;
        appendRecordWords(text, mismatch);
        text += "; a line of the record's head (\"#CMD#\", service code, word count) may be lost";
        return text;
    }
    if (mismatch.wordsRead > mismatch.wordCount) {
        std::string text = numbered(fileNumber, "Extra word lines in ");
        text += fileName;
        appendRecordWords(text, mismatch);
        return text;
    }
    std::string text = numbered(fileNumber, "Truncated file ");
    text += fileName;
    if (mismatch.lastRecord) {
        text += ": its last record ends after ";
    } else {
        text += ": its record at line ";
        text += std::to_string(mismatch.recordLine);
        text += " ends after ";
    }
    text += std::to_string(mismatch.wordsRead);
    text += " of its ";
    text += std::to_string(mismatch.wordCount);
    text += " data words";
    return text;
}

std::string svcStrayWordText(int fileNumber, std::string_view fileName, const SvcStrayWord& stray) {
    std::string text = numbered(fileNumber, "Stray word line ");
    text += std::to_string(stray.lineNumber);
    text += " in ";
    text += fileName;
    text += ": it stands outside any record, so the \"#CMD#\" line of its record may be lost";
    return text;
}

std::string svcMalformedLineText(int fileNumber, std::string_view fileName,
                                 const SvcMalformedLine& malformed) {
    std::string text = numbered(fileNumber, "Malformed line ");
    text += std::to_string(malformed.lineNumber);
    text += " in ";
    text += fileName;
    text += ": a word line is \"#0x\", four hexadecimal digits and \"#\"";
    return text;
}

std::string svcNoServiceText(int fileNumber, std::string_view fileName) {
    std::string text = numbered(fileNumber, "No service record in ");
    text += fileName;
    text += ": it is not an InterBus-S service file";
    return text;
}

}  // namespace svc
