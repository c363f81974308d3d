#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// Starts and ends the system's socket library (Winsock 2.2 on Windows, nothing elsewhere).
// Calls nest; every TcpSocket also holds the library for its own lifetime.
bool NetworkStartup();
void NetworkCleanup();

// A TCP client socket in non-blocking mode, driven by one I/O thread that waits on it.
//
// Threading contract: Connect, Receive and Wait belong to the I/O thread (or to the
// constructing thread before that thread starts). Send and Close may come from any thread
// when the caller serialises them with its own lock. Wake may be called from anywhere.
class TcpSocket {
  public:
    enum class ConnectResult {
        kConnected,
        kLookupFailed,   // the host name is unknown
        kSocketFailed,   // no socket could be made
        kConnectFailed,  // refused, unreachable or no answer within the time limit
        kInterrupted,    // Wake was called while connecting
    };

    // Outcome of one Send or Receive.
    struct Transfer {
        int bytes = 0;            // bytes moved (0 or more)
        bool wouldBlock = false;  // nothing could move now; wait and try again
        bool peerClosed = false;  // Receive only: the server closed its side
        int error = 0;            // the system's error number when the transfer failed
    };

    // What one Wait saw; several may be true together.
    struct Readiness {
        bool readable = false;  // data, or the peer's close, can be received
        bool writable = false;  // there is room to send again
        bool woken = false;     // Wake was called
    };

    TcpSocket();
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Looks the host up (a dotted address counts as a name), takes its first IPv4 address
    // and connects, giving up after `timeLimitMs`. Closes any earlier connection first.
    // While it waits for the server, `onTick` (when given) runs every `tickMs`, so that the
    // caller's own timers keep going.
    ConnectResult Connect(const char* host, uint16_t port, uint32_t timeLimitMs,
                          const std::function<void()>& onTick = {}, uint32_t tickMs = 0);
    bool IsOpen() const;
    void Close();
    // Ends both directions of the connection (the peer sees our close) and keeps the socket
    // until Close, so a late receive still reports the end instead of a stale handle.
    void Shutdown();

    // Never raises SIGPIPE; a broken connection comes back as an error.
    Transfer Send(const uint8_t* bytes, int length);
    Transfer Receive(uint8_t* buffer, int capacity);

    // Waits at most `timeoutMs` until the socket can be read (or, with `wantWrite`, written)
    // or Wake is called. Without a connection it only waits for Wake.
    Readiness Wait(bool wantWrite, uint32_t timeoutMs);
    void Wake();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

}  // namespace platform
