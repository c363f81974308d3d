#include "modbus/tcpip_stream.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <system_error>
#include <thread>

#include "modbus/bounded_text.h"
#include "modbus/completion_event.h"
#include "platform/tick.h"

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

}  // namespace

TcpipStream::TcpipStream(const char* host, uint16_t port) {
    StoreErrorText("No Error");
    const char* name = host != nullptr ? host : "";
    const size_t length = std::strlen(name);
    hostTooLong = length >= sizeof this->host;
    if (!hostTooLong)
        std::memcpy(this->host, name, length + 1);
    tcpPort = port;
    Connect();
}

TcpipStream::~TcpipStream() {
    Shutdown();
}

bool TcpipStream::Connect() {
    return ConnectNow(false);
}

bool TcpipStream::ConnectNow(bool keepTicking) {
    using Result = platform::TcpSocket::ConnectResult;
    // On the I/O thread, requests keep expiring while a server takes its time to answer.
    std::function<void()> onTick;
    if (keepTicking) {
        onTick = [this] { OnIdle(); };
    }
    // A name too long for the host field could never be looked up as given.
    const Result result = hostTooLong
                              ? Result::kLookupFailed
                              : socket.Connect(host, tcpPort, kConnectTimeLimitMs, onTick, kTickMs);
    Guard guard(lock);
    switch (result) {
        case Result::kConnected:
            // Output queued while the link was down belongs to requests that have given up.
            sendCount = 0;
            outputWaiting = false;
            connected = true;
            return true;
        case Result::kLookupFailed:
            StoreErrorText("Name lookup failed");
            break;
        case Result::kSocketFailed:
            StoreErrorText("Could not construct socket");
            break;
        case Result::kConnectFailed:
        case Result::kInterrupted:
            StoreErrorText("Connection failed");
            break;
    }
    return false;
}

bool TcpipStream::IsOpen() {
    return connected;
}

int32_t TcpipStream::Send(int32_t length, const uint8_t* bytes) {
    Guard guard(lock);
    if (length < 0 || length > kSendBufferSize - sendCount)
        return -39;
    std::memcpy(sendBuffer + sendCount, bytes, static_cast<size_t>(length));
    sendCount += length;
    lastSendAt = Clock::now().time_since_epoch().count();
    if (!connected)
        return 0;
    // Sent at once rather than on the I/O thread's next turn: a round trip should cost the
    // network's time, not a tick. Whatever the socket does not take now is left to that thread.
    if (sendCount == length) {
        const platform::TcpSocket::Transfer sent = socket.Send(sendBuffer, sendCount);
        if (sent.bytes > 0) {
            std::memmove(sendBuffer, sendBuffer + sent.bytes,
                         static_cast<size_t>(sendCount - sent.bytes));
            sendCount -= sent.bytes;
        }
    }
    if (sendCount > 0) {
        outputWaiting = true;
        socket.Wake();
    }
    return 0;
}

void TcpipStream::Stop() {
    {
        Guard guard(lock);
        stopRequest = true;
    }
    socket.Wake();
    if (thread.joinable())
        thread.join();
    Guard guard(lock);
    socket.Close();
    connected = false;
}

void TcpipStream::Shutdown() {
    {
        Guard guard(lock);
        if (shutDown)
            return;
        shutDown = true;
    }
    Stop();
}

std::string TcpipStream::StreamErrorText() {
    Guard guard(lock);
    return errorText;
}

void TcpipStream::SetStreamErrorText(std::string_view text) {
    Guard guard(lock);
    CopyBoundedText(errorText, text);
}

void TcpipStream::StoreErrorText(const char* text) {
    SetStreamErrorText(text);
}

void TcpipStream::StartIoThread() {
    Guard guard(lock);
    if (!connected || thread.joinable())
        return;
    stopRequest = false;
    ioThreadStarted = true;
    try {
        thread = std::thread(&TcpipStream::IoLoop, this);
    } catch (const std::system_error&) {
        ioThreadStarted = false;
        StoreErrorText("Could not create thread.");
        socket.Close();
        connected = false;
    }
}

bool TcpipStream::StopRequested() {
    return stopRequest;
}

void TcpipStream::IoLoop() {
    {
        Guard guard(lock);
        stopped = false;
    }
    uint32_t nextTick = platform::TickCount() + kTickMs;
    Clock::time_point watchUntil{};
    while (!StopRequested()) {
        uint32_t now = platform::TickCount();
        if (platform::TickReached(now, nextTick)) {
            // Requests keep expiring whatever the link does, also while it is down.
            OnIdle();
            nextTick = platform::TickCount() + kTickMs;
        }
        if (!IsOpen()) {
            now = platform::TickCount();
            if (!platform::TickReached(now, nextConnectAt)) {
                const uint32_t pause = std::min(nextConnectAt - now, kTickMs);
                socket.Wait(false, pause);
                continue;
            }
            if (ConnectNow(true)) {
                OnConnected();
            } else {
                nextConnectAt = platform::TickCount() + kReconnectPauseMs;
            }
            continue;
        }
        const bool outputWaiting = FlushOutput();
        if (!IsOpen())
            continue;
        if (Clock::now() < watchUntil) {
            // The next reply is probably moments away: look for it without going to sleep,
            // which would cost a wake-up on its arrival, and read without asking first.
            if (ReceiveOnce())
                watchUntil = WatchAfterReceive();
            else if (YieldFoundProcessorBusy())
                watchUntil = Clock::time_point();  // others need the processor: wait instead
            continue;
        }
        const platform::TcpSocket::Readiness ready = socket.Wait(outputWaiting, kTickMs);
        if (ready.readable && ReceiveOnce())
            watchUntil = WatchAfterReceive();
    }
    Guard guard(lock);
    socket.Close();
    connected = false;
    stopped = true;
}

TcpipStream::Clock::time_point TcpipStream::WatchAfterReceive() const {
    const Clock::time_point now = Clock::now();
    // A server that took longer than the watch to answer will do so again: then sleep.
    const Clock::duration answeredIn = now - Clock::time_point(Clock::duration(lastSendAt.load()));
    return answeredIn < kReplyWatchTime ? now + kReplyWatchTime : now;
}

bool TcpipStream::FlushOutput() {
    if (!outputWaiting)
        return false;
    Guard guard(lock);
    if (sendCount == 0 || !connected)
        return false;
    const platform::TcpSocket::Transfer sent = socket.Send(sendBuffer, sendCount);
    if (sent.error != 0) {
        char text[kErrorTextSize];
        std::snprintf(text, sizeof text, "\nI/O Error %li", static_cast<long>(sent.error));
        DropConnection(text);
        return false;
    }
    if (sent.bytes > 0) {
        std::memmove(sendBuffer, sendBuffer + sent.bytes,
                     static_cast<size_t>(sendCount - sent.bytes));
        sendCount -= sent.bytes;
    }
    outputWaiting = sendCount > 0;
    return outputWaiting;
}

bool TcpipStream::ReceiveOnce() {
    const platform::TcpSocket::Transfer received = socket.Receive(recvBuffer, kReceiveChunkSize);
    if (received.bytes > 0) {
        OnReceive(received.bytes, recvBuffer);
        return true;
    }
    if (received.peerClosed) {
        // The server hung up; waiting on a dead socket would only let every request expire.
        DropConnection("Connection closed by the server");
    } else if (received.error != 0) {
        char text[kErrorTextSize];
        std::snprintf(text, sizeof text, "\nI/O Error %li", static_cast<long>(received.error));
        DropConnection(text);
    }
    return false;
}

void TcpipStream::DropConnection(const char* text) {
    Guard guard(lock);
    StoreErrorText(text);
    socket.Close();
    connected = false;
    nextConnectAt = platform::TickCount() + kReconnectPauseMs;
}
