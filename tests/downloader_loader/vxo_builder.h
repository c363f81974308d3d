#pragma once

// Builds user-code object files from their format, for the tests and the demo: the magic, typed
// header blocks with big-endian lengths, fixup blocks, and the application block whose payload
// words are stored low byte first and closed by the CRC word that makes the payload CRC 0.

#include <cstdint>
#include <string>
#include <vector>

namespace vxo {

class Builder {
  public:
    // A header block with its data as given; `declaredLength` overrides the length field.
    Builder& Block(uint16_t type, std::vector<uint8_t> data);
    Builder& BlockWithLength(uint16_t type, std::vector<uint8_t> data, uint32_t declaredLength);
    Builder& Text(uint16_t type, const std::string& text);
    Builder& Fixups(uint16_t type, uint32_t linkBase, const std::vector<uint32_t>& offsets);

    // Object code words; the CRC word is appended unless turned off.
    Builder& Code(std::vector<uint16_t> words);
    Builder& WithoutCrcWord();
    // Overrides the application block's length field (bytes).
    Builder& ApplicationLength(uint32_t bytes);
    // Bytes after the payload words (an odd trailing byte, for instance).
    Builder& Trailing(std::vector<uint8_t> bytes);
    // The file ends after the header blocks: no application block, no payload.
    Builder& EndAfterBlocks();
    // No magic and no blocks: the file is the payload alone.
    Builder& Raw();

    // The payload as the module should hold it before relocation: code words and the CRC word.
    std::vector<uint16_t> PayloadWords() const;
    std::vector<uint8_t> Bytes() const;
    void WriteTo(const std::string& path) const;

  private:
    struct HeaderBlock {
        uint16_t type;
        std::vector<uint8_t> data;
        uint32_t length;
    };
    std::vector<HeaderBlock> blocks_;
    std::vector<uint16_t> code_;
    std::vector<uint8_t> trailing_;
    bool crcWord_ = true;
    bool raw_ = false;
    bool endAfterBlocks_ = false;
    bool lengthOverridden_ = false;
    uint32_t applicationLength_ = 0;
};

// The CRC word that closes a payload of these code words.
uint16_t CrcWordFor(const std::vector<uint16_t>& code);

// Words counting up from `first`, handy as recognisable object code.
std::vector<uint16_t> CountingWords(size_t count, uint16_t first = 0x1000);

}  // namespace vxo
