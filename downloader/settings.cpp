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
constexpr int32_t kShortestRestoredTimeoutMs = 5000;
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

// The defaults of every stored value (the table of `LoadDefaultSettings`); the connection mode
// and the last flash file have none and keep what they hold.
void SetDefaults(LinkSettings& link, LoadOptions& load) {
    load.fileName.clear();
    link.portName.clear();
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
}

uint32_t Dword(int32_t value) {
    return static_cast<uint32_t>(value);
}

struct StoredValue {
    StoredSetting setting;
    const char* name;
    RegStatus (*write)(RegistryKey& key, const char* name, const LinkSettings& link,
                       const LoadOptions& load);
};

// In the stored order. "Channel", "Run" and "Status" hold the 2 bytes of their 16-bit variables.
const StoredValue kStoredValues[] = {
    {kStoredFileName, "File Name",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetString(n, o.fileName);
     }},
    {kStoredComPort, "Com Port",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetString(n, l.portName);
     }},
    {kStoredLastFlash, "Last Flash",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetString(n, o.lastFlashFile);
     }},
    {kStoredIgnoreWarnings, "Ignore Warnings",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetDword(n, Dword(o.ignoreWarnings));
     }},
    {kStoredForceFlash, "Force Flash",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetDword(n, Dword(o.forceFlash));
     }},
    {kStoredLoad, "Load",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetDword(n, Dword(o.loadProgram));
     }},
    {kStoredErase, "Erase",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetDword(n, Dword(o.eraseFlash));
     }},
    {kStoredAutoStart, "Auto Start",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetDword(n, Dword(o.autoStart));
     }},
    {kStoredChannel, "Channel",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetShortDword(n, static_cast<uint16_t>(o.channel));
     }},
    {kStoredRun, "Run",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetShortDword(n, o.runRegister);
     }},
    {kStoredStatus, "Status",
     [](RegistryKey& k, const char* n, const LinkSettings&, const LoadOptions& o) {
         return k.SetShortDword(n, o.statusRegister);
     }},
    {kStoredDrop, "Drop",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetDword(n, Dword(l.drop));
     }},
    {kStoredTcpPort, "TCP Port",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetDword(n, l.tcpPort);
     }},
    {kStoredData, "Data",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetDword(n, Dword(l.dataBits));
     }},
    {kStoredParity, "Parity",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetDword(n, Dword(l.parity));
     }},
    {kStoredAddress, "Address",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetString(n, l.host);
     }},
    {kStoredBaud, "Baud",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetDword(n, Dword(l.baudIndex));
     }},
    {kStoredAscii, "Ascii",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetDword(n, Dword(l.ascii));
     }},
    {kStoredConnectMode, "Connect Mode",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetDword(n, Dword(l.connectMode));
     }},
    {kStoredTimeout, "Timeout",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetDword(n, Dword(l.timeoutMs));
     }},
    {kStoredRetries, "Retries",
     [](RegistryKey& k, const char* n, const LinkSettings& l, const LoadOptions&) {
         return k.SetDword(n, Dword(l.retries));
     }},
};

bool HasValue(RegistryKey& key, const char* name) {
    uint32_t size = 0;
    return key.Query(name, nullptr, nullptr, &size) != RegStatus::NotFound;
}

}  // namespace

int32_t UsableTimeout(int32_t timeoutMs) {
    if (timeoutMs <= kShortestRestoredTimeoutMs)
        return kShortestRestoredTimeoutMs;
    return timeoutMs > kLongestTimeoutMs ? kLongestTimeoutMs : timeoutMs;
}

int32_t UsableProfileTimeout(int32_t timeoutMs) {
    if (timeoutMs >= kShortestTimeoutMs && timeoutMs <= kLongestTimeoutMs)
        return timeoutMs;
    return UsableTimeout(timeoutMs);
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
    SetDefaults(link, load);
    if (mainDialog && platform::ui::ItemCount(mainDialog, kComPortCombo) > 0) {
        platform::ui::SelectItem(mainDialog, kComPortCombo, 0);
        const std::string first = platform::ui::ItemText(mainDialog, kComPortCombo, 0);
        if (first.size() < kMaxPortName)
            link.portName = first;
    }
    load.unattended = 0;
}

int32_t RestoreOverDefaults() {
    LoadDefaultSettings(nullptr);
    return RestoreSettings();
}

void CopySettings(uint32_t which, const LinkSettings& link, const LoadOptions& load) {
    const auto copy = [which](StoredSetting setting, auto& to, const auto& from) {
        if ((which & setting) != 0)
            to = from;
    };
    LinkSettings& toLink = linkSettings;
    LoadOptions& toLoad = loadOptions;
    copy(kStoredFileName, toLoad.fileName, load.fileName);
    copy(kStoredComPort, toLink.portName, link.portName);
    copy(kStoredLastFlash, toLoad.lastFlashFile, load.lastFlashFile);
    copy(kStoredIgnoreWarnings, toLoad.ignoreWarnings, load.ignoreWarnings);
    copy(kStoredForceFlash, toLoad.forceFlash, load.forceFlash);
    copy(kStoredLoad, toLoad.loadProgram, load.loadProgram);
    copy(kStoredErase, toLoad.eraseFlash, load.eraseFlash);
    copy(kStoredAutoStart, toLoad.autoStart, load.autoStart);
    copy(kStoredChannel, toLoad.channel, load.channel);
    copy(kStoredRun, toLoad.runRegister, load.runRegister);
    copy(kStoredStatus, toLoad.statusRegister, load.statusRegister);
    copy(kStoredDrop, toLink.drop, link.drop);
    copy(kStoredTcpPort, toLink.tcpPort, link.tcpPort);
    copy(kStoredData, toLink.dataBits, link.dataBits);
    copy(kStoredParity, toLink.parity, link.parity);
    copy(kStoredAddress, toLink.host, link.host);
    copy(kStoredBaud, toLink.baudIndex, link.baudIndex);
    copy(kStoredAscii, toLink.ascii, link.ascii);
    copy(kStoredConnectMode, toLink.connectMode, link.connectMode);
    copy(kStoredTimeout, toLink.timeoutMs, link.timeoutMs);
    copy(kStoredRetries, toLink.retries, link.retries);
}

int32_t SaveSettings(uint32_t which) {
    RegistryKey key;
    if (key.Create(RegRoot::CurrentUser, kSettingsKey) != RegStatus::Ok) {
        LogKeyFailure("SaveSettings", key);
        return 0;
    }
    // A value the key does not hold yet is written with its default, so that a save of only
    // some values (an unattended run) never leaves a key that restores zeros for the rest.
    LinkSettings defaultLink;
    LoadOptions defaultLoad;
    SetDefaults(defaultLink, defaultLoad);
    // The order is the stored one; a failed write stops the rest.
    for (const StoredValue& value : kStoredValues) {
        RegStatus status = RegStatus::Ok;
        if ((which & value.setting) != 0) {
            status = value.write(key, value.name, linkSettings, loadOptions);
        } else if (!HasValue(key, value.name)) {
            status = value.write(key, value.name, defaultLink, defaultLoad);
        }
        if (status != RegStatus::Ok)
            return 0;
    }
    return 1;
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
