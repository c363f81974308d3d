#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "modbus/modbus.h"

// Connection objects end only through Close(); a unique_ptr with this deleter makes sure
// every test ends its connection, also when an assertion fails halfway.
struct CloseConnection {
    void operator()(ModBus* connection) const {
        if (connection != nullptr)
            connection->Close();
    }
};
template <typename T>
using ConnectionPtr = std::unique_ptr<T, CloseConnection>;

// The status a synchronous request failed with (its result is minus (unit << 16 | status)).
inline int32_t StatusOf(int32_t result) {
    return result < 0 ? (-result) & 0xFFFF : 0;
}

// A Modbus reply PDU for function 3 or 4 carrying `values`.
std::vector<uint8_t> RegisterReply(uint8_t unit, uint8_t function,
                                   const std::vector<uint16_t>& values);
// The PDU followed by its CRC-16, low byte first.
std::vector<uint8_t> RtuFrame(std::vector<uint8_t> pdu);
// ":" + digits of the PDU and its LRC + CR LF.
std::vector<uint8_t> AsciiFrame(const std::vector<uint8_t>& pdu);
// MBAP header (transaction, protocol 0, length) + PDU.
std::vector<uint8_t> TcpFrame(uint16_t transaction, const std::vector<uint8_t>& pdu);
std::vector<uint8_t> Concat(std::vector<std::vector<uint8_t>> parts);
std::vector<uint8_t> Text(const char* text);
