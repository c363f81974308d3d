#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The compatibility checks of the user-code header, as pure logic over values already read from
// the module. Each gives the question to put to the user, or nothing when the module fits.

// Firmware identity from the module name: the name is cut at its first blank and the nine
// characters after it are the firmware date.
struct FirmwareIdentity {
    std::string name;                  // module name up to its first blank
    std::string dateText;              // "Unknown" when the name has no blank
    std::optional<int32_t> dateValue;  // 0 without a blank; none when the date is unreadable
};
FirmwareIdentity SplitModuleName(std::string_view fullName);

std::optional<std::string> MinFirmwareQuestion(const FirmwareIdentity& firmware,
                                               std::string_view blockText);
std::optional<std::string> MaxFirmwareQuestion(const FirmwareIdentity& firmware,
                                               std::string_view blockText);
std::optional<std::string> MinSerialQuestion(int32_t serial, std::string_view blockText);
std::optional<std::string> MaxSerialQuestion(int32_t serial, std::string_view blockText);
std::optional<std::string> ModuleMaskQuestion(std::string_view mask, std::string_view moduleName);

// A change of channel is offered only towards channel 1 or 2; '0' means any channel.
struct ChannelOffer {
    std::string question;
    int16_t suggestedChannel;
};
std::optional<ChannelOffer> ApplicationNumberQuestion(int16_t channel, std::string_view blockText);

// A revision text "name date" split at its last blank (a blank at position 0 does not count).
struct RevisionText {
    std::string name;
    std::string dateText;
    std::optional<int32_t> dateValue;
};
RevisionText SplitRevision(std::string_view text);
std::optional<std::string> RevisionQuestion(const RevisionText& current,
                                            const RevisionText& loading);

// Decimal value as the module tools write it: leading blanks, a sign, digits; anything else ends
// the number. Held to the i32 range.
int32_t DecimalValue(std::string_view text);
// Text with its trailing blanks removed.
std::string_view TrimTrailingBlanks(std::string_view text);
