#pragma once

// The system profile: a packed 1429-byte record of the Link settings and Load options. It is an
// entry of the download history, the whole content of a ".vxf" profile file and the input of the
// printed profile. The byte layout is the file format, so the record is always written and read
// field by field at fixed offsets (little-endian), never as a memory image.

#include <array>
#include <cstdint>
#include <string>

inline constexpr uint16_t kSystemProfileSize = 1429;
using ProfileBytes = std::array<uint8_t, kSystemProfileSize>;

// Field offsets and text field widths (each text is NUL-terminated inside its field).
namespace profile_layout {
inline constexpr size_t kRecordSize = 0;
inline constexpr size_t kFileName = 2, kFileNameWidth = 260;
inline constexpr size_t kConnectMode = 262;
inline constexpr size_t kHost = 263, kHostWidth = 1024;
inline constexpr size_t kTcpPort = 1287;
inline constexpr size_t kPortName = 1289, kPortNameWidth = 81;
inline constexpr size_t kBaudText = 1370, kBaudTextWidth = 6;
inline constexpr size_t kParityText = 1376, kParityTextWidth = 5;
inline constexpr size_t kAscii = 1381;
inline constexpr size_t kDataBits = 1385;
inline constexpr size_t kStopBits = 1389;
inline constexpr size_t kDrop = 1393;
inline constexpr size_t kChannel = 1397;
inline constexpr size_t kStatusRegister = 1401;
inline constexpr size_t kRunRegister = 1403;
inline constexpr size_t kAutoStart = 1405;
inline constexpr size_t kLoadProgram = 1409;
inline constexpr size_t kEraseFlash = 1413;
inline constexpr size_t kRetries = 1417;
inline constexpr size_t kTimeoutMs = 1421;
inline constexpr size_t kForceFlash = 1425;
}  // namespace profile_layout

struct SystemProfile {
    uint16_t recordSize = kSystemProfileSize;  // a history record with another size is not valid
    std::string fileName;                      // at most 259 characters
    uint8_t connectMode = 0;                   // 0 serial, 1 Modbus/TCP
    std::string host;                          // at most 1023
    uint16_t tcpPort = 0;
    std::string portName;    // as listed, "COM1:"; at most 80
    std::string baudText;    // at most 5 ("115200" keeps its first five digits)
    std::string parityText;  // "None", "Even" or "Odd"
    int32_t ascii = 0;
    int32_t dataBits = 0;
    int32_t stopBits = 0;
    int32_t drop = 0;
    int32_t channel = 0;
    uint16_t statusRegister = 0;
    uint16_t runRegister = 0;
    int32_t autoStart = 0;
    int32_t loadProgram = 0;
    int32_t eraseFlash = 0;
    int32_t retries = 0;
    int32_t timeoutMs = 0;
    int32_t forceFlash = 0;

    bool operator==(const SystemProfile&) const = default;
};

// The record's bytes. False, with `bytes` untouched, when the file name, host or port name is
// longer than its field: a name cut to fit would name another file or machine. The baud and
// parity texts are only shown again, so they are cut to their fields.
bool EncodeProfile(const SystemProfile& profile, ProfileBytes& bytes);

// The record from its bytes. Each text ends at its first NUL and at the latest at the last byte
// of its field, so a damaged record never reads into the next field.
SystemProfile DecodeProfile(const uint8_t* bytes);

// Reads a ".vxf" profile file. False, with `profile` untouched, when the file cannot be read,
// is not exactly one record long or holds another record size; `whyNot`, when given, then says
// which, in a sentence for the user.
bool ReadProfileFile(const std::string& path, SystemProfile& profile,
                     std::string* whyNot = nullptr);

// Writes a ".vxf" profile file through a temporary file renamed into place, so a failed write
// never leaves a damaged profile. False when the record cannot be encoded or written.
bool WriteProfileFile(const std::string& path, const SystemProfile& profile);
