#include "downloader/main/command_line.h"

#include <cctype>
#include <string_view>
#include <vector>

#include "downloader/connection.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/main/decimal_text.h"
#include "downloader/main/usage_dialog.h"
#include "downloader/settings.h"

namespace {

constexpr int64_t kLargestTimeoutTenths = INT32_MAX / 100;  // -T is in tenths of a second
constexpr int32_t kShortestTimeoutMs = 500;

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
// Whether a positional argument was taken for the channel and gave none (its value was 0).
bool channelMissed = false;
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

int32_t RefuseRange(const std::string& token) {
    ErrorBox("Parameter out of range: %s", token.c_str());
    return Refuse();
}

int32_t RefuseChannel(int32_t channel) {
    ErrorBox("Invalid channel %d. Must be 1..2. or F1..F2", static_cast<int>(channel));
    return Refuse();
}

bool UsableChannelNumber(int64_t channel) {
    return channel == 1 || channel == 2 || channel == 10 || channel == 11;
}

// A number argument is digits (after an optional sign) and nothing else: "-C" or "-T5s" would
// otherwise be read as 0 or 5 and act on a value the user never wrote.
bool WholeNumber(const DecimalText& number, std::string_view text) {
    return number.hasDigits && number.end == text.size();
}

int32_t TakePositional(const std::string& token) {
    LoadOptions& load = loadOptions;
    LinkSettings& link = linkSettings;
    if (load.channel == 0) {
        const bool flashChannel = token[0] == 'F' || token[0] == 'f';
        const DecimalText number = ReadDecimal(flashChannel ? token.substr(1) : token);
        const int64_t channel = number.value + (flashChannel ? 9 : 0);
        if (number.tooLarge || channel < INT16_MIN || channel > INT16_MAX) {
            return RefuseRange(token);
        }
        if (channel == 0) {
            channelMissed = true;  // the next positional argument is taken for the channel
            return 1;
        }
        // Refused now, before anything connects: no dialog would wait for a user in a batch.
        if (!UsableChannelNumber(channel))
            return RefuseChannel(static_cast<int32_t>(channel));
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
        const DecimalText number = ReadDecimal(token);
        if (!DecimalInRange(number, 0, 255))
            return RefuseRange(token);
        link.drop = static_cast<int32_t>(number.value);
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
            if (!DecimalInRange(number, 0, 65535))
                return RefuseRange(name);
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
        if (channelMissed)
            return RefuseChannel(0);
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
    const std::string& port = link.portName;
    if (port.size() >= 5 && port.compare(0, 3, "COM") == 0 && port[4] == ':') {
        lineSettings |= kStoredComPort | kStoredConnectMode;
        if (port.size() > 5) {
            if (!load.portMode.empty()) {
                ErrorBox("When using -M, don't provide setup information after %5.5s",
                         port.c_str());
                if (unattendedLine)
                    return Refuse();
                load.unattended = 0;
            }
            const std::string mode = port.substr(5);
            link.portName.resize(5);
            link.connectMode = kConnectSerial;
            return TakePortMode(mode, unattendedLine);
        }
        link.connectMode = kConnectSerial;
        return 1;
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
    const DecimalText number = ReadDecimal(argument);
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
            if (!WholeNumber(number, argument) || !DecimalInRange(number, 0, INT32_MAX))
                return RefuseRange(token);
            link.retries = static_cast<int32_t>(number.value);
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
            if (!RestoreSettings())
                LoadDefaultSettings(nullptr);
            SaveLink();  // the link just read is the one a line without a port keeps
            portGiven = false;
            channelMissed = false;
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
            return letter == 'P' ? 1 : 0;  // -U: the profile holds the rest
        case 'R':
            if (!WholeNumber(number, argument) || !DecimalInRange(number, 0, UINT16_MAX))
                return RefuseRange(token);
            load.runRegister = static_cast<uint16_t>(number.value);
            lineSettings |= kStoredRun;
            return 1;
        case 'S':
            if (!WholeNumber(number, argument) || !DecimalInRange(number, 0, UINT16_MAX))
                return RefuseRange(token);
            load.statusRegister = static_cast<uint16_t>(number.value);
            lineSettings |= kStoredStatus;
            return 1;
        case 'T': {
            if (!WholeNumber(number, argument) ||
                !DecimalInRange(number, -kLargestTimeoutTenths, kLargestTimeoutTenths)) {
                return RefuseRange(token);
            }
            const auto timeout = static_cast<int32_t>(number.value * 100);
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
    channelMissed = false;
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
    // Data and stop bits are taken as they were scanned, as far as the scan got.
    if (fields.converted >= 3)
        link.dataBits = static_cast<int32_t>(fields.dataBits);
    if (fields.converted >= 4)
        loadOptions.stopBits = static_cast<int32_t>(fields.stopBits);
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
            return 1;
        case 'N':
        case 'n':
            link.parity = 0;
            return 1;
        case 'O':
        case 'o':
            link.parity = 2;
            return 1;
        default:
            ErrorBox("Invalid parity in port settings: \"%s\" ", text.c_str());
            return Refuse();
    }
}
