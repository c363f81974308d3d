#include "modbus/serial_stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "modbus/bounded_text.h"
#include "platform/system_error.h"
#include "platform/tick.h"

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

uint32_t Remaining(uint32_t now, uint32_t deadline) {
    return platform::TickReached(now, deadline) ? 0 : deadline - now;
}

}  // namespace

SerialStream::SerialStream(const char* portName, uint32_t baud, uint8_t parity, uint8_t byteSize,
                           uint8_t stopBits, int rtsMode) {
    Open(portName, baud, parity, byteSize, stopBits, rtsMode);
}

SerialStream::~SerialStream() {
    Shutdown();
}

bool SerialStream::Open(const char* portName, uint32_t baud, uint8_t parity, uint8_t byteSize,
                        uint8_t stopBits, int rtsMode) {
    StopPolling();
    Guard guard(lock);
    port.Close();
    platform::SerialSettings settings;
    settings.baud = baud;
    settings.parity = parity;
    settings.byteSize = byteSize;
    settings.stopBits = stopBits;
    settings.rtsMode = rtsMode;
    char text[kErrorTextSize] = {};
    if (!port.Open(portName, settings, text, sizeof text)) {
        StoreErrorText(text);
        return false;
    }
    sendCount = 0;
    writeIdle = true;
    return true;
}

bool SerialStream::IsOpen() {
    Guard guard(lock);
    return port.IsOpen();
}

int32_t SerialStream::Send(int32_t length, const uint8_t* bytes) {
    Guard guard(lock);
    if (!port.IsOpen())
        return -38;
    if (length < 0 || length > kSendBufferSize - sendCount)
        return -39;
    std::memcpy(sendBuffer + sendCount, bytes, static_cast<size_t>(length));
    sendCount += length;
    if (writeIdle) {
        // Bytes queued while a write runs leave with the next one, started when it ends.
        writeIdle = false;
        if (!port.StartWrite(sendBuffer, sendCount)) {
            sendCount = 0;
            writeIdle = true;
            return -38;
        }
    }
    return 0;
}

void SerialStream::Shutdown() {
    {
        Guard guard(lock);
        if (shutDown)
            return;
        shutDown = true;
    }
    StopPolling();
    Guard guard(lock);
    port.Close();
}

std::string SerialStream::StreamErrorText() {
    Guard guard(lock);
    return errorText;
}

void SerialStream::SetStreamErrorText(std::string_view text) {
    Guard guard(lock);
    CopyBoundedText(errorText, text);
}

void SerialStream::StoreErrorText(const char* text) {
    SetStreamErrorText(text);
}

void SerialStream::StartPolling() {
    Guard guard(lock);
    if (!port.IsOpen() || thread.joinable())
        return;
    stopRequest = false;
    try {
        thread = std::thread(&SerialStream::PollLoop, this);
    } catch (const std::system_error&) {
        StoreErrorText("Failed to create polling thread");
        port.Close();
    }
}

void SerialStream::StopPolling() {
    if (!thread.joinable())
        return;
    {
        Guard guard(lock);
        stopRequest = true;
    }
    port.Wake();
    // Joined outside the lock: the thread may need it (and the core lock) to finish its turn.
    thread.join();
}

void SerialStream::DiscardStaleInput(bool deviceQuiet) {
    Guard guard(lock);
    if (!deviceQuiet)
        port.FlushInput();
    discardRequested = true;
}

bool SerialStream::TakeDiscardRequest() {
    return discardRequested.exchange(false);
}

bool SerialStream::StopRequested() {
    return stopRequest;
}

void SerialStream::PollLoop() {
    bool reading = port.StartRead(readBuffer, kReadChunkSize);
    uint32_t now = platform::TickCount();
    uint32_t nextTick = now + kTickMs;
    uint32_t readRetryAt = now + kReadRetryPauseMs;
    while (!StopRequested()) {
        now = platform::TickCount();
        if (platform::TickReached(now, nextTick)) {
            OnIdle();
            nextTick = platform::TickCount() + kTickMs;
            continue;
        }
        if (!reading && platform::TickReached(now, readRetryAt) && port.IsOpen()) {
            reading = port.StartRead(readBuffer, kReadChunkSize);
            if (!reading)
                readRetryAt = now + kReadRetryPauseMs;
        }
        uint32_t waitMs = Remaining(now, nextTick);
        if (!reading && port.IsOpen())
            waitMs = std::min(waitMs, Remaining(now, readRetryAt));

        const platform::SerialEvent event = port.Wait(waitMs);
        switch (event.kind) {
            case platform::SerialEvent::kReadDone:
                if (TakeDiscardRequest())
                    OnDiscardInput();
                if (event.bytes > 0)
                    OnReceive(event.bytes, readBuffer);
                reading = port.StartRead(readBuffer, kReadChunkSize);
                if (!reading)
                    readRetryAt = platform::TickCount() + kReadRetryPauseMs;
                break;
            case platform::SerialEvent::kReadFailed:
                // Rest a little before reading again instead of failing in a tight loop.
                OnIdle();
                reading = false;
                readRetryAt = platform::TickCount() + kReadRetryPauseMs;
                break;
            case platform::SerialEvent::kWriteDone:
                HandleWriteDone(event.bytes);
                break;
            case platform::SerialEvent::kWriteFailed:
                HandleWriteFailed();
                OnIdle();
                break;
            case platform::SerialEvent::kDeviceLost:
                HandleDeviceLost(event.error);
                reading = false;
                OnIdle();
                break;
            case platform::SerialEvent::kTimeout:
            case platform::SerialEvent::kWoken:
                break;
        }
    }
}

void SerialStream::HandleWriteDone(int written) {
    Guard guard(lock);
    if (sendCount > written) {
        // Part was left over, or more was queued meanwhile: write the rest in one go.
        std::memmove(sendBuffer, sendBuffer + written, static_cast<size_t>(sendCount - written));
        sendCount -= written;
        if (port.StartWrite(sendBuffer, sendCount))
            return;
    }
    sendCount = 0;
    writeIdle = true;
}

void SerialStream::HandleWriteFailed() {
    // The frames in the buffer are lost (their requests expire); the next one may go out.
    Guard guard(lock);
    sendCount = 0;
    writeIdle = true;
}

void SerialStream::HandleDeviceLost(int error) {
    char text[kErrorTextSize] = {};
    platform::SystemErrorText(error, text, sizeof text);
    Guard guard(lock);
    StoreErrorText(text);
    // Closed for good: requests in flight expire on the ticks, later ones get -38.
    port.Close();
    sendCount = 0;
    writeIdle = true;
}
