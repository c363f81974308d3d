#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Three-letter month name, capitalised or all capitals, to 0 (January) .. 11; anything else -1.
int32_t ParseMonth(std::string_view letters);

// A ddMmmyyyy date as year x 10000 + month x 100 + day (month counted from 0), so that dates
// compare as integers. Only the first nine characters count; a text too short to hold a date,
// or whose day, month or year is not readable, has no value.
std::optional<int32_t> DateValue(std::string_view text);
