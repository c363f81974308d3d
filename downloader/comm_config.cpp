#include "downloader/comm_config.h"

#include <cstdio>

CommConfigBlock commConfig{};

namespace {

struct BaudCode {
    uint16_t code;
    uint32_t baud;
};
constexpr BaudCode kBaudCodes[] = {{0x0700, 1200},  {0x0900, 2400},  {0x0B00, 4800}, {0x0D00, 9600},
                                   {0x0F00, 19200}, {0x1000, 38400}, {0x1100, 57600}};

}  // namespace

uint32_t BaudForCode(uint16_t baudCode) {
    for (const BaudCode& entry : kBaudCodes) {
        if (entry.code == baudCode) {
            return entry.baud;
        }
    }
    return 0;
}

std::string BaudRateText(uint16_t baudCode) {
    if (const uint32_t baud = BaudForCode(baudCode); baud != 0)
        return std::to_string(baud);
    char text[16];
    std::snprintf(text, sizeof text, "Code 0x%04X", baudCode);
    return text;
}

uint32_t AddressFromWords(const CommConfigBlock& block, std::size_t firstWord) {
    uint32_t address = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        address = address << 8 | (block[firstWord + i] & 0xFF);
    }
    return address;
}

void AddressToWords(CommConfigBlock& block, std::size_t firstWord, uint32_t address) {
    for (std::size_t i = 0; i < 4; ++i) {
        block[firstWord + i] = static_cast<uint16_t>(address >> (8 * (3 - i)) & 0xFF);
    }
}
