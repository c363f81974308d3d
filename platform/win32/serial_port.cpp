#include "platform/serial_port.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/registry.h"
#include "platform/system_error.h"

namespace platform {

namespace {

// Errors with which reads and writes fail once a USB adapter has been unplugged.
bool MeansDeviceLost(DWORD error) {
    return error == ERROR_DEVICE_REMOVED || error == ERROR_DEVICE_NOT_CONNECTED ||
           error == ERROR_BAD_COMMAND || error == ERROR_ACCESS_DENIED ||
           error == ERROR_INVALID_HANDLE || error == ERROR_GEN_FAILURE ||
           error == ERROR_FILE_NOT_FOUND;
}

void ApplyDeviceControl(DCB& dcb, const SerialSettings& settings, DWORD rtsControl) {
    dcb.BaudRate = settings.baud;
    dcb.fBinary = TRUE;
    dcb.fParity = TRUE;
    dcb.Parity = settings.parity;
    dcb.ByteSize = settings.byteSize;
    dcb.StopBits = settings.stopBits;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = rtsControl;
    dcb.fAbortOnError = FALSE;
}

}  // namespace

struct SerialPort::Impl {
    HANDLE port = INVALID_HANDLE_VALUE;
    OVERLAPPED readOverlapped{};
    OVERLAPPED writeOverlapped{};
    HANDLE readEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE writeEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE wakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    bool readPending = false;   // I/O thread only
    bool writePending = false;  // under the caller's lock, and the I/O thread
    DWORD lostError = 0;        // a read refused because the device is gone; I/O thread only

    Impl() {
        readOverlapped.hEvent = readEvent;
        writeOverlapped.hEvent = writeEvent;
    }
    ~Impl() {
        CloseHandle(readEvent);
        CloseHandle(writeEvent);
        CloseHandle(wakeEvent);
    }

    // Waits until the system has finished with an operation's buffer.
    void Settle(OVERLAPPED& overlapped, bool& pending) {
        if (!pending)
            return;
        DWORD ignored = 0;
        GetOverlappedResult(port, &overlapped, &ignored, TRUE);
        pending = false;
    }

    SerialEvent Finish(OVERLAPPED& overlapped, HANDLE event, bool& pending, bool reading) {
        SerialEvent result;
        DWORD bytes = 0;
        const BOOL ok = GetOverlappedResult(port, &overlapped, &bytes, FALSE);
        const DWORD error = ok ? 0 : GetLastError();
        if (!ok && error == ERROR_IO_INCOMPLETE)
            return result;  // not really done yet
        pending = false;
        // Cleared here so that a finished operation is reported once, not on every wait.
        ResetEvent(event);
        result.bytes = static_cast<int>(bytes);
        if (ok) {
            result.kind = reading ? SerialEvent::kReadDone : SerialEvent::kWriteDone;
        } else {
            result.error = static_cast<int>(error);
            result.kind = MeansDeviceLost(error)
                              ? SerialEvent::kDeviceLost
                              : (reading ? SerialEvent::kReadFailed : SerialEvent::kWriteFailed);
        }
        return result;
    }
};

SerialPort::SerialPort() : impl(std::make_unique<Impl>()) {}

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::Open(const char* name, const SerialSettings& settings, char* errorText,
                      size_t errorSize) {
    Close();
    // The device namespace form also reaches ports beyond COM9.
    const std::string device = SerialDeviceForPort(name != nullptr ? name : "");
    HANDLE port =
        device.empty()
            ? INVALID_HANDLE_VALUE
            : CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED | FILE_FLAG_NO_BUFFERING, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        std::snprintf(errorText, errorSize, "%s", "Could not open serial port");
        return false;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    bool configured = GetCommState(port, &dcb) != 0;
    if (configured) {
        ApplyDeviceControl(dcb, settings, static_cast<DWORD>(settings.rtsMode));
        if (!SetCommState(port, &dcb)) {
            // Many adapters cannot toggle RTS; they still work with RTS simply on.
            ApplyDeviceControl(dcb, settings, RTS_CONTROL_ENABLE);
            configured = SetCommState(port, &dcb) != 0;
        }
    }
    COMMTIMEOUTS timeouts{};
    if (configured)
        configured = GetCommTimeouts(port, &timeouts) != 0;
    if (configured) {
        // A read returns as soon as any byte is there, and after 100 ms with none at all: the
        // reply is handled the moment it arrives instead of after a quiet interval.
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
        timeouts.ReadTotalTimeoutConstant = 100;
        configured = SetCommTimeouts(port, &timeouts) != 0;
    }
    if (!configured) {
        SystemErrorText(static_cast<int>(GetLastError()), errorText, errorSize);
        CloseHandle(port);
        return false;
    }
    PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR);
    ResetEvent(impl->readEvent);
    ResetEvent(impl->writeEvent);
    impl->port = port;
    return true;
}

bool SerialPort::IsOpen() const {
    return impl->port != INVALID_HANDLE_VALUE;
}

void SerialPort::Close() {
    if (impl->port == INVALID_HANDLE_VALUE)
        return;
    // Nothing may still write into the caller's buffers once the port is gone.
    CancelIoEx(impl->port, nullptr);
    impl->Settle(impl->readOverlapped, impl->readPending);
    impl->Settle(impl->writeOverlapped, impl->writePending);
    CloseHandle(impl->port);
    impl->port = INVALID_HANDLE_VALUE;
    impl->lostError = 0;
    ResetEvent(impl->readEvent);
    ResetEvent(impl->writeEvent);
}

bool SerialPort::StartRead(uint8_t* buffer, int capacity) {
    if (impl->port == INVALID_HANDLE_VALUE || capacity <= 0)
        return false;
    if (!ReadFile(impl->port, buffer, static_cast<DWORD>(capacity), nullptr,
                  &impl->readOverlapped)) {
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
            // Reported by the next Wait, so the stream closes the port instead of retrying.
            if (MeansDeviceLost(error))
                impl->lostError = error;
            return false;
        }
    }
    // Finished at once or later: either way the event is set when the data is there.
    impl->readPending = true;
    return true;
}

bool SerialPort::StartWrite(const uint8_t* bytes, int length) {
    if (impl->port == INVALID_HANDLE_VALUE || impl->writePending)
        return false;
    if (!WriteFile(impl->port, bytes, static_cast<DWORD>(length), nullptr,
                   &impl->writeOverlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    impl->writePending = true;
    return true;
}

void SerialPort::FlushInput() {
    if (impl->port != INVALID_HANDLE_VALUE)
        PurgeComm(impl->port, PURGE_RXCLEAR);
}

SerialEvent SerialPort::Wait(uint32_t timeoutMs) {
    SerialEvent result;
    if (impl->lostError != 0) {
        result.kind = SerialEvent::kDeviceLost;
        result.error = static_cast<int>(impl->lostError);
        impl->lostError = 0;
        return result;
    }
    if (impl->port == INVALID_HANDLE_VALUE) {
        if (WaitForSingleObject(impl->wakeEvent, timeoutMs) == WAIT_OBJECT_0) {
            result.kind = SerialEvent::kWoken;
        }
        return result;
    }
    HANDLE events[3] = {impl->readEvent, impl->writeEvent, impl->wakeEvent};
    switch (WaitForMultipleObjects(3, events, FALSE, timeoutMs)) {
        case WAIT_OBJECT_0:
            return impl->Finish(impl->readOverlapped, impl->readEvent, impl->readPending, true);
        case WAIT_OBJECT_0 + 1:
            return impl->Finish(impl->writeOverlapped, impl->writeEvent, impl->writePending, false);
        case WAIT_OBJECT_0 + 2:
            result.kind = SerialEvent::kWoken;
            return result;
        default:
            return result;
    }
}

void SerialPort::Wake() {
    SetEvent(impl->wakeEvent);
}

}  // namespace platform
