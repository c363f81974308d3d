#include "downloader/settings.h"

#include <cstdio>

#include "downloader/log_file.h"
#include "platform/registry.h"

using platform::RegistryKey;
using platform::RegRoot;
using platform::RegStatus;

const uint32_t BaudTable[kBaudCount + 1] = {50,    75,    110,   135,   150,   300,    600,
                                            1200,  1800,  2400,  3600,  4800,  7200,   9600,
                                            14400, 19200, 38400, 57600, 76800, 115200, 0};

LinkSettings linkSettings;
LoadOptions loadOptions;

namespace {

constexpr int32_t kDefaultBaudIndex = 13;  // 9600
constexpr int32_t kDefaultParity = 1;      // even
constexpr int32_t kDefaultDataBits = 8;
constexpr int32_t kDefaultDrop = 255;
constexpr uint32_t kDefaultTcpPort = 502;
constexpr int32_t kShortestTimeoutMs = 5000;
constexpr int32_t kRestoredRetries = 3;

void LogKeyFailure(const char* routine, const RegistryKey& key) {
    LogPrintf("\n%s unable to load registry key.\n", routine);
    LogPrintf("\terror: %s\n", key.ErrorText().c_str());
}

// A text is taken only whole: one longer than its variable holds keeps the previous value.
void RestoreText(RegistryKey& key, const char* name, std::string& variable, size_t maxChars) {
    std::string text;
    if (key.QueryString(name, text, maxChars) == RegStatus::Ok)
        variable = text;
}

template <typename T>
void RestoreDword(RegistryKey& key, const char* name, T& variable) {
    uint32_t value = 0;
    if (key.QueryDword(name, value) == RegStatus::Ok)
        variable = static_cast<T>(value);
}

// The 16-bit settings are stored as DWORD values with 2 bytes of data. A 4-byte value written by
// something else is taken when its number fits in 16 bits.
template <typename T>
void RestoreShortDword(RegistryKey& key, const char* name, T& variable) {
    uint8_t data[4] = {};
    uint32_t size = sizeof data;
    platform::RegType type = platform::RegType::None;
    if (key.Query(name, &type, data, &size) != RegStatus::Ok)
        return;
    if (type != platform::RegType::Dword || (size != 2 && size != 4))
        return;
    if (size == 4 && (data[2] != 0 || data[3] != 0))
        return;
    variable = static_cast<T>(data[0] | (data[1] << 8));
}

// The dotted form of an address held as a number in host order.
std::string DottedAddress(uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF,
                  (address >> 8) & 0xFF, address & 0xFF);
    return text;
}

// Values restored from an older program, edited by hand or damaged are brought back into the
// range the dialog and the link can use.
void ClampRestoredSettings() {
    LinkSettings& link = linkSettings;
    LoadOptions& load = loadOptions;
    if (link.baudIndex < 0 || link.baudIndex >= kBaudCount)
        link.baudIndex = kDefaultBaudIndex;
    if (link.parity < 0 || link.parity > 2)
        link.parity = kDefaultParity;
    if (link.dataBits != 7 && link.dataBits != 8)
        link.dataBits = kDefaultDataBits;
    if (link.connectMode != kConnectSerial && link.connectMode != kConnectTcp)
        link.connectMode = kConnectSerial;
    link.drop = UsableDrop(link.drop);
    if (link.tcpPort < 1 || link.tcpPort > 65535)
        link.tcpPort = kDefaultTcpPort;
    load.channel = UsableChannel(load.channel);
    link.retries = UsableRetries(link.retries);
    link.timeoutMs = UsableTimeout(link.timeoutMs);
    load.stopBits = 1;
}

}  // namespace

int32_t UsableTimeout(int32_t timeoutMs) {
    if (timeoutMs <= kShortestTimeoutMs)
        return kShortestTimeoutMs;
    return timeoutMs > kLongestTimeoutMs ? kLongestTimeoutMs : timeoutMs;
}

int32_t UsableRetries(int32_t retries) {
    return retries < 1 ? kRestoredRetries : retries;
}

int32_t UsableDrop(int32_t drop) {
    return drop < 0 || drop > 255 ? kDefaultDrop : drop;
}

int16_t UsableChannel(int32_t channel) {
    return channel == 1 || channel == 2 || channel == 10 || channel == 11
               ? static_cast<int16_t>(channel)
               : int16_t{1};
}

void LoadDefaultSettings(platform::ui::Window mainDialog) {
    LinkSettings& link = linkSettings;
    LoadOptions& load = loadOptions;
    load.fileName.clear();
    link.portName.clear();
    if (mainDialog && platform::ui::ItemCount(mainDialog, kComPortCombo) > 0) {
        platform::ui::SelectItem(mainDialog, kComPortCombo, 0);
        const std::string first = platform::ui::ItemText(mainDialog, kComPortCombo, 0);
        if (first.size() < kMaxPortName)
            link.portName = first;
    }
    load.ignoreWarnings = 0;
    load.forceFlash = 0;
    load.loadProgram = 1;
    load.eraseFlash = 1;
    load.autoStart = 1;
    load.channel = 1;
    load.runRegister = 33;
    load.statusRegister = 0;
    link.drop = kDefaultDrop;
    link.tcpPort = kDefaultTcpPort;
    link.dataBits = kDefaultDataBits;
    link.parity = kDefaultParity;
    link.host.clear();
    link.baudIndex = kDefaultBaudIndex;
    link.ascii = 0;
    link.timeoutMs = 2500;
    link.retries = 0;
    load.unattended = 0;
}

int32_t SaveSettings(uint32_t which) {
    RegistryKey key;
    if (key.Create(RegRoot::CurrentUser, kSettingsKey) != RegStatus::Ok) {
        LogKeyFailure("SaveSettings", key);
        return 0;
    }
    const LinkSettings& link = linkSettings;
    const LoadOptions& load = loadOptions;
    const auto dword = [](int32_t v) { return static_cast<uint32_t>(v); };
    // The order is the stored one; a failed write stops the rest. A value left out counts as
    // written.
    bool written = true;
    const auto store = [&](StoredSetting setting, auto write) {
        if (written && (which & setting) != 0)
            written = write() == RegStatus::Ok;
    };
    store(kStoredFileName, [&] { return key.SetString("File Name", load.fileName); });
    store(kStoredComPort, [&] { return key.SetString("Com Port", link.portName); });
    store(kStoredLastFlash, [&] { return key.SetString("Last Flash", load.lastFlashFile); });
    store(kStoredIgnoreWarnings,
          [&] { return key.SetDword("Ignore Warnings", dword(load.ignoreWarnings)); });
    store(kStoredForceFlash, [&] { return key.SetDword("Force Flash", dword(load.forceFlash)); });
    store(kStoredLoad, [&] { return key.SetDword("Load", dword(load.loadProgram)); });
    store(kStoredErase, [&] { return key.SetDword("Erase", dword(load.eraseFlash)); });
    store(kStoredAutoStart, [&] { return key.SetDword("Auto Start", dword(load.autoStart)); });
    store(kStoredChannel,
          [&] { return key.SetShortDword("Channel", static_cast<uint16_t>(load.channel)); });
    store(kStoredRun, [&] { return key.SetShortDword("Run", load.runRegister); });
    store(kStoredStatus, [&] { return key.SetShortDword("Status", load.statusRegister); });
    store(kStoredDrop, [&] { return key.SetDword("Drop", dword(link.drop)); });
    store(kStoredTcpPort, [&] { return key.SetDword("TCP Port", link.tcpPort); });
    store(kStoredData, [&] { return key.SetDword("Data", dword(link.dataBits)); });
    store(kStoredParity, [&] { return key.SetDword("Parity", dword(link.parity)); });
    store(kStoredAddress, [&] { return key.SetString("Address", link.host); });
    store(kStoredBaud, [&] { return key.SetDword("Baud", dword(link.baudIndex)); });
    store(kStoredAscii, [&] { return key.SetDword("Ascii", dword(link.ascii)); });
    store(kStoredConnectMode,
          [&] { return key.SetDword("Connect Mode", dword(link.connectMode)); });
    store(kStoredTimeout, [&] { return key.SetDword("Timeout", dword(link.timeoutMs)); });
    store(kStoredRetries, [&] { return key.SetDword("Retries", dword(link.retries)); });
    return written ? 1 : 0;
}

int32_t RestoreSettings() {
    RegistryKey key;
    if (key.Open(RegRoot::CurrentUser, kSettingsKey) != RegStatus::Ok) {
        LogKeyFailure("RestoreSettings", key);
        return 0;
    }
    LinkSettings& link = linkSettings;
    LoadOptions& load = loadOptions;
    RestoreText(key, "File Name", load.fileName, kMaxFileName);
    RestoreText(key, "Com Port", link.portName, kMaxPortName);
    RestoreText(key, "Last Flash", load.lastFlashFile, kMaxFileName);
    RestoreDword(key, "Ignore Warnings", load.ignoreWarnings);
    RestoreDword(key, "Force Flash", load.forceFlash);
    RestoreDword(key, "Load", load.loadProgram);
    RestoreDword(key, "Erase", load.eraseFlash);
    RestoreDword(key, "Auto Start", load.autoStart);
    RestoreShortDword(key, "Channel", load.channel);
    RestoreShortDword(key, "Run", load.runRegister);
    RestoreShortDword(key, "Status", load.statusRegister);
    RestoreDword(key, "Drop", link.drop);
    RestoreDword(key, "TCP Port", link.tcpPort);
    RestoreDword(key, "Data", link.dataBits);
    RestoreDword(key, "Parity", link.parity);
    if (std::string host; key.QueryString("Address", host, kMaxHost) == RegStatus::Ok) {
        link.host = host;
    } else if (uint32_t address = 0; key.QueryDword("IP Address", address) == RegStatus::Ok) {
        link.host = DottedAddress(address);
    } else {
        link.host.clear();
    }
    RestoreDword(key, "Baud", link.baudIndex);
    RestoreDword(key, "Ascii", link.ascii);
    RestoreDword(key, "Connect Mode", link.connectMode);
    RestoreDword(key, "Timeout", link.timeoutMs);
    RestoreDword(key, "Retries", link.retries);
    key.Close();
    ClampRestoredSettings();
    return 1;
}
