#include "module_config.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace krtsim {
namespace {

bool toNumber(const std::string& text, long& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 0);
    return *end == '\0';
}

// "CH=VALUE" with a channel on the left.
bool splitChannel(const std::string& text, int& channel, std::string& rest) {
    auto equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    channel = parseChannel(text.substr(0, equals));
    rest = text.substr(equals + 1);
    return channel > 0;
}

bool parseHostPort(const std::string& text, RunConfig& config) {
    auto colon = text.rfind(':');
    long port = 0;
    if (colon == std::string::npos || !toNumber(text.substr(colon + 1), port) || port < 0 ||
        port > 65535)
        return false;
    config.tcpHost = text.substr(0, colon);
    config.tcpPort = static_cast<uint16_t>(port);
    return true;
}

bool applyOption(RunConfig& config, const std::string& option, const std::string& value,
                 std::string& error, int depth);

bool readConfigFile(RunConfig& config, const std::string& path, std::string& error, int depth) {
    if (depth > 4) {
        error = "config files nest too deep";
        return false;
    }
    std::ifstream file(path);
    if (!file) {
        error = "cannot read config file " + path;
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        line = line.substr(start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        auto blank = line.find(' ');
        std::string option = "--" + line.substr(0, blank);
        std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (!applyOption(config, option, value, error, depth + 1))
            return false;
    }
    return true;
}

bool applyOption(RunConfig& config, const std::string& option, const std::string& value,
                 std::string& error, int depth) {
    ModuleConfig& module = config.module;
    long number = 0;
    bool numeric = toNumber(value, number);
    int channel = 0;
    std::string rest;
    auto bad = [&]() {
        error = "bad value '" + value + "' for " + option;
        return false;
    };
    if (option == "--tcp") {
        config.mode = ServerMode::Tcp;
        return parseHostPort(value, config) || bad();
    } else if (option == "--rtu") {
        config.mode = ServerMode::Rtu;
    } else if (option == "--ascii") {
        config.mode = ServerMode::Ascii;
    } else if (option == "--link") {
        config.linkPath = value;
    } else if (option == "--log") {
        config.logPath = value;
    } else if (option == "--dump") {
        config.dumpPath = value;
    } else if (option == "--config") {
        return readConfigFile(config, value, error, depth);
    } else if (option == "--unit") {
        if (!numeric || number < 0 || number > 255)
            return bad();
        config.unit = static_cast<int>(number);
    } else if (option == "--identity") {
        if (!numeric || number < 0 || number > 0xFFFF)
            return bad();
        module.identity = static_cast<uint16_t>(number);
    } else if (option == "--name") {
        if (value.size() > 20)
            return bad();
        module.name = value;
    } else if (option == "--serial") {
        if (!numeric)
            return bad();
        module.serial = static_cast<int32_t>(number);
    } else if (option == "--protect") {
        channel = parseChannel(value);
        if (channel != 1 && channel != 2)
            return bad();
        module.writeProtectBits |= channel == 1 ? 0x0002 : 0x0008;
    } else if (option == "--no-autostart") {
        module.autoStartEquipped = false;
    } else if (option == "--old-module") {
        module.oldModule = true;
    } else if (option == "--status-polls") {
        if (!numeric || number < 0)
            return bad();
        module.statusPolls = static_cast<int>(number);
    } else if (option == "--halt-ms") {
        if (!numeric || number < 1 || number > 600000)
            return bad();
        module.haltMs = static_cast<int>(number);
    } else if (option == "--status-stuck") {
        channel = parseChannel(value);
        if (channel != 1 && channel != 2)
            return bad();
        module.statusStuck.insert(channel);
    } else if (option == "--space") {
        if (!splitChannel(value, channel, rest) || !toNumber(rest, number) || number < 0 ||
            number > 0x3FFFFC)
            return bad();
        module.channels[channel].spaceBytes = static_cast<uint32_t>(number);
    } else if (option == "--bases") {
        std::stringstream parts;
        if (!splitChannel(value, channel, rest))
            return bad();
        parts.str(rest);
        uint32_t* targets[] = {&module.channels[channel].codeBase,
                               &module.channels[channel].dataBase,
                               &module.channels[channel].hookBase};
        for (uint32_t* target : targets) {
            std::string part;
            if (!std::getline(parts, part, ','))
                return bad();
            char* end = nullptr;
            unsigned long base = std::strtoul(part.c_str(), &end, 0);
            if (part.empty() || *end != '\0')
                return bad();
            *target = static_cast<uint32_t>(base);
        }
    } else if (option == "--reg") {
        auto equals = value.find('=');
        long address = 0;
        if (equals == std::string::npos || !toNumber(value.substr(0, equals), address) ||
            !toNumber(value.substr(equals + 1), number) || address < 0 || address > 0xFFFF ||
            number < 0 || number > 0xFFFF)
            return bad();
        module.presetRegisters[static_cast<int>(address)] = static_cast<uint16_t>(number);
    } else if (option == "--fault") {
        auto rule = parseFaultRule(value, error);
        if (!rule)
            return false;
        config.faults.push_back(*rule);
    } else {
        error = "unknown option " + option;
        return false;
    }
    return true;
}

bool takesValue(const std::string& option) {
    return option != "--rtu" && option != "--ascii" && option != "--no-autostart" &&
           option != "--old-module";
}

}  // namespace

std::map<int, ChannelConfig> ModuleConfig::defaultChannels() {
    return {
        {1, {0x1FFFC, 0x00100004, 0x00180000, 0x001C0000}},
        {2, {0x3FFFC, 0x00200004, 0x00280000, 0x002C0000}},
        {kChannelF1, {0x1FFC, 0x00300004, 0x00302000, 0x00303000}},
        {kChannelF2, {0x1FFC, 0x00310004, 0x00312000, 0x00313000}},
    };
}

int parseChannel(const std::string& text) {
    if (text == "F1" || text == "f1" || text == "10")
        return kChannelF1;
    if (text == "F2" || text == "f2" || text == "11")
        return kChannelF2;
    if (text == "1")
        return 1;
    if (text == "2")
        return 2;
    return -1;
}

std::optional<RunConfig> parseArguments(const std::vector<std::string>& args, std::string& error) {
    RunConfig config;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        std::string value;
        if (takesValue(option)) {
            if (i + 1 >= args.size()) {
                error = option + " needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (!applyOption(config, option, value, error, 0))
            return std::nullopt;
    }
    if (config.mode == ServerMode::None) {
        error = "choose one of --tcp HOST:PORT, --rtu, --ascii";
        return std::nullopt;
    }
    return config;
}

const char* usageText() {
    return "usage: krtsim (--tcp HOST:PORT | --rtu | --ascii) [options]\n"
           "  --tcp HOST:PORT      Modbus/TCP on HOST:PORT (PORT 0: any free port)\n"
           "  --rtu, --ascii       RTU or ASCII framing on a new pseudo-terminal\n"
           "  --link PATH          also make PATH a symbolic link to the pseudo-terminal\n"
           "  --log PATH           request log, one line per request (- for stdout)\n"
           "  --dump PATH          state dump, written at exit and on SIGUSR1\n"
           "  --config FILE        more options, one per line, without the leading --\n"
           "  --unit N             answer only unit N (default: every unit)\n"
           "  --identity WORD      identity register 8187 (default 0x9991)\n"
           "  --name TEXT          module name with firmware date (default \"KRT-2000 "
           "03Dec2020\")\n"
           "  --serial N           serial number (file 128, records 532-533)\n"
           "  --space CH=BYTES     application space size of channel 1, 2, F1 or F2\n"
           "  --bases CH=C,D,H     code, data and hook block base addresses\n"
           "  --protect CH         write-protect channel 1 or 2 (register 35)\n"
           "  --no-autostart       module not equipped for auto start (register 34 reads 0)\n"
           "  --old-module         no upper part of channel 2 and no capability record\n"
           "  --status-polls N     status reads still showing bit 15 after a stop (default "
           "2)\n"
           "  --halt-ms MS         a stopped program halts MS ms after the stop, however often\n"
           "                       its status is read (in place of --status-polls)\n"
           "  --status-stuck CH    bit 15 of channel CH's status never clears\n"
           "  --reg ADDR=VALUE     preset a holding register\n"
           "  --fault RULE         inject a fault, e.g. req=5,do=noreply or\n"
           "                       fc=3,do=exception,code=2,times=1 or "
           "fc=66,sub=0x20,do=late,ms=500\n"
           "                       or from=12,do=drop (every request from the 12th on)\n"
           "                       kinds: drop noreply late exception wrongfc badecho badcheck\n"
           "                       short split hold (sent on SIGUSR2, then \"krtsim released\"\n"
           "                       on standard output) fake (answered as done, not done)\n";
}

}  // namespace krtsim
