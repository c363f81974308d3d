#pragma once

// vexim's working values: the Link settings (how to reach the module) and the Load options
// (what to do with it), kept program-wide, with their defaults and their place in the registry
// (HKEY_CURRENT_USER "SOFTWARE\Calvento R&D\VEXIM").

#include <cstdint>
#include <string>

#include "platform/ui.h"

inline constexpr const char* kSettingsKey = "SOFTWARE\\Calvento R&D\\VEXIM";

// Longest texts, in characters (the stored fields hold one byte more for the terminator).
inline constexpr size_t kMaxFileName = 259;
inline constexpr size_t kMaxPortName = 80;
inline constexpr size_t kMaxHost = 1023;
inline constexpr size_t kMaxPortMode = 40;

// The baud rates by `baudIndex`, followed by a zero entry; the baud combo lists them in this
// order, so its selection index is the index here.
inline constexpr int32_t kBaudCount = 20;
extern const uint32_t BaudTable[kBaudCount + 1];

// Connection modes: the tabs of the main dialog.
inline constexpr int32_t kConnectSerial = 0;
inline constexpr int32_t kConnectTcp = 1;

struct LinkSettings {
    std::string portName;     // COM port as listed, "COM1:"; at most kMaxPortName
    int32_t baudIndex = 0;    // into BaudTable
    int32_t parity = 0;       // 0 none, 1 even, 2 odd
    int32_t dataBits = 0;     // 7 or 8
    int32_t ascii = 0;        // 1 Modbus ASCII, 0 RTU
    int32_t connectMode = 0;  // kConnectSerial or kConnectTcp
    int32_t drop = 0;         // Modbus unit, 0 to 255
    std::string host;         // host name or dotted address; at most kMaxHost
    uint32_t tcpPort = 0;
    int32_t timeoutMs = 0;
    int32_t retries = 0;
};

struct LoadOptions {
    std::string fileName;         // the user-code file; at most kMaxFileName
    int16_t channel = 0;          // 1, 2, 10 (F1) or 11 (F2)
    uint16_t statusRegister = 0;  // 0: take it from the module
    uint16_t runRegister = 0;     // the run control register
    int32_t autoStart = 0;
    int32_t eraseFlash = 0;
    int32_t loadProgram = 0;
    int32_t forceFlash = 0;
    int32_t ignoreWarnings = 0;
    int32_t ignoreHaltStatus = 0;  // never stored
    std::string lastFlashFile;     // at most kMaxFileName
    std::string profileName;       // at most kMaxFileName
    std::string portMode;          // from the command line; at most kMaxPortMode
    int32_t stopBits = 0;          // from a port mode; the link always uses one stop bit
    int32_t unattended = 0;        // a command-line download is running
    int32_t rawObjects = 0;        // -O: an unattended run may load a file without a header
                                   // as a raw object; never stored
};

extern LinkSettings linkSettings;
extern LoadOptions loadOptions;

// The COM list of the main dialog (combo 1016) and the file box (combo 1004).
inline constexpr int kComPortCombo = 1016;
inline constexpr int kFileBox = 1004;

// Sets the defaults. With the main dialog it selects the first entry of the COM list and takes
// it as `portName`; the dialog shows the values afterwards.
void LoadDefaultSettings(platform::ui::Window mainDialog);

// The longest time-out a setting holds, in milliseconds: ten of them (an erase) still fit the
// transport's wait. The shortest is the one -T sets for 0.
inline constexpr int32_t kLongestTimeoutMs = INT32_MAX / 10;
inline constexpr int32_t kShortestTimeoutMs = 500;

// Values taken from outside (the registry, a profile file, a history record, a menu) brought
// into the ranges the link and the loader can use, as restored settings are.
int32_t UsableTimeout(int32_t timeoutMs);  // 5000 or less: 5000; above the longest: the longest
// A profile or history record keeps a time-out that -T or the Timeout menu could have set (500
// ms and up); others as UsableTimeout.
int32_t UsableProfileTimeout(int32_t timeoutMs);
int32_t UsableRetries(int32_t retries);  // below 1: 3
int32_t UsableDrop(int32_t drop);        // outside 0..255: 255
int16_t UsableChannel(int32_t channel);  // not 1, 2, F1 (10) or F2 (11): 1

// The stored values, one bit each, for a save of only some of them (an unattended run saves
// what its command line set, nothing else).
enum StoredSetting : uint32_t {
    kStoredFileName = 1u << 0,
    kStoredComPort = 1u << 1,
    kStoredLastFlash = 1u << 2,
    kStoredIgnoreWarnings = 1u << 3,
    kStoredForceFlash = 1u << 4,
    kStoredLoad = 1u << 5,
    kStoredErase = 1u << 6,
    kStoredAutoStart = 1u << 7,
    kStoredChannel = 1u << 8,
    kStoredRun = 1u << 9,
    kStoredStatus = 1u << 10,
    kStoredDrop = 1u << 11,
    kStoredTcpPort = 1u << 12,
    kStoredData = 1u << 13,
    kStoredParity = 1u << 14,
    kStoredAddress = 1u << 15,
    kStoredBaud = 1u << 16,
    kStoredAscii = 1u << 17,
    kStoredConnectMode = 1u << 18,
    kStoredTimeout = 1u << 19,
    kStoredRetries = 1u << 20,
    kAllStoredSettings = (1u << 21) - 1,
};

// Copies the values named by `which` (StoredSetting bits) from `link` and `load` into the Link
// settings and Load options.
void CopySettings(uint32_t which, const LinkSettings& link, const LoadOptions& load);

// Writes the stored values named by `which` (all of them by default) in a fixed order, stopping
// at the first failure; 1 when all were written, 0 otherwise (the failure to open the key is
// logged). A value left out that the key does not hold yet is written with its default.
int32_t SaveSettings(uint32_t which = kAllStoredSettings);

// Reads the stored values; a value that is missing or unreadable keeps its variable's value,
// and every value restored is brought into a usable range. 1 when the key could be opened.
int32_t RestoreSettings();

// The settings as a start (or -F) takes them: the defaults, then every value the store holds,
// so that a new or incomplete key never leaves a setting at zero. RestoreSettings' result.
int32_t RestoreOverDefaults();
