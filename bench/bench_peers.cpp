#include "bench/bench_peers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

void Kill(pid_t pid) {
    if (pid <= 0)
        return;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

}  // namespace

ChildServer::ChildServer(const std::function<void()>& body) {
    pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
}

ChildServer::~ChildServer() {
    Kill(pid);
}

PtyPair::PtyPair() {
    char pattern[] = "/tmp/modbus_bench_XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        return;
    directory = pattern;
    masterEnd = directory + "/master";
    serverEnd = directory + "/server";
    socat = ::fork();
    if (socat == 0) {
        const std::string a = "pty,raw,echo=0,link=" + masterEnd;
        const std::string b = "pty,raw,echo=0,link=" + serverEnd;
        ::execl("/usr/bin/socat", "socat", a.c_str(), b.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < 500 && !ready; ++i) {
        struct stat info;
        ready = ::stat(masterEnd.c_str(), &info) == 0 && ::stat(serverEnd.c_str(), &info) == 0;
        if (!ready)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

PtyPair::~PtyPair() {
    Kill(socat);
    ::unlink(masterEnd.c_str());
    ::unlink(serverEnd.c_str());
    ::rmdir(directory.c_str());
}

uint16_t FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

bool WaitForListener(uint16_t port, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = Loopback(port);
        const bool up =
            ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (up)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
