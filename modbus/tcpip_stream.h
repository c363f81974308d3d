#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/tcp_socket.h"

// A TCP client byte stream with one I/O thread: it connects at construction, sends what is
// queued in a fixed output buffer, hands received bytes to OnReceive, runs OnIdle on a 1 ms
// tick and reconnects, with a pause between attempts, whenever the link breaks. ModBusTCP
// derives from it and supplies the callbacks.
class TcpipStream {
  public:
    static constexpr int kSendBufferSize = 1024;
    static constexpr int kReceiveChunkSize = 1024;
    static constexpr int kHostSize = 512;
    static constexpr int kErrorTextSize = 256;
    static constexpr uint32_t kTickMs = 1;
    // A connect that gets no answer gives up after this long (also at construction).
    static constexpr uint32_t kConnectTimeLimitMs = 3000;
    // Pause before each reconnection attempt, so a server that is down or drops every
    // connection at once is not hammered.
    static constexpr uint32_t kReconnectPauseMs = 200;
    // After bytes arrive the thread keeps looking for more this long before it sleeps in a
    // wait, as long as the server answered within that time: a caller answered on a fast link
    // sends its next request within microseconds, and the reply then costs no wake-up of this
    // thread. (The serial stream does not watch: a reply takes at least its time on the line,
    // milliseconds at the usual rates.)
    static constexpr std::chrono::microseconds kReplyWatchTime{1000};

    // Connects to host:port. Never fails outright: ask IsOpen, then the error text.
    TcpipStream(const char* host, uint16_t port);
    TcpipStream(const TcpipStream&) = delete;
    TcpipStream& operator=(const TcpipStream&) = delete;

    // Connects to the stored host and port. False with the reason in the error text:
    // "Name lookup failed", "Could not construct socket" or "Connection failed".
    bool Connect();
    // True while connected.
    bool IsOpen();
    // Queues bytes: 0 queued, -39 they do not fit in what is left of the output buffer.
    // Bytes queued while the link is down are dropped when it comes back.
    int32_t Send(int32_t length, const uint8_t* bytes);
    // Makes the I/O thread end and waits for it, also while it is reconnecting.
    void Stop();
    // Stop, once.
    void Shutdown();

    std::string StreamErrorText();
    void SetStreamErrorText(std::string_view text);

  protected:
    virtual ~TcpipStream();

    // Starts the I/O thread when connected: the last step of building a Connection object.
    void StartIoThread();
    // True once StartIoThread has started the thread. Without it nothing ever sends what is
    // queued, reconnects or ticks, so a request made then would wait forever.
    bool IoThreadStarted() const { return ioThreadStarted; }

    virtual void OnIdle() {}
    virtual bool OnReceive(int32_t length, const uint8_t* bytes) {
        (void)length;
        (void)bytes;
        return true;
    }
    // A new connection is up (I/O thread): bytes of the old one must not mix with its own.
    virtual void OnConnected() {}

  private:
    // Connect; `keepTicking` (I/O thread only) runs OnIdle while the server is awaited.
    bool ConnectNow(bool keepTicking);
    void IoLoop();
    // Sends what the socket takes now; true when bytes are still waiting. Takes the lock.
    bool FlushOutput();
    using Clock = std::chrono::steady_clock;
    // One receive for OnReceive; true when bytes arrived.
    bool ReceiveOnce();
    // Until when to keep looking for bytes after some arrived (see kReplyWatchTime).
    Clock::time_point WatchAfterReceive() const;
    // Closes the socket after a failure; the loop reconnects after a pause. Takes the lock.
    void DropConnection(const char* text);
    bool StopRequested();
    void StoreErrorText(const char* text);

    platform::TcpSocket socket;
    std::thread thread;
    std::recursive_mutex lock;  // guards everything below but the receive buffer
    char errorText[kErrorTextSize] = {};
    char host[kHostSize] = {};
    bool hostTooLong = false;
    uint16_t tcpPort = 0;
    uint8_t sendBuffer[kSendBufferSize] = {};
    int32_t sendCount = 0;
    // Written under the lock; the I/O thread's turn reads them without it, so a turn with
    // nothing to do takes no lock that the caller's Send might be waiting for.
    std::atomic<bool> connected{false};
    std::atomic<bool> stopRequest{false};
    std::atomic<bool> outputWaiting{false};  // bytes are queued that the socket has not taken
    std::atomic<Clock::rep> lastSendAt{0};   // when Send last queued bytes
    bool stopped = true;
    // Written only by StartIoThread, before the thread exists or after it failed to start.
    bool ioThreadStarted = false;
    bool shutDown = false;
    uint32_t nextConnectAt = 0;                  // I/O thread only
    uint8_t recvBuffer[kReceiveChunkSize] = {};  // I/O thread only
};
