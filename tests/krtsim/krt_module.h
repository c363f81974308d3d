#pragma once

// The KRT module as the downloader sees it: holding and input registers, the Modbus files
// of its application channels, and the channels' spaces as function code 0x42 reaches them.
//
// Holding registers 0..2048 are plain memory except:
//   33      run-register number R; the run register is R - 1 (32 when R is outside 1..2048):
//           low byte channel 1, high byte channel 2, non-zero = program running
//   34      auto-start bytes (low channel 1, high channel 2); read as 0 and writes ignored
//           when the module is not equipped for auto start
//   35      write-protect bits, read-only: 0x0002 channel 1, 0x0008 channel 2
//   37..62  communication block (port words, Ethernet drop, status-register numbers at 41
//           and 42, IP address, mask, gateway, TCP port)
//   8173    command register: 0xB1B1 erases channel 1, 0xB2B2 channel 2 (both parts),
//           0xB3B3 the upper part of channel 2; reads 0
//   8176..8186  module name, two characters a register, high byte first (8186 reads 0)
//   8187    identity word
// A channel's status word (bit 15 set until its program has halted) is read at input
// register S - 1 for S 1..32, or at holding register S - 33 for S 33..2080, where S is the
// channel's status-register number in register 40 + channel.
//
// Files (one record is one word): 128 module information (serial number in records 532 and
// 533, high word first), 256 channel 1, 512 channel 2's lower 65536 words, 1792 channel 2's
// upper words (absent on an old module; its records 0..6 read 0xFFFF once erased, which is
// the capability record), 2560 F1 and 2816 F2 (also the flash files of backup and restore).
// Record k of a channel's file is word k of the channel's space, 0x42 byte address 2k.
// A one-word write of 0 to record 0 of a channel file erases that file to 0xFFFF.
//
// Function code 0x42 reaches channels 1, 2, F1 (10) and F2 (11): erase, block write and
// block read on the flash image (the same words as the files), erase and block write on a
// separate RAM image, the space size and the code, data and hook block bases. A channel's
// space holds (space size + 4) bytes: the length words in front of the application.
//
// Stopping a channel (clearing its run byte) leaves bit 15 set for the configured number of
// status reads, or for the configured time after the stop; starting it sets the bit again. A
// write-protected channel acknowledges flash writes and erases and ignores them, as the
// memory-protect switch does, so that the loaders' erase check finds the channel unerased.

#include <chrono>
#include <cstdint>
#include <map>
#include <vector>

#include "module_config.h"

namespace krtsim {

enum ExceptionCode : uint8_t {
    kNoException = 0,
    kIllegalFunction = 1,
    kIllegalDataAddress = 2,
    kIllegalDataValue = 3,
};

inline constexpr int kPlainRegisters = 2049;
inline constexpr int kRunRegisterNumber = 33;
inline constexpr int kAutoStartRegister = 34;
inline constexpr int kWriteProtectRegister = 35;
inline constexpr int kCommandRegister = 8173;
inline constexpr int kNameRegister = 8176;
inline constexpr int kIdentityRegister = 8187;
inline constexpr int kInfoFile = 128;
inline constexpr int kSerialRecord = 532;

class KrtModule {
  public:
    explicit KrtModule(const ModuleConfig& config);

    uint8_t readHolding(int start, int count, std::vector<uint16_t>& out);
    uint8_t writeHolding(int start, const std::vector<uint16_t>& values);
    uint8_t readInput(int start, int count, std::vector<uint16_t>& out);
    uint8_t readFile(int file, int record, int length, std::vector<uint16_t>& out) const;
    uint8_t writeFile(int file, int record, const std::vector<uint16_t>& values);

    // Function code 0x42; addresses are byte addresses within the channel's space.
    uint8_t erase(int channel, bool ram);
    uint8_t writeBlock(int channel, bool ram, uint32_t address, const std::vector<uint16_t>& words);
    uint8_t readBlock(int channel, uint32_t address, int count, std::vector<uint16_t>& out) const;
    uint8_t spaceSize(int channel, uint32_t& bytes) const;
    uint8_t blockBases(int channel, uint32_t bases[3]) const;

    // Observation, without the side effects of a Modbus read.
    std::map<int, uint16_t> holdingSnapshot() const;
    uint16_t statusWord(int channel) const;
    const std::vector<uint16_t>& flash(int channel) const { return spaces_.at(channel).flash; }
    const std::vector<uint16_t>& ram(int channel) const { return spaces_.at(channel).ram; }

  private:
    struct Space {
        ChannelConfig config;
        std::vector<uint16_t> flash;
        std::vector<uint16_t> ram;
    };
    struct RunState {
        bool running = false;
        bool statusBit = false;
        int pollsLeft = 0;
        std::chrono::steady_clock::time_point stoppedAt{};
    };
    // Where a file lies in a channel's space.
    struct FileWindow {
        int channel = 0;
        uint32_t firstWord = 0;
        uint32_t words = 0;
    };

    bool holdingMapped(int address) const;
    bool holdingWritable(int address) const;
    uint16_t holdingValue(int address);
    void storeHolding(int address, uint16_t value);
    uint8_t runCommand(uint16_t command);
    int runRegister() const;
    int statusChannelAt(int address, bool input) const;
    uint16_t pollStatus(int channel);
    void updateRunStates();
    bool flashProtected(int channel) const;
    bool fileWindow(int file, FileWindow& window) const;
    void eraseWords(std::vector<uint16_t>& words, uint32_t first, uint32_t count);

    ModuleConfig config_;
    std::vector<uint16_t> holding_;
    std::map<int, Space> spaces_;
    std::map<int, RunState> run_;
};

}  // namespace krtsim
