#include "request_handler.h"

#include <gtest/gtest.h>

namespace krtsim {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(RequestHandler, RefusesMalformedAndUnknownRequests) {
    struct Case {
        const char* what;
        Bytes pdu;
        uint8_t exception;
    };
    const Case cases[] = {
        {"unknown function", {1, 1, 0, 0, 0, 1}, kIllegalFunction},
        {"read one byte short", {1, 3, 0, 37, 0}, kIllegalDataValue},
        {"write registers byte count", {1, 16, 0, 37, 0, 2, 3, 0, 1, 0}, kIllegalDataValue},
        {"write registers data short", {1, 16, 0, 37, 0, 2, 4, 0, 1, 0}, kIllegalDataValue},
        {"file read reference type", {1, 20, 7, 5, 1, 0, 0, 0, 0, 1}, kIllegalDataAddress},
        {"file read byte count", {1, 20, 6, 6, 1, 0, 0, 0, 0}, kIllegalDataValue},
        {"file write data short", {1, 21, 9, 6, 1, 0, 0, 1, 0, 2, 0, 0}, kIllegalDataValue},
        {"file unknown", {1, 20, 7, 6, 1, 1, 0, 0, 0, 1}, kIllegalDataAddress},
        {"0x42 unknown sub-command", {1, 0x42, 0x51}, kIllegalFunction},
        {"0x42 erase with data", {1, 0x42, 0x01, 0}, kIllegalDataValue},
        {"0x42 write count beyond data", {1, 0x42, 0x21, 0, 0, 0, 4, 2, 0, 1}, kIllegalDataValue},
        {"0x42 unmapped channel", {1, 0x42, 0x13}, kIllegalDataAddress},
    };
    for (const auto& c : cases) {
        KrtModule module{ModuleConfig{}};
        auto handled = handleRequest(module, c.pdu);
        EXPECT_EQ(handled.exception, c.exception) << c.what;
        EXPECT_EQ(handled.reply, (Bytes{1, static_cast<uint8_t>(c.pdu[1] | 0x80), c.exception}))
            << c.what;
    }
}

TEST(RequestHandler, BuildsTheRepliesTheMasterDecodes) {
    KrtModule module{ModuleConfig{}};
    struct Case {
        const char* what;
        Bytes pdu;
        Bytes reply;
    };
    const Case cases[] = {
        {"write register echoes", {7, 6, 0, 33, 0, 33}, {7, 6, 0, 33, 0, 33}},
        {"write registers echoes start and count",
         {7, 16, 0, 43, 0, 2, 4, 0, 1, 0, 2},
         {7, 16, 0, 43, 0, 2}},
        {"read registers", {7, 3, 0, 43, 0, 2}, {7, 3, 4, 0, 1, 0, 2}},
        {"file write echoes",
         {7, 21, 11, 6, 1, 0, 0, 1, 0, 2, 0x60, 0x14, 0xAB, 0xCD},
         {7, 21, 11, 6, 1, 0, 0, 1, 0, 2, 0x60, 0x14, 0xAB, 0xCD}},
        {"file read", {7, 20, 7, 6, 1, 0, 0, 1, 0, 2}, {7, 20, 6, 5, 6, 0x60, 0x14, 0xAB, 0xCD}},
        {"block read", {7, 0x42, 0x31, 0, 0, 0, 2, 2}, {7, 0x42, 0x31, 2, 0x60, 0x14, 0xAB, 0xCD}},
        {"space size", {7, 0x42, 0x1A}, {7, 0x42, 0x1A, 0, 0, 0x1F, 0xFC}},
        {"bases", {7, 0x42, 0x72}, {7, 0x42, 0x72, 0, 0x20, 0, 4, 0, 0x28, 0, 0, 0, 0x2C, 0, 0}},
        {"erase echoes its sub-command", {7, 0x42, 0x4B}, {7, 0x42, 0x4B}},
        {"block write", {7, 0x42, 0x6B, 0, 0, 0, 4, 1, 0, 9}, {7, 0x42, 0x6B}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(handleRequest(module, c.pdu).reply, c.reply) << c.what;
    EXPECT_EQ(module.ram(kChannelF2)[2], 9);
}

TEST(RequestHandler, DescribesWithoutCarryingOut) {
    KrtModule module{ModuleConfig{}};
    Bytes write{1, 0x42, 0x21, 0, 0, 0, 4, 2, 0x12, 0x34, 0, 5};
    EXPECT_EQ(describeRequest(write), "sub=32 ch=1 addr=4 count=2 values=4660/5");
    EXPECT_EQ(module.flash(1)[2], 0xFFFF);
    EXPECT_EQ(handleRequest(module, write).fields, describeRequest(write));
    EXPECT_EQ(module.flash(1)[2], 0x1234);
}

}  // namespace
}  // namespace krtsim
