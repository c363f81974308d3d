#pragma once

#include <cstdint>
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
    // Writes one byte at a time with a short gap, so the master sees them apart.
    void WriteSlowly(const Bytes& bytes);
    // Hangs up: the master's side of the pty loses its device.
    void HangUp();

  private:
    int masterFd = -1;
    std::string slavePath;
};

// A TCP server on 127.0.0.1, played by the test, for one client at a time.
class TcpPeer {
  public:
    // Listens on `wantedPort`, or on a free port when it is 0.
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
    // Stops listening (connection attempts are refused from now on).
    void StopListening();

  private:
    int listenFd = -1;
    int clientFd = -1;
    uint16_t port = 0;
};

// A listener on 127.0.0.1:port whose accept queue is full: further connection attempts get
// no answer at all, so a connect to it hangs until its time limit.
class SilentListener {
  public:
    explicit SilentListener(uint16_t port);
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

  private:
    int listener = -1;
    int fillers[3] = {-1, -1, -1};
};

// A port on 127.0.0.1 that nobody listens on at the moment of asking.
uint16_t FreeTcpPort();

// Milliseconds since an arbitrary start, for timing checks.
int64_t NowMs();
