#include "tests/modbus_transport/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

ChildProcess::~ChildProcess() {
    Stop();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, int keepFd) {
    int fds[2];
    if (::pipe(fds) != 0)
        return false;
    pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        ::dup2(fds[1], STDOUT_FILENO);
        ::close(fds[0]);
        ::close(fds[1]);
        if (keepFd >= 0)
            ::fcntl(keepFd, F_SETFD, 0);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(fds[1]);
    outputFd = fds[0];
    ::fcntl(outputFd, F_SETFL, ::fcntl(outputFd, F_GETFL) | O_NONBLOCK);
    return true;
}

bool ChildProcess::WaitForLine(const std::string& line, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const std::string got = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (got == line)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || outputFd < 0)
            return false;
        pollfd fd{outputFd, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char buffer[256];
        const ssize_t n = ::read(outputFd, buffer, sizeof buffer);
        if (n <= 0)
            return false;  // the program ended
        pending.append(buffer, static_cast<size_t>(n));
    }
}

void ChildProcess::Stop() {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        int status = 0;
        bool ended = false;
        for (int i = 0; i < 200 && !ended; ++i) {
            ended = ::waitpid(pid, &status, WNOHANG) == pid;
            if (!ended)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!ended) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
        }
        pid = -1;
    }
    if (outputFd >= 0)
        ::close(outputFd);
    outputFd = -1;
    pending.clear();
}
