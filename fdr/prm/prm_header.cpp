#include "fdr/prm/prm_header.h"

#include <array>
#include <cstdio>

#include "fdr/prm/hex_text.h"

namespace fdr {

namespace {

constexpr std::array<HeaderField, 26> kFields = {{
    {0, 4, "FileChecksum", FieldShow::HexBigEndian32},
    {4, 16, "productID", FieldShow::Text},
    {20, 2, "productCode", FieldShow::HexBytes},
    {22, 4, "hardwareid", FieldShow::HexBytes},
    {26, 2, "firmwareversion", FieldShow::HexBytes},
    {28, 4, "fileidentifier", FieldShow::RawText},
    configDateField,
    configTimeField,
    {40, 16, "configcreatorinfo", FieldShow::Text},
    creatorVersionField,
    {58, 2, "prmformatversion", FieldShow::Unsigned16},
    configFileSizeField,
    {64, 4, "configsignature", FieldShow::Text},
    {sectionCountOffset, 2, "sectioncount", FieldShow::Unsigned16},
    {70, 2, "extensionheadersize", FieldShow::Unsigned16},
    {72, 2, "readyheaderversion", FieldShow::Unsigned16},
    {74, 2, "readyheadersize", FieldShow::Unsigned16},
    {76, 2, "deviceclasification", FieldShow::Unsigned16},
    {78, 2, "Reserved", FieldShow::Hex16},
    {80, 64, "RH_DeviceName", FieldShow::Text},
    {144, 2, "RH_ConfiguredProfile", FieldShow::Unsigned16},
    {146, 2, "RH_SupportedProfiles", FieldShow::Binary8},
    {148, 2, "RH_DeviceClass", FieldShow::Unsigned16},
    {150, 4, "RH_SupportedServices", FieldShow::Signed32},
    {154, 2, "RH_CCOTFcounter", FieldShow::Unsigned16},
    {156, 32, "RH_Reserved", FieldShow::Text},
}};

std::string TwoDigits(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02u", value);
    return text;
}

std::string Binary(unsigned value, int minimumDigits) {
    std::string digits;
    for (; value != 0 || static_cast<int>(digits.size()) < minimumDigits; value >>= 1)
        digits.insert(digits.begin(), (value & 1) != 0 ? '1' : '0');
    return digits;
}

}  // namespace

std::span<const HeaderField> prmHeaderFields() {
    return kFields;
}

bool isTextField(const HeaderField& field) {
    return field.show == FieldShow::Text || field.show == FieldShow::RawText;
}

std::string showHeaderField(const PrmBytes& file, const HeaderField& field) {
    const std::size_t at = field.offset;
    switch (field.show) {
        case FieldShow::HexBigEndian32:
            return hexText(file.u32BigEndian(at), 8);
        case FieldShow::Text:
            return file.text(at, field.size);
        case FieldShow::RawText:
            return file.rawText(at, field.size);
        case FieldShow::HexBytes: {
            std::string hex;
            for (std::size_t i = 0; i < field.size; ++i)
                hex += hexText(file.u8(at + i), 2);
            return hex;
        }
        case FieldShow::Date:
            return TwoDigits(file.u8(at + 1)) + " / " + TwoDigits(file.u8(at)) + " / " +
                   std::to_string(file.u16(at + 2));
        case FieldShow::Time:
            return TwoDigits(file.u8(at + 3)) + ":" + TwoDigits(file.u8(at + 2)) + ":" +
                   TwoDigits(file.u8(at + 1));
        case FieldShow::NibbleVersion:
            return std::to_string(file.u8(at) >> 4) + "." + std::to_string(file.u8(at) & 0x0F) +
                   "." + std::to_string(file.u8(at + 1));
        case FieldShow::Unsigned16:
            return std::to_string(file.u16(at));
        case FieldShow::Signed32:
            return std::to_string(static_cast<int32_t>(file.u32(at)));
        case FieldShow::Hex16:
            return hexText(file.u16(at), 4) + "h";
        case FieldShow::Binary8:
            return Binary(file.u8(at), 5) + "b";
    }
    return {};
}

}  // namespace fdr
