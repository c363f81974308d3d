#include "svc_builder.h"

#include <cstdio>

namespace svc::testing {

std::string wordLine(uint16_t word) {
    char text[16];
    std::snprintf(text, sizeof text, "#0x%04X#", word);
    return text;
}

std::string svcText(const std::vector<Record>& records) {
    std::string text;
    for (const Record& record : records) {
        text += "\r\n\r\n#CMD#\r\n";
        text += wordLine(record.code) + "\r\n";
        text +=
            wordLine(record.wordCount.value_or(static_cast<uint16_t>(record.data.size()))) + "\r\n";
        for (uint16_t word : record.data) {
            text += wordLine(word) + "\r\n";
        }
    }
    return text;
}

long long recordStartLine(const std::vector<Record>& records, std::size_t index) {
    long long line = 3;  // after the two empty lines
    for (std::size_t i = 0; i < index; ++i) {
        line += 5 + static_cast<long long>(records[i].data.size());
    }
    return line;
}

Record configurationRecord(uint16_t startEntry,
                           const std::vector<std::pair<uint16_t, uint16_t>>& devices) {
    Record record{0x0307, {0x0003, startEntry, static_cast<uint16_t>(devices.size())}, {}};
    for (const auto& [number, code] : devices) {
        record.data.push_back(number);
        record.data.push_back(code);
    }
    return record;
}

}  // namespace svc::testing
