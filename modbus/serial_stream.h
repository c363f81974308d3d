#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "platform/serial_port.h"

// A COM port with one polling thread: outgoing bytes queue in a fixed output buffer and
// are written in the background; received bytes go to OnReceive as they arrive; OnIdle
// runs on every tick and after failed I/O. The framings ModBusRTU and ModBusAscii derive
// from it and supply the three callbacks.
class SerialStream {
  public:
    static constexpr int kSendBufferSize = 1024;
    static constexpr int kReadChunkSize = 1024;
    static constexpr uint32_t kTickMs = 100;
    // How long a failed read rests before the next one, so a failing port does not spin.
    static constexpr uint32_t kReadRetryPauseMs = 20;
    static constexpr int kErrorTextSize = 256;

    // Opens the port (see Open). Never fails outright: ask IsOpen, then the error text.
    SerialStream(const char* portName, uint32_t baud, uint8_t parity, uint8_t byteSize,
                 uint8_t stopBits, int rtsMode);
    SerialStream(const SerialStream&) = delete;
    SerialStream& operator=(const SerialStream&) = delete;

    // Opens and configures the port, closing any earlier one. The polling thread starts only
    // with StartPolling. False with the reason in the error text when the port cannot be
    // opened ("Could not open serial port") or refuses its settings (the system's text).
    bool Open(const char* portName, uint32_t baud, uint8_t parity, uint8_t byteSize,
              uint8_t stopBits, int rtsMode);
    bool IsOpen();
    // Queues bytes for writing: 0 queued, -38 the port is not open, -39 they do not fit in
    // what is left of the output buffer (nothing of them is queued then).
    int32_t Send(int32_t length, const uint8_t* bytes);
    // Stops the polling thread and closes the port; later calls do nothing.
    void Shutdown();

    std::string StreamErrorText();
    void SetStreamErrorText(std::string_view text);

  protected:
    virtual ~SerialStream();

    // Starts the polling thread: the last step of building a Connection object, so that no
    // byte or tick reaches a half-built framing.
    void StartPolling();
    // Throws away input not yet handled, right before a request goes out, so that a late
    // reply to an earlier request cannot complete the new one. The framing's buffer is
    // emptied on the polling thread (OnDiscardInput) before the next bytes reach it; the
    // device's own input is flushed too unless `deviceQuiet` says the framing saw the last
    // reply end its input (that flush is a system call on every round trip).
    void DiscardStaleInput(bool deviceQuiet = false);
    // True (once) when input was discarded since the last call; polling thread only.
    bool TakeDiscardRequest();

    virtual void OnIdle() {}
    virtual bool OnReceive(int32_t length, const uint8_t* bytes) {
        (void)length;
        (void)bytes;
        return true;
    }
    // The framing empties its receive buffer; polling thread only.
    virtual void OnDiscardInput() {}

  private:
    void StopPolling();
    void PollLoop();
    void HandleWriteDone(int written);
    void HandleWriteFailed();
    void HandleDeviceLost(int error);
    bool StopRequested();
    void StoreErrorText(const char* text);

    platform::SerialPort port;
    std::thread thread;
    std::recursive_mutex lock;  // guards everything below but the read buffer
    char errorText[kErrorTextSize] = {};
    uint8_t sendBuffer[kSendBufferSize] = {};
    int32_t sendCount = 0;
    bool writeIdle = true;
    std::atomic<bool> stopRequest{false};  // read by the polling thread's turn without the lock
    bool shutDown = false;
    std::atomic<bool> discardRequested{false};
    uint8_t readBuffer[kReadChunkSize] = {};  // polling thread only
};
