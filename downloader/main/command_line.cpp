#include "downloader/main/command_line.h"

#include <cctype>
#include <string_view>
#include <vector>

#include "downloader/channel_control.h"
#include "downloader/connection.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/main/decimal_text.h"
#include "downloader/main/number_rule.h"
#include "downloader/main/usage_dialog.h"
#include "downloader/settings.h"

namespace {

constexpr int64_t kLargestTimeoutTenths = INT32_MAX / 100;  // -T is in tenths of a second

// The numbers of the line. A run or status register of 0 asks the module for its own.
constexpr NumberRule kTcpPortRule{"TCP port", 0, 65535};
constexpr NumberRule kRetriesRule{"retry count (-C)", 0, INT32_MAX};
constexpr NumberRule kRunRegisterRule{"run control register (-R)", 0, kHighestRunRegister,
                                      "a whole number from 0 to 2048 (0: the module's own)"};
constexpr NumberRule kStatusRegisterRule{"status register (-S)", 0, kHighestStatusRegister,
                                         "a whole number from 0 to 2080 (0: the module's own)"};
constexpr NumberRule kTimeoutRule{"time-out (-T)", -kLargestTimeoutTenths, kLargestTimeoutTenths,
                                  "a whole number of tenths of a second, at most 21474836"};

// What was in force before parsing: a line that leaves these out keeps them.
struct SavedLink {
    int32_t drop = 0;
    int16_t channel = 0;
    std::string portName;
    std::string host;
    uint32_t tcpPort = 0;
    int32_t connectMode = 0;
};
SavedLink saved;
// Whether the line named a port or host; -F fills `portName` from the saved settings too.
bool portGiven = false;
// The first positional argument taken for the channel that gave none (its value was 0).
std::string channelMissed;
// The stored settings this line set (StoredSetting bits): all that an unattended run saves.
uint32_t lineSettings = 0;

void SaveLink() {
    const LinkSettings& link = linkSettings;
    saved.portName = link.portName;
    saved.host = link.host;
    saved.tcpPort = link.tcpPort;
    saved.connectMode = link.connectMode;
}

bool IsSeparator(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

}  // namespace

std::vector<std::string> SplitTokens(std::string& text) {
    std::vector<std::string> tokens;
    std::string unquoted;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSeparator(text[i]))
            unquoted += text[i++];
        if (i >= text.size())
            break;
        std::string token;
        bool quoted = false;
        while (i < text.size() && (quoted || !IsSeparator(text[i]))) {
            if (text[i] == '"') {
                quoted = !quoted;
            } else {
                token += text[i];
            }
            ++i;
        }
        unquoted += token;
        tokens.push_back(token);
    }
    text = unquoted;
    return tokens;
}

namespace {

int32_t Refuse() {
    loadOptions.unattended = 0;
    return 0;
}

// Arguments that do not fit their field are refused: a name cut short names another file or
// port, and a number that wrapped round names another register.
int32_t RefuseTooLong(const std::string& token) {
    ErrorBox("Parameter too long: %s", token.c_str());
    return Refuse();
}

int32_t RefuseNumber(const std::string& shown, std::string_view typed, const NumberRule& rule) {
    ErrorBox("%s", NumberRefusal(shown, typed, rule).c_str());
    return Refuse();
}

// A number argument is digits (after an optional sign) and nothing else: "-C", "-T5s" or a drop
// "l" would otherwise be read as 0 or 5 and act on a value the user never wrote. `token` is
// what the refusal shows: the whole switch, or the positional argument.
bool TakeNumber(const std::string& token, std::string_view argument, const NumberRule& rule,
                int64_t& value) {
    if (ReadWholeNumber(argument, rule, value))
        return true;
    RefuseNumber(token, argument, rule);
    return false;
}

// The channel as it was typed ("F3", "prog"), not the number it was read as.
int32_t RefuseChannel(const std::string& typed) {
    ErrorBox("Invalid channel %s. Must be 1..2. or F1..F2", typed.c_str());
    return Refuse();
}

bool UsableChannelNumber(int64_t channel) {
    return channel == 1 || channel == 2 || channel == 10 || channel == 11;
}

// "COM" with a port number and its ":", as long as that; 0 for any other name. COM10: and up
// are serial ports as much as COM1: is.
size_t SerialPortNameLength(const std::string& name) {
    if (name.compare(0, 3, "COM") != 0)
        return 0;
    size_t end = 3;
    while (end < name.size() && name[end] >= '0' && name[end] <= '9')
        ++end;
    return end > 3 && end < name.size() && name[end] == ':' ? end + 1 : 0;
}

int32_t TakePositional(const std::string& token) {
    LoadOptions& load = loadOptions;
    LinkSettings& link = linkSettings;
    if (load.channel == 0) {
        const bool flashChannel = token[0] == 'F' || token[0] == 'f';
        const DecimalText number = ReadDecimal(flashChannel ? token.substr(1) : token);
        const int64_t channel = number.value + (flashChannel ? 9 : 0);
        if (number.tooLarge || channel < INT16_MIN || channel > INT16_MAX)
            return RefuseChannel(token);
        if (channel == 0) {
            // The next positional argument is taken for the channel.
            if (channelMissed.empty())
                channelMissed = token;
            return 1;
        }
        // Refused now, before anything connects: no dialog would wait for a user in a batch.
        if (!UsableChannelNumber(channel))
            return RefuseChannel(token);
        load.channel = static_cast<int16_t>(channel);
        lineSettings |= kStoredChannel;
        return 1;
    }
    if (load.fileName.empty()) {
        if (token.size() > kMaxFileName)
            return RefuseTooLong(token);
        load.fileName = token;
        lineSettings |= kStoredFileName;
        return 1;
    }
    if (link.portName.empty()) {
        if (token.size() > kMaxPortName)
            return RefuseTooLong(token);
        link.portName = token;
        portGiven = true;
        return 1;
    }
    if (link.drop < 0) {
        int64_t drop = 0;
        if (!TakeNumber(token, token, kDropRule, drop))
            return 0;
        link.drop = static_cast<int32_t>(drop);
        lineSettings |= kStoredDrop;
        return 1;
    }
    ErrorBox("Too many parameters: %s", token.c_str());
    return Refuse();
}

// The text after ':' of a host argument is its TCP port; a port name is cut at the ':'.
int32_t TakeHost(std::string name) {
    LinkSettings& link = linkSettings;
    const size_t colon = name.find(':');
    if (colon != std::string::npos) {
        const std::string portText = name.substr(colon + 1);
        const DecimalText number = ReadDecimal(portText);
        if (number.hasDigits) {
            if (!DecimalInRange(number, kTcpPortRule.lowest, kTcpPortRule.highest))
                return RefuseNumber(name, portText, kTcpPortRule);
            link.tcpPort = static_cast<uint32_t>(number.value);
            lineSettings |= kStoredTcpPort;
        }
        name.resize(colon);
    }
    link.host = name;
    link.portName.clear();
    link.connectMode = kConnectTcp;
    lineSettings |= kStoredAddress | kStoredConnectMode;
    return 1;
}

// A port mode from -M or after a COM port's ":". An unattended line that cannot use it ends the
// program (0) as the other refusals do; an interactive one opens the dialog after the message.
int32_t TakePortMode(const std::string& text, bool unattendedLine) {
    if (ParsePortMode(text) == 0)
        return unattendedLine ? 0 : 1;
    lineSettings |= kStoredBaud | kStoredParity | kStoredData;
    return 1;
}

int32_t AfterTokens() {
    LoadOptions& load = loadOptions;
    LinkSettings& link = linkSettings;
    if (load.unattended == 0 && !load.fileName.empty())
        return 1;  // -F<file>
    if (load.channel == 0) {
        // Arguments were given for a download, but none of them is its channel.
        if (!channelMissed.empty())
            return RefuseChannel(channelMissed);
        load.unattended = 0;
        load.channel = saved.channel;
    }
    if (link.drop < 0)
        link.drop = saved.drop;
    const bool unattendedLine = load.unattended != 0;
    if (!load.portMode.empty() && TakePortMode(load.portMode, unattendedLine) == 0)
        return 0;
    if (!portGiven) {
        // No port named: the saved link stays, as the channel and the drop do.
        link.portName = saved.portName;
        link.host = saved.host;
        link.tcpPort = saved.tcpPort;
        link.connectMode = saved.connectMode;
        return 1;
    }
    for (char& c : link.portName)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (const size_t length = SerialPortNameLength(link.portName); length != 0) {
        lineSettings |= kStoredComPort | kStoredConnectMode;
        link.connectMode = kConnectSerial;
        if (link.portName.size() == length)
            return 1;
        // A mode after the ':', as in COM12:19200,E,8,1.
        const std::string port = link.portName.substr(0, length);
        if (!load.portMode.empty()) {
            ErrorBox("When using -M, don't provide setup information after %s", port.c_str());
            if (unattendedLine)
                return Refuse();
            load.unattended = 0;
        }
        const std::string mode = link.portName.substr(length);
        link.portName = port;
        return TakePortMode(mode, unattendedLine);
    }
    return TakeHost(link.portName);
}

}  // namespace

int32_t ParseSwitch(const std::string& token) {
    LoadOptions& load = loadOptions;
    LinkSettings& link = linkSettings;
    load.unattended = 1;
    if (token.empty())
        return 1;  // an empty pair of quotes names nothing
    if (token[0] != '-' && token[0] != '/')
        return TakePositional(token);

    const char letter = token.size() > 1
                            ? static_cast<char>(std::toupper(static_cast<unsigned char>(token[1])))
                            : '\0';
    const std::string argument = token.size() > 2 ? token.substr(2) : std::string();
    int64_t number = 0;
    switch (letter) {
        case '?':
        case 'H':
            RunUsageDialog(mainDialogWindow);
            return Refuse();
        case 'A':
            load.autoStart = 1;
            lineSettings |= kStoredAutoStart;
            return 1;
        case 'B':
            link.ascii = 1;
            lineSettings |= kStoredAscii;
            return 1;
        case 'C':
            if (!TakeNumber(token, argument, kRetriesRule, number))
                return 0;
            link.retries = static_cast<int32_t>(number);
            lineSettings |= kStoredRetries;
            return 1;
        case 'E':
            load.loadProgram = 0;
            load.eraseFlash = 1;
            lineSettings |= kStoredLoad | kStoredErase;
            return 1;
        case 'F':
            if (argument.size() > kMaxFileName)
                return RefuseTooLong(token);
            RestoreOverDefaults();
            SaveLink();  // the link just read is the one a line without a port keeps
            portGiven = false;
            channelMissed.clear();
            lineSettings = kStoredFileName;  // what came before went with the restore
            load.unattended = 0;
            load.fileName = argument;
            return 1;
        case 'M':
            if (argument.size() > kMaxPortMode)
                return RefuseTooLong(token);
            load.portMode = argument;
            return 1;
        case 'N':
            load.eraseFlash = 0;
            load.loadProgram = 1;
            lineSettings |= kStoredLoad | kStoredErase;
            return 1;
        case 'O':
            // A file without a user-code header is loaded as a raw object (never stored).
            load.rawObjects = 1;
            return 1;
        case 'P':
        case 'U':
            if (argument.size() > kMaxFileName)
                return RefuseTooLong(token);
            load.profileName = argument;
            if (letter == 'P')
                return 1;
            // -U: the profile holds the rest, and what came before goes with it.
            lineSettings = 0;
            return 0;
        // The registers are checked here, before anything connects.
        case 'R':
            if (!TakeNumber(token, argument, kRunRegisterRule, number))
                return 0;
            load.runRegister = static_cast<uint16_t>(number);
            lineSettings |= kStoredRun;
            return 1;
        case 'S':
            if (!TakeNumber(token, argument, kStatusRegisterRule, number))
                return 0;
            load.statusRegister = static_cast<uint16_t>(number);
            lineSettings |= kStoredStatus;
            return 1;
        case 'T': {
            if (!TakeNumber(token, argument, kTimeoutRule, number))
                return 0;
            const auto timeout = static_cast<int32_t>(number * 100);
            link.timeoutMs = timeout < kShortestTimeoutMs ? kShortestTimeoutMs : timeout;
            lineSettings |= kStoredTimeout;
            return 1;
        }
        case 'W':
            load.forceFlash = 1;
            lineSettings |= kStoredForceFlash;
            return 1;
        default:
            ErrorBox("Unrecognized switch: \"%s\"\n", token.c_str());
            return Refuse();
    }
}

int32_t ParseCommandLine(std::string& text) {
    LoadOptions& load = loadOptions;
    LinkSettings& link = linkSettings;
    saved.drop = link.drop;
    saved.channel = load.channel;
    SaveLink();
    portGiven = false;
    channelMissed.clear();
    lineSettings = 0;
    load.channel = 0;
    link.portName.clear();
    load.portMode.clear();
    load.fileName.clear();
    link.retries = 0;
    link.ascii = 0;
    link.drop = -1;

    for (const std::string& token : SplitTokens(text)) {
        if (ParseSwitch(token) == 0)
            return load.unattended;
    }
    return AfterTokens();
}

uint32_t CommandLineSettings() {
    return lineSettings;
}

namespace {

// Reads "%d,%c,%d,%d" and says how many fields were converted (-1: nothing but blanks).
struct PortModeFields {
    int converted = 0;
    int64_t baud = 0;
    char parity = 0;
    int64_t dataBits = 0;
    int64_t stopBits = 0;
};

PortModeFields ScanPortMode(std::string_view text) {
    PortModeFields fields;
    if (text.find_first_not_of(" \t\n\v\f\r") == std::string_view::npos) {
        fields.converted = -1;
        return fields;
    }
    // A decimal field; false when it has no digits or does not fit an int.
    const auto number = [&text](int64_t& value) {
        const DecimalText read = ReadDecimal(text);
        if (!read.hasDigits || !DecimalInRange(read, INT32_MIN, INT32_MAX))
            return false;
        value = read.value;
        text.remove_prefix(read.end);
        return true;
    };
    const auto comma = [&text]() {
        if (text.empty() || text[0] != ',')
            return false;
        text.remove_prefix(1);
        return true;
    };
    if (!number(fields.baud))
        return fields;
    fields.converted = 1;
    if (!comma() || text.empty())
        return fields;
    fields.parity = text[0];
    text.remove_prefix(1);
    fields.converted = 2;
    if (!comma() || !number(fields.dataBits))
        return fields;
    fields.converted = 3;
    if (!comma() || !number(fields.stopBits))
        return fields;
    fields.converted = 4;
    return fields;
}

}  // namespace

int32_t ParsePortMode(const std::string& text) {
    LinkSettings& link = linkSettings;
    const PortModeFields fields = ScanPortMode(text);
    // The port takes 7 or 8 data bits and sends one stop bit: another count would be taken and
    // then not used. Data bits are taken as far as the scan got, as long as they are usable.
    const bool dataBitsUsable = fields.dataBits == 7 || fields.dataBits == 8;
    if (fields.converted >= 3 && dataBitsUsable)
        link.dataBits = static_cast<int32_t>(fields.dataBits);
    if (fields.converted < 4) {
        ErrorBox("Bad port settings: \"%s\" (%d)\n", text.c_str(), fields.converted);
        return Refuse();
    }
    int32_t baudIndex = -1;
    for (int32_t i = 0; BaudTable[i] != 0; ++i) {
        if (fields.baud == BaudTable[i]) {
            baudIndex = i;
            break;
        }
    }
    if (baudIndex < 0) {
        ErrorBox("Invalid baud rate in port settings: \"%s\" ", text.c_str());
        return Refuse();
    }
    link.baudIndex = baudIndex;
    switch (fields.parity) {
        case 'E':
        case 'e':
            link.parity = 1;
            break;
        case 'N':
        case 'n':
            link.parity = 0;
            break;
        case 'O':
        case 'o':
            link.parity = 2;
            break;
        default:
            ErrorBox("Invalid parity in port settings: \"%s\" ", text.c_str());
            return Refuse();
    }
    if (!dataBitsUsable) {
        ErrorBox("Invalid data bits in port settings: \"%s\" (7 or 8)", text.c_str());
        return Refuse();
    }
    if (fields.stopBits != 1) {
        ErrorBox("Invalid stop bits in port settings: \"%s\" (the port sends 1)", text.c_str());
        return Refuse();
    }
    loadOptions.stopBits = 1;
    return 1;
}
