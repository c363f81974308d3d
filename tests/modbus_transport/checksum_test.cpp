#include <gtest/gtest.h>

#include <cstring>

#include "modbus/crc16.h"

namespace {

struct CrcCase {
    const char* name;
    std::vector<uint8_t> bytes;
    uint16_t crc;
};

TEST(ModbusCrc16, MatchesPublishedCheckValues) {
    const char* check = "123456789";
    const std::vector<CrcCase> cases = {
        {"catalogue check string", {check, check + std::strlen(check)}, 0x4B37},
        {"read 26 holding registers from 37", {0x01, 0x03, 0x00, 0x25, 0x00, 0x1A}, 0xCAD5},
        {"nothing at all", {}, 0xFFFF},
        {"exception reply", {0x01, 0x83, 0x02}, 0xF1C0},
    };
    for (const CrcCase& c : cases) {
        EXPECT_EQ(ModbusCrc16(c.bytes.data(), c.bytes.size()), c.crc) << c.name;
    }
}

TEST(ModbusCrc16, AppendedLowByteFirstLeavesZeroRemainder) {
    // The receiver's own check: the CRC of a frame including its CRC is 0.
    std::vector<uint8_t> frame = {0x11, 0x10, 0x00, 0x01, 0x00, 0x02, 0x04, 0xAB, 0xCD, 0x00};
    const uint16_t crc = ModbusCrc16(frame.data(), frame.size());
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    EXPECT_EQ(ModbusCrc16(frame.data(), frame.size()), 0);
}

TEST(ModbusLrc, IsTheTwosComplementOfTheByteSum) {
    const struct {
        std::vector<uint8_t> bytes;
        uint8_t lrc;
    } cases[] = {
        {{0x01, 0x03, 0x00, 0x25, 0x00, 0x1A}, 0xBD},
        {{0x01, 0x03, 0x02, 0x00, 0x7A}, 0x80},  // sum 0x80 is its own complement
        {{0xFF, 0x01}, 0x00},                    // the sum wraps to 0
        {{}, 0x00},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ModbusLrc(c.bytes.data(), c.bytes.size()), c.lrc);
}

}  // namespace
