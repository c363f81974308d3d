#include "tests/fdr/scripted_ftp_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "tests/fdr/prm_builder.h"

namespace fdr_test {

namespace {

// A socket bound to the port of `address` (0: one the system gives), listening unless told not
// to: a port bound but not listening refuses every connection.
int Listen(const std::string& address, uint16_t port, bool listening = true) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    ::inet_pton(AF_INET, address.c_str(), &where.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
        (listening && ::listen(fd, 4) != 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

uint16_t PortOf(int fd) {
    sockaddr_in where{};
    socklen_t length = sizeof where;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&where), &length);
    return ntohs(where.sin_port);
}

// Waits up to `timeoutMs` for a connection on the first listener, or on the second when there
// is one (`which` tells on which); -1 when none came.
int AcceptWithin(int listener, int timeoutMs, int second = -1, int* which = nullptr) {
    pollfd p[2] = {{listener, POLLIN, 0}, {second, POLLIN, 0}};
    if (::poll(p, second >= 0 ? 2 : 1, timeoutMs) <= 0)
        return -1;
    const int ready = (p[0].revents & POLLIN) != 0 ? 0 : 1;
    if (which != nullptr)
        *which = ready;
    const int fd = ::accept4(p[ready].fd, nullptr, nullptr, SOCK_CLOEXEC);
    // Replies go out as they are written, as a real server's do.
    const int on = 1;
    if (fd >= 0)
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

bool SendText(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::send(fd, bytes, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

ScriptedFtpServer::~ScriptedFtpServer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    resetCue_.notify_all();
    stopCue_.notify_all();
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0)
        ::close(listener_);
    for (int fd : keptOpen_)
        ::close(fd);
}

bool ScriptedFtpServer::Start(const Behaviour& behaviour, const std::string& address,
                              uint16_t port) {
    behaviour_ = behaviour;
    address_ = address;
    listener_ = Listen(address_, port);
    if (listener_ < 0)
        return false;
    port_ = PortOf(listener_);
    thread_ = std::thread([this] { Serve(); });
    return true;
}

std::vector<std::string> ScriptedFtpServer::Commands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

void ScriptedFtpServer::CueReset() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++resetsCued_;
    }
    resetCue_.notify_all();
}

void ScriptedFtpServer::Serve() {
    while (!stop_) {
        const int control = AcceptWithin(listener_, 50);
        if (control < 0)
            continue;
        if (behaviour_.resetAtAccept) {
            std::unique_lock<std::mutex> lock(mutex_);
            resetCue_.wait(lock, [this] { return resetsCued_ > 0 || stop_; });
            --resetsCued_;
            lock.unlock();
            // Closing with a zero linger time sends a reset instead of the goodbye.
            const linger reset{1, 0};
            ::setsockopt(control, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            ::close(control);
            continue;
        }
        Session(control);
        ::close(control);
    }
}

void ScriptedFtpServer::Pause(int ms) {
    if (ms <= 0)
        return;
    std::unique_lock<std::mutex> lock(mutex_);
    stopCue_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
}

bool ScriptedFtpServer::Reply(int control, const std::string& text) {
    Pause(behaviour_.replyDelayMs);
    return SendText(control, text.data(), text.size());
}

bool ScriptedFtpServer::Transfer(int control, int& dataListener, int otherListener,
                                 const std::vector<uint8_t>& bytes, const std::string& finalReply) {
    if (!behaviour_.noPreliminaryReply && !Reply(control, "150 Opening data connection.\r\n"))
        return false;
    if (dataListener < 0)
        return Reply(control, "425 No data connection.\r\n");
    int which = 0;
    const int data = AcceptWithin(dataListener, 5000, otherListener, &which);
    ::close(dataListener);
    dataListener = -1;
    if (data < 0)
        return Reply(control, "425 No data connection.\r\n");
    if (which == 1) {
        // The other host serves its own files; this server's reply follows as usual.
        SendText(data, behaviour_.otherHostData.data(), behaviour_.otherHostData.size());
        ::close(data);
        return Reply(control, finalReply);
    }
    Pause(behaviour_.dataDelayMs);
    if (behaviour_.dataByteIntervalMs > 0) {
        for (size_t at = 0; at < bytes.size() && !stop_; ++at) {
            if (!SendText(data, &bytes[at], 1))
                break;
            Pause(behaviour_.dataByteIntervalMs);
        }
    } else {
        SendText(data, bytes.data(), bytes.size());
    }
    if (behaviour_.dataStaysOpen) {
        keptOpen_.push_back(data);
        return true;
    }
    ::close(data);
    if (behaviour_.closeInsteadOfFinalReply)
        return false;
    return Reply(control, finalReply);
}

bool ScriptedFtpServer::OpenPassive(int& dataListener, int& otherListener) {
    if (dataListener >= 0)
        ::close(dataListener);
    if (otherListener >= 0)
        ::close(otherListener);
    dataListener = otherListener = -1;
    // The other host takes the port first; this server's own address then has it free too.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int other = behaviour_.otherHostData.empty() ? -1 : Listen(behaviour_.passiveHost, 0);
        const int own = Listen(address_, other >= 0 ? PortOf(other) : 0);
        if (own >= 0) {
            dataListener = own;
            otherListener = other;
            return true;
        }
        if (other >= 0)
            ::close(other);
    }
    return false;
}

void ScriptedFtpServer::Session(int control) {
    int dataListener = -1;
    int otherListener = -1;
    int passiveReplies = 0;
    int lines = 0;
    std::string pending;
    bool open = SendText(control, behaviour_.greeting.data(), behaviour_.greeting.size());
    while (open && !stop_ && !behaviour_.chatter.empty()) {
        Pause(behaviour_.chatterIntervalMs);
        open = SendText(control, behaviour_.chatter.data(), behaviour_.chatter.size());
    }
    while (open && !stop_) {
        const size_t end = pending.find("\r\n");
        if (end == std::string::npos) {
            pollfd p{control, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::recv(control, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            pending.append(buffer, static_cast<size_t>(n));
            continue;
        }
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 2);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            commands_.push_back(line);
        }
        if (++lines == behaviour_.closeAfterCommands)
            break;
        const std::string word = line.substr(0, line.find(' '));
        const std::string argument = line.size() > word.size() ? line.substr(word.size() + 1) : "";
        if (auto it = behaviour_.replies.find(word); it != behaviour_.replies.end()) {
            open = Reply(control, it->second);
        } else if (word.empty()) {
            open = Reply(control, "500 Command \"\" not understood.\r\n");
        } else if (word == "USER") {
            open = Reply(control, "331 Username ok, send password.\r\n");
        } else if (word == "PASS") {
            open = Reply(control, "230 Login successful.\r\n");
        } else if (word == "CWD") {
            open = Reply(control, "250 \"/RAM0/fdr\" is the current directory.\r\n");
        } else if (word == "TYPE") {
            open = Reply(control, "200 Type set to: Binary.\r\n");
        } else if (word == "PASV") {
            if (!OpenPassive(dataListener, otherListener)) {
                open = Reply(control, "425 No listener.\r\n");
                continue;
            }
            const uint16_t port = PortOf(dataListener);
            // Given up before the client can connect: the port stays taken, refusing.
            if (++passiveReplies == behaviour_.listenerClosedAtPassive) {
                ::close(dataListener);
                const int refusing = Listen(address_, port, false);
                if (refusing >= 0)
                    keptOpen_.push_back(refusing);
                dataListener = -1;
            }
            std::string host = behaviour_.passiveHost.empty() ? address_ : behaviour_.passiveHost;
            for (char& c : host) {
                if (c == '.')
                    c = ',';
            }
            open = Reply(control, "227 Entering passive mode (" + host + "," +
                                      std::to_string(port >> 8) + "," +
                                      std::to_string(port & 0xFF) + ").\r\n");
        } else if (word == "LIST") {
            const std::string& listing = behaviour_.listing;
            open = Transfer(control, dataListener, otherListener,
                            std::vector<uint8_t>(listing.begin(), listing.end()));
        } else if (word == "RETR") {
            auto file = behaviour_.files.find(argument);
            auto broken = behaviour_.brokenOff.find(argument);
            auto refused = behaviour_.refused.find(argument);
            if (refused != behaviour_.refused.end()) {
                open = Reply(control, refused->second);
            } else if (file == behaviour_.files.end()) {
                open = Reply(control, "550 No such file.\r\n");
            } else if (broken != behaviour_.brokenOff.end()) {
                const std::vector<uint8_t> half(file->second.begin(),
                                                file->second.begin() + file->second.size() / 2);
                open = Transfer(control, dataListener, otherListener, half, broken->second);
            } else {
                open = Transfer(control, dataListener, otherListener, file->second);
            }
        } else if (word == "QUIT") {
            Reply(control, "221 Goodbye.\r\n");
            break;
        } else {
            open = Reply(control, "502 Command not implemented.\r\n");
        }
    }
    if (dataListener >= 0)
        ::close(dataListener);
    if (otherListener >= 0)
        ::close(otherListener);
}

std::string ListingLine(size_t size, const std::string& name) {
    char head[64];
    std::snprintf(head, sizeof head, "%-23s%16zu%-13s", "-rw-rw-rw-   1 fdr", size,
                  " May 03  2022");
    return head + name + "\r\n";
}

ScriptedFtpServer::Behaviour OneFileServer() {
    ScriptedFtpServer::Behaviour behaviour;
    const std::vector<uint8_t> file = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    behaviour.files["a_PMEKRT.prm"] = file;
    behaviour.listing = ListingLine(file.size(), "a_PMEKRT.prm");
    return behaviour;
}

}  // namespace fdr_test
