#include "extractor/project/conversion_failure.h"

#include "toolshell/open_failure.h"

namespace extractor {

ConversionFailure openFailure(int site, const std::string& fileName, int errorNumber,
                              const std::string& caption) {
    return ConversionFailure{toolshell::openFailureText(site, fileName, errorNumber), caption};
}

}  // namespace extractor
