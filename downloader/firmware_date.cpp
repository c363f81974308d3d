#include "downloader/firmware_date.h"

namespace {

constexpr std::string_view kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::optional<int32_t> Digits(std::string_view text) {
    int32_t value = 0;
    for (char c : text) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

int32_t ParseMonth(std::string_view letters) {
    if (letters.size() != 3) {
        return -1;
    }
    for (int32_t month = 0; month < 12; ++month) {
        const std::string_view name = kMonthNames[month];
        const bool capitalised = letters == name;
        const bool capitals =
            letters[0] == name[0] && letters[1] == Upper(name[1]) && letters[2] == Upper(name[2]);
        if (capitalised || capitals) {
            return month;
        }
    }
    return -1;
}

std::optional<int32_t> DateValue(std::string_view text) {
    if (text.size() < 9) {
        return std::nullopt;
    }
    const auto day = Digits(text.substr(0, 2));
    const int32_t month = ParseMonth(text.substr(2, 3));
    const auto year = Digits(text.substr(5, 4));
    if (!day || month < 0 || !year) {
        return std::nullopt;
    }
    return *year * 10000 + month * 100 + *day;
}
