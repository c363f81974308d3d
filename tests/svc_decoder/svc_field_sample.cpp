#include "svc_field_sample.h"

#include "svc_text_variants.h"

namespace svc::testing {

std::vector<Record> fieldSampleRecords() {
    return {
        {0x0306, {0x0001, 0x0001, 0x0006}, {}},
        {0x0307,
         {0x003B, 0x0001, 0x0006,                  // attributes 1, 2, 4, 5, 6; entries 1 to 6
          0x0101, 0x0202, 0x0001, 0x0000, 0x0000,  //
          0x0102, 0x0101, 0x0001, 0x0000, 0x0000,  //
          0x0103, 0x01C1, 0x0002, 0x0000, 0x0000,  //
          0x0201, 0x0203, 0x0001, 0x0203, 0x0004,  //
          0x0202, 0x02C0, 0x0002, 0x0000, 0x0000,  //
          0x0203, 0x0102, 0x0002, 0x0000, 0x0000},
         {}},
        {0x0308, {}, {}},
        {0x0264, {0x000E, 0x0002, 0x0002, 0x0040, 0x0003, 0x0080}, {}},
        {0x0264, {0x0010, 0x0002, 0x0002, 0x0080, 0x0003, 0x0040}, {}},
        {0x0264, {0x0012, 0x0002, 0x0002, 0x0090, 0x0003, 0x0010}, {}},
        {0x0264, {0x0013, 0x0002, 0x0002, 0x0030, 0x0003, 0x0020}, {}},
        {0x0321, {0x0202, 0x0001, 0x0010, 0x0203, 0x0000, 0x0510, 0x0000}, {}},
        {0x0324, {}, {}},
        {0x0325,
         {0x0004,                                          //
          0x0001, 0x0101, 0x6010, 0x0200, 0x0000, 0x0000,  //
          0x0002, 0x0201, 0x6010, 0x0204, 0x0001, 0x0000,  //
          0x4001, 0x0000, 0x0000, 0x0102, 0x6011, 0x0000,  //
          0x4002, 0x0002, 0x0000, 0x0201, 0x6011, 0x0000},
         {}},
        {0x0326, {}, {}},
        {0x0750, {0x0002, 0x2210, 0x0000, 0x1388, 0x2211, 0x0000, 0xC350}, {}},
        {0x0711, {0x0001}, {}},
        {0x0701, {0x0001}, {}},
    };
}

std::vector<SampleDamage> fieldSampleDamages() {
    const std::vector<Record> records = fieldSampleRecords();
    const std::vector<std::string> lines = crlfSplit(svcText(records));
    // Line numbers count from 1: the "#CMD#" of a record, its data word n at start + 2 + n.
    const auto start = [&](std::size_t record) { return recordStartLine(records, record); };
    const auto at = [](long long line) { return static_cast<std::ptrdiff_t>(line - 1); };
    const auto without = [&](long long line) {
        std::vector<std::string> changed = lines;
        changed.erase(changed.begin() + at(line));
        return crlfJoin(changed);
    };
    const auto twice = [&](long long line) {
        std::vector<std::string> changed = lines;
        changed.insert(changed.begin() + at(line), lines[static_cast<std::size_t>(at(line))]);
        return crlfJoin(changed);
    };
    const auto upTo = [&](long long line) {
        return crlfJoin(std::vector<std::string>(lines.begin(), lines.begin() + at(line) + 1));
    };
    const auto text = [](long long line) { return std::to_string(line); };
    constexpr std::size_t kConfiguration = 1;
    constexpr std::size_t kReferences = 9;
    constexpr std::size_t kSetValue = 11;
    constexpr std::size_t kActivation = 12;
    std::vector<std::string> blankInside = lines;
    blankInside.insert(blankInside.begin() + at(start(kConfiguration) + 2 + 8) + 1, "");
    return {
        {"a reference entry's word twice", twice(start(kReferences) + 2 + 8),
         "Extra word lines in NAME: its record at line " + text(start(kReferences)) +
             " has 26 data words for a word count of 25",
         ""},
        {"the file cut after 13 of the reference list's 25 words, between two entries",
         upTo(start(kReferences) + 2 + 13),
         "Truncated file NAME: its last record ends after 13 of its 25 data words", ""},
        {"the configuration's #CMD# lost", without(start(kConfiguration)),
         "Stray word line " + text(start(kConfiguration)) +
             " in NAME: it stands outside any record, so the \"#CMD#\" line of its record may be "
             "lost",
         ""},
        {"the configuration's service code lost", without(start(kConfiguration) + 1),
         "Unknown service 0021 in NAME: its record at line " + text(start(kConfiguration)) +
             " has 32 data words for a word count of 59; a line of the record's head "
             "(\"#CMD#\", service code, word count) may be lost",
         ""},
        {"the activation's word count lost", without(start(kActivation) + 2),
         "Truncated file NAME: its record at line " + text(start(kActivation)) +
             " ends after 0 of its 1 data words",
         ""},
        // The empty line ends the record, as any line without "#" does: the words after it
        // belong to no record.
        {"an empty line between two device entries", crlfJoin(blankInside),
         "Stray word line " + text(start(kConfiguration) + 2 + 8 + 2) +
             " in NAME: it stands outside any record, so the \"#CMD#\" line of its record may be "
             "lost",
         ""},
        {"a Set_Value word twice", twice(start(kSetValue) + 2 + 2), "",
         "WARNING: the record at line " + text(start(kSetValue)) +
             " (Set_Value) has 8 data words for a word count of 7"},
    };
}

}  // namespace svc::testing
