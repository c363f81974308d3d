// vexim's reading of a user-code object over arbitrary bytes: the header walk block by block, and
// the Program Info list. No read goes past the end of the file, and the list is whole: the
// digest rows first and the checksum row last, or nothing for a file that is no object.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "downloader/header_blocks.h"
#include "downloader/program_info.h"
#include "downloader/user_code_format.h"
#include "scratch_files.h"

namespace {

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

void WalkHeader(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    Check(file != nullptr);
    HeaderBlockReader reader(file);
    bool complete = false;
    if (reader.ReadMagic(complete)) {
        uint16_t type = 0;
        uint32_t length = 0;
        while (reader.Next(type, length) && type != kApplicationBlock) {
            bool read = false;
            if (type >= kCodeFixupBlock && type <= kHookFixupBlock) {
                uint32_t value = 0;
                for (uint32_t i = 0; i < length / 4 && reader.ReadU32(value); ++i) {
                }
                read = reader.Skip();
            } else if ((type & 1) != 0) {
                std::string text;
                read = reader.ReadText(text);
                Check(text.size() <= kBlockTextLimit);
            } else {
                read = reader.Skip();
            }
            Check(read == reader.DataFits());
            if (!read)
                break;
            Check(reader.Position() <= reader.FileSize());
        }
    }
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteScratchFile("object.vxo", data, size);
    WalkHeader(path);
    InfoRows rows;
    const int32_t listed = DisplayInformation(rows, path);
    if (listed == 1) {
        Check(rows.size() >= 3 && rows.front().header == "File MD5" &&
              rows.back().header == "Checksum");
        for (const InfoRow& row : rows)
            Check(row.information.size() <= kBlockTextLimit);
    } else {
        Check(listed == -1 && rows.empty());
    }
    return 0;
}
