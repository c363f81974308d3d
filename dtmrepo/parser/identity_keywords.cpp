// Identity, file and product keywords of a description file.

#include <array>

#include "dtmrepo/parser/description_parser.h"
#include "dtmrepo/parser/number_text.h"

namespace dtmrepo {

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// A revision date ddMMMyyyy as the number yyyyMMdd. A month that is not in the table gives no
// digits, so such a date counts as far older than any real one.
double revisionNumber(std::string_view date) {
    std::string digits(date.substr(5, 4));
    const std::string_view month = date.substr(2, 3);
    for (size_t m = 0; m < kMonths.size(); ++m) {
        if (kMonths[m] == month) {
            digits += m < 9 ? "0" + std::to_string(m + 1) : std::to_string(m + 1);
        }
    }
    digits += date.substr(0, 2);
    return numericValue(digits);
}

constexpr size_t kRevisionDateLength = 9;  // ddMMMyyyy

}  // namespace

void DescriptionParser::setAllowMultipleVersions() {
    const std::string& value = V1();
    const size_t first = value.find_first_not_of(' ');
    record_.allowMultipleVersions =
        upperCase(first == std::string::npos ? std::string_view() : value.substr(first));
}

void DescriptionParser::setFileCreator() {
    record_.fileCreator = V1();
    record_.authorName = V1();
}

void DescriptionParser::setFileCreationDate() {
    record_.fileCreationDate = upperCase(V1()) == "NOW" ? today_ : V1();
}

void DescriptionParser::setFileModifiedDate() {
    record_.fileModificationDate = upperCase(V1()) == "NOW" ? today_ : V1();
}

void DescriptionParser::setVendorText() {
    storeLanguageText(record_.vendorText, {"'vendorText' language in wrong order!",
                                           "'vendorText' language not supported!"});
}

void DescriptionParser::setDeviceFamily() {
    storeLanguageText(record_.deviceFamily, {"'deviceFamily' language in wrong order!",
                                             "'deviceFamily' language not supported!", true});
}

void DescriptionParser::setProductText() {
    storeLanguageText(record_.productText, {"'productText' language in wrong order!",
                                            "'productText' language not supported!"});
}

void DescriptionParser::checkMinCompiler() {
    record_.minCompiler = V1();
    // Both dates are read by position; one too short to hold a date is refused rather than
    // read past its end.
    if (V1().size() < kRevisionDateLength || revisionDate_.size() < kRevisionDateLength) {
        error("'MinCompiler' must be a date such as 16OCT2019!  '" + V1() + "'" + onLine());
        return;
    }
    if (revisionNumber(V1()) > revisionNumber(revisionDate_)) {
        error("MinCompiler FAIL  Requires '" + V1() + "'" + onLine());
    }
}

void DescriptionParser::setProductId() {
    // The intake has already given the identifier its version suffix where one belongs.
    record_.productId = V1();
    if (record_.swIncludeFlag) {
        record_.profileName = V1();
    }
}

void DescriptionParser::setSwInclude() {
    record_.swInclude = V1();
    if (upperCase(V1()) == "YES") {
        record_.swIncludeFlag = true;
    }
}

}  // namespace dtmrepo
