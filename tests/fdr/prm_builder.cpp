#include "tests/fdr/prm_builder.h"

#include <zlib.h>

#include <bit>
#include <fstream>

namespace prm_builder {

namespace {

constexpr size_t kHeaderSize = 188;
constexpr size_t kEntrySize = 34;

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value) {
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    Put16(out, at, static_cast<uint16_t>(value));
    Put16(out, at + 2, static_cast<uint16_t>(value >> 16));
}

void PutText(std::vector<uint8_t>& out, size_t at, const std::string& text, size_t width) {
    for (size_t i = 0; i < width && i < text.size(); ++i)
        out[at + i] = static_cast<uint8_t>(text[i]);
}

void Append16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>& out, uint32_t value) {
    Append16(out, static_cast<uint16_t>(value));
    Append16(out, static_cast<uint16_t>(value >> 16));
}

Section Named(uint16_t id, const std::string& name) {
    Section section;
    section.id = id;
    section.name = name;
    return section;
}

std::vector<uint8_t> Little(uint32_t value, size_t width) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < width; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return bytes;
}

}  // namespace

Variable boolVariable(uint16_t eipRegister, uint8_t value) {
    return {eipRegister, 0, 1, {value}};
}

Variable uintVariable(uint16_t eipRegister, uint16_t value, uint8_t type) {
    return {eipRegister, type, 2, Little(value, 2)};
}

Variable realVariable(uint16_t eipRegister, float value) {
    return {eipRegister, 9, 4, Little(std::bit_cast<uint32_t>(value), 4)};
}

Variable dwordVariable(uint16_t eipRegister, int32_t value) {
    return {eipRegister, 14, 4, Little(static_cast<uint32_t>(value), 4)};
}

Variable stringVariable(uint16_t eipRegister, const std::string& text, uint8_t width) {
    const size_t length = width != 0 ? width : text.size();
    std::vector<uint8_t> data(length, 0);
    for (size_t i = 0; i < length && i < text.size(); ++i)
        data[i] = static_cast<uint8_t>(text[i]);
    return {eipRegister, 11, static_cast<uint8_t>(length), data};
}

Section protocolOptionsSection(uint16_t options) {
    Section section = Named(4, "Protocol Options");
    Append16(section.data, options);
    return section;
}

Section fdrSettingsSection(uint16_t control, const std::string& server1, const std::string& server2,
                           uint16_t interval) {
    Section section = Named(7, "FDR Settings");
    Append16(section.data, control);
    for (const std::string* server : {&server1, &server2}) {
        std::vector<uint8_t> field(64, 0);
        PutText(field, 0, *server, 64);
        section.data.insert(section.data.end(), field.begin(), field.end());
    }
    Append16(section.data, interval);
    return section;
}

Section assembliesSection(const std::vector<Assembly>& assemblies, std::optional<uint16_t> count) {
    Section section = Named(1024, "Assemblies");
    Append16(section.data, count.value_or(static_cast<uint16_t>(assemblies.size())));
    for (const Assembly& a : assemblies) {
        Append32(section.data, a.instance);
        Append16(section.data, a.type);
        Append16(section.data, a.size);
        Append16(section.data, a.registerType);
        Append32(section.data, a.dataId);
        Append16(section.data, a.blockSize);
    }
    return section;
}

Section variablesSection(const std::vector<Variable>& variables, std::optional<uint16_t> count) {
    Section section = Named(1025, "EIP Variables");
    Append16(section.data, count.value_or(static_cast<uint16_t>(variables.size())));
    for (const Variable& v : variables) {
        Append16(section.data, v.eipRegister);
        section.data.push_back(v.type);
        section.data.push_back(v.typeLength);
        section.data.insert(section.data.end(), v.data.begin(), v.data.end());
    }
    return section;
}

std::vector<uint8_t> build(const PrmFile& file) {
    const size_t tableEnd = kHeaderSize + kEntrySize * file.sections.size();
    std::vector<uint8_t> out(tableEnd, 0);
    PutText(out, 4, file.productId, 16);
    for (size_t i = 0; i < 2; ++i)
        out[20 + i] = file.productCode[i];
    for (size_t i = 0; i < 4; ++i)
        out[22 + i] = file.hardwareId[i];
    for (size_t i = 0; i < 2; ++i)
        out[26 + i] = file.firmwareVersion[i];
    PutText(out, 28, file.fileIdentifier, 4);
    out[32] = file.dateByte32;
    out[33] = file.dateByte33;
    Put16(out, 34, file.year);
    out[37] = file.timeByte37;
    out[38] = file.timeByte38;
    out[39] = file.timeByte39;
    PutText(out, 40, file.creatorInfo, 16);
    out[56] = file.creatorVersion;
    out[57] = file.creatorBuild;
    Put16(out, 58, file.formatVersion);
    PutText(out, 64, file.signature, 4);
    Put16(out, 68, file.sectionCount.value_or(static_cast<uint16_t>(file.sections.size())));
    Put16(out, 74, static_cast<uint16_t>(kHeaderSize - 80));
    Put16(out, 76, file.deviceClassification);
    Put16(out, 78, 0xBEEF);
    PutText(out, 80, file.deviceName, 64);
    Put16(out, 144, file.configuredProfile);
    out[146] = file.supportedProfiles;
    Put16(out, 148, file.deviceClass);
    Put32(out, 150, static_cast<uint32_t>(file.supportedServices));
    Put16(out, 154, file.ccotfCounter);
    for (size_t m = 0; m < file.sections.size(); ++m) {
        const Section& section = file.sections[m];
        const size_t entry = kHeaderSize + kEntrySize * m;
        const uint32_t location = section.location.value_or(static_cast<uint32_t>(out.size()));
        Put16(out, entry, section.id);
        PutText(out, entry + 2, section.name, 20);
        out[entry + 22] = section.versionMinor;
        out[entry + 23] = section.versionMajor;
        Put32(out, entry + 24, location);
        Put16(out, entry + 28, section.hostMapping);
        Put16(out, entry + 30, static_cast<uint16_t>(section.data.size()));
        Put16(out, entry + 32, section.flags);
        if (!section.location)
            out.insert(out.end(), section.data.begin(), section.data.end());
    }
    Put32(out, 60,
          static_cast<uint32_t>(file.configFileSize.value_or(static_cast<int32_t>(out.size()))));
    storeChecksum(out);
    return out;
}

void storeChecksum(std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> copy = bytes;
    for (size_t i = 0; i < 4 && i < copy.size(); ++i)
        copy[i] = 0;
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), copy.data(), static_cast<uInt>(copy.size()));
    for (size_t i = 0; i < 4 && i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
}

PrmFile sampleModuleFile(const std::string& dtmName) {
    PrmFile file;
    file.sections.push_back(protocolOptionsSection(0x0003));
    file.sections.push_back(fdrSettingsSection(0x0101, "192.168.10.1", "192.168.10.2", 0x0078));
    file.sections.push_back(assembliesSection({
        {100, 1, 32, 3, 4001, 16},
        {150, 2, 16, 4, 4002, 8},
    }));
    file.sections.push_back(variablesSection({
        stringVariable(1, dtmName, 32),
        stringVariable(2, "1.04", 8),
        stringVariable(3, "Brondel 2.1.7", 16),
        uintVariable(10, 502),
        boolVariable(11, 1),
        realVariable(12, 2.5F),
        dwordVariable(13, -40000),
    }));
    return file;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace prm_builder
