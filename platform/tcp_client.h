#pragma once

// A TCP client for request-and-reply protocols run on the calling thread (an FTP session on a
// program's GUI thread): every connect, send and receive gives up after its own time limit, so
// a silent or stalled server can never hold the program, and no send raises SIGPIPE.

#include <cstdint>
#include <string_view>

#include "platform/ipv4_address.h"
#include "platform/tcp_socket.h"

namespace platform {

class TcpClient {
  public:
    enum class Status {
        kOk,        // bytes moved
        kTimedOut,  // the time limit passed first
        kClosed,    // the peer closed its side (receive), or there is no connection
        kFailed,    // the connection broke; `error` holds the system's error number
    };
    struct Result {
        Status status = Status::kOk;
        int bytes = 0;
        int error = 0;
    };

    TcpClient() = default;
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    TcpSocket::ConnectResult Connect(Ipv4Address address, uint16_t port, uint32_t timeLimitMs);
    bool IsOpen() const { return socket_.IsOpen(); }

    // Sends every byte, or reports why not within the time limit.
    Result SendAll(std::string_view bytes, uint32_t timeLimitMs);

    // Waits at most the time limit for the next bytes; kOk with at least one byte, kClosed when
    // the peer ended the connection.
    Result Receive(uint8_t* buffer, int capacity, uint32_t timeLimitMs);

    // Both directions of the connection end; the socket itself goes with Close.
    void Shutdown() { socket_.Shutdown(); }
    void Close() { socket_.Close(); }

  private:
    TcpSocket socket_;
};

}  // namespace platform
