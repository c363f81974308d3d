// The RTU receiver cuts frames by these lengths, from a frame's first four bytes.
#include <gtest/gtest.h>

#include "modbus/modbus.h"

namespace {

struct LengthCase {
    uint8_t head[4];
    int32_t length;
};

const LengthCase kLengthCases[] = {
    {{1, 0x83, 2, 0}, 3},        {{1, 0x80, 0, 0}, 3},     {{1, 0xFF, 9, 9}, 3},
    {{1, 1, 2, 0}, 5},           {{1, 2, 0, 0}, 3},        {{1, 3, 52, 0}, 55},
    {{1, 4, 255, 0}, 258},       {{1, 20, 6, 5}, 9},       {{1, 21, 9, 6}, 12},
    {{1, 5, 0, 0}, 6},           {{1, 6, 0, 0}, 6},        {{1, 15, 0, 0}, 6},
    {{1, 16, 0, 0}, 6},          {{1, 7, 0, 0}, 3},        {{1, 8, 0, 0}, 6},
    {{1, 0x42, 0x03, 0}, 3},     {{1, 0x42, 0x2F, 0}, 3},  {{1, 0x42, 0x41, 0}, 3},
    {{1, 0x42, 0x60, 0}, 3},     {{1, 0x42, 0x1F, 0}, 7},  {{1, 0x42, 0x30, 2}, 8},
    {{1, 0x42, 0x35, 124}, 252}, {{1, 0x42, 0x70, 0}, 15}, {{1, 0x42, 0x50, 0}, 0},
    {{1, 0x42, 0xF0, 0}, 0},     {{1, 0, 0, 0}, -1},       {{1, 9, 0, 0}, -1},
    {{1, 0x2B, 0, 0}, -1},       {{1, 0x7F, 0, 0}, -1},
};

TEST(ResponseLength, ByFunctionCodeAndSubCommand) {
    for (const LengthCase& c : kLengthCases) {
        EXPECT_EQ(ModBus::ResponseLength(c.head), c.length)
            << "function " << int{c.head[1]} << " byte 2 " << int{c.head[2]};
    }
}

}  // namespace
