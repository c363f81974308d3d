// The downloader's module sequences, step by step through its master over Modbus/TCP,
// against a simulator in its default configuration: each must succeed and leave in the
// module what the downloader meant to store.

#include <gtest/gtest.h>

#include <numeric>

#include "krtsim_harness.h"
#include "modbus/modbus_tcp.h"

namespace krtsim {
namespace {

constexpr uint32_t kTimeoutMs = 1000;
constexpr uint16_t kUnit = 1;

struct MasterClose {
    void operator()(ModBus* master) const { master->Close(); }
};

class ModuleSequence : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(sim.start(Framing::Tcp)) << sim.output();
        master.reset(new ModBusTCP("127.0.0.1", sim.port()));
        ASSERT_TRUE(master->IsOpen()) << master->GetErrorText();
    }

    uint16_t readHolding(uint16_t address) {
        uint16_t value = 0;
        EXPECT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 1, address, &value), 1)
            << "register " << address;
        return value;
    }

    void writeHolding(uint16_t address, uint16_t value) {
        EXPECT_EQ(master->WriteRegister(kTimeoutMs, kUnit, address, value), 0)
            << "register " << address;
    }

    // The halt wait: the status word of S 1..32 polled until bit 15 clears, at most 20 times.
    int pollsUntilHalted(uint16_t statusRegister) {
        for (int poll = 1; poll <= 20; ++poll) {
            uint16_t status = 0;
            EXPECT_EQ(master->ReadInputRegisters(kTimeoutMs, kUnit, 1, statusRegister - 1, &status),
                      1);
            if (!(status & 0x8000))
                return poll;
        }
        return -1;
    }

    StateDump finalDump() {
        master.reset();
        EXPECT_TRUE(sim.stop());
        return sim.dump();
    }

    KrtSim sim;
    std::unique_ptr<ModBus, MasterClose> master;
};

TEST_F(ModuleSequence, BlockWriteDownloadOnChannelOne) {
    uint32_t size = 0;
    ASSERT_EQ(master->ExtRead32(kTimeoutMs, kUnit, 1, &size), 1);
    EXPECT_EQ(size, 0x1FFFCu);
    EXPECT_EQ(readHolding(35) & 0x0002, 0) << "not write-protected";
    uint16_t statusRegister = readHolding(41);
    EXPECT_EQ(statusRegister, 1);
    uint16_t runRegister = readHolding(33);
    ASSERT_EQ(runRegister, 33);

    ASSERT_EQ(master->ExtCommand(0, 10 * kTimeoutMs, kUnit, 1), 0);
    uint16_t run = readHolding(runRegister - 1);
    writeHolding(runRegister - 1, run & ~0x00FF);
    uint32_t bases[3] = {};
    ASSERT_EQ(master->ExtReadBases(kTimeoutMs, kUnit, 1, bases), 3);
    writeHolding(41, statusRegister);
    EXPECT_EQ(pollsUntilHalted(statusRegister), 3) << "bit 15 held for two polls";

    // 250 payload words in 99-word chunks from byte address 4, then CRC word and digest.
    std::vector<uint16_t> payload(250);
    std::iota(payload.begin(), payload.end(), uint16_t{0x100});
    uint32_t address = 4;
    for (size_t sent = 0; sent < payload.size(); sent += 99) {
        int count = static_cast<int>(std::min<size_t>(99, payload.size() - sent));
        ASSERT_EQ(master->ExtWriteBlock(0, kTimeoutMs, kUnit, 1, address, count, &payload[sent]),
                  0);
        address += 2 * count;
    }
    const uint16_t crc = 0xC0DE;
    const uint16_t digest[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(master->ExtWriteBlock(0, kTimeoutMs, kUnit, 1, address, 1, &crc), 0);
    ASSERT_EQ(master->ExtWriteBlock(0, kTimeoutMs, kUnit, 1, address + 2, 8, digest), 0);
    writeHolding(34, static_cast<uint16_t>(readHolding(34) | 0x00FF));
    const uint16_t length[2] = {0, 251};
    ASSERT_EQ(master->ExtWriteBlock(0, kTimeoutMs, kUnit, 1, 0, 2, length), 0);
    ASSERT_NE(readHolding(34) & 0x00FF, 0) << "auto start equipped";
    writeHolding(runRegister - 1, static_cast<uint16_t>(readHolding(runRegister - 1) | 0x00FF));

    // The module information view finds the digest behind the stored length.
    uint16_t stored[2] = {};
    ASSERT_EQ(master->ExtReadBlock(kTimeoutMs, kUnit, 1, 0, 2, stored), 2);
    uint32_t words = uint32_t{stored[0]} << 16 | stored[1];
    uint16_t readDigest[8] = {};
    ASSERT_EQ(master->ExtReadBlock(kTimeoutMs, kUnit, 1, words * 2 + 4, 8, readDigest), 8);
    EXPECT_TRUE(std::equal(std::begin(digest), std::end(digest), readDigest));

    StateDump dump = finalDump();
    auto flash = dump.channelFlash(1);
    EXPECT_EQ(std::vector<uint16_t>(flash.begin() + 2, flash.begin() + 252), payload);
    EXPECT_EQ(flash[252], crc);
    EXPECT_EQ(dump.holding(32), 0xFFFF) << "both programs run again";
    EXPECT_EQ(dump.holding(34), 0x00FF);
    EXPECT_EQ(dump.status(1), 0x8000);
}

TEST_F(ModuleSequence, FileRecordDownloadAcrossChannelTwosUpperPart) {
    // Erase for an object above 0x20000 bytes, verify, then the capability record.
    writeHolding(8173, 0xB2B2);
    writeHolding(8173, 0xB3B3);
    uint16_t record0 = 0;
    ASSERT_EQ(master->ReadFileRecord(kTimeoutMs, kUnit, 512, 1, 0, &record0), 1);
    EXPECT_EQ(record0, 0xFFFF);
    uint16_t capability[10] = {};
    ASSERT_EQ(master->ReadFileRecord(kTimeoutMs, kUnit, 1792, 10, 0, capability), 10);
    EXPECT_TRUE(std::all_of(capability, capability + 7, [](uint16_t w) { return w == 0xFFFF; }));

    // Records 65501 (35 words), then 65536 as record 0 of file 1792.
    std::vector<uint16_t> words(100, 0xA5A5);
    ASSERT_EQ(master->WriteFileRecord(kTimeoutMs, kUnit, 512, 35, 65501, words.data()), 0);
    ASSERT_EQ(master->WriteFileRecord(kTimeoutMs, kUnit, 1792, 100, 0, words.data()), 0);
    const uint16_t total = 0x1234;
    ASSERT_EQ(master->WriteFileRecord(kTimeoutMs, kUnit, 512, 1, 0, &total), 0);

    StateDump dump = finalDump();
    auto flash = dump.channelFlash(2);
    ASSERT_EQ(flash.size(), 131072u);
    EXPECT_EQ(flash[0], 0x1234);
    EXPECT_EQ(flash[65500], 0xFFFF);
    EXPECT_EQ(flash[65501], 0xA5A5);
    EXPECT_EQ(flash[65535], 0xA5A5);
    EXPECT_EQ(flash[65536 + 99], 0xA5A5);
    EXPECT_EQ(flash[65536 + 100], 0xFFFF);
}

TEST_F(ModuleSequence, FlashBackupAndRestoreCoverBothFiles) {
    // Restore: erase each file with one word 0, then 64-word records up to 4032.
    const uint16_t zero = 0;
    ASSERT_EQ(master->WriteFileRecord(kTimeoutMs, kUnit, 2560, 1, 0, &zero), 0);
    ASSERT_EQ(master->WriteFileRecord(kTimeoutMs, kUnit, 2816, 1, 0, &zero), 0);
    std::vector<uint16_t> image(8192);
    std::iota(image.begin(), image.end(), uint16_t{0});
    for (uint16_t offset = 0; offset < 4096; offset += 64) {
        ASSERT_EQ(master->WriteFileRecord(kTimeoutMs, kUnit, 2560, 64, offset, &image[offset]), 0);
        ASSERT_EQ(
            master->WriteFileRecord(kTimeoutMs, kUnit, 2816, 64, offset, &image[4096 + offset]), 0);
    }
    // Backup reads it all back.
    std::vector<uint16_t> backup(8192);
    for (uint16_t offset = 0; offset < 4096; offset += 64) {
        ASSERT_EQ(master->ReadFileRecord(kTimeoutMs, kUnit, 2560, 64, offset, &backup[offset]), 64);
        ASSERT_EQ(
            master->ReadFileRecord(kTimeoutMs, kUnit, 2816, 64, offset, &backup[4096 + offset]),
            64);
    }
    EXPECT_EQ(backup, image);
    uint16_t beyond = 0;
    EXPECT_LT(master->ReadFileRecord(kTimeoutMs, kUnit, 2560, 64, 4096, &beyond), 0);
    EXPECT_EQ(finalDump().channelFlash(11)[4095], 8191);
}

TEST_F(ModuleSequence, ModuleIdentificationAndCommunicationBlock) {
    uint16_t name[11] = {};
    ASSERT_EQ(readHolding(8187) & 0xFFF0, 0x9990);
    ASSERT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 11, 8176, name), 11);
    EXPECT_EQ(name[0], ('K' << 8) | 'R');
    uint16_t serial[2] = {};
    ASSERT_EQ(master->ReadFileRecord(kTimeoutMs, kUnit, 128, 2, 532, serial), 2);
    EXPECT_EQ((int32_t{serial[0]} << 16) | serial[1], 1234567);
    uint16_t application[13] = {};
    ASSERT_EQ(master->ReadFileRecord(kTimeoutMs, kUnit, 256, 13, 1, application), 13);

    uint16_t block[26] = {};
    ASSERT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 26, 37, block), 26);
    EXPECT_EQ(block[0], 0x8D01) << "drop 1, 9600 baud, no parity";
    block[0] = 0x1105;
    ASSERT_EQ(master->WriteRegisters(kTimeoutMs, kUnit, 26, 37, block), 0);
    EXPECT_EQ(finalDump().holding(37), 0x1105);
}

}  // namespace
}  // namespace krtsim
