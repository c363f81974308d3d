#pragma once

// The names that turn InterBus-S service codes, parameter identifiers and ID length codes
// into readable text. The texts are the firmware documentation's own, misspellings included,
// because the listings and generated files are compared against it by their readers.

#include <cstdint>
#include <span>
#include <string_view>

namespace svc {

struct SvcNameEntry {
    uint16_t code;
    std::string_view name;
};

// Index 0 of both tables is the answer for every code that is not listed.
inline constexpr std::string_view svcUnknownName = "Unknown";

// The 69 firmware services, in table order (index 1 first).
std::span<const SvcNameEntry> svcServiceNames();

// The 37 parameter and variable identifiers, in table order (index 1 first).
std::span<const SvcNameEntry> svcParameterNames();

// Table index of a code (1-based position in the table above), 0 when unlisted. Codes outside
// 0 to 65535 are unlisted.
int svcServiceIndex(int64_t code);
int svcParameterIndex(int64_t id);

// Name of a service code or text of a parameter identifier; "Unknown" when unlisted.
std::string_view svcServiceName(int64_t code);
std::string_view svcParameterName(int64_t id);

// InterBus-S ID length code: the process-data words it stands for and its text.
struct SvcLengthCode {
    int words = 0;
    std::string_view text;
};

// Codes 0 to 23 are defined; every other code gives 0 words and an empty text.
inline constexpr int svcLengthCodeCount = 257;  // codes 0 to 256 have a slot
SvcLengthCode svcLengthCode(int64_t code);

}  // namespace svc
