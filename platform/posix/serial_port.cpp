#include "platform/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/posix/serial_line.h"
#include "platform/posix/wake_pipe.h"
#include "platform/registry.h"
#include "platform/system_error.h"

namespace platform {

namespace {

// Errors after which the device is gone for good (unplugged adapter, closed pty master).
bool MeansDeviceLost(int error) {
    return error == EIO || error == ENXIO || error == ENODEV;
}

void ApplyLineSettings(termios& tio, const SerialSettings& settings) {
    // Binary mode: no line editing, no translation, no signals, no software flow control.
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | IXON | IXOFF | IXANY | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | (settings.byteSize == 7 ? CS7 : CS8);
    if (settings.parity == 1 || settings.parity == 2) {
        tio.c_cflag |= PARENB | (settings.parity == 1 ? PARODD : 0);
        tio.c_iflag |= INPCK;
    }
    if (settings.stopBits != 0)
        tio.c_cflag |= CSTOPB;
    // Reads return at once with what is there; poll does the waiting.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
}

}  // namespace

struct SerialPort::Impl {
    int fd = -1;
    WakePipe wake;

    // Owned by the I/O thread.
    uint8_t* readBuffer = nullptr;
    int readCapacity = 0;

    // Shared between StartWrite (any thread) and Wait (I/O thread).
    std::mutex writeMutex;
    enum class WriteState { kIdle, kPending, kDone, kFailed } writeState = WriteState::kIdle;
    const uint8_t* writeBytes = nullptr;
    int writeLength = 0;
    int writeOffset = 0;
    int writeError = 0;

    // Writes what the device takes now; the rest waits for POLLOUT. Caller holds writeMutex.
    void ContinueWrite() {
        while (writeOffset < writeLength) {
            const ssize_t n = ::write(fd, writeBytes + writeOffset,
                                      static_cast<size_t>(writeLength - writeOffset));
            if (n > 0) {
                writeOffset += static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                writeError = errno;
                writeState = WriteState::kFailed;
                return;
            }
            writeState = WriteState::kPending;
            return;
        }
        writeState = WriteState::kDone;
    }

    SerialEvent TakeWriteCompletion() {
        std::lock_guard<std::mutex> guard(writeMutex);
        SerialEvent event;
        if (writeState == WriteState::kDone) {
            event.kind = SerialEvent::kWriteDone;
            event.bytes = writeOffset;
        } else if (writeState == WriteState::kFailed) {
            event.kind = SerialEvent::kWriteFailed;
            event.bytes = writeOffset;
            event.error = writeError;
        } else {
            return event;  // kTimeout: nothing to report
        }
        writeState = WriteState::kIdle;
        return event;
    }

    bool WritePending() {
        std::lock_guard<std::mutex> guard(writeMutex);
        return writeState == WriteState::kPending;
    }

    SerialEvent ReadNow() {
        SerialEvent event;
        const ssize_t n = ::read(fd, readBuffer, static_cast<size_t>(readCapacity));
        if (n > 0) {
            readBuffer = nullptr;
            event.kind = SerialEvent::kReadDone;
            event.bytes = static_cast<int>(n);
        } else if (n == 0) {
            // Readable yet empty: input flushed under our feet, or an end of file that some
            // drivers give without a hang-up. A failed read rests before the next, so neither
            // makes the thread spin; a real hang-up shows as POLLHUP.
            readBuffer = nullptr;
            event.kind = SerialEvent::kReadFailed;
            event.error = EIO;
        } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            event.error = errno;
            event.kind =
                MeansDeviceLost(errno) ? SerialEvent::kDeviceLost : SerialEvent::kReadFailed;
            readBuffer = nullptr;
        }
        return event;
    }
};

SerialPort::SerialPort() : impl(std::make_unique<Impl>()) {}

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::Open(const char* name, const SerialSettings& settings, char* errorText,
                      size_t errorSize) {
    Close();
    const std::string device = SerialDeviceForPort(name != nullptr ? name : "");
    int fd = device.empty() ? -1 : ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        std::snprintf(errorText, errorSize, "%s", "Could not open serial port");
        return false;
    }
    // The port is ours alone, as on Windows where a COM port opens unshared.
    ::ioctl(fd, TIOCEXCL);

    termios tio{};
    bool configured = ::tcgetattr(fd, &tio) == 0;
    if (configured) {
        ApplyLineSettings(tio, settings);
        configured = WriteLineSettings(fd, tio, settings.baud);
    }
    if (!configured) {
        SystemErrorText(errno, errorText, errorSize);
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return false;
    }
    // Lines that a device may lack (a pty has none): DTR on, RTS toggled for half-duplex
    // adapters that can do it, else simply raised, as the Windows driver falls back.
    if (settings.rtsMode != 3 || !EnableRtsToggle(fd))
        RaiseModemLine(fd, TIOCM_RTS);
    RaiseModemLine(fd, TIOCM_DTR);
    ::tcflush(fd, TCIOFLUSH);

    impl->fd = fd;
    return true;
}

bool SerialPort::IsOpen() const {
    return impl->fd >= 0;
}

void SerialPort::Close() {
    std::lock_guard<std::mutex> guard(impl->writeMutex);
    if (impl->fd >= 0) {
        // A pseudo-terminal keeps the exclusive flag while its other side is open, so it is
        // given back here: the port can be opened again, by us or another program.
        ::ioctl(impl->fd, TIOCNXCL);
        ::close(impl->fd);
    }
    impl->fd = -1;
    impl->readBuffer = nullptr;
    impl->writeState = Impl::WriteState::kIdle;
}

bool SerialPort::StartRead(uint8_t* buffer, int capacity) {
    if (impl->fd < 0 || buffer == nullptr || capacity <= 0)
        return false;
    impl->readBuffer = buffer;
    impl->readCapacity = capacity;
    return true;
}

bool SerialPort::StartWrite(const uint8_t* bytes, int length) {
    bool wakeThread = false;
    {
        std::lock_guard<std::mutex> guard(impl->writeMutex);
        if (impl->fd < 0 || impl->writeState != Impl::WriteState::kIdle)
            return false;
        impl->writeBytes = bytes;
        impl->writeLength = length;
        impl->writeOffset = 0;
        impl->ContinueWrite();
        // A finished write is reported at the I/O thread's next turn; only a write left
        // waiting for room needs that thread to add the port's writability to its wait.
        wakeThread = impl->writeState == Impl::WriteState::kPending;
    }
    if (wakeThread)
        impl->wake.Signal();
    return true;
}

void SerialPort::FlushInput() {
    if (impl->fd >= 0)
        ::tcflush(impl->fd, TCIFLUSH);
}

SerialEvent SerialPort::Wait(uint32_t timeoutMs) {
    SerialEvent completed = impl->TakeWriteCompletion();
    if (completed.kind != SerialEvent::kTimeout)
        return completed;

    pollfd fds[2] = {};
    fds[0].fd = impl->wake.ReadEnd();
    fds[0].events = POLLIN;
    fds[1].fd = impl->fd;
    const bool writing = impl->fd >= 0 && impl->WritePending();
    fds[1].events =
        static_cast<short>((impl->readBuffer != nullptr ? POLLIN : 0) | (writing ? POLLOUT : 0));
    const nfds_t count = impl->fd >= 0 ? 2 : 1;
    const int ready = ::poll(fds, count, static_cast<int>(timeoutMs));
    SerialEvent event;
    if (ready <= 0)
        return event;
    if (fds[0].revents & POLLIN) {
        impl->wake.Drain();
        event.kind = SerialEvent::kWoken;
        return event;
    }
    if (count < 2)
        return event;
    const short revents = fds[1].revents;
    if (revents & POLLNVAL) {
        event.kind = SerialEvent::kDeviceLost;
        event.error = EBADF;
        return event;
    }
    if ((revents & POLLIN) && impl->readBuffer != nullptr) {
        event = impl->ReadNow();
        if (event.kind != SerialEvent::kTimeout)
            return event;
    }
    if (revents & (POLLHUP | POLLERR)) {
        // Hang-up with nothing left to read: the device has gone.
        event.kind = SerialEvent::kDeviceLost;
        event.error = EIO;
        return event;
    }
    if ((revents & POLLOUT) && writing) {
        {
            std::lock_guard<std::mutex> guard(impl->writeMutex);
            if (impl->writeState == Impl::WriteState::kPending)
                impl->ContinueWrite();
        }
        return impl->TakeWriteCompletion();
    }
    return event;
}

void SerialPort::Wake() {
    impl->wake.Signal();
}

}  // namespace platform
