#include "server_io.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

namespace krtsim {
namespace {

int signalWriteFd = -1;

void onSignal(int number) {
    char code = static_cast<char>(number);
    if (signalWriteFd >= 0) {
        ssize_t written = write(signalWriteFd, &code, 1);
        (void)written;  // a full pipe already holds a stop or dump request
    }
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
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGINT, SIGUSR1})
        sigaction(number, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return fds[0];
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
