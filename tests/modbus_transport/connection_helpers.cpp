#include "tests/modbus_transport/connection_helpers.h"

#include <cstdio>
#include <cstring>

#include "modbus/crc16.h"

std::vector<uint8_t> RegisterReply(uint8_t unit, uint8_t function,
                                   const std::vector<uint16_t>& values) {
    std::vector<uint8_t> pdu{unit, function, static_cast<uint8_t>(2 * values.size())};
    for (uint16_t value : values) {
        pdu.push_back(static_cast<uint8_t>(value >> 8));
        pdu.push_back(static_cast<uint8_t>(value & 0xFF));
    }
    return pdu;
}

std::vector<uint8_t> RtuFrame(std::vector<uint8_t> pdu) {
    const uint16_t crc = ModbusCrc16(pdu.data(), pdu.size());
    pdu.push_back(static_cast<uint8_t>(crc & 0xFF));
    pdu.push_back(static_cast<uint8_t>(crc >> 8));
    return pdu;
}

std::vector<uint8_t> AsciiFrame(const std::vector<uint8_t>& pdu) {
    std::string text = ":";
    char digits[3];
    for (uint8_t byte : pdu) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    std::snprintf(digits, sizeof digits, "%02X", ModbusLrc(pdu.data(), pdu.size()));
    text += digits;
    text += "\r\n";
    return Text(text.c_str());
}

std::vector<uint8_t> TcpFrame(uint16_t transaction, const std::vector<uint8_t>& pdu) {
    std::vector<uint8_t> frame{
        static_cast<uint8_t>(transaction >> 8), static_cast<uint8_t>(transaction & 0xFF), 0, 0,
        static_cast<uint8_t>(pdu.size() >> 8),  static_cast<uint8_t>(pdu.size() & 0xFF)};
    frame.insert(frame.end(), pdu.begin(), pdu.end());
    return frame;
}

std::vector<uint8_t> Concat(std::vector<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<uint8_t> Text(const char* text) {
    return std::vector<uint8_t>(text, text + std::strlen(text));
}
