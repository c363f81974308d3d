#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>

// A child process running `body` (a server), ended with SIGKILL when this goes.
class ChildServer {
  public:
    explicit ChildServer(const std::function<void()>& body);
    ~ChildServer();
    ChildServer(const ChildServer&) = delete;
    ChildServer& operator=(const ChildServer&) = delete;

  private:
    pid_t pid = -1;
};

// Two linked pseudo-terminals made by socat, at paths under a temporary folder.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    bool Ready() const { return ready; }
    std::string masterEnd, serverEnd;

  private:
    pid_t socat = -1;
    std::string directory;
    bool ready = false;
};

uint16_t FreeLoopbackPort();
// Retries connecting to 127.0.0.1:port until something listens (at most `timeoutMs`).
bool WaitForListener(uint16_t port, int timeoutMs);
