#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// The module's communication configuration: 26 holding registers from 37, read and written
// whole. Words the downloader does not edit are written back as read.
constexpr uint16_t kCommConfigRegister = 37;
constexpr uint16_t kCommConfigWords = 26;

enum CommConfigWord : std::size_t {
    kSerialPort1Word = 0,  // bits 0-7 drop, bits 8-13 baud code, bit 15 set = no parity
    kSerialPort2Word = 1,
    kEthernetDropWord = 3,  // drop in the low byte
    kIpAddressWord = 8,     // four words, one byte each, first byte first
    kSubnetMaskWord = 12,
    kGatewayWord = 16,
    kTcpPortWord = 25,
};

using CommConfigBlock = std::array<uint16_t, kCommConfigWords>;

// The block as last read from (or written to) the module; kept for the dialogs and printout.
extern CommConfigBlock commConfig;

constexpr uint16_t kBaudCodeMask = 0x3F00;
constexpr uint16_t kNoParityBit = 0x8000;

inline uint8_t PortDrop(uint16_t portWord) {
    return static_cast<uint8_t>(portWord & 0xFF);
}
inline uint16_t PortBaudCode(uint16_t portWord) {
    return portWord & kBaudCodeMask;
}
inline bool PortHasParity(uint16_t portWord) {
    return (portWord & kNoParityBit) == 0;
}
// Baud rate of a port word's baud code; 0 for a code the module does not define.
uint32_t BaudForCode(uint16_t baudCode);
// The rate as the module reports it, for the user: "57600", or "Code 0x1500" for a code of some
// other firmware. Never another rate than the port runs at.
std::string BaudRateText(uint16_t baudCode);

// Four address words (one byte each, first byte first) as a 32-bit address, first byte most
// significant, and back.
uint32_t AddressFromWords(const CommConfigBlock& block, std::size_t firstWord);
void AddressToWords(CommConfigBlock& block, std::size_t firstWord, uint32_t address);
