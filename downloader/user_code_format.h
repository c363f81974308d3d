#pragma once

#include <cstdint>

// The user-code object file: an 8-byte magic, typed header blocks (two type bytes, a big-endian
// u32 length, the data), and last the application block whose data, the payload, runs to the end
// of the file. A file without the magic is a raw object: the whole file is the payload.
constexpr uint8_t kUserCodeMagic[8] = {0x4E, 0x71, 0x4E, 0xF9, 0x00, 0x00, 0x80, 0x38};

// Block type as group byte << 8 | index byte.
enum BlockType : uint16_t {
    kApplicationBlock = 0x0000,
    kMinFirmwareBlock = 0x0100,
    kMaxFirmwareBlock = 0x0101,
    kMinSerialBlock = 0x0102,
    kMaxSerialBlock = 0x0103,
    kModuleMaskBlock = 0x0104,
    kApplicationNumberBlock = 0x0105,
    kNoFlashBlock = 0x0106,
    kKrtVersionBlock = 0x0107,
    kCommentBlock = 0x0200,
    kRevisionBlock = 0x0201,
    kCodeFixupBlock = 0x0300,
    kDataFixupBlock = 0x0301,
    kHookFixupBlock = 0x0302,
};

// Interpreted block data is read into a 512-byte text buffer: at most 511 bytes and a terminator.
constexpr uint32_t kBlockTextLimit = 511;
