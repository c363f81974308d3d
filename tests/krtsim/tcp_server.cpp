#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "server_io.h"
#include "slave_framing.h"
#include "slave_server.h"

namespace krtsim {
namespace {

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

int serveTcp(const RunConfig& config, SlaveSession& session, const ServerHooks& hooks) {
    uint16_t port = 0;
    int listener = openListener(config, port);
    if (listener < 0) {
        std::fprintf(stderr, "krtsim: cannot listen on %s:%u: %s\n", config.tcpHost.c_str(),
                     config.tcpPort, std::strerror(errno));
        return 1;
    }
    announceReady("tcp", config.tcpHost + ":" + std::to_string(port));
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

}  // namespace krtsim
