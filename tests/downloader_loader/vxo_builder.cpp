#include "vxo_builder.h"

#include <fstream>
#include <stdexcept>

namespace vxo {

namespace {

constexpr uint8_t kMagic[8] = {0x4E, 0x71, 0x4E, 0xF9, 0x00, 0x00, 0x80, 0x38};

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

// The Modbus CRC-16 bit by bit, independent of the table-driven code under test.
uint16_t ModbusCrc(const std::vector<uint8_t>& bytes) {
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : (crc >> 1);
        }
    }
    return crc;
}

}  // namespace

uint16_t CrcWordFor(const std::vector<uint16_t>& code) {
    // The module keeps each word high byte first, and that is the order the CRC runs in. The
    // Modbus CRC appended low byte first closes the run to 0, so its low byte is the high byte of
    // the closing word.
    std::vector<uint8_t> memory;
    for (uint16_t word : code) {
        memory.push_back(static_cast<uint8_t>(word >> 8));
        memory.push_back(static_cast<uint8_t>(word));
    }
    const uint16_t crc = ModbusCrc(memory);
    return static_cast<uint16_t>((crc & 0xFF) << 8 | crc >> 8);
}

std::vector<uint16_t> CountingWords(size_t count, uint16_t first) {
    std::vector<uint16_t> words(count);
    for (size_t i = 0; i < count; ++i) {
        words[i] = static_cast<uint16_t>(first + i);
    }
    return words;
}

Builder& Builder::Block(uint16_t type, std::vector<uint8_t> data) {
    const uint32_t length = static_cast<uint32_t>(data.size());
    blocks_.push_back({type, std::move(data), length});
    return *this;
}

Builder& Builder::BlockWithLength(uint16_t type, std::vector<uint8_t> data,
                                  uint32_t declaredLength) {
    blocks_.push_back({type, std::move(data), declaredLength});
    return *this;
}

Builder& Builder::Text(uint16_t type, const std::string& text) {
    return Block(type, std::vector<uint8_t>(text.begin(), text.end()));
}

Builder& Builder::Fixups(uint16_t type, uint32_t linkBase, const std::vector<uint32_t>& offsets) {
    std::vector<uint8_t> data;
    PutU32(data, linkBase);
    for (uint32_t offset : offsets) {
        PutU32(data, offset);
    }
    return Block(type, std::move(data));
}

Builder& Builder::Code(std::vector<uint16_t> words) {
    code_ = std::move(words);
    return *this;
}

Builder& Builder::WithoutCrcWord() {
    crcWord_ = false;
    return *this;
}

Builder& Builder::ApplicationLength(uint32_t bytes) {
    lengthOverridden_ = true;
    applicationLength_ = bytes;
    return *this;
}

Builder& Builder::Trailing(std::vector<uint8_t> bytes) {
    trailing_ = std::move(bytes);
    return *this;
}

Builder& Builder::EndAfterBlocks() {
    endAfterBlocks_ = true;
    return *this;
}

Builder& Builder::Raw() {
    raw_ = true;
    return *this;
}

std::vector<uint16_t> Builder::PayloadWords() const {
    std::vector<uint16_t> words = code_;
    if (crcWord_) {
        words.push_back(CrcWordFor(code_));
    }
    return words;
}

std::vector<uint8_t> Builder::Bytes() const {
    std::vector<uint8_t> payload;
    for (uint16_t word : PayloadWords()) {
        payload.push_back(static_cast<uint8_t>(word));  // low byte first in the file
        payload.push_back(static_cast<uint8_t>(word >> 8));
    }
    payload.insert(payload.end(), trailing_.begin(), trailing_.end());
    if (raw_) {
        return payload;
    }
    std::vector<uint8_t> out(std::begin(kMagic), std::end(kMagic));
    for (const HeaderBlock& block : blocks_) {
        out.push_back(static_cast<uint8_t>(block.type >> 8));
        out.push_back(static_cast<uint8_t>(block.type));
        PutU32(out, block.length);
        out.insert(out.end(), block.data.begin(), block.data.end());
    }
    if (endAfterBlocks_) {
        return out;
    }
    out.push_back(0);
    out.push_back(0);
    PutU32(out, lengthOverridden_ ? applicationLength_ : static_cast<uint32_t>(payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

void Builder::WriteTo(const std::string& path) const {
    const std::vector<uint8_t> bytes = Bytes();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace vxo
