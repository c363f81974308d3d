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
    if (link.drop < 0 || link.drop > 255)
        link.drop = kDefaultDrop;
    if (link.tcpPort < 1 || link.tcpPort > 65535)
        link.tcpPort = kDefaultTcpPort;
    if (load.channel != 1 && load.channel != 2 && load.channel != 10 && load.channel != 11)
        load.channel = 1;
    if (link.retries < 1)
        link.retries = kRestoredRetries;
    if (link.timeoutMs <= kShortestTimeoutMs)
        link.timeoutMs = kShortestTimeoutMs;
    load.stopBits = 1;
}

}  // namespace

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

int32_t SaveSettings() {
    RegistryKey key;
    if (key.Create(RegRoot::CurrentUser, kSettingsKey) != RegStatus::Ok) {
        LogKeyFailure("SaveSettings", key);
        return 0;
    }
    const LinkSettings& link = linkSettings;
    const LoadOptions& load = loadOptions;
    const auto dword = [](int32_t v) { return static_cast<uint32_t>(v); };
    // The order is the stored one; a failed write stops the rest.
    const bool written =
        key.SetString("File Name", load.fileName) == RegStatus::Ok &&
        key.SetString("Com Port", link.portName) == RegStatus::Ok &&
        key.SetString("Last Flash", load.lastFlashFile) == RegStatus::Ok &&
        key.SetDword("Ignore Warnings", dword(load.ignoreWarnings)) == RegStatus::Ok &&
        key.SetDword("Force Flash", dword(load.forceFlash)) == RegStatus::Ok &&
        key.SetDword("Load", dword(load.loadProgram)) == RegStatus::Ok &&
        key.SetDword("Erase", dword(load.eraseFlash)) == RegStatus::Ok &&
        key.SetDword("Auto Start", dword(load.autoStart)) == RegStatus::Ok &&
        key.SetShortDword("Channel", static_cast<uint16_t>(load.channel)) == RegStatus::Ok &&
        key.SetShortDword("Run", load.runRegister) == RegStatus::Ok &&
        key.SetShortDword("Status", load.statusRegister) == RegStatus::Ok &&
        key.SetDword("Drop", dword(link.drop)) == RegStatus::Ok &&
        key.SetDword("TCP Port", link.tcpPort) == RegStatus::Ok &&
        key.SetDword("Data", dword(link.dataBits)) == RegStatus::Ok &&
        key.SetDword("Parity", dword(link.parity)) == RegStatus::Ok &&
        key.SetString("Address", link.host) == RegStatus::Ok &&
        key.SetDword("Baud", dword(link.baudIndex)) == RegStatus::Ok &&
        key.SetDword("Ascii", dword(link.ascii)) == RegStatus::Ok &&
        key.SetDword("Connect Mode", dword(link.connectMode)) == RegStatus::Ok &&
        key.SetDword("Timeout", dword(link.timeoutMs)) == RegStatus::Ok &&
        key.SetDword("Retries", dword(link.retries)) == RegStatus::Ok;
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
