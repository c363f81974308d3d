#include "downloader/main/number_rule.h"

#include "downloader/main/decimal_text.h"

namespace {

// Read to its end, and not after blanks, which the decimal reading would pass over.
bool IsWholeNumber(const DecimalText& number, std::string_view text) {
    return number.hasDigits && number.end == text.size() &&
           (text.front() == '+' || text.front() == '-' ||
            (text.front() >= '0' && text.front() <= '9'));
}

std::string Range(const NumberRule& rule) {
    if (rule.range != nullptr)
        return rule.range;
    return "a whole number from " + std::to_string(rule.lowest) + " to " +
           std::to_string(rule.highest);
}

}  // namespace

bool ReadWholeNumber(std::string_view text, const NumberRule& rule, int64_t& value) {
    const DecimalText number = ReadDecimal(text);
    if (!IsWholeNumber(number, text) || !DecimalInRange(number, rule.lowest, rule.highest))
        return false;
    value = number.value;
    return true;
}

std::string NumberRefusal(std::string_view shown, std::string_view typed, const NumberRule& rule) {
    if (shown.empty())
        return std::string("The ") + rule.field + " is empty.\nIt must be " + Range(rule) + ".";
    const char* why = IsWholeNumber(ReadDecimal(typed), typed)
                          ? "Parameter out of range: "
                          : "Parameter is not a whole number: ";
    return why + std::string(shown) + "\nThe " + rule.field + " must be " + Range(rule) + ".";
}
