#include "downloader/header_checks.h"

#include <cstdio>

#include "downloader/firmware_date.h"

namespace {

std::string Format(const char* format, auto... args) {
    char text[1024];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

std::string Text(std::string_view view, size_t limit = std::string_view::npos) {
    return std::string(view.substr(0, limit));
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool BeginsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != Lower(prefix[i])) {
            return false;
        }
    }
    return true;
}

// An unreadable date on either side cannot be compared: the user is asked.
bool IsAfter(const std::optional<int32_t>& a, const std::optional<int32_t>& b) {
    return !a || !b || *a > *b;
}

}  // namespace

FirmwareIdentity SplitModuleName(std::string_view fullName) {
    const size_t blank = fullName.find(' ');
    if (blank == std::string_view::npos) {
        return {std::string(fullName), "Unknown", 0};
    }
    const std::string_view date = fullName.substr(blank + 1, 9);
    return {std::string(fullName.substr(0, blank)), std::string(date), DateValue(date)};
}

std::optional<std::string> MinFirmwareQuestion(const FirmwareIdentity& firmware,
                                               std::string_view blockText) {
    const std::string required = Text(blockText, 9);
    if (!IsAfter(DateValue(required), firmware.dateValue)) {
        return std::nullopt;
    }
    return Format(
        "The firmware on this module does\n\rnot meet the minimum requirements for\n\rrevision\n\r"
        "\n\rCurrent Firmware: %s\n\rSugested Firmware: %s\n\r\n\rContinue?",
        firmware.dateText.c_str(), required.c_str());
}

std::optional<std::string> MaxFirmwareQuestion(const FirmwareIdentity& firmware,
                                               std::string_view blockText) {
    const std::string required = Text(blockText, 9);
    if (!IsAfter(firmware.dateValue, DateValue(required))) {
        return std::nullopt;
    }
    return Format(
        "The firmware on this module does\n\rnot meet the maximum requirements for\n\rrevision\n\r"
        "\n\rCurrent Firmware: %s\n\rSugested Firmware: %s\n\r\n\rContinue?",
        firmware.dateText.c_str(), required.c_str());
}

std::optional<std::string> MinSerialQuestion(int32_t serial, std::string_view blockText) {
    if (DecimalValue(blockText) <= serial) {
        return std::nullopt;
    }
    return Format(
        "Your module is below the minimum serial\n\rnumber requirement.\n\r\n\rActual: %i\n\r"
        "Required: %s\n\r\n\rContinue?",
        serial, Text(blockText, 40).c_str());
}

std::optional<std::string> MaxSerialQuestion(int32_t serial, std::string_view blockText) {
    if (DecimalValue(blockText) >= serial) {
        return std::nullopt;
    }
    return Format(
        "Your module is above the maximum serial\n\rnumber requirement.\n\r\n\rActual: %i\n\r"
        "Required: %s\n\r\n\rContinue?",
        serial, Text(blockText, 40).c_str());
}

std::optional<std::string> ModuleMaskQuestion(std::string_view mask, std::string_view moduleName) {
    if (moduleName.find(mask) != std::string_view::npos) {
        return std::nullopt;
    }
    return Format(
        "You are attempting to load this application\n\rinto a unmatched module.\n\r\n\r"
        "Mask: %s\n\rModule: %s\n\r\n\rDo you wish to continue?",
        Text(mask).c_str(), Text(moduleName).c_str());
}

std::optional<ChannelOffer> ApplicationNumberQuestion(int16_t channel, std::string_view blockText) {
    if (blockText.empty()) {
        return std::nullopt;
    }
    const char digit = blockText[0];
    // '0' fits any channel; only channels 1 and 2 exist to be changed to.
    if (digit != '1' && digit != '2') {
        return std::nullopt;
    }
    const int16_t suggested = static_cast<int16_t>(digit - '0');
    if (suggested == channel) {
        return std::nullopt;
    }
    return ChannelOffer{
        Format("You are attempting to load this application\n\rinto the wrong application "
               "space\n\r\n\rApplication: %i\n\rSugested: %c\n\r\n\rDo you wish to change it to "
               "the sugested location?",
               static_cast<int>(channel), digit),
        suggested};
}

RevisionText SplitRevision(std::string_view text) {
    text = TrimTrailingBlanks(text);
    const size_t blank = text.rfind(' ');
    if (blank == std::string_view::npos || blank == 0) {
        return {std::string(text), "", std::nullopt};
    }
    const std::string_view date = text.substr(blank + 1);
    return {std::string(text.substr(0, blank)), std::string(date), DateValue(date)};
}

std::optional<std::string> RevisionQuestion(const RevisionText& current,
                                            const RevisionText& loading) {
    if (!BeginsWithIgnoringCase(current.name, loading.name)) {
        return Format(
            "You are attempting to load this application\n\rthat is different that the one "
            "currently loaded\n\r\n\rCurrent: %s\n\rLoading: %s\n\r\n\rDo you wish to continue?",
            current.name.c_str(), loading.name.c_str());
    }
    if (!IsAfter(current.dateValue, loading.dateValue)) {
        return std::nullopt;
    }
    return Format(
        "You are attempting to load this application\n\rthat is older than the current loaded "
        "revision.\n\r\n\rLoading: %s\n\rCurrent: %s\n\r\n\rDo you wish to continue?",
        loading.dateText.c_str(), current.dateText.c_str());
}

int32_t DecimalValue(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT32_MAX) {
            value = int64_t{INT32_MAX} + 1;
        }
    }
    value = negative ? -value : value;
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

std::string_view TrimTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}
