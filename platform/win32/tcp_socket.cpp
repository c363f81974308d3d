#include "platform/tcp_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "platform/tick.h"

namespace platform {

bool NetworkStartup() {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

void NetworkCleanup() {
    WSACleanup();
}

struct TcpSocket::Impl {
    SOCKET socket = INVALID_SOCKET;
    // Signalled by the socket's network events; WSAEnumNetworkEvents clears it.
    WSAEVENT networkEvent = WSACreateEvent();
    HANDLE wakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    bool networkStarted = NetworkStartup();
    // FD_CLOSE is signalled once; remembered so the close is seen after the last data.
    bool closeSeen = false;

    ~Impl() {
        WSACloseEvent(networkEvent);
        CloseHandle(wakeEvent);
        if (networkStarted)
            NetworkCleanup();
    }

    // Waits for the socket's events or a wake-up. Returns the network events seen (0 on
    // time-out) and sets `woken`.
    long WaitOnce(uint32_t timeoutMs, bool& woken, int& connectError) {
        HANDLE events[2] = {wakeEvent, networkEvent};
        const DWORD count = socket != INVALID_SOCKET ? 2 : 1;
        woken = false;
        const DWORD result = WaitForMultipleObjects(count, events, FALSE, timeoutMs);
        if (result == WAIT_OBJECT_0) {
            woken = true;
            return 0;
        }
        if (result != WAIT_OBJECT_0 + 1)
            return 0;
        WSANETWORKEVENTS seen{};
        if (WSAEnumNetworkEvents(socket, networkEvent, &seen) != 0)
            return FD_CLOSE;
        connectError = seen.iErrorCode[FD_CONNECT_BIT];
        if (seen.lNetworkEvents & FD_CLOSE)
            closeSeen = true;
        return seen.lNetworkEvents;
    }
};

TcpSocket::TcpSocket() : impl(std::make_unique<Impl>()) {}

TcpSocket::~TcpSocket() {
    Close();
}

TcpSocket::ConnectResult TcpSocket::Connect(const char* host, uint16_t port, uint32_t timeLimitMs,
                                            const std::function<void()>& onTick, uint32_t tickMs) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (host == nullptr || getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) {
        return ConnectResult::kLookupFailed;
    }
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    freeaddrinfo(found);
    address.sin_port = htons(port);

    SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return ConnectResult::kSocketFailed;
    // Requests and replies are whole small frames; waiting to merge them only adds delay.
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    // Event selection also makes the socket non-blocking, so the time limit holds and
    // Stop can interrupt the connect.
    WSAResetEvent(impl->networkEvent);
    if (WSAEventSelect(s, impl->networkEvent, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE) != 0) {
        closesocket(s);
        return ConnectResult::kSocketFailed;
    }
    impl->socket = s;
    bool connected = ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!connected && WSAGetLastError() == WSAEWOULDBLOCK) {
        const uint32_t start = TickCount();
        for (;;) {
            const uint32_t elapsed = TickCount() - start;
            if (elapsed >= timeLimitMs)
                break;
            uint32_t waitMs = timeLimitMs - elapsed;
            if (onTick && tickMs > 0 && tickMs < waitMs)
                waitMs = tickMs;
            bool woken = false;
            int connectError = 0;
            const long seen = impl->WaitOnce(waitMs, woken, connectError);
            if (woken) {
                Close();
                return ConnectResult::kInterrupted;
            }
            if (seen & FD_CONNECT) {
                connected = connectError == 0;
                break;
            }
            if (onTick)
                onTick();
        }
    }
    if (!connected) {
        Close();
        return ConnectResult::kConnectFailed;
    }
    // FD_WRITE for the fresh connection was consumed with FD_CONNECT; the stream tries to
    // send first and waits for writability only after a refusal, when FD_WRITE comes again.
    return ConnectResult::kConnected;
}

bool TcpSocket::IsOpen() const {
    return impl->socket != INVALID_SOCKET;
}

void TcpSocket::Close() {
    if (impl->socket == INVALID_SOCKET)
        return;
    closesocket(impl->socket);
    impl->socket = INVALID_SOCKET;
    impl->closeSeen = false;
    WSAResetEvent(impl->networkEvent);
}

void TcpSocket::Shutdown() {
    if (impl->socket != INVALID_SOCKET)
        ::shutdown(impl->socket, SD_BOTH);
}

TcpSocket::Transfer TcpSocket::Send(const uint8_t* bytes, int length) {
    Transfer transfer;
    const int n = ::send(impl->socket, reinterpret_cast<const char*>(bytes), length, 0);
    if (n >= 0) {
        transfer.bytes = n;
    } else if (WSAGetLastError() == WSAEWOULDBLOCK) {
        transfer.wouldBlock = true;
    } else {
        transfer.error = WSAGetLastError();
    }
    return transfer;
}

TcpSocket::Transfer TcpSocket::Receive(uint8_t* buffer, int capacity) {
    Transfer transfer;
    const int n = ::recv(impl->socket, reinterpret_cast<char*>(buffer), capacity, 0);
    if (n > 0) {
        transfer.bytes = n;
    } else if (n == 0) {
        transfer.peerClosed = true;
    } else if (WSAGetLastError() == WSAEWOULDBLOCK) {
        transfer.wouldBlock = true;
    } else {
        transfer.error = WSAGetLastError();
    }
    return transfer;
}

TcpSocket::Readiness TcpSocket::Wait(bool wantWrite, uint32_t timeoutMs) {
    Readiness readiness;
    if (impl->closeSeen) {
        readiness.readable = true;
        return readiness;
    }
    int connectError = 0;
    const long seen = impl->WaitOnce(timeoutMs, readiness.woken, connectError);
    // FD_READ is signalled again after each recv while data remains; FD_CLOSE once, and the
    // next Receive then reports the close.
    readiness.readable = (seen & (FD_READ | FD_CLOSE)) != 0;
    readiness.writable = wantWrite && (seen & FD_WRITE) != 0;
    return readiness;
}

void TcpSocket::Wake() {
    SetEvent(impl->wakeEvent);
}

}  // namespace platform
