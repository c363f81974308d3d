#include "downloader/header_blocks.h"

#include <algorithm>
#include <cstring>

#include "downloader/user_code_format.h"

HeaderBlockReader::HeaderBlockReader(std::FILE* file) : file_(file) {
    const long start = std::ftell(file_);
    std::fseek(file_, 0, SEEK_END);
    fileSize_ = std::ftell(file_);
    std::fseek(file_, start, SEEK_SET);
}

long HeaderBlockReader::Position() const {
    return std::ftell(file_);
}

bool HeaderBlockReader::ReadBytes(uint8_t* bytes, size_t count) {
    return std::fread(bytes, 1, count, file_) == count;
}

bool HeaderBlockReader::ReadMagic(bool& complete) {
    uint8_t magic[sizeof kUserCodeMagic];
    complete = ReadBytes(magic, sizeof magic);
    return complete && std::memcmp(magic, kUserCodeMagic, sizeof magic) == 0;
}

bool HeaderBlockReader::Next(uint16_t& type, uint32_t& length) {
    uint8_t head[6];
    if (!ReadBytes(head, sizeof head)) {
        return false;
    }
    type = static_cast<uint16_t>(head[0] << 8 | head[1]);
    length = uint32_t{head[2]} << 24 | uint32_t{head[3]} << 16 | uint32_t{head[4]} << 8 | head[5];
    dataStart_ = Position();
    length_ = length;
    return true;
}

bool HeaderBlockReader::DataFits() const {
    return static_cast<int64_t>(dataStart_) + length_ <= static_cast<int64_t>(fileSize_);
}

bool HeaderBlockReader::ReadText(std::string& text) {
    text.clear();
    if (!DataFits()) {
        return false;
    }
    char buffer[kBlockTextLimit + 1] = {};
    const size_t wanted = std::min<uint32_t>(length_, kBlockTextLimit);
    if (std::fread(buffer, 1, wanted, file_) != wanted) {
        return false;
    }
    text.assign(buffer, std::find(buffer, buffer + wanted, '\0'));
    return Skip();
}

bool HeaderBlockReader::ReadU32(uint32_t& value) {
    uint8_t bytes[4];
    if (!ReadBytes(bytes, sizeof bytes)) {
        return false;
    }
    value =
        uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    return true;
}

bool HeaderBlockReader::Skip() {
    if (!DataFits()) {
        return false;
    }
    return std::fseek(file_, dataStart_ + static_cast<long>(length_), SEEK_SET) == 0;
}
