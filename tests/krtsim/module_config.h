#pragma once

// What a krtsim run simulates: the module's identity and spaces, and how the simulator
// itself is reached and observed. Filled from the command line or a config file.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fault_plan.h"

namespace krtsim {

// The application channels: 1, 2, and F1 and F2 as the downloader numbers them.
inline constexpr int kChannelF1 = 10;
inline constexpr int kChannelF2 = 11;
inline constexpr int kChannels[] = {1, 2, kChannelF1, kChannelF2};

struct ChannelConfig {
    uint32_t spaceBytes = 0;  // answered by the 0x42 space-size read
    uint32_t codeBase = 0;    // answered by the 0x42 base-address read
    uint32_t dataBase = 0;
    uint32_t hookBase = 0;
};

struct ModuleConfig {
    uint16_t identity = 0x9991;
    std::string name = "KRT-2000 03Dec2020";  // module name with its firmware date
    int32_t serial = 1234567;
    uint16_t writeProtectBits = 0;  // register 35: 0x0002 channel 1, 0x0008 channel 2
    bool autoStartEquipped = true;
    bool oldModule = false;  // no upper part of channel 2, so no capability record
    int statusPolls = 2;     // status reads that still show bit 15 after a stop
    int haltMs = 0;          // > 0: bit 15 clears this long after a stop, however often read
    std::set<int> statusStuck;
    std::map<int, ChannelConfig> channels = defaultChannels();
    std::map<int, uint16_t> presetRegisters;  // holding registers set at start

    static std::map<int, ChannelConfig> defaultChannels();
};

enum class ServerMode { None, Tcp, Rtu, Ascii };

struct RunConfig {
    ModuleConfig module;
    ServerMode mode = ServerMode::None;
    std::string tcpHost = "127.0.0.1";
    uint16_t tcpPort = 0;  // 0: any free port, reported on the ready line
    std::string linkPath;  // a symbolic link made to the pty
    std::string logPath;   // "-" for standard output
    std::string dumpPath;
    int unit = -1;  // -1: answer every unit
    std::vector<FaultRule> faults;
};

// Parses krtsim's arguments (without the program name). On failure returns nothing and
// sets error.
std::optional<RunConfig> parseArguments(const std::vector<std::string>& args, std::string& error);

// The option summary printed by --help.
const char* usageText();

// "1", "2", "F1", "F2", "10", "11" to the channel number; -1 otherwise.
int parseChannel(const std::string& text);

}  // namespace krtsim
