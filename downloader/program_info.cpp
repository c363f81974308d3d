#include "downloader/program_info.h"

#include <cstdio>
#include <memory>

#include "downloader/header_blocks.h"
#include "downloader/log_file.h"
#include "downloader/md5.h"
#include "downloader/payload_crc.h"
#include "downloader/user_code_format.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

const char* BlockName(uint16_t type) {
    switch (type) {
        case kMinFirmwareBlock:
            return "MinFirmware";
        case kMaxFirmwareBlock:
            return "MaxFirmware";
        case kCommentBlock:
            return "Comment";
        case kRevisionBlock:
            return "Revision";
        case kMinSerialBlock:
            return "MinSerial";
        case kMaxSerialBlock:
            return "MaxSerial";
        case kModuleMaskBlock:
            return "ModuleMask";
        case kApplicationNumberBlock:
            return "ApplicationNumber";
        case kNoFlashBlock:
            return "NoFlash";
        case kKrtVersionBlock:
            return "KRTVersion";
        default:
            return nullptr;
    }
}

std::string Hex(const uint8_t* bytes, size_t count) {
    std::string text;
    char pair[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

std::string Format(const char* format, unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The payload CRC from the file position to the end, in pieces of up to 99 words.
uint16_t PayloadCheck(std::FILE* file) {
    uint16_t crc = 0xFFFF;
    uint8_t bytes[198];
    uint16_t words[99];
    size_t got = 0;
    while ((got = std::fread(bytes, 1, sizeof bytes, file)) >= 2) {
        const size_t count = got / 2;
        for (size_t i = 0; i < count; ++i) {
            words[i] = static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
        }
        crc = PayloadCrc(crc, words, static_cast<int32_t>(count));
    }
    return crc;
}

}  // namespace

int32_t DisplayInformation(InfoRows& rows, const std::string& name) {
    rows.clear();
    FileDigest = Md5Context{};
    FileDigestListed = false;
    if (name.empty()) {
        return 0;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name.c_str(), "rb"));
    if (!file) {
        return 0;
    }
    HeaderBlockReader reader(file.get());
    bool complete = false;
    if (!reader.ReadMagic(complete)) {
        return -1;
    }
    LogPrintf("DisplayInformation running\n");
    FileDigestListed = DigestFile(FileDigest, name) == 0;
    rows.push_back({"File MD5", Hex(FileDigest.digest, 8)});
    rows.push_back({" ", Hex(FileDigest.digest + 8, 8)});

    uint16_t type = 0;
    uint32_t length = 0;
    while (reader.Next(type, length)) {
        // The log shows the two type bytes as one little-endian number.
        const unsigned logged = static_cast<unsigned>((type >> 8) | (type & 0xFF) << 8);
        LogPrintf("Blocktype %04X\n", logged);
        if (type == kApplicationBlock) {
            LogPrintf("Application Block found.\n");
            const uint16_t crc = PayloadCheck(file.get());
            rows.push_back({"Checksum", crc == 0 ? "OK (0x0000)" : Format("Fail (0x%04X)", crc)});
            return 1;
        }
        const char* blockName = BlockName(type);
        if (blockName != nullptr) {
            LogPrintf("\tBlock Type '%s'\n", blockName);
        } else {
            LogPrintf("Unknown block type %X\n", logged);
        }
        LogPrintf("\t Block Length %d\n", static_cast<int>(length));
        std::string text;
        const bool read = blockName != nullptr ? reader.ReadText(text) : reader.Skip();
        if (!read) {
            break;  // the block runs past the end of the file
        }
        rows.push_back(blockName != nullptr ? InfoRow{blockName, text}
                                            : InfoRow{"Unknown Block", Format("(0x%04X)", type)});
        LogPrintf("\tAdvancing file cursor\n");
    }
    // No application block before the end of the file.
    rows.push_back({"Checksum", "Unexpected end of file"});
    return 1;
}
