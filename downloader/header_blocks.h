#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Walks the header blocks of an open user-code object. Every read is bounded by the file size,
// so that a block whose length runs past the end of the file is noticed rather than read on.
class HeaderBlockReader {
  public:
    explicit HeaderBlockReader(std::FILE* file);

    // True when the file begins with the user-code magic; leaves the file after it.
    // `complete` is false when the file is shorter than the magic.
    bool ReadMagic(bool& complete);

    // Reads the next block's type and length. False at the end of the file.
    bool Next(uint16_t& type, uint32_t& length);
    // True when the current block's data lies wholly inside the file.
    bool DataFits() const;
    // Reads the current block's data as text: up to the text limit, cut at a zero byte, the rest
    // of the block skipped. False when the block runs past the end of the file.
    bool ReadText(std::string& text);
    // Reads the next big-endian u32 of the current block's data.
    bool ReadU32(uint32_t& value);
    // Moves to the byte after the current block's data. False when that lies past the end.
    bool Skip();

    long FileSize() const { return fileSize_; }
    long Position() const;

  private:
    bool ReadBytes(uint8_t* bytes, size_t count);

    std::FILE* file_;
    long fileSize_ = 0;
    long dataStart_ = 0;
    uint32_t length_ = 0;
};
