#include "platform/tcp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/posix/wake_pipe.h"
#include "platform/tick.h"

namespace platform {

bool NetworkStartup() {
    return true;
}
void NetworkCleanup() {}

struct TcpSocket::Impl {
    std::atomic<int> fd{-1};
    WakePipe wake;

    // Polls the wake pipe and, when given, `socketFd` for `events`. Returns the socket's
    // revents (0 on time-out) and sets `woken`.
    short PollOnce(int socketFd, short events, uint32_t timeoutMs, bool& woken) {
        pollfd fds[2] = {};
        fds[0].fd = wake.ReadEnd();
        fds[0].events = POLLIN;
        fds[1].fd = socketFd;
        fds[1].events = events;
        const nfds_t count = socketFd >= 0 ? 2 : 1;
        woken = false;
        if (::poll(fds, count, static_cast<int>(timeoutMs)) <= 0)
            return 0;
        if (fds[0].revents & POLLIN) {
            wake.Drain();
            woken = true;
        }
        return count == 2 ? fds[1].revents : 0;
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
    if (host == nullptr || ::getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr) {
        return ConnectResult::kLookupFailed;
    }
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    ::freeaddrinfo(found);
    address.sin_port = htons(port);

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return ConnectResult::kSocketFailed;
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    // Requests and replies are whole small frames; waiting to merge them only adds delay.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

    // Connect without blocking so that the time limit holds and Stop can interrupt it.
    int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (result != 0 && errno == EINPROGRESS) {
        const uint32_t start = TickCount();
        result = -1;
        for (;;) {
            const uint32_t elapsed = TickCount() - start;
            if (elapsed >= timeLimitMs)
                break;
            uint32_t waitMs = timeLimitMs - elapsed;
            if (onTick && tickMs > 0 && tickMs < waitMs)
                waitMs = tickMs;
            bool woken = false;
            const short revents = impl->PollOnce(fd, POLLOUT, waitMs, woken);
            if (woken) {
                ::close(fd);
                return ConnectResult::kInterrupted;
            }
            if (revents != 0) {
                int error = 0;
                socklen_t length = sizeof error;
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
                result = error == 0 ? 0 : -1;
                break;
            }
            if (onTick)
                onTick();
        }
    }
    if (result != 0) {
        ::close(fd);
        return ConnectResult::kConnectFailed;
    }
    impl->fd = fd;
    return ConnectResult::kConnected;
}

bool TcpSocket::IsOpen() const {
    return impl->fd >= 0;
}

void TcpSocket::Close() {
    const int fd = impl->fd.exchange(-1);
    if (fd >= 0)
        ::close(fd);
}

void TcpSocket::Shutdown() {
    const int fd = impl->fd;
    if (fd >= 0)
        ::shutdown(fd, SHUT_RDWR);
}

TcpSocket::Transfer TcpSocket::Send(const uint8_t* bytes, int length) {
    Transfer transfer;
    const ssize_t n = ::send(impl->fd, bytes, static_cast<size_t>(length), MSG_NOSIGNAL);
    if (n >= 0) {
        transfer.bytes = static_cast<int>(n);
    } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        transfer.wouldBlock = true;
    } else {
        transfer.error = errno;
    }
    return transfer;
}

TcpSocket::Transfer TcpSocket::Receive(uint8_t* buffer, int capacity) {
    Transfer transfer;
    const ssize_t n = ::recv(impl->fd, buffer, static_cast<size_t>(capacity), 0);
    if (n > 0) {
        transfer.bytes = static_cast<int>(n);
    } else if (n == 0) {
        transfer.peerClosed = true;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        transfer.wouldBlock = true;
    } else {
        transfer.error = errno;
    }
    return transfer;
}

TcpSocket::Readiness TcpSocket::Wait(bool wantWrite, uint32_t timeoutMs) {
    Readiness readiness;
    const short events = static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0));
    const short revents = impl->PollOnce(impl->fd, events, timeoutMs, readiness.woken);
    // A hang-up or error is seen by the next Receive, which reports it.
    readiness.readable = (revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    readiness.writable = (revents & POLLOUT) != 0;
    return readiness;
}

void TcpSocket::Wake() {
    impl->wake.Signal();
}

}  // namespace platform
