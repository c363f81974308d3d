#include "server_io.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

namespace krtsim {
namespace {

int signalWriteFd = -1;
// SIGUSR2 releases a held reply; a stop ends the wait for it.
int releaseReadFd = -1;
int releaseWriteFd = -1;
volatile sig_atomic_t stopAsked = 0;

void onSignal(int number) {
    char code = static_cast<char>(number);
    int fd = number == SIGUSR2 ? releaseWriteFd : signalWriteFd;
    if (number == SIGTERM || number == SIGINT)
        stopAsked = 1;
    if (fd >= 0) {
        ssize_t written = write(fd, &code, 1);
        (void)written;  // a full pipe already holds a stop or dump request
    }
}

// Waits for the release of a held reply; false when the simulator is to stop instead.
bool waitForRelease() {
    while (!stopAsked) {
        pollfd fd{releaseReadFd, POLLIN, 0};
        if (poll(&fd, 1, 100) > 0) {
            char code = 0;
            if (read(releaseReadFd, &code, 1) == 1)
                return true;
        }
    }
    return false;
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

}  // namespace

int installSignalPipe() {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    fcntl(fds[1], F_SETFL, O_NONBLOCK);
    signalWriteFd = fds[1];
    int release[2];
    if (pipe(release) != 0)
        return -1;
    fcntl(release[0], F_SETFL, O_NONBLOCK);
    fcntl(release[1], F_SETFL, O_NONBLOCK);
    releaseReadFd = release[0];
    releaseWriteFd = release[1];
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2})
        sigaction(number, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return fds[0];
}

void sendReply(int fd, const ReplyPlan& plan) {
    if (plan.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(plan.delayMs));
    if (plan.held) {
        if (!waitForRelease())
            return;
        writeAll(fd, plan.bytes.data(), plan.bytes.size());
        // The test goes on once the reply is on its way.
        std::printf("krtsim released\n");
        std::fflush(stdout);
        return;
    }
    if (!plan.oneByteAtATime) {
        writeAll(fd, plan.bytes.data(), plan.bytes.size());
        return;
    }
    for (uint8_t byte : plan.bytes) {
        writeAll(fd, &byte, 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

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

void announceReady(const char* framing, const std::string& where) {
    std::printf("krtsim ready %s %s\n", framing, where.c_str());
    std::fflush(stdout);
}

}  // namespace krtsim
