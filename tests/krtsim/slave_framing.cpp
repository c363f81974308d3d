#include "slave_framing.h"

#include <cctype>

namespace krtsim {
namespace {

constexpr size_t kMaxBuffered = 65536;

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

}  // namespace

uint16_t crc16(const uint8_t* bytes, size_t count) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    return crc;
}

uint8_t lrc(const uint8_t* bytes, size_t count) {
    uint8_t sum = 0;
    for (size_t i = 0; i < count; ++i)
        sum = static_cast<uint8_t>(sum + bytes[i]);
    return static_cast<uint8_t>(-sum);
}

int rtuRequestLength(const uint8_t* bytes, size_t available) {
    if (available < 2)
        return 0;
    switch (bytes[1]) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 8:
            return 6;
        case 7:
        case 11:
        case 12:
        case 17:
            return 2;
        case 15:
        case 16:
            return available < 7 ? 0 : 7 + bytes[6];
        case 20:
        case 21:
            return available < 3 ? 0 : 3 + bytes[2];
        case 0x42: {
            if (available < 3)
                return 0;
            switch (bytes[2] & 0xF0) {
                case 0x00:
                case 0x40:
                case 0x10:
                case 0x70:
                    return 3;
                case 0x30:
                    return 8;
                case 0x20:
                case 0x60:
                    return available < 8 ? 0 : 8 + 2 * bytes[7];
                default:
                    return -1;
            }
        }
        default:
            return -1;
    }
}

void RtuRequestCutter::feed(const uint8_t* bytes, size_t count) {
    if (buffer_.size() + count > kMaxBuffered)
        buffer_.clear();
    buffer_.insert(buffer_.end(), bytes, bytes + count);
}

// Whether a whole frame of a known layout with a sound CRC starts at bytes.
bool RtuRequestCutter::soundFrameAt(size_t at) const {
    int length = rtuRequestLength(buffer_.data() + at, buffer_.size() - at);
    if (length <= 0 || at + length + 2 > buffer_.size())
        return false;
    uint16_t crc = crc16(buffer_.data() + at, length);
    return buffer_[at + length] == (crc & 0xFF) && buffer_[at + length + 1] == crc >> 8;
}

std::optional<std::vector<uint8_t>> RtuRequestCutter::next() {
    while (!buffer_.empty()) {
        int length = rtuRequestLength(buffer_.data(), buffer_.size());
        if (length < 0) {  // noise, or an unknown code: a sound frame after it ends the wait
            size_t at = 1;
            while (at < buffer_.size() && !soundFrameAt(at))
                ++at;
            if (at == buffer_.size())
                return std::nullopt;
            buffer_.erase(buffer_.begin(), buffer_.begin() + at);
            continue;
        }
        if (length == 0)
            return std::nullopt;
        size_t frameLength = static_cast<size_t>(length) + 2;
        if (buffer_.size() < frameLength)
            return std::nullopt;
        uint16_t crc = crc16(buffer_.data(), length);
        if (buffer_[length] == (crc & 0xFF) && buffer_[length + 1] == crc >> 8) {
            std::vector<uint8_t> pdu(buffer_.begin(), buffer_.begin() + length);
            buffer_.erase(buffer_.begin(), buffer_.begin() + frameLength);
            return pdu;
        }
        buffer_.erase(buffer_.begin());
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> RtuRequestCutter::silence() {
    std::vector<uint8_t> frame;
    frame.swap(buffer_);
    if (frame.size() < 4)
        return std::nullopt;
    size_t length = frame.size() - 2;
    uint16_t crc = crc16(frame.data(), length);
    if (frame[length] != (crc & 0xFF) || frame[length + 1] != crc >> 8)
        return std::nullopt;
    frame.resize(length);
    return frame;
}

void AsciiRequestCutter::feed(const uint8_t* bytes, size_t count) {
    if (buffer_.size() + count > kMaxBuffered)
        buffer_.clear();
    buffer_.append(reinterpret_cast<const char*>(bytes), count);
}

std::optional<std::vector<uint8_t>> AsciiRequestCutter::next() {
    for (;;) {
        auto colon = buffer_.find(':');
        if (colon == std::string::npos) {
            buffer_.clear();
            return std::nullopt;
        }
        buffer_.erase(0, colon);
        auto end = buffer_.find("\r\n");
        if (end == std::string::npos)
            return std::nullopt;
        std::string digits = buffer_.substr(1, end - 1);
        buffer_.erase(0, end + 2);
        if (digits.size() % 2 != 0 || digits.size() < 6)
            continue;
        std::vector<uint8_t> bytes;
        bool sound = true;
        for (size_t i = 0; i < digits.size(); i += 2) {
            int high = hexValue(digits[i]), low = hexValue(digits[i + 1]);
            if (high < 0 || low < 0)
                sound = false;
            bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        }
        if (!sound || lrc(bytes.data(), bytes.size()) != 0)
            continue;
        bytes.pop_back();
        return bytes;
    }
}

void TcpRequestCutter::feed(const uint8_t* bytes, size_t count) {
    if (buffer_.size() + count > kMaxBuffered)
        buffer_.clear();
    buffer_.insert(buffer_.end(), bytes, bytes + count);
}

std::optional<TcpRequest> TcpRequestCutter::next() {
    while (buffer_.size() >= 7) {
        size_t length = static_cast<size_t>(buffer_[4] << 8 | buffer_[5]);
        if (length < 2 || length > 254) {  // no Modbus request is that long: resynchronise
            buffer_.clear();
            return std::nullopt;
        }
        if (buffer_.size() < 6 + length)
            return std::nullopt;
        bool modbus = buffer_[2] == 0 && buffer_[3] == 0;
        TcpRequest request{static_cast<uint16_t>(buffer_[0] << 8 | buffer_[1]),
                           std::vector<uint8_t>(buffer_.begin() + 6, buffer_.begin() + 6 + length)};
        buffer_.erase(buffer_.begin(), buffer_.begin() + 6 + length);
        if (modbus)
            return request;
    }
    return std::nullopt;
}

std::vector<uint8_t> rtuFrame(const std::vector<uint8_t>& pdu) {
    std::vector<uint8_t> frame = pdu;
    uint16_t crc = crc16(pdu.data(), pdu.size());
    frame.push_back(static_cast<uint8_t>(crc));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

std::vector<uint8_t> asciiFrame(const std::vector<uint8_t>& pdu) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::vector<uint8_t> frame{':'};
    auto put = [&](uint8_t byte) {
        frame.push_back(kDigits[byte >> 4]);
        frame.push_back(kDigits[byte & 0x0F]);
    };
    for (uint8_t byte : pdu)
        put(byte);
    put(lrc(pdu.data(), pdu.size()));
    frame.push_back('\r');
    frame.push_back('\n');
    return frame;
}

std::vector<uint8_t> tcpFrame(uint16_t transaction, const std::vector<uint8_t>& pdu,
                              uint16_t protocol) {
    std::vector<uint8_t> frame{
        static_cast<uint8_t>(transaction >> 8), static_cast<uint8_t>(transaction),
        static_cast<uint8_t>(protocol >> 8),    static_cast<uint8_t>(protocol),
        static_cast<uint8_t>(pdu.size() >> 8),  static_cast<uint8_t>(pdu.size())};
    frame.insert(frame.end(), pdu.begin(), pdu.end());
    return frame;
}

}  // namespace krtsim
