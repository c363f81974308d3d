#include "platform/tcp_client.h"

#include "platform/tick.h"

namespace platform {

namespace {

// Milliseconds left until `deadline`, 0 once it has passed.
uint32_t Remaining(uint32_t deadline) {
    const uint32_t now = TickCount();
    return TickReached(now, deadline) ? 0 : deadline - now;
}

}  // namespace

TcpSocket::ConnectResult TcpClient::Connect(Ipv4Address address, uint16_t port,
                                            uint32_t timeLimitMs) {
    return socket_.Connect(Ipv4Text(address).c_str(), port, timeLimitMs);
}

TcpClient::Result TcpClient::SendAll(std::string_view bytes, uint32_t timeLimitMs) {
    Result result;
    if (!socket_.IsOpen()) {
        result.status = Status::kClosed;
        return result;
    }
    const uint32_t deadline = TickCount() + timeLimitMs;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    while (result.bytes < static_cast<int>(bytes.size())) {
        const TcpSocket::Transfer sent =
            socket_.Send(data + result.bytes, static_cast<int>(bytes.size()) - result.bytes);
        if (sent.error != 0) {
            result.status = Status::kFailed;
            result.error = sent.error;
            return result;
        }
        result.bytes += sent.bytes;
        if (sent.wouldBlock) {
            const uint32_t left = Remaining(deadline);
            if (left == 0) {
                result.status = Status::kTimedOut;
                return result;
            }
            socket_.Wait(true, left);
        }
    }
    return result;
}

TcpClient::Result TcpClient::Receive(uint8_t* buffer, int capacity, uint32_t timeLimitMs) {
    Result result;
    if (!socket_.IsOpen()) {
        result.status = Status::kClosed;
        return result;
    }
    const uint32_t deadline = TickCount() + timeLimitMs;
    for (;;) {
        const TcpSocket::Transfer got = socket_.Receive(buffer, capacity);
        if (got.bytes > 0) {
            result.bytes = got.bytes;
            return result;
        }
        if (got.peerClosed) {
            result.status = Status::kClosed;
            return result;
        }
        if (got.error != 0) {
            result.status = Status::kFailed;
            result.error = got.error;
            return result;
        }
        const uint32_t left = Remaining(deadline);
        if (left == 0) {
            result.status = Status::kTimedOut;
            return result;
        }
        socket_.Wait(false, left);
    }
}

}  // namespace platform
