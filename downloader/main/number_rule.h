#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A number the user types for a setting (a command-line argument or an edit field) and the
// refusal that tells which setting was wrong and what it takes.
struct NumberRule {
    const char* field;  // "Modbus drop", "run control register (-R)"
    int64_t lowest;
    int64_t highest;
    const char* range = nullptr;  // what it takes, when not "a whole number from L to H"
};

// A whole number: an optional sign and digits, nothing else (no blanks), inside the rule's
// range. "l", "abc", "5s" and an empty text are not numbers, so never read as 0 or 5.
bool ReadWholeNumber(std::string_view text, const NumberRule& rule, int64_t& value);

// The message for `typed` refused by ReadWholeNumber. Its first line shows `shown` (what the user
// wrote: the whole switch "-R2049" for the number "2049") and why it was refused, its second
// which setting it was for and what that setting takes.
std::string NumberRefusal(std::string_view shown, std::string_view typed, const NumberRule& rule);
inline std::string NumberRefusal(std::string_view typed, const NumberRule& rule) {
    return NumberRefusal(typed, typed, rule);
}

// The Modbus drop (unit number), on the command line and in the main dialog.
inline constexpr NumberRule kDropRule{"Modbus drop", 0, 255};
