#pragma once

// Service files made from the record format, for the tests and the sample files of the demo.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace svc::testing {

struct Record {
    uint16_t code;
    std::vector<uint16_t> data;
    std::optional<uint16_t> wordCount;  // the data words' count when not given
};

// The file as the suite's writer makes it: two empty lines before each "#CMD#", upper-case
// digits, CR LF line ends.
std::string svcText(const std::vector<Record>& records);

// The line (from 1) of record `index`'s "#CMD#" in svcText(records).
long long recordStartLine(const std::vector<Record>& records, std::size_t index);

// "#0x" + four upper-case digits + "#".
std::string wordLine(uint16_t word);

// Data words of a Load_Configuration record of devices given as (device number, device code).
Record configurationRecord(uint16_t startEntry,
                           const std::vector<std::pair<uint16_t, uint16_t>>& devices);

}  // namespace svc::testing
