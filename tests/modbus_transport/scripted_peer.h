#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// The far end of a pseudo-terminal, played by the test: the master under test opens
// SlavePath() as its serial port; the test reads the requests and writes the replies.
class PtyPeer {
  public:
    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& SlavePath() const { return slavePath; }
    // Reads until `count` bytes came or `timeoutMs` passed; returns what came.
    Bytes Read(size_t count, int timeoutMs);
    // Reads until `terminator` ends the data or `timeoutMs` passed.
    Bytes ReadUntil(uint8_t terminator, int timeoutMs);
    void Write(const Bytes& bytes);
    // Waits until the master has read everything written to it so far; false when it has not
    // within `timeoutMs`.
    bool WaitUntilTaken(int timeoutMs);
    // Writes one byte at a time, each once the master has read the one before, so the master
    // sees them apart.
    void WriteSlowly(const Bytes& bytes);
    // Hangs up: the master's side of the pty loses its device.
    void HangUp();

  private:
    int masterFd = -1;
    // The test's own descriptor of the master's side, opened before the master opens it
    // for itself (and perhaps for itself alone): it shows what is still unread there.
    int observerFd = -1;
    std::string slavePath;
};

// A port on 127.0.0.1 that this test holds bound without listening: a connection to it is
// refused, and no other program can take it meanwhile. A TcpPeer or SilentListener of this
// test may still listen on it.
class ClosedPort {
  public:
    // A port of the system's choosing.
    ClosedPort();
    // Holds `port`, which this test's own peer listens on now (and is about to let go).
    explicit ClosedPort(uint16_t port);
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    uint16_t Port() const { return port; }

  private:
    int fd = -1;
    uint16_t port = 0;
};

// A TCP server on 127.0.0.1, played by the test, for one client at a time.
class TcpPeer {
  public:
    // Listens on `wantedPort` (one this test holds), or on a port of the system's choosing
    // when it is 0.
    explicit TcpPeer(uint16_t wantedPort = 0);
    ~TcpPeer();
    TcpPeer(const TcpPeer&) = delete;
    TcpPeer& operator=(const TcpPeer&) = delete;

    uint16_t Port() const { return port; }
    bool Accept(int timeoutMs);
    Bytes Read(size_t count, int timeoutMs);
    // Reads one MBAP request (header and PDU); empty on time-out.
    Bytes ReadRequest(int timeoutMs);
    void Write(const Bytes& bytes);
    void WriteSlowly(const Bytes& bytes);
    // Closes the accepted connection; `reset` sends RST instead of an orderly close.
    void Disconnect(bool reset = false);
    // Stops listening: connection attempts are refused from now on, and the port stays this
    // test's, for a new peer to listen on.
    void StopListening();

  private:
    int listenFd = -1;
    int clientFd = -1;
    uint16_t port = 0;
    std::unique_ptr<ClosedPort> held;
};

// A listener on 127.0.0.1 whose accept queue is full: further connection attempts get no
// answer at all, so a connect to it hangs until its time limit.
class SilentListener {
  public:
    // On `port` (one this test holds), or on a port of the system's choosing when it is 0.
    explicit SilentListener(uint16_t port = 0);
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    uint16_t Port() const { return port; }
    // Waits until a connection attempt other than the listener's own fillers is under way to
    // the port, unanswered; false when none came within `timeoutMs`.
    bool WaitForConnectAttempt(int timeoutMs) const;

  private:
    int listener = -1;
    int fillers[3] = {-1, -1, -1};
    uint16_t port = 0;
};

// Milliseconds since an arbitrary start, for timing checks.
int64_t NowMs();
