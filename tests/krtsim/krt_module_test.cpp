#include "krt_module.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace krtsim {
namespace {

using Words = std::vector<uint16_t>;

uint16_t readOne(KrtModule& module, int address) {
    Words out;
    EXPECT_EQ(module.readHolding(address, 1, out), kNoException) << "register " << address;
    return out.empty() ? 0 : out[0];
}

Words fileWords(const KrtModule& module, int file, int record, int length) {
    Words out;
    EXPECT_EQ(module.readFile(file, record, length, out), kNoException) << "file " << file;
    return out;
}

TEST(KrtModule, AnswersItsIdentityNameAndSerialNumber) {
    ModuleConfig config;
    config.identity = 0x999F;
    config.name = "KRT-4 05Jan2021";
    config.serial = 0x00012345;
    KrtModule module(config);
    Words name;
    ASSERT_EQ(module.readHolding(kNameRegister, 11, name), kNoException);
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += {static_cast<char>(name[i] >> 8), static_cast<char>(name[i] & 0xFF)};
    EXPECT_EQ(text, "KRT-4 05Jan2021     ");
    EXPECT_EQ(name[10], 0);
    EXPECT_EQ(readOne(module, kIdentityRegister), 0x999F);
    EXPECT_EQ(fileWords(module, kInfoFile, kSerialRecord, 2), (Words{0x0001, 0x2345}));
}

TEST(KrtModule, RefusesRegistersItDoesNotHave) {
    KrtModule module{ModuleConfig{}};
    struct Case {
        int start, count;
        uint8_t exception;
    };
    const Case reads[] = {
        {2039, 10, kNoException},       {2040, 10, kIllegalDataAddress},
        {8172, 2, kIllegalDataAddress}, {8173, 15, kNoException},
        {8187, 2, kIllegalDataAddress}, {37, 0, kIllegalDataValue},
        {0, 126, kIllegalDataValue},
    };
    for (const auto& c : reads) {
        Words out;
        EXPECT_EQ(module.readHolding(c.start, c.count, out), c.exception)
            << c.start << "+" << c.count;
    }
    EXPECT_EQ(module.writeHolding(kWriteProtectRegister, {0}), kIllegalDataAddress);
    EXPECT_EQ(module.writeHolding(kIdentityRegister, {0}), kIllegalDataAddress);
    EXPECT_EQ(module.writeHolding(kNameRegister, {0}), kIllegalDataAddress);
    EXPECT_EQ(module.writeHolding(kCommandRegister, {0x1234}), kIllegalDataValue);
    EXPECT_EQ(module.writeFile(kInfoFile, kSerialRecord, {1}), kIllegalDataAddress);
}

TEST(KrtModule, FileRecordKIsWordKOfTheChannelSpace) {
    KrtModule module{ModuleConfig{}};
    struct Case {
        int channel, file;
        uint32_t word;
    };
    const Case cases[] = {
        {1, 256, 2},           {2, 512, 7}, {2, 1792, 65536 + 3}, {kChannelF1, 2560, 4095},
        {kChannelF2, 2816, 1},
    };
    for (const auto& c : cases) {
        uint16_t value = static_cast<uint16_t>(0x1000 + c.file);
        ASSERT_EQ(module.writeBlock(c.channel, false, 2 * c.word, {value}), kNoException);
        EXPECT_EQ(fileWords(module, c.file, c.word % 65536, 1), Words{value}) << "file " << c.file;
        Words block;
        ASSERT_EQ(module.readBlock(c.channel, 2 * c.word, 1, block), kNoException);
        EXPECT_EQ(block, Words{value});
    }
}

TEST(KrtModule, OneWordZeroAtRecordZeroErasesTheFileOnly) {
    KrtModule module{ModuleConfig{}};
    ASSERT_EQ(module.writeFile(512, 5, {1, 2, 3}), kNoException);
    ASSERT_EQ(module.writeFile(1792, 0, {9}), kNoException);
    ASSERT_EQ(module.writeFile(512, 0, {0}), kNoException);
    EXPECT_EQ(fileWords(module, 512, 0, 8), Words(8, 0xFFFF));
    EXPECT_EQ(fileWords(module, 1792, 0, 1), Words{9}) << "the upper part is another file";

    // Record 0 with another value, or zero elsewhere, is data.
    ASSERT_EQ(module.writeFile(512, 0, {7}), kNoException);
    ASSERT_EQ(module.writeFile(512, 1, {0}), kNoException);
    ASSERT_EQ(module.writeFile(512, 0, {0, 0}), kNoException);
    EXPECT_EQ(fileWords(module, 512, 0, 3), (Words{0, 0, 0xFFFF}));
}

TEST(KrtModule, CommandRegisterErasesChannelTwoAndItsUpperPart) {
    KrtModule module{ModuleConfig{}};
    auto fill = [&] {
        ASSERT_EQ(module.writeFile(512, 1, {1}), kNoException);
        ASSERT_EQ(module.writeFile(1792, 0, {2, 2, 2, 2, 2, 2, 2}), kNoException);
    };
    fill();
    ASSERT_EQ(module.writeHolding(kCommandRegister, {0xB3B3}), kNoException);
    EXPECT_EQ(fileWords(module, 512, 1, 1), Words{1});
    EXPECT_EQ(fileWords(module, 1792, 0, 7), Words(7, 0xFFFF)) << "capability record after erase";

    fill();
    ASSERT_EQ(module.writeHolding(kCommandRegister, {0xB2B2}), kNoException);
    EXPECT_EQ(fileWords(module, 512, 1, 1), Words{0xFFFF});
    EXPECT_EQ(fileWords(module, 1792, 0, 7), Words(7, 0xFFFF));
    EXPECT_EQ(readOne(module, kCommandRegister), 0);
}

TEST(KrtModule, OldModuleHasNoUpperPartOfChannelTwo) {
    ModuleConfig config;
    config.oldModule = true;
    KrtModule module(config);
    Words out;
    EXPECT_EQ(module.readFile(1792, 0, 10, out), kIllegalDataAddress);
    EXPECT_EQ(module.writeBlock(2, false, 2 * 65536, {1}), kIllegalDataAddress);
    EXPECT_EQ(module.writeBlock(2, false, 2 * 65535, {1}), kNoException);
    EXPECT_EQ(module.writeHolding(kCommandRegister, {0xB3B3}), kNoException);
}

TEST(KrtModule, KeepsFlashAndRamApart) {
    KrtModule module{ModuleConfig{}};
    ASSERT_EQ(module.writeBlock(1, true, 4, {0xAAAA}), kNoException);
    ASSERT_EQ(module.writeBlock(1, false, 4, {0x5555}), kNoException);
    EXPECT_EQ(module.ram(1)[2], 0xAAAA);
    EXPECT_EQ(module.flash(1)[2], 0x5555);
    ASSERT_EQ(module.erase(1, true), kNoException);
    EXPECT_EQ(module.ram(1)[2], 0xFFFF);
    EXPECT_EQ(module.flash(1)[2], 0x5555);
    ASSERT_EQ(module.erase(1, false), kNoException);
    EXPECT_EQ(module.flash(1)[2], 0xFFFF);
}

TEST(KrtModule, WriteProtectedFlashAcknowledgesAndIgnoresWrites) {
    ModuleConfig config;
    config.writeProtectBits = 0x0002;
    KrtModule module(config);
    EXPECT_EQ(readOne(module, kWriteProtectRegister), 0x0002);
    ASSERT_EQ(module.writeBlock(2, false, 4, {0x2222}), kNoException);
    ASSERT_EQ(module.writeFile(256, 0, {0}), kNoException);
    ASSERT_EQ(module.writeFile(256, 3, {0x1234}), kNoException);
    ASSERT_EQ(module.writeBlock(1, false, 4, {0x1111}), kNoException);
    ASSERT_EQ(module.writeBlock(1, true, 4, {0x3333}), kNoException);
    EXPECT_EQ(module.flash(1)[2], 0xFFFF);
    EXPECT_EQ(module.flash(1)[3], 0xFFFF);
    EXPECT_EQ(module.ram(1)[2], 0x3333) << "RAM is not behind the switch";
    EXPECT_EQ(module.flash(2)[2], 0x2222);
}

TEST(KrtModule, BlockAccessChecksChannelAlignmentAndBounds) {
    ModuleConfig config;
    config.channels[1].spaceBytes = 12;  // 8 words with the length words
    KrtModule module(config);
    struct Case {
        int channel;
        uint32_t address;
        size_t words;
        uint8_t exception;
    };
    const Case cases[] = {
        {1, 0, 8, kNoException},        {1, 2, 8, kIllegalDataAddress},
        {1, 3, 1, kIllegalDataValue},   {3, 0, 1, kIllegalDataAddress},
        {0, 0, 1, kIllegalDataAddress}, {15, 0, 1, kIllegalDataAddress},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(module.writeBlock(c.channel, false, c.address, Words(c.words, 1)), c.exception)
            << "channel " << c.channel << " address " << c.address;
        Words out;
        EXPECT_EQ(module.readBlock(c.channel, c.address, static_cast<int>(c.words), out),
                  c.exception);
    }
    uint32_t size = 0, bases[3] = {};
    ASSERT_EQ(module.spaceSize(1, size), kNoException);
    EXPECT_EQ(size, 12u);
    ASSERT_EQ(module.blockBases(2, bases), kNoException);
    EXPECT_EQ(bases[0], ModuleConfig::defaultChannels()[2].codeBase);
    EXPECT_EQ(module.spaceSize(4, size), kIllegalDataAddress);
}

// The status word of a stopped channel keeps bit 15 for the configured number of polls.
TEST(KrtModule, StoppingAChannelClearsItsStatusBitAfterPolls) {
    ModuleConfig config;
    config.statusPolls = 2;
    KrtModule module(config);
    Words input;
    ASSERT_EQ(module.readInput(0, 3, input), kNoException);  // S 1 and 3: inputs 0 and 2
    EXPECT_EQ(input, (Words{0x8000, 0, 0x8000}));

    ASSERT_EQ(module.writeHolding(32, {0xFF00}), kNoException);  // stop channel 1
    Words seen;
    for (int poll = 0; poll < 4; ++poll) {
        ASSERT_EQ(module.readInput(0, 1, input), kNoException);
        seen.push_back(input[0]);
    }
    EXPECT_EQ(seen, (Words{0x8000, 0x8000, 0, 0}));
    EXPECT_EQ(module.statusWord(2), 0x8000);

    // Status register 40 of channel 2 puts its word at holding register 7.
    ASSERT_EQ(module.writeHolding(42, {40}), kNoException);
    ASSERT_EQ(module.writeHolding(32, {0x0000}), kNoException);
    seen.clear();
    for (int poll = 0; poll < 3; ++poll)
        seen.push_back(readOne(module, 7));
    EXPECT_EQ(seen, (Words{0x8000, 0x8000, 0}));

    ASSERT_EQ(module.writeHolding(32, {0x00FF}), kNoException);  // start channel 1
    EXPECT_EQ(module.statusWord(1), 0x8000);
}

// With a halt time the program halts that long after the stop, however often it is asked.
TEST(KrtModule, StoppedChannelHaltsAfterItsHaltTime) {
    ModuleConfig config;
    config.haltMs = 200;
    KrtModule module(config);
    const auto stopped = std::chrono::steady_clock::now();
    ASSERT_EQ(module.writeHolding(32, {0xFF00}), kNoException);  // stop channel 1
    Words input;
    for (int poll = 0; poll < 50; ++poll) {
        ASSERT_EQ(module.readInput(0, 1, input), kNoException);
        if (std::chrono::steady_clock::now() - stopped < std::chrono::milliseconds(150)) {
            EXPECT_EQ(input[0], 0x8000) << poll;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(220));
    ASSERT_EQ(module.readInput(0, 1, input), kNoException);
    EXPECT_EQ(input[0], 0);
}

TEST(KrtModule, RunRegisterFollowsRegister33AndStuckStatusNeverClears) {
    ModuleConfig config;
    config.statusPolls = 0;
    config.statusStuck = {2};
    config.presetRegisters = {{33, 100}, {99, 0xFFFF}};
    KrtModule module(config);
    ASSERT_EQ(module.writeHolding(32, {0}), kNoException);  // not the run register now
    EXPECT_EQ(module.statusWord(1), 0x8000);
    ASSERT_EQ(module.writeHolding(99, {0}), kNoException);
    Words input;
    for (int poll = 0; poll < 25; ++poll)
        ASSERT_EQ(module.readInput(0, 3, input), kNoException);
    EXPECT_EQ(input, (Words{0, 0, 0x8000}));
}

TEST(KrtModule, AutoStartBytesNeedTheEquipment) {
    for (bool equipped : {true, false}) {
        ModuleConfig config;
        config.autoStartEquipped = equipped;
        KrtModule module(config);
        ASSERT_EQ(module.writeHolding(kAutoStartRegister, {0xFF00}), kNoException);
        EXPECT_EQ(readOne(module, kAutoStartRegister), equipped ? 0xFF00 : 0) << equipped;
    }
}

}  // namespace
}  // namespace krtsim
