#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// Line settings in the device-control codes the link settings store.
struct SerialSettings {
    uint32_t baud = 9600;
    uint8_t parity = 0;    // 0 none, 1 odd, 2 even
    uint8_t byteSize = 8;  // 7 or 8
    uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
    int rtsMode = 3;       // 1 enabled, 3 toggle (raised while transmitting)
};

// What one SerialPort::Wait saw. At most one completion is reported per call.
struct SerialEvent {
    enum Kind {
        kTimeout,      // nothing happened within the wait's limit
        kWoken,        // Wake was called
        kReadDone,     // the read started by StartRead finished with `bytes` (0 or more) bytes
        kReadFailed,   // the read failed with `error`; start another to go on reading
        kWriteDone,    // the write started by StartWrite finished; `bytes` of it were written
        kWriteFailed,  // the write failed with `error`
        kDeviceLost,   // the device went away (hang-up, unplugged); the port is no use any more
    };
    Kind kind = kTimeout;
    int bytes = 0;
    int error = 0;
};

// One serial port driven by one I/O thread, completion style: the thread starts a read,
// any thread may start a write, and Wait reports whichever finishes first.
//
// Threading contract: StartRead and Wait belong to the I/O thread. StartWrite, FlushInput and
// Close may come from any thread but the caller serialises them with one lock of its own.
// Wake may be called from anywhere at any time. Close must not run while the I/O thread
// sits in Wait unless it is the I/O thread itself.
class SerialPort {
  public:
    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens and configures `name`: "COMn:" or "COMn" as the system lists serial ports, or
    // (not on Windows) an absolute device path. On failure returns false and leaves in
    // `errorText` either "Could not open serial port" or the system's text for the error
    // that made the port refuse its settings.
    bool Open(const char* name, const SerialSettings& settings, char* errorText, size_t errorSize);
    bool IsOpen() const;
    // Cancels outstanding reads and writes and closes the device.
    void Close();

    // Starts reading up to `capacity` bytes into `buffer`, which must stay valid until Wait
    // reports the read. Returns false when the read could not even start.
    bool StartRead(uint8_t* buffer, int capacity);
    // Starts writing `length` bytes; they must stay unchanged until Wait reports the write.
    // Returns false when the write could not even start.
    bool StartWrite(const uint8_t* bytes, int length);
    // Throws away whatever the device has received but nobody has read yet.
    void FlushInput();

    // Waits at most `timeoutMs` for a completion, a wake-up or the loss of the device.
    SerialEvent Wait(uint32_t timeoutMs);
    // Makes the current (or next) Wait return kWoken.
    void Wake();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

}  // namespace platform
