#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "server_io.h"
#include "slave_framing.h"
#include "slave_server.h"

namespace krtsim {
namespace {

constexpr int kSilenceMs = 30;  // an RTU line quiet this long ends a frame
// The master opens its port for itself alone (TIOCEXCL); the flag outlives its close while
// krtsim holds the line open, so krtsim lifts it on this tick for the master's next open.
constexpr int kShareTickMs = 100;

}  // namespace

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
    announceReady(rtu ? "rtu" : "ascii", path);

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
