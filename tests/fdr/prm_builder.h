#pragma once

// Device-replacement (PRM) files for the tests, built field by field from the file format:
// the 188-byte header and ready header, the section table (34 bytes an entry) and the
// sections' data after it. The stored checksum is zlib's CRC-32 of the file with its first
// four bytes zeroed, big-endian at offset 0, so the decoder is checked against another
// implementation than its own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace prm_builder {

struct Variable {
    uint16_t eipRegister = 0;
    uint8_t type = 0;
    uint8_t typeLength = 0;
    std::vector<uint8_t> data;  // written after the type length, whatever it says
};

Variable boolVariable(uint16_t eipRegister, uint8_t value);
Variable uintVariable(uint16_t eipRegister, uint16_t value, uint8_t type = 2);
Variable realVariable(uint16_t eipRegister, float value);
Variable dwordVariable(uint16_t eipRegister, int32_t value);
// `width` bytes of text padded with zero bytes (the text's own length when 0).
Variable stringVariable(uint16_t eipRegister, const std::string& text, uint8_t width = 0);

struct Assembly {
    uint32_t instance = 0;
    uint16_t type = 0;
    uint16_t size = 0;
    uint16_t registerType = 0;
    uint32_t dataId = 0;
    uint16_t blockSize = 0;
};

struct Section {
    uint16_t id = 0;
    std::string name;
    uint8_t versionMajor = 1;
    uint8_t versionMinor = 0;
    uint16_t hostMapping = 0;
    uint16_t flags = 0;
    std::vector<uint8_t> data;
    std::optional<uint32_t> location;  // the place in the file; by default after the table
};

Section protocolOptionsSection(uint16_t options);
Section fdrSettingsSection(uint16_t control, const std::string& server1, const std::string& server2,
                           uint16_t interval);
// `count` overrides the number of records the section claims.
Section assembliesSection(const std::vector<Assembly>& assemblies,
                          std::optional<uint16_t> count = std::nullopt);
Section variablesSection(const std::vector<Variable>& variables,
                         std::optional<uint16_t> count = std::nullopt);

struct PrmFile {
    std::string productId = "PMEKRT0100";
    std::vector<uint8_t> productCode = {0x01, 0x2A};
    std::vector<uint8_t> hardwareId = {0x00, 0x00, 0x05, 0xA1};
    std::vector<uint8_t> firmwareVersion = {0x02, 0x10};
    std::string fileIdentifier = "PRM";  // 4 bytes, zero-padded
    uint8_t dateByte32 = 7, dateByte33 = 3;
    uint16_t year = 2022;
    uint8_t timeByte37 = 5, timeByte38 = 4, timeByte39 = 13;
    std::string creatorInfo = "Brondel";
    uint8_t creatorVersion = 0x21, creatorBuild = 7;
    uint16_t formatVersion = 3;
    std::optional<int32_t> configFileSize;  // the file's size by default
    std::string signature = "FDR1";
    uint16_t deviceClassification = 12;
    std::string deviceName = "PMEKRT EtherNet/IP module";
    uint16_t configuredProfile = 1;
    uint8_t supportedProfiles = 5;
    uint16_t deviceClass = 3;
    int32_t supportedServices = -2;
    uint16_t ccotfCounter = 9;
    std::vector<Section> sections;
    std::optional<uint16_t> sectionCount;  // the number the header claims; by default the real one
};

std::vector<uint8_t> build(const PrmFile& file);

// Puts the checksum of the bytes as they are now at offset 0.
void storeChecksum(std::vector<uint8_t>& bytes);

// A typical file of a KRT module: protocol options, FDR settings, two assemblies and the
// three description strings followed by a few values.
PrmFile sampleModuleFile(const std::string& dtmName);

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace prm_builder
