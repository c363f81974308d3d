// Every request operation puts exactly these bytes on the wire.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/modbus/test_transport.h"

namespace {

constexpr uint32_t kTimeout = 2000;
constexpr uint16_t kUnit = 7;
constexpr uint8_t kSlaveDeviceFailure = 4;

// Answers every request with an exception, so each case also shows the unit and
// exception code coming back through the synchronous result.
std::optional<Bytes> RefuseEverything(const Bytes& pdu) {
    return Bytes{pdu[0], static_cast<uint8_t>(pdu[1] | 0x80), kSlaveDeviceFailure};
}

struct PduCase {
    const char* name;
    std::function<int32_t(ModBus&)> request;
    Bytes pdu;
    uint8_t noResponse = 0;
    uint16_t unit = kUnit;
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const PduCase& c, std::ostream* os) {
    *os << c.name;
}

uint16_t words[4] = {0x1122, 0x3344, 0x000A, 0x0102};
uint16_t wordOut[8];
uint8_t byteOut[32];
uint32_t longOut[3];
uint8_t coils[10] = {1, 0, 1, 1, 0, 0, 1, 1, 1, 0};
uint8_t notQuiteOn[2] = {2, 1};  // only exactly 1 sets a coil
uint16_t recordWord = 0x06AF;

const PduCase kPduCases[] = {
    {"ExtCommandErase",
     [](ModBus& m) { return m.ExtCommand(0, kTimeout, kUnit, 3); },
     {7, 0x42, 0x03}},
    {"ExtCommandRam",
     [](ModBus& m) { return m.ExtCommand(1, kTimeout, kUnit, 15); },
     {7, 0x42, 0x4F}},
    {"ExtWriteBlock",
     [](ModBus& m) { return m.ExtWriteBlock(0, kTimeout, kUnit, 2, 0x00012345, 2, words); },
     {7, 0x42, 0x22, 0x00, 0x01, 0x23, 0x45, 0x02, 0x11, 0x22, 0x33, 0x44}},
    {"ExtWriteBlockRam",
     [](ModBus& m) { return m.ExtWriteBlock(1, kTimeout, kUnit, 0, 0xA0B0C0D0, 1, words); },
     {7, 0x42, 0x60, 0xA0, 0xB0, 0xC0, 0xD0, 0x01, 0x11, 0x22}},
    {"ExtRead32",
     [](ModBus& m) { return m.ExtRead32(kTimeout, kUnit, 5, longOut); },
     {7, 0x42, 0x15}},
    {"ExtReadBlock",
     [](ModBus& m) { return m.ExtReadBlock(kTimeout, kUnit, 1, 0x10203040, 3, wordOut); },
     {7, 0x42, 0x31, 0x10, 0x20, 0x30, 0x40, 0x03}},
    {"ExtReadBases",
     [](ModBus& m) { return m.ExtReadBases(kTimeout, kUnit, 9, longOut); },
     {7, 0x42, 0x79}},
    {"ReadCoils",
     [](ModBus& m) { return m.ReadCoils(kTimeout, kUnit, 10, 0x0013, byteOut); },
     {7, 0x01, 0x00, 0x13, 0x00, 0x0A}},
    {"ReadInputs",
     [](ModBus& m) { return m.ReadInputs(kTimeout, kUnit, 22, 0x00C4, byteOut); },
     {7, 0x02, 0x00, 0xC4, 0x00, 0x16}},
    {"ReadHoldingRegisters",
     [](ModBus& m) { return m.ReadHoldingRegisters(kTimeout, kUnit, 26, 37, nullptr); },
     {7, 0x03, 0x00, 0x25, 0x00, 0x1A}},
    {"ReadInputRegisters",
     [](ModBus& m) { return m.ReadInputRegisters(kTimeout, kUnit, 1, 0x0108, wordOut); },
     {7, 0x04, 0x01, 0x08, 0x00, 0x01}},
    {"WriteCoilOn",
     [](ModBus& m) { return m.WriteCoil(kTimeout, kUnit, 0x00AC, 1); },
     {7, 0x05, 0x00, 0xAC, 0xFF, 0x00}},
    {"WriteCoilAnyNonZeroIsOn",
     [](ModBus& m) { return m.WriteCoil(kTimeout, kUnit, 1, 0x80); },
     {7, 0x05, 0x00, 0x01, 0xFF, 0x00}},
    {"WriteCoilOff",
     [](ModBus& m) { return m.WriteCoil(kTimeout, kUnit, 1, 0); },
     {7, 0x05, 0x00, 0x01, 0x00, 0x00}},
    {"WriteRegister",
     [](ModBus& m) { return m.WriteRegister(kTimeout, kUnit, 1, 0xBEEF); },
     {7, 0x06, 0x00, 0x01, 0xBE, 0xEF}},
    {"ReadExceptionStatus",
     [](ModBus& m) { return m.ReadExceptionStatus(kTimeout, kUnit, byteOut); },
     {7, 0x07}},
    {"Diagnostics",
     [](ModBus& m) { return m.Diagnostics(kTimeout, kUnit, 0x0001, 0xA537, wordOut); },
     {7, 0x08, 0x00, 0x01, 0xA5, 0x37}},
    {"WriteCoils",
     [](ModBus& m) { return m.WriteCoils(kTimeout, kUnit, 10, 0x0013, coils); },
     {7, 0x0F, 0x00, 0x13, 0x00, 0x0A, 0x02, 0xCD, 0x01}},
    {"WriteCoilsOnlyOneCounts",
     [](ModBus& m) { return m.WriteCoils(kTimeout, kUnit, 2, 0, notQuiteOn); },
     {7, 0x0F, 0x00, 0x00, 0x00, 0x02, 0x01, 0x02}},
    {"WriteRegisters",
     [](ModBus& m) { return m.WriteRegisters(kTimeout, kUnit, 2, 1, words + 2); },
     {7, 0x10, 0x00, 0x01, 0x00, 0x02, 0x04, 0x00, 0x0A, 0x01, 0x02}},
    {"ReadFileRecord",
     [](ModBus& m) { return m.ReadFileRecord(kTimeout, kUnit, 4, 2, 1, wordOut); },
     {7, 0x14, 0x07, 0x06, 0x00, 0x04, 0x00, 0x01, 0x00, 0x02}},
    {"WriteFileRecord",
     [](ModBus& m) { return m.WriteFileRecord(kTimeout, kUnit, 4, 1, 7, &recordWord); },
     {7, 0x15, 0x09, 0x06, 0x00, 0x04, 0x00, 0x07, 0x00, 0x01, 0x06, 0xAF}},
    {"RawRequestPassesNoResponse",
     [](ModBus& m) { return m.RawRequest(kTimeout, kUnit, 0x11, 1, 0, nullptr); },
     {7, 0x11},
     1},
    {"UnitAbove255SendsItsLowByte",
     [](ModBus& m) { return m.WriteRegister(kTimeout, 0x0107, 2, 3); },
     {7, 0x06, 0x00, 0x02, 0x00, 0x03},
     0,
     0x0107},
};

class RequestPdu : public testing::TestWithParam<PduCase> {};

TEST_P(RequestPdu, SendsExactBytesAndReportsTheException) {
    const PduCase& c = GetParam();
    std::vector<TestTransport::SentFrame> sent;
    const int32_t result = RunRequest(c.request, RefuseEverything, &sent);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].pdu, c.pdu);
    EXPECT_EQ(sent[0].noResponse, c.noResponse);
    EXPECT_EQ(result, -((c.unit << 16) | kSlaveDeviceFailure));
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, RequestPdu, testing::ValuesIn(kPduCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Requests refused before anything reaches the wire, and the largest that still go.
struct SizeCase {
    const char* name;
    std::function<int32_t(ModBus&)> request;
    int32_t status;        // 0: accepted
    size_t pduLength = 0;  // when accepted
};

// Failures name the case instead of dumping its bytes.
void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.name;
}

uint16_t manyWords[200];
uint8_t manyBytes[2000];

const SizeCase kSizeCases[] = {
    {"ExtCommandChannel16", [](ModBus& m) { return m.ExtCommand(0, kTimeout, kUnit, 16); }, 19},
    {"ExtCommandNegativeChannel", [](ModBus& m) { return m.ExtCommand(0, kTimeout, kUnit, -1); },
     19},
    {"ExtWriteBlockChannel16",
     [](ModBus& m) { return m.ExtWriteBlock(0, kTimeout, kUnit, 16, 0, 1, manyWords); }, 19},
    {"ExtRead32Channel16", [](ModBus& m) { return m.ExtRead32(kTimeout, kUnit, 16, longOut); }, 19},
    {"ExtReadBlockChannel16",
     [](ModBus& m) { return m.ExtReadBlock(kTimeout, kUnit, 16, 0, 1, wordOut); }, 19},
    {"ExtReadBasesChannel16",
     [](ModBus& m) { return m.ExtReadBases(kTimeout, kUnit, 16, longOut); }, 19},
    {"ExtWriteBlockNegativeCount",
     [](ModBus& m) { return m.ExtWriteBlock(0, kTimeout, kUnit, 0, 0, -1, manyWords); }, 19},
    {"ExtWriteBlockNoWords",
     [](ModBus& m) { return m.ExtWriteBlock(0, kTimeout, kUnit, 0, 0, 3, nullptr); }, 19},
    {"WriteCoilsNegativeCount",
     [](ModBus& m) { return m.WriteCoils(kTimeout, kUnit, -8, 0, manyBytes); }, 19},
    {"ExtWriteBlock99Words",
     [](ModBus& m) { return m.ExtWriteBlock(0, kTimeout, kUnit, 0, 0, 99, manyWords); }, 0, 206},
    {"ExtWriteBlock124Words",
     [](ModBus& m) { return m.ExtWriteBlock(0, kTimeout, kUnit, 0, 0, 124, manyWords); }, 0, 256},
    {"ExtWriteBlock125Words",
     [](ModBus& m) { return m.ExtWriteBlock(0, kTimeout, kUnit, 0, 0, 125, manyWords); }, 17},
    {"WriteRegisters124",
     [](ModBus& m) { return m.WriteRegisters(kTimeout, kUnit, 124, 0, manyWords); }, 0, 255},
    {"WriteRegisters125",
     [](ModBus& m) { return m.WriteRegisters(kTimeout, kUnit, 125, 0, manyWords); }, 17},
    {"WriteFileRecord123",
     [](ModBus& m) { return m.WriteFileRecord(kTimeout, kUnit, 1, 123, 0, manyWords); }, 0, 256},
    {"WriteFileRecord124",
     [](ModBus& m) { return m.WriteFileRecord(kTimeout, kUnit, 1, 124, 0, manyWords); }, 17},
    {"WriteCoils1992", [](ModBus& m) { return m.WriteCoils(kTimeout, kUnit, 1992, 0, manyBytes); },
     0, 256},
    {"WriteCoils1993", [](ModBus& m) { return m.WriteCoils(kTimeout, kUnit, 1993, 0, manyBytes); },
     17},
    {"RawRequest254", [](ModBus& m) { return m.RawRequest(kTimeout, kUnit, 3, 0, 254, manyBytes); },
     0, 256},
    {"RawRequest255", [](ModBus& m) { return m.RawRequest(kTimeout, kUnit, 3, 0, 255, manyBytes); },
     17},
};

class RequestSize : public testing::TestWithParam<SizeCase> {};

TEST_P(RequestSize, RefusesBeforeSendingOrSendsWhole) {
    const SizeCase& c = GetParam();
    std::vector<TestTransport::SentFrame> sent;
    const int32_t result = RunRequest(c.request, RefuseEverything, &sent);
    if (c.status != 0) {
        EXPECT_EQ(result, -((kUnit << 16) | c.status));
        EXPECT_TRUE(sent.empty());
    } else {
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].pdu.size(), c.pduLength);
        EXPECT_EQ(result, -((kUnit << 16) | kSlaveDeviceFailure));
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, RequestSize, testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RequestRefusal, AsynchronousFormReturnsTheBareStatus) {
    TestTransport* transport = TestTransport::Open();
    CompletionEvent event;
    EXPECT_EQ(transport->ExtCommand(0, kTimeout, kUnit, 16, &event), 19);
    EXPECT_EQ(transport->ExtWriteBlock(0, kTimeout, kUnit, 0, 0, 125, manyWords, &event), 17);
    EXPECT_TRUE(transport->Sent().empty());
    transport->Close();
}

}  // namespace
