#include "krt_module.h"

#include <algorithm>

namespace krtsim {
namespace {

constexpr uint32_t kFilePartWords = 65536;
constexpr int kCommBlockFirst = 37;
constexpr int kStatusRegisterBase = 40;  // + channel: the channel's status-register number
constexpr int kInfoFileRecords = 1024;

// The communication block a module leaves the factory with: both serial ports drop 1,
// 9600 baud, no parity; Ethernet drop 1; status registers 1 and 3; 192.168.1.10/24; port 502.
constexpr uint16_t kDefaultCommBlock[26] = {
    0x8D01, 0x8D01, 0, 1,   1,   3, 0, 0, 192, 168, 1, 10, 255,
    255,    255,    0, 192, 168, 1, 1, 0, 0,   0,   0, 0,  502,
};

uint16_t channelByteMask(int channel) {
    return static_cast<uint16_t>(0xFF << (8 * (channel - 1)));
}

}  // namespace

KrtModule::KrtModule(const ModuleConfig& config) : config_(config), holding_(kPlainRegisters, 0) {
    for (const auto& [channel, channelConfig] : config_.channels) {
        uint32_t words = (channelConfig.spaceBytes + 4 + 1) / 2;
        if (channel == 2 && config_.oldModule)
            words = std::min(words, kFilePartWords);
        spaces_[channel] = {channelConfig, std::vector<uint16_t>(words, 0xFFFF),
                            std::vector<uint16_t>(words, 0xFFFF)};
    }
    holding_[kRunRegisterNumber] = kRunRegisterNumber;
    holding_[kRunRegisterNumber - 1] = 0xFFFF;  // both channels' programs run
    holding_[kWriteProtectRegister] = config_.writeProtectBits;
    std::copy(std::begin(kDefaultCommBlock), std::end(kDefaultCommBlock),
              holding_.begin() + kCommBlockFirst);
    for (const auto& [address, value] : config_.presetRegisters)
        if (address < kPlainRegisters)
            holding_[address] = value;
    for (int channel : {1, 2})
        run_[channel] = {};
    updateRunStates();
}

bool KrtModule::holdingMapped(int address) const {
    return (address >= 0 && address < kPlainRegisters) ||
           (address >= kCommandRegister && address <= kIdentityRegister);
}

bool KrtModule::holdingWritable(int address) const {
    return (address >= 0 && address < kPlainRegisters && address != kWriteProtectRegister) ||
           address == kCommandRegister;
}

int KrtModule::runRegister() const {
    int number = holding_[kRunRegisterNumber];
    if (number < 1 || number > 2048)
        number = kRunRegisterNumber;
    return number - 1;
}

// Status-register numbers 1..32 name input registers, 33..2080 holding registers.
int KrtModule::statusChannelAt(int address, bool input) const {
    for (int channel : {1, 2}) {
        int number = holding_[kStatusRegisterBase + channel];
        bool inputNumber = number >= 1 && number <= 32;
        bool holdingNumber = number >= 33 && number <= 2080;
        if (input ? inputNumber && address == number - 1 : holdingNumber && address == number - 33)
            return channel;
    }
    return 0;
}

uint16_t KrtModule::statusWord(int channel) const {
    auto state = run_.find(channel);
    return state != run_.end() && state->second.statusBit ? 0x8000 : 0x0000;
}

uint16_t KrtModule::pollStatus(int channel) {
    RunState& state = run_[channel];
    if (!state.running && state.statusBit && !config_.statusStuck.count(channel)) {
        if (config_.haltMs > 0) {
            const auto elapsed = std::chrono::steady_clock::now() - state.stoppedAt;
            state.statusBit = elapsed < std::chrono::milliseconds(config_.haltMs);
        } else if (state.pollsLeft > 0) {
            --state.pollsLeft;
        } else {
            state.statusBit = false;
        }
    }
    return statusWord(channel);
}

void KrtModule::updateRunStates() {
    uint16_t runWord = holding_[runRegister()];
    for (int channel : {1, 2}) {
        RunState& state = run_[channel];
        bool running = (runWord & channelByteMask(channel)) != 0;
        if (running) {
            state.statusBit = true;
        } else if (state.running) {
            state.pollsLeft = config_.statusPolls;
            state.stoppedAt = std::chrono::steady_clock::now();
        }
        state.running = running;
    }
}

uint16_t KrtModule::holdingValue(int address) {
    if (int channel = statusChannelAt(address, false))
        return pollStatus(channel);
    if (address == kAutoStartRegister && !config_.autoStartEquipped)
        return 0;
    if (address < kPlainRegisters)
        return holding_[address];
    if (address == kIdentityRegister)
        return config_.identity;
    int nameIndex = (address - kNameRegister) * 2;
    if (nameIndex < 0 || nameIndex >= 20)
        return 0;
    std::string name = config_.name;
    name.resize(20, ' ');
    return static_cast<uint16_t>(static_cast<uint8_t>(name[nameIndex]) << 8 |
                                 static_cast<uint8_t>(name[nameIndex + 1]));
}

uint8_t KrtModule::readHolding(int start, int count, std::vector<uint16_t>& out) {
    if (count < 1 || count > 125)
        return kIllegalDataValue;
    for (int address = start; address < start + count; ++address)
        if (!holdingMapped(address))
            return kIllegalDataAddress;
    out.clear();
    for (int address = start; address < start + count; ++address)
        out.push_back(holdingValue(address));
    return kNoException;
}

uint8_t KrtModule::readInput(int start, int count, std::vector<uint16_t>& out) {
    if (count < 1 || count > 125)
        return kIllegalDataValue;
    if (start < 0 || start + count > kPlainRegisters)
        return kIllegalDataAddress;
    out.clear();
    for (int address = start; address < start + count; ++address) {
        int channel = statusChannelAt(address, true);
        out.push_back(channel ? pollStatus(channel) : 0);
    }
    return kNoException;
}

uint8_t KrtModule::writeHolding(int start, const std::vector<uint16_t>& values) {
    int count = static_cast<int>(values.size());
    for (int address = start; address < start + count; ++address)
        if (!holdingWritable(address))
            return kIllegalDataAddress;
    for (int i = 0; i < count; ++i)
        if (start + i == kCommandRegister) {
            if (uint8_t refused = runCommand(values[i]))
                return refused;
        } else {
            storeHolding(start + i, values[i]);
        }
    updateRunStates();
    return kNoException;
}

void KrtModule::storeHolding(int address, uint16_t value) {
    if (address == kAutoStartRegister && !config_.autoStartEquipped)
        return;
    holding_[address] = value;
}

uint8_t KrtModule::runCommand(uint16_t command) {
    switch (command) {
        case 0xB1B1:
            if (!flashProtected(1))
                eraseWords(spaces_[1].flash, 0, spaces_[1].flash.size());
            return kNoException;
        case 0xB2B2:
            if (!flashProtected(2))
                eraseWords(spaces_[2].flash, 0, spaces_[2].flash.size());
            return kNoException;
        case 0xB3B3:
            if (!flashProtected(2))
                eraseWords(spaces_[2].flash, kFilePartWords, spaces_[2].flash.size());
            return kNoException;
        default:
            return kIllegalDataValue;
    }
}

bool KrtModule::flashProtected(int channel) const {
    uint16_t bits = holding_[kWriteProtectRegister];
    return (channel == 1 && (bits & 0x0002)) || (channel == 2 && (bits & 0x0008));
}

void KrtModule::eraseWords(std::vector<uint16_t>& words, uint32_t first, uint32_t end) {
    if (first < end && end <= words.size())
        std::fill(words.begin() + first, words.begin() + end, 0xFFFF);
}

bool KrtModule::fileWindow(int file, FileWindow& window) const {
    int channel = 0;
    uint32_t first = 0;
    switch (file) {
        case 256:
            channel = 1;
            break;
        case 512:
            channel = 2;
            break;
        case 1792:
            channel = 2;
            first = kFilePartWords;
            break;
        case 2560:
            channel = kChannelF1;
            break;
        case 2816:
            channel = kChannelF2;
            break;
        default:
            return false;
    }
    auto space = spaces_.find(channel);
    if (space == spaces_.end() || space->second.flash.size() <= first)
        return false;
    window = {channel, first,
              std::min<uint32_t>(kFilePartWords,
                                 static_cast<uint32_t>(space->second.flash.size()) - first)};
    return true;
}

uint8_t KrtModule::readFile(int file, int record, int length, std::vector<uint16_t>& out) const {
    if (length < 1 || length > 124)
        return kIllegalDataValue;
    out.clear();
    if (file == kInfoFile) {
        if (record + length > kInfoFileRecords)
            return kIllegalDataAddress;
        for (int r = record; r < record + length; ++r)
            out.push_back(r == kSerialRecord       ? static_cast<uint16_t>(config_.serial >> 16)
                          : r == kSerialRecord + 1 ? static_cast<uint16_t>(config_.serial)
                                                   : 0);
        return kNoException;
    }
    FileWindow window;
    if (!fileWindow(file, window) || static_cast<uint32_t>(record + length) > window.words)
        return kIllegalDataAddress;
    const auto& flash = spaces_.at(window.channel).flash;
    auto first = flash.begin() + window.firstWord + record;
    out.assign(first, first + length);
    return kNoException;
}

uint8_t KrtModule::writeFile(int file, int record, const std::vector<uint16_t>& values) {
    if (values.empty() || values.size() > 123)
        return kIllegalDataValue;
    FileWindow window;
    if (!fileWindow(file, window) || record + values.size() > window.words)
        return kIllegalDataAddress;
    if (flashProtected(window.channel))
        return kNoException;
    auto& flash = spaces_[window.channel].flash;
    if (record == 0 && values.size() == 1 && values[0] == 0) {
        eraseWords(flash, window.firstWord, window.firstWord + window.words);
    } else {
        std::copy(values.begin(), values.end(), flash.begin() + window.firstWord + record);
    }
    return kNoException;
}

uint8_t KrtModule::erase(int channel, bool ram) {
    auto space = spaces_.find(channel);
    if (space == spaces_.end())
        return kIllegalDataAddress;
    auto& words = ram ? space->second.ram : space->second.flash;
    if (ram || !flashProtected(channel))
        eraseWords(words, 0, words.size());
    return kNoException;
}

uint8_t KrtModule::writeBlock(int channel, bool ram, uint32_t address,
                              const std::vector<uint16_t>& words) {
    auto space = spaces_.find(channel);
    if (space == spaces_.end())
        return kIllegalDataAddress;
    if (address % 2 != 0 || words.empty())
        return kIllegalDataValue;
    auto& target = ram ? space->second.ram : space->second.flash;
    uint64_t first = address / 2;
    if (first + words.size() > target.size())
        return kIllegalDataAddress;
    if (ram || !flashProtected(channel))
        std::copy(words.begin(), words.end(), target.begin() + first);
    return kNoException;
}

uint8_t KrtModule::readBlock(int channel, uint32_t address, int count,
                             std::vector<uint16_t>& out) const {
    auto space = spaces_.find(channel);
    if (space == spaces_.end())
        return kIllegalDataAddress;
    if (address % 2 != 0 || count < 1 || count > 125)
        return kIllegalDataValue;
    const auto& flash = space->second.flash;
    uint64_t first = address / 2;
    if (first + count > flash.size())
        return kIllegalDataAddress;
    out.assign(flash.begin() + first, flash.begin() + first + count);
    return kNoException;
}

uint8_t KrtModule::spaceSize(int channel, uint32_t& bytes) const {
    auto space = spaces_.find(channel);
    if (space == spaces_.end())
        return kIllegalDataAddress;
    bytes = space->second.config.spaceBytes;
    return kNoException;
}

uint8_t KrtModule::blockBases(int channel, uint32_t bases[3]) const {
    auto space = spaces_.find(channel);
    if (space == spaces_.end())
        return kIllegalDataAddress;
    bases[0] = space->second.config.codeBase;
    bases[1] = space->second.config.dataBase;
    bases[2] = space->second.config.hookBase;
    return kNoException;
}

std::map<int, uint16_t> KrtModule::holdingSnapshot() const {
    std::map<int, uint16_t> registers;
    for (int address = 0; address < kPlainRegisters; ++address)
        if (holding_[address] != 0)
            registers[address] = holding_[address];
    return registers;
}

}  // namespace krtsim
