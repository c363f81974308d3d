#pragma once

// What one device-replacement file holds: checksums, section table, assemblies and the
// device's EtherNet/IP variables, decoded with every length and offset checked against the
// file's size. Whatever lies beyond the end of the file is named in `faults`, never read.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fdr {

inline constexpr std::size_t prmSectionEntrySize = 34;

// Section IDs that are decoded; others are listed in the trace only.
inline constexpr uint16_t protocolOptionsSection = 4;
inline constexpr uint16_t fdrSettingsSection = 7;
inline constexpr uint16_t assembliesSection = 1024;
inline constexpr uint16_t variablesSection = 1025;

struct PrmSection {
    uint16_t id = 0;
    std::string name;
    uint8_t versionMajor = 0;  // byte 23 of the entry
    uint8_t versionMinor = 0;  // byte 22
    uint32_t location = 0;     // offset of the section's data in the file
    uint16_t hostMapping = 0;
    uint16_t configSize = 0;
    uint16_t flags = 0;
};

struct PrmAssembly {
    uint32_t instance = 0;
    uint16_t type = 0;  // 1 input, 2 output
    uint16_t size = 0;
    uint16_t registerType = 0;
    uint32_t dataId = 0;
    uint16_t blockSize = 0;
};

// EtherNet/IP variable types as the file numbers them.
enum EipType : uint8_t {
    eipBool = 0,
    eipUint = 2,
    eipInt = 3,
    eipReal = 9,
    eipString = 11,
    eipByte = 12,
    eipWord = 13,
    eipDword = 14,
};

struct PrmVariable {
    uint16_t eipRegister = 0;
    uint8_t type = 0;
    uint8_t typeLength = 0;
    int64_t integer = 0;  // the numeric types
    float single = 0;     // REAL
    std::string text;     // STRING, every byte kept
};

struct PrmContent {
    std::size_t size = 0;
    uint32_t fileChecksum = 0;    // stored, big-endian at offset 0
    uint32_t vChecksum = 0;       // CRC-32 with bytes 0 to 3 zeroed
    uint32_t configChecksum = 0;  // also bytes 32 to 39 zeroed
    bool checksumGood = false;
    bool headerComplete = false;  // the whole 188-byte header lies within the file
    std::string configDate, configTime, creatorVersion;
    int32_t configFileSize = 0;
    std::vector<PrmSection> sections;
    std::vector<PrmAssembly> assemblies;  // of the last assembly section
    std::vector<PrmVariable> variables;   // of the last variable section
    std::vector<std::string> faults;      // what could not be read, in words
};

// The 6-character names of the variable and assembly types ("" for those without one).
std::string_view eipTypeName(unsigned type);
std::string_view assemblyTypeName(unsigned type);

// A REAL value with up to 7 significant digits ("1.5", "100", "0.3333333").
std::string showReal(float value);

// Decodes the file, printing every field to `trace` as it goes.
PrmContent decodePrmContent(std::span<const uint8_t> bytes, std::ostream& trace);

}  // namespace fdr
