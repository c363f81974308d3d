// The simulator driven by the downloader's own Modbus master, over TCP and over a
// pseudo-terminal in RTU and ASCII: erase, write, read back and refusals, and injected
// faults as the master sees them.

#include <gtest/gtest.h>

#include "krtsim_harness.h"
#include "modbus/modbus_ascii.h"
#include "modbus/modbus_rtu.h"
#include "modbus/modbus_tcp.h"

namespace krtsim {
namespace {

constexpr uint32_t kTimeoutMs = 1000;
constexpr uint16_t kUnit = 1;

// The master's failure result for a status.
int32_t failure(int32_t status) {
    return -((kUnit << 16) | status);
}

// A connection ended through Close(), as the downloader ends it.
struct MasterClose {
    void operator()(ModBus* master) const { master->Close(); }
};
using Master = std::unique_ptr<ModBus, MasterClose>;

Master connectMaster(const KrtSim& sim, Framing framing) {
    ModBus* master = nullptr;
    switch (framing) {
        case Framing::Tcp:
            master = new ModBusTCP("127.0.0.1", sim.port());
            break;
        case Framing::Rtu:
            master = new ModBusRTU(sim.devicePath().c_str(), 19200, 0, 8, 0);
            break;
        case Framing::Ascii:
            master = new ModBusAscii(sim.devicePath().c_str(), 19200, 2, 7, 0);
            break;
    }
    return Master(master);
}

const char* framingName(Framing framing) {
    return framing == Framing::Tcp ? "Tcp" : framing == Framing::Rtu ? "Rtu" : "Ascii";
}

class MasterSequence : public ::testing::TestWithParam<Framing> {};

TEST_P(MasterSequence, ErasesWritesReadsBackAndRefuses) {
    KrtSim sim({"--space", "F1=0x1FFC"});
    ASSERT_TRUE(sim.start(GetParam())) << sim.output();
    Master master = connectMaster(sim, GetParam());
    ASSERT_TRUE(master->IsOpen()) << master->GetErrorText();

    uint16_t identity = 0;
    ASSERT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 1, 8187, &identity), 1);
    EXPECT_EQ(identity, 0x9991);

    // The block-write protocol on channel 1: erase, 99 words at byte address 4, read back.
    std::vector<uint16_t> words(99);
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<uint16_t>(0x6014 + 7 * i);
    ASSERT_EQ(master->ExtCommand(0, kTimeoutMs, kUnit, 1), 0);
    ASSERT_EQ(master->ExtWriteBlock(0, kTimeoutMs, kUnit, 1, 4, 99, words.data()), 0);
    std::vector<uint16_t> back(99);
    ASSERT_EQ(master->ExtReadBlock(kTimeoutMs, kUnit, 1, 4, 99, back.data()), 99);
    EXPECT_EQ(back, words);
    uint32_t size = 0, bases[3] = {};
    ASSERT_EQ(master->ExtRead32(kTimeoutMs, kUnit, 10, &size), 1);
    EXPECT_EQ(size, 0x1FFCu);
    ASSERT_EQ(master->ExtReadBases(kTimeoutMs, kUnit, 2, bases), 3);
    EXPECT_EQ(bases[0], 0x00200004u);

    // The file-record protocol: record k of file 256 is the word at byte address 2k.
    uint16_t record[2] = {};
    ASSERT_EQ(master->ReadFileRecord(kTimeoutMs, kUnit, 256, 2, 2, record), 2);
    EXPECT_EQ(record[0], words[0]);
    const uint16_t zero = 0;
    ASSERT_EQ(master->WriteFileRecord(kTimeoutMs, kUnit, 2560, 1, 0, &zero), 0);
    ASSERT_EQ(master->WriteFileRecord(kTimeoutMs, kUnit, 2560, 64, 64, words.data()), 0);
    ASSERT_EQ(master->ReadFileRecord(kTimeoutMs, kUnit, 2560, 1, 0, record), 1);
    EXPECT_EQ(record[0], 0xFFFF);

    // The communication block goes back whole.
    uint16_t block[26] = {};
    ASSERT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 26, 37, block), 26);
    block[25] = 1502;
    ASSERT_EQ(master->WriteRegisters(kTimeoutMs, kUnit, 26, 37, block), 0);

    // Refusals come back as the master's failure values.
    uint16_t out[4] = {};
    EXPECT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 4, 3000, out), failure(2));
    EXPECT_EQ(master->WriteRegister(kTimeoutMs, kUnit, 35, 0), failure(2));
    EXPECT_EQ(master->ExtCommand(0, kTimeoutMs, kUnit, 5), failure(2));
    EXPECT_EQ(master->ReadFileRecord(kTimeoutMs, kUnit, 300, 1, 0, out), failure(2));
    master.reset();

    ASSERT_TRUE(sim.stop());
    StateDump dump = sim.dump();
    auto flash = dump.channelFlash(1);
    EXPECT_EQ(std::vector<uint16_t>(flash.begin() + 2, flash.begin() + 101), words);
    EXPECT_EQ(flash[101], 0xFFFF);
    auto f1 = dump.channelFlash(10);
    EXPECT_EQ(f1[0], 0xFFFF);
    EXPECT_EQ(std::vector<uint16_t>(f1.begin() + 64, f1.begin() + 128),
              std::vector<uint16_t>(words.begin(), words.begin() + 64));
    EXPECT_EQ(dump.holding(62), 1502);
    auto log = sim.requests();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().fields.at("result"), "exception:2");
}

INSTANTIATE_TEST_SUITE_P(Framings, MasterSequence,
                         ::testing::Values(Framing::Tcp, Framing::Rtu, Framing::Ascii),
                         [](const auto& info) { return framingName(info.param); });

// Each injected fault, as the master reports it.
struct FaultCase {
    const char* name;
    const char* fault;
    Framing framing;
    int32_t result;  // of WriteRegister(33, 44)
    uint16_t registerAfter;
    bool held = false;  // the reply is held back until the test releases it
};

class MasterFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(MasterFault, ReachesTheMasterAsItsStatusAndTheLineRecovers) {
    const FaultCase& c = GetParam();
    KrtSim sim({"--fault", c.fault});
    ASSERT_TRUE(sim.start(c.framing)) << sim.output();
    Master master = connectMaster(sim, c.framing);
    ASSERT_TRUE(master->IsOpen()) << master->GetErrorText();
    EXPECT_EQ(master->WriteRegister(300, kUnit, 33, 44), c.result);
    // A late reply is on its way after the time-out and before the next request; the master
    // must set it aside.
    if (c.held) {
        ASSERT_TRUE(sim.releaseHeldReply()) << sim.output();
    }
    uint16_t value = 0;
    ASSERT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 1, 33, &value), 1);
    EXPECT_EQ(value, c.registerAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MasterFault,
    ::testing::Values(
        FaultCase{"Exception", "fc=6,do=exception,code=6", Framing::Tcp, failure(6), 33},
        FaultCase{"Drop", "fc=6,do=drop", Framing::Tcp, failure(kModbusTimedOut), 33},
        FaultCase{"NoReply", "fc=6,do=noreply", Framing::Tcp, failure(kModbusTimedOut), 44},
        FaultCase{"WrongFc", "fc=6,do=wrongfc", Framing::Tcp, failure(kModbusInvalidResponse), 44},
        FaultCase{"BadEcho", "fc=6,do=badecho", Framing::Tcp, failure(kModbusInvalidResponse), 44},
        FaultCase{"BadCrc", "fc=6,do=badcheck", Framing::Rtu, failure(kModbusTimedOut), 44},
        FaultCase{"BadLrc", "fc=6,do=badcheck", Framing::Ascii, failure(kModbusTimedOut), 44},
        FaultCase{"Late", "fc=6,do=hold", Framing::Tcp, failure(kModbusTimedOut), 44, true},
        FaultCase{"RtuSplit", "fc=6,do=split", Framing::Rtu, 0, 44},
        FaultCase{"AsciiSplit", "fc=6,do=split", Framing::Ascii, 0, 44},
        FaultCase{"TcpSplit", "fc=6,do=split", Framing::Tcp, 0, 44}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace krtsim
