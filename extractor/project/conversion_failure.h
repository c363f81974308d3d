#pragma once

// A step of the conversion that failed: the message box the user is shown, after which the
// conversion ends with nothing packed.

#include <string>

namespace extractor {

struct ConversionFailure {
    std::string text;
    std::string caption = "ERROR";
};

// "(<site>) Unable to open <file> Err = <errorNumber>" with its caption.
ConversionFailure openFailure(int site, const std::string& fileName, int errorNumber,
                              const std::string& caption);

}  // namespace extractor
