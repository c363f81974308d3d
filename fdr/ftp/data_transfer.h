#pragma once

// What a passive data connection carries: a listing or a file, read until the server closes
// the connection.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/tcp_client.h"

namespace fdr {

// No listing or device-replacement file comes near this; a server that sends more is not one
// this program can use.
inline constexpr std::size_t maxTransferBytes = 1024 * 1024;

enum class TransferEnd {
    Complete,  // the server closed the connection after its last byte
    TimedOut,  // no byte came within the time limit
    Overdue,   // bytes kept coming, but not all of them by the deadline
    TooLarge,  // more than maxTransferBytes
    Broken,    // the connection failed before the server closed it
};

// Each wait for more bytes lasts at most `waitLimitMs`; the whole transfer ends by the tick
// `deadline`.
TransferEnd receiveUntilClosed(platform::TcpClient& data, uint32_t waitLimitMs, uint32_t deadline,
                               std::vector<uint8_t>& bytes);

}  // namespace fdr
