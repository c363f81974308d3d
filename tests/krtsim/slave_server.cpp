#include "slave_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "slave_framing.h"

namespace krtsim {
namespace {

int signalWriteFd = -1;
constexpr int kSilenceMs = 30;  // an RTU line quiet this long ends a frame
// The master opens its port for itself alone (TIOCEXCL); the flag outlives its close while
// krtsim holds the line open, so krtsim lifts it on this tick for the master's next open.
constexpr int kShareTickMs = 100;

void onSignal(int number) {
    char code = static_cast<char>(number);
    if (signalWriteFd >= 0) [[maybe_unused]]
        auto written = write(signalWriteFd, &code, 1);
}

void writeAll(int fd, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        ssize_t written = write(fd, bytes, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
}

void sendReply(int fd, const ReplyPlan& plan) {
    if (plan.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(plan.delayMs));
    if (!plan.oneByteAtATime) {
        writeAll(fd, plan.bytes.data(), plan.bytes.size());
        return;
    }
    for (uint8_t byte : plan.bytes) {
        writeAll(fd, &byte, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Handles a pending signal: false when the loop must stop.
bool takeSignal(const ServerHooks& hooks) {
    char code = 0;
    if (read(hooks.signalFd, &code, 1) != 1)
        return true;
    if (code == SIGUSR1) {
        if (hooks.dump)
            hooks.dump();
        return true;
    }
    return false;
}

void ready(const char* framing, const std::string& where) {
    std::printf("krtsim ready %s %s\n", framing, where.c_str());
    std::fflush(stdout);
}

int openListener(const RunConfig& config, uint16_t& port) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0)
        return -1;
    int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(config.tcpPort);
    if (inet_pton(AF_INET, config.tcpHost.c_str(), &address.sin_addr) != 1 ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0) {
        close(listener);
        return -1;
    }
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return listener;
}

struct TcpClient {
    int fd;
    TcpRequestCutter cutter;
};

}  // namespace

int installSignalPipe() {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    fcntl(fds[1], F_SETFL, O_NONBLOCK);
    signalWriteFd = fds[1];
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGINT, SIGUSR1})
        sigaction(number, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return fds[0];
}

int serveTcp(const RunConfig& config, SlaveSession& session, const ServerHooks& hooks) {
    uint16_t port = 0;
    int listener = openListener(config, port);
    if (listener < 0) {
        std::fprintf(stderr, "krtsim: cannot listen on %s:%u: %s\n", config.tcpHost.c_str(),
                     config.tcpPort, std::strerror(errno));
        return 1;
    }
    ready("tcp", config.tcpHost + ":" + std::to_string(port));
    std::vector<TcpClient> clients;
    bool serving = true;
    while (serving) {
        std::vector<pollfd> fds{{hooks.signalFd, POLLIN, 0}, {listener, POLLIN, 0}};
        for (const auto& client : clients)
            fds.push_back({client.fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents)
            serving = takeSignal(hooks);
        if (fds[1].revents & POLLIN) {
            int fd = accept(listener, nullptr, nullptr);
            if (fd >= 0) {
                int on = 1;
                setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                clients.push_back({fd, {}});
            }
        }
        for (size_t i = 2; i < fds.size(); ++i) {
            if (!fds[i].revents)
                continue;
            TcpClient& client = clients[i - 2];
            uint8_t buffer[4096];
            ssize_t got = read(client.fd, buffer, sizeof buffer);
            if (got <= 0) {
                close(client.fd);
                client.fd = -1;
                continue;
            }
            client.cutter.feed(buffer, static_cast<size_t>(got));
            while (auto request = client.cutter.next())
                if (auto reply =
                        session.onRequest(request->pdu, ServerMode::Tcp, request->transaction))
                    sendReply(client.fd, *reply);
        }
        std::erase_if(clients, [](const TcpClient& client) { return client.fd < 0; });
    }
    for (const auto& client : clients)
        close(client.fd);
    close(listener);
    return 0;
}

int servePty(const RunConfig& config, SlaveSession& session, const ServerHooks& hooks) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::fprintf(stderr, "krtsim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    std::string path = ptsname(master);
    // Held open for the whole run: the line stays raw, and a master that closes and
    // reopens the device does not hang the pseudo-terminal up.
    int keeper = open(path.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    if (keeper < 0 || tcgetattr(keeper, &settings) != 0) {
        std::fprintf(stderr, "krtsim: cannot open %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    cfmakeraw(&settings);
    tcsetattr(keeper, TCSANOW, &settings);
    if (!config.linkPath.empty()) {
        unlink(config.linkPath.c_str());
        if (symlink(path.c_str(), config.linkPath.c_str()) != 0)
            std::fprintf(stderr, "krtsim: cannot link %s: %s\n", config.linkPath.c_str(),
                         std::strerror(errno));
    }
    bool rtu = config.mode == ServerMode::Rtu;
    ready(rtu ? "rtu" : "ascii", path);

    RtuRequestCutter rtuCutter;
    AsciiRequestCutter asciiCutter;
    auto serve = [&](const std::vector<uint8_t>& pdu) {
        if (auto reply = session.onRequest(pdu, config.mode))
            sendReply(master, *reply);
    };
    bool serving = true;
    while (serving) {
        pollfd fds[2] = {{hooks.signalFd, POLLIN, 0}, {master, POLLIN, 0}};
        int timeout = rtu && rtuCutter.pending() ? kSilenceMs : kShareTickMs;
        int ready = poll(fds, 2, timeout);
        ioctl(keeper, TIOCNXCL);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (ready == 0) {
            if (rtuCutter.pending())
                if (auto pdu = rtuCutter.silence())
                    serve(*pdu);
            continue;
        }
        if (fds[0].revents)
            serving = takeSignal(hooks);
        if (!(fds[1].revents & POLLIN)) {
            if (fds[1].revents)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        uint8_t buffer[4096];
        ssize_t got = read(master, buffer, sizeof buffer);
        if (got <= 0)
            continue;
        if (rtu) {
            rtuCutter.feed(buffer, static_cast<size_t>(got));
            while (auto pdu = rtuCutter.next())
                serve(*pdu);
        } else {
            asciiCutter.feed(buffer, static_cast<size_t>(got));
            while (auto pdu = asciiCutter.next())
                serve(*pdu);
        }
    }
    if (!config.linkPath.empty())
        unlink(config.linkPath.c_str());
    close(keeper);
    close(master);
    return 0;
}

}  // namespace krtsim
