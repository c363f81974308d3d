#include "tests/modbus_transport/scripted_peer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>

namespace {

constexpr auto kByteGap = std::chrono::milliseconds(2);
// How long a master may take to read what it was sent, on a busy machine.
constexpr int kTakeWaitMs = 5000;

// Reads from `fd` until `missing` says no more bytes are wanted or the time is up; `missing`
// returns how many more bytes the data needs at least (0 when complete).
template <typename Missing>
Bytes ReadWhile(int fd, int timeoutMs, Missing missing) {
    Bytes bytes;
    const int64_t deadline = NowMs() + timeoutMs;
    for (size_t want = missing(bytes); fd >= 0 && want > 0; want = missing(bytes)) {
        // Past the deadline, bytes that have already arrived are still taken: a reader that
        // was descheduled between two reads must not leave half a frame behind.
        const int64_t left = std::max<int64_t>(deadline - NowMs(), 0);
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        uint8_t chunk[512];
        const ssize_t n = ::read(fd, chunk, std::min(want, sizeof chunk));
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    return bytes;
}

void WriteAll(int fd, const uint8_t* bytes, size_t length) {
    while (fd >= 0 && length > 0) {
        // send() on a socket so a master that hung up cannot kill the test with SIGPIPE.
        ssize_t n = ::send(fd, bytes, length, MSG_NOSIGNAL);
        if (n < 0 && errno == ENOTSOCK)
            n = ::write(fd, bytes, length);
        if (n <= 0)
            return;
        bytes += n;
        length -= static_cast<size_t>(n);
    }
}

// A TCP socket bound to 127.0.0.1:port (0: a port of the system's choosing); the port it got
// in `bound`. SO_REUSEPORT lets this test's own sockets share a port it holds, while a
// program without that option, or of another user, cannot bind it.
int BoundSocket(uint16_t port, uint16_t& bound) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        bound = 0;
        return -1;
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    bound = ntohs(address.sin_port);
    return fd;
}

}  // namespace

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

PtyPeer::PtyPeer() {
    masterFd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd < 0 || ::grantpt(masterFd) != 0 || ::unlockpt(masterFd) != 0)
        return;
    slavePath = ::ptsname(masterFd);
    termios tio{};
    ::tcgetattr(masterFd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(masterFd, TCSANOW, &tio);
    observerFd = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

PtyPeer::~PtyPeer() {
    HangUp();
}

bool PtyPeer::WaitUntilTaken(int timeoutMs) {
    const int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        int unread = 0;
        if (observerFd < 0 || ::ioctl(observerFd, TIOCINQ, &unread) != 0)
            return false;
        if (unread == 0)
            return true;
        if (NowMs() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

Bytes PtyPeer::Read(size_t count, int timeoutMs) {
    return ReadWhile(masterFd, timeoutMs,
                     [count](const Bytes& b) { return b.size() < count ? count - b.size() : 0; });
}

Bytes PtyPeer::ReadUntil(uint8_t terminator, int timeoutMs) {
    return ReadWhile(masterFd, timeoutMs, [terminator](const Bytes& b) -> size_t {
        return !b.empty() && b.back() == terminator ? 0 : 1;
    });
}

void PtyPeer::Write(const Bytes& bytes) {
    WriteAll(masterFd, bytes.data(), bytes.size());
}

void PtyPeer::WriteSlowly(const Bytes& bytes) {
    for (uint8_t byte : bytes) {
        WriteAll(masterFd, &byte, 1);
        WaitUntilTaken(kTakeWaitMs);
    }
}

void PtyPeer::HangUp() {
    if (masterFd >= 0)
        ::close(masterFd);
    masterFd = -1;
    if (observerFd >= 0)
        ::close(observerFd);
    observerFd = -1;
}

ClosedPort::ClosedPort() : ClosedPort(0) {}

ClosedPort::ClosedPort(uint16_t wanted) {
    fd = BoundSocket(wanted, port);
}

ClosedPort::~ClosedPort() {
    if (fd >= 0)
        ::close(fd);
}

TcpPeer::TcpPeer(uint16_t wantedPort) {
    listenFd = BoundSocket(wantedPort, port);
    ::listen(listenFd, 4);
}

TcpPeer::~TcpPeer() {
    Disconnect();
    StopListening();
}

bool TcpPeer::Accept(int timeoutMs) {
    Disconnect();
    pollfd p{listenFd, POLLIN, 0};
    if (listenFd < 0 || ::poll(&p, 1, timeoutMs) <= 0)
        return false;
    clientFd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    const int on = 1;
    ::setsockopt(clientFd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return clientFd >= 0;
}

Bytes TcpPeer::Read(size_t count, int timeoutMs) {
    return ReadWhile(clientFd, timeoutMs,
                     [count](const Bytes& b) { return b.size() < count ? count - b.size() : 0; });
}

Bytes TcpPeer::ReadRequest(int timeoutMs) {
    Bytes request = ReadWhile(clientFd, timeoutMs, [](const Bytes& b) -> size_t {
        if (b.size() < 6)
            return 6 - b.size();
        const size_t whole = 6u + (b[4] << 8 | b[5]);
        return b.size() < whole ? whole - b.size() : 0;
    });
    if (request.size() < 6 || request.size() < 6u + (request[4] << 8 | request[5]))
        return {};
    return request;
}

void TcpPeer::Write(const Bytes& bytes) {
    WriteAll(clientFd, bytes.data(), bytes.size());
}

void TcpPeer::WriteSlowly(const Bytes& bytes) {
    for (uint8_t byte : bytes) {
        WriteAll(clientFd, &byte, 1);
        std::this_thread::sleep_for(kByteGap);
    }
}

void TcpPeer::Disconnect(bool reset) {
    if (clientFd < 0)
        return;
    if (reset) {
        const linger hard{1, 0};
        ::setsockopt(clientFd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    }
    ::close(clientFd);
    clientFd = -1;
}

void TcpPeer::StopListening() {
    if (listenFd >= 0) {
        held = std::make_unique<ClosedPort>(port);
        ::close(listenFd);
    }
    listenFd = -1;
}

SilentListener::SilentListener(uint16_t wantedPort) {
    listener = BoundSocket(wantedPort, port);
    ::listen(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    for (int& filler : fillers) {
        filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
}

bool SilentListener::WaitForConnectAttempt(int timeoutMs) const {
    // The fillers' own attempts are told apart by their local ports.
    std::set<unsigned> fillerPorts;
    for (int filler : fillers) {
        sockaddr_in local{};
        socklen_t length = sizeof local;
        if (::getsockname(filler, reinterpret_cast<sockaddr*>(&local), &length) == 0)
            fillerPorts.insert(ntohs(local.sin_port));
    }
    const int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        // "sl local_address rem_address st ...": addresses as hex IP:port, state 02 SYN_SENT.
        std::ifstream table("/proc/net/tcp");
        std::string line;
        std::getline(table, line);
        while (std::getline(table, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            const unsigned localPort = std::stoul(local.substr(local.find(':') + 1), nullptr, 16);
            const unsigned remotePort =
                std::stoul(remote.substr(remote.find(':') + 1), nullptr, 16);
            if (state == "02" && remotePort == port && fillerPorts.count(localPort) == 0)
                return true;
        }
        if (NowMs() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

SilentListener::~SilentListener() {
    for (int filler : fillers)
        ::close(filler);
    ::close(listener);
}
