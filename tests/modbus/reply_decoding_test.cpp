// What each reply stores in the caller's buffer, and which replies are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "tests/modbus/test_transport.h"

namespace {

constexpr uint32_t kTimeout = 2000;
constexpr uint16_t kUnit = 1;
constexpr uint8_t kCanary = 0xA5;
constexpr int32_t kInvalidResponse = -((kUnit << 16) | 20);

// A reply to function 3 or 4 carrying these registers.
Bytes RegisterReply(uint8_t function, int count) {
    Bytes reply{kUnit, function, static_cast<uint8_t>(2 * count)};
    for (int i = 0; i < count; ++i) {
        reply.push_back(static_cast<uint8_t>(i));
        reply.push_back(static_cast<uint8_t>(0x80 + i));
    }
    return reply;
}

std::vector<uint32_t> RegisterValues(int count) {
    std::vector<uint32_t> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(static_cast<uint32_t>((i << 8) | (0x80 + i)));
    }
    return values;
}

struct ReplyCase {
    const char* name;
    // Issues the request into `buffer`, which is large and filled with the canary.
    std::function<int32_t(ModBus&, uint8_t* buffer)> request;
    Bytes reply;
    int32_t result;
    size_t valueSize;              // 1, 2 or 4 bytes per stored value
    std::vector<uint32_t> stored;  // values expected at the start of the buffer
    size_t requestBytes = 0;       // bytes of the buffer that carried the request itself
};

uint16_t* Words(uint8_t* buffer) {
    return reinterpret_cast<uint16_t*>(buffer);
}
uint32_t* Longs(uint8_t* buffer) {
    return reinterpret_cast<uint32_t*>(buffer);
}

// Failures name the case instead of dumping its bytes.
void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

const ReplyCase kReplyCases[] = {
    {"HoldingRegisters26From37",
     [](ModBus& m, uint8_t* b) {
         return m.ReadHoldingRegisters(kTimeout, kUnit, 26, 37, Words(b));
     },
     RegisterReply(3, 26), 26, 2, RegisterValues(26)},
    {"InputRegisters",
     [](ModBus& m, uint8_t* b) { return m.ReadInputRegisters(kTimeout, kUnit, 2, 0, Words(b)); },
     {kUnit, 4, 4, 0x12, 0x34, 0xAB, 0xCD},
     2,
     2,
     {0x1234, 0xABCD}},
    {"MoreRegistersThanAskedStoresOnlyAsked",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 2, 0, Words(b)); },
     RegisterReply(3, 5), 2, 2, RegisterValues(2)},
    {"TenCoilsFromTwoBytes",
     [](ModBus& m, uint8_t* b) { return m.ReadCoils(kTimeout, kUnit, 10, 0, b); },
     {kUnit, 1, 2, 0xCD, 0x02},
     10,
     1,
     {1, 0, 1, 1, 0, 0, 1, 1, 0, 1}},
    {"InputsStopAtTheAskedCount",
     [](ModBus& m, uint8_t* b) { return m.ReadInputs(kTimeout, kUnit, 3, 0, b); },
     {kUnit, 2, 1, 0xFD},
     3,
     1,
     {1, 0, 1}},
    {"WriteCoilEcho",
     [](ModBus& m, uint8_t*) { return m.WriteCoil(kTimeout, kUnit, 0xAC, 1); },
     {kUnit, 5, 0x00, 0xAC, 0xFF, 0x00},
     0,
     1,
     {}},
    {"WriteRegisterEcho",
     [](ModBus& m, uint8_t*) { return m.WriteRegister(kTimeout, kUnit, 1, 3); },
     {kUnit, 6, 0, 1, 0, 3},
     0,
     1,
     {}},
    {"WriteRegisterOtherValue",
     [](ModBus& m, uint8_t*) { return m.WriteRegister(kTimeout, kUnit, 1, 3); },
     {kUnit, 6, 0, 1, 0, 4},
     kInvalidResponse,
     1,
     {}},
    {"WriteRegistersEcho",
     [](ModBus& m, uint8_t*) {
         static const uint16_t values[2] = {1, 2};
         return m.WriteRegisters(kTimeout, kUnit, 2, 0x10, values);
     },
     {kUnit, 16, 0, 0x10, 0, 2},
     0,
     1,
     {}},
    {"WriteCoilsOtherCount",
     [](ModBus& m, uint8_t*) {
         static const uint8_t values[3] = {1, 1, 1};
         return m.WriteCoils(kTimeout, kUnit, 3, 0x10, values);
     },
     {kUnit, 15, 0, 0x10, 0, 2},
     kInvalidResponse,
     1,
     {}},
    {"ExceptionStatus",
     [](ModBus& m, uint8_t* b) { return m.ReadExceptionStatus(kTimeout, kUnit, b); },
     {kUnit, 7, 0x5A},
     1,
     1,
     {0x5A}},
    {"DiagnosticsEcho",
     [](ModBus& m, uint8_t* b) { return m.Diagnostics(kTimeout, kUnit, 0, 0x1234, Words(b)); },
     {kUnit, 8, 0, 0, 0x12, 0x34},
     1,
     2,
     {0x1234}},
    {"DiagnosticsOtherSubFunction",
     [](ModBus& m, uint8_t* b) { return m.Diagnostics(kTimeout, kUnit, 0, 0x1234, Words(b)); },
     {kUnit, 8, 0, 1, 0x12, 0x34},
     kInvalidResponse,
     2,
     {}},
    {"FileRecord",
     [](ModBus& m, uint8_t* b) { return m.ReadFileRecord(kTimeout, kUnit, 4, 2, 1, Words(b)); },
     {kUnit, 20, 6, 5, 6, 0xAA, 0xBB, 0xCC, 0xDD},
     2,
     2,
     {0xAABB, 0xCCDD}},
    {"FileRecordLongerThanAsked",
     [](ModBus& m, uint8_t* b) { return m.ReadFileRecord(kTimeout, kUnit, 4, 1, 1, Words(b)); },
     {kUnit, 20, 6, 5, 6, 0xAA, 0xBB, 0xCC, 0xDD},
     1,
     2,
     {0xAABB}},
    {"WriteFileRecordEcho",
     [](ModBus& m, uint8_t*) {
         static const uint16_t word = 0x06AF;
         return m.WriteFileRecord(kTimeout, kUnit, 4, 1, 7, &word);
     },
     {kUnit, 21, 9, 6, 0, 4, 0, 7, 0, 1, 0x06, 0xAF},
     0,
     1,
     {}},
    {"WriteFileRecordEchoDiffers",
     [](ModBus& m, uint8_t*) {
         static const uint16_t word = 0x06AF;
         return m.WriteFileRecord(kTimeout, kUnit, 4, 1, 7, &word);
     },
     {kUnit, 21, 9, 6, 0, 4, 0, 7, 0, 1, 0x06, 0xAE},
     kInvalidResponse,
     1,
     {}},
    {"WriteFileRecordException",
     [](ModBus& m, uint8_t*) {
         static const uint16_t word = 0x06AF;
         return m.WriteFileRecord(kTimeout, kUnit, 4, 1, 7, &word);
     },
     {kUnit, 0x95, 2},
     -((kUnit << 16) | 2),
     1,
     {}},
    {"ExtRead32",
     [](ModBus& m, uint8_t* b) { return m.ExtRead32(kTimeout, kUnit, 2, Longs(b)); },
     {kUnit, 0x42, 0x12, 0x00, 0x01, 0x02, 0x03},
     1,
     4,
     {0x00010203}},
    {"ExtReadBlock",
     [](ModBus& m, uint8_t* b) { return m.ExtReadBlock(kTimeout, kUnit, 0, 0, 2, Words(b)); },
     {kUnit, 0x42, 0x30, 0x02, 0x12, 0x34, 0x56, 0x78},
     2,
     2,
     {0x1234, 0x5678}},
    {"ExtReadBlockMoreThanAsked",
     [](ModBus& m, uint8_t* b) { return m.ExtReadBlock(kTimeout, kUnit, 0, 0, 1, Words(b)); },
     {kUnit, 0x42, 0x30, 0x02, 0x12, 0x34, 0x56, 0x78},
     1,
     2,
     {0x1234}},
    {"ExtReadBasesChannelNibbleNotCompared",
     [](ModBus& m, uint8_t* b) { return m.ExtReadBases(kTimeout, kUnit, 3, Longs(b)); },
     {kUnit, 0x42, 0x75, 0, 0, 0x10, 0, 0, 0, 0x20, 0, 0x30, 0, 0, 0x04},
     3,
     4,
     {0x1000, 0x2000, 0x30000004}},
    {"ExtCommand",
     [](ModBus& m, uint8_t*) { return m.ExtCommand(0, kTimeout, kUnit, 1); },
     {kUnit, 0x42, 0x01},
     0,
     1,
     {}},
    {"ExtWriteBlockToRam",
     [](ModBus& m, uint8_t*) {
         static const uint16_t word = 1;
         return m.ExtWriteBlock(1, kTimeout, kUnit, 1, 0, 1, &word);
     },
     {kUnit, 0x42, 0x61},
     0,
     1,
     {}},
    // Raw requests decode back into their own data buffer, never past its length.
    {"RawReadKeepsToItsBuffer",
     [](ModBus& m, uint8_t* b) {
         const uint8_t startAndCount[4] = {0, 0, 0, 5};
         std::memcpy(b, startAndCount, sizeof startAndCount);
         return m.RawRequest(kTimeout, kUnit, 3, 0, 4, b);
     },
     RegisterReply(3, 5), 2, 2, RegisterValues(2), 4},
    {"RawUnknownFunctionStaysQueued",
     [](ModBus& m, uint8_t* b) { return m.RawRequest(kTimeout, kUnit, 0x2B, 0, 0, b); },
     {kUnit, 0x2B, 1, 2, 3},
     -((kUnit << 16) | 35),
     1,
     {}},

    // Malformed replies: 20, and the buffer keeps every byte it had.
    {"ShortRegisterReply",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 2, 0, Words(b)); },
     {kUnit, 3, 4, 0x12, 0x34},
     kInvalidResponse,
     2,
     {}},
    {"RegisterReplyWithoutByteCount",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 2, 0, Words(b)); },
     {kUnit, 3},
     kInvalidResponse,
     2,
     {}},
    {"OnlyTheUnitByte",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 2, 0, Words(b)); },
     {kUnit},
     kInvalidResponse,
     2,
     {}},
    {"ShortCoilReply",
     [](ModBus& m, uint8_t* b) { return m.ReadCoils(kTimeout, kUnit, 16, 0, b); },
     {kUnit, 1, 2, 0xFF},
     kInvalidResponse,
     1,
     {}},
    {"ShortFileRecord",
     [](ModBus& m, uint8_t* b) { return m.ReadFileRecord(kTimeout, kUnit, 4, 2, 1, Words(b)); },
     {kUnit, 20, 6, 5, 6, 0xAA, 0xBB},
     kInvalidResponse,
     2,
     {}},
    // Well-formed replies that carry fewer values than were asked: the caller would take the
    // values missing as zeros.
    {"FewerHoldingRegistersThanAsked",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 4, 0, Words(b)); },
     RegisterReply(3, 1),
     kInvalidResponse,
     2,
     {}},
    {"FewerInputRegistersThanAsked",
     [](ModBus& m, uint8_t* b) { return m.ReadInputRegisters(kTimeout, kUnit, 26, 37, Words(b)); },
     RegisterReply(4, 25),
     kInvalidResponse,
     2,
     {}},
    {"NoRegistersAtAll",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 1, 0, Words(b)); },
     {kUnit, 3, 0},
     kInvalidResponse,
     2,
     {}},
    {"FewerCoilsThanAsked",
     [](ModBus& m, uint8_t* b) { return m.ReadCoils(kTimeout, kUnit, 9, 0, b); },
     {kUnit, 1, 1, 0xFF},
     kInvalidResponse,
     1,
     {}},
    {"FewerFileRecordWordsThanAsked",
     [](ModBus& m, uint8_t* b) { return m.ReadFileRecord(kTimeout, kUnit, 4, 2, 1, Words(b)); },
     {kUnit, 20, 4, 3, 6, 0xAA, 0xBB},
     kInvalidResponse,
     2,
     {}},
    {"FileRecordEmpty",
     [](ModBus& m, uint8_t* b) { return m.ReadFileRecord(kTimeout, kUnit, 4, 2, 1, Words(b)); },
     {kUnit, 20, 1, 0},
     kInvalidResponse,
     2,
     {}},
    {"FewerExtBlockWordsThanAsked",
     [](ModBus& m, uint8_t* b) { return m.ExtReadBlock(kTimeout, kUnit, 0, 0, 2, Words(b)); },
     {kUnit, 0x42, 0x30, 0x01, 0x12, 0x34},
     kInvalidResponse,
     2,
     {}},
    {"ShortWriteEcho",
     [](ModBus& m, uint8_t*) { return m.WriteRegister(kTimeout, kUnit, 1, 3); },
     {kUnit, 6, 0, 1},
     kInvalidResponse,
     1,
     {}},
    {"WrongFunctionCode",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 1, 0, Words(b)); },
     {kUnit, 4, 2, 0x12, 0x34},
     kInvalidResponse,
     2,
     {}},
    {"FunctionCode0x80",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 1, 0, Words(b)); },
     {kUnit, 0x80, 2},
     kInvalidResponse,
     2,
     {}},
    {"ExceptionForAnotherFunction",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 1, 0, Words(b)); },
     {kUnit, 0x84, 2},
     kInvalidResponse,
     2,
     {}},
    {"ExceptionCodeZero",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 1, 0, Words(b)); },
     {kUnit, 0x83, 0},
     kInvalidResponse,
     2,
     {}},
    {"ExceptionWithoutCode",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 1, 0, Words(b)); },
     {kUnit, 0x83},
     kInvalidResponse,
     2,
     {}},
    {"ExceptionCodeWithoutText",
     [](ModBus& m, uint8_t* b) { return m.ReadHoldingRegisters(kTimeout, kUnit, 1, 0, Words(b)); },
     {kUnit, 0x83, 0xC8},
     -((kUnit << 16) | 0xC8),
     2,
     {}},
    {"ExtWrongSubCommand",
     [](ModBus& m, uint8_t* b) { return m.ExtRead32(kTimeout, kUnit, 0, Longs(b)); },
     {kUnit, 0x42, 0x30, 0x02, 0x12, 0x34, 0x56, 0x78},
     kInvalidResponse,
     4,
     {}},
    {"ExtBlockAnsweredAsBases",
     [](ModBus& m, uint8_t* b) { return m.ExtReadBlock(kTimeout, kUnit, 0, 0, 1, Words(b)); },
     {kUnit, 0x42, 0x70, 0, 0, 0x10, 0, 0, 0, 0x20, 0, 0, 0, 0x30, 0},
     kInvalidResponse,
     2,
     {}},
    {"ShortExtRead32",
     [](ModBus& m, uint8_t* b) { return m.ExtRead32(kTimeout, kUnit, 0, Longs(b)); },
     {kUnit, 0x42, 0x10, 0x00, 0x01},
     kInvalidResponse,
     4,
     {}},
    {"ShortExtBlock",
     [](ModBus& m, uint8_t* b) { return m.ExtReadBlock(kTimeout, kUnit, 0, 0, 2, Words(b)); },
     {kUnit, 0x42, 0x30, 0x02, 0x12, 0x34, 0x56},
     kInvalidResponse,
     2,
     {}},
    {"ShortExtBases",
     [](ModBus& m, uint8_t* b) { return m.ExtReadBases(kTimeout, kUnit, 0, Longs(b)); },
     {kUnit, 0x42, 0x70, 0, 0, 0x10, 0, 0, 0, 0x20},
     kInvalidResponse,
     4,
     {}},
    {"ExtMissingSubCommand",
     [](ModBus& m, uint8_t*) { return m.ExtCommand(0, kTimeout, kUnit, 0); },
     {kUnit, 0x42},
     kInvalidResponse,
     1,
     {}},
};

uint32_t ValueAt(const uint8_t* buffer, size_t index, size_t size) {
    uint8_t u8;
    uint16_t u16;
    uint32_t u32;
    switch (size) {
        case 1:
            std::memcpy(&u8, buffer + index, 1);
            return u8;
        case 2:
            std::memcpy(&u16, buffer + 2 * index, 2);
            return u16;
        default:
            std::memcpy(&u32, buffer + 4 * index, 4);
            return u32;
    }
}

class ReplyDecoding : public testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyDecoding, StoresOnlyWhatTheReplyAndBufferAllow) {
    const ReplyCase& c = GetParam();
    alignas(8) uint8_t buffer[128];
    std::memset(buffer, kCanary, sizeof buffer);
    const Bytes reply = c.reply;
    const int32_t result = RunRequest([&](ModBus& m) { return c.request(m, buffer); },
                                      [&](const Bytes&) { return std::optional<Bytes>(reply); });
    EXPECT_EQ(result, c.result);
    for (size_t i = 0; i < c.stored.size(); ++i) {
        EXPECT_EQ(ValueAt(buffer, i, c.valueSize), c.stored[i]) << "value " << i;
    }
    const size_t written = std::max(c.stored.size() * c.valueSize, c.requestBytes);
    for (size_t i = written; i < sizeof buffer; ++i) {
        ASSERT_EQ(buffer[i], kCanary) << "byte " << i << " written";
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, ReplyDecoding, testing::ValuesIn(kReplyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReplyDecoding, NullBufferIsNeverWritten) {
    const int32_t result =
        RunRequest([](ModBus& m) { return m.ReadHoldingRegisters(kTimeout, kUnit, 2, 0, nullptr); },
                   [](const Bytes&) { return std::optional<Bytes>(RegisterReply(3, 2)); });
    EXPECT_EQ(result, 0);
}

}  // namespace
