#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/serial_port.h"
#include "platform/tcp_socket.h"
#include "tests/modbus_transport/line_speed.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace {

// The line runs as the settings say at every rate of the link settings' baud table. A
// pseudo-terminal forces CS8 and clears PARENB whatever it is given, so the byte size cannot
// show here; parity shows through its input check (INPCK) and PARODD.
TEST(SerialPortTest, OpensAtEveryRateOfTheBaudTable) {
    const uint32_t rates[] = {50,   75,   110,  135,  150,   300,   600,   1200,  1800,  2400,
                              3600, 4800, 7200, 9600, 14400, 19200, 38400, 57600, 76800, 115200};
    PtyPeer peer;
    for (uint32_t baud : rates) {
        for (uint8_t parity : {0, 1, 2}) {
            for (uint8_t stopBits : {0, 2}) {
                SCOPED_TRACE(std::to_string(baud) + " baud, parity " + std::to_string(parity) +
                             ", stop bits code " + std::to_string(stopBits));
                platform::SerialSettings settings;
                settings.baud = baud;
                settings.parity = parity;
                settings.byteSize = parity == 0 ? 8 : 7;
                settings.stopBits = stopBits;
                // The port is opened for exclusive use, which holds back a second open by
                // anyone but root; the settings are read through a descriptor opened before it.
                const int fd = ::open(peer.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
                ASSERT_GE(fd, 0);
                platform::SerialPort port;
                char error[256] = {};
                ASSERT_TRUE(port.Open(peer.SlavePath().c_str(), settings, error, sizeof error))
                    << error;

                termios line{};
                const bool read = ::tcgetattr(fd, &line) == 0;
                const LineSpeeds speeds = ReadLineSpeeds(fd);
                ::close(fd);
                ASSERT_TRUE(read);
                // 135 is the old 134.5, which the system counts as 134.
                const uint32_t expected = baud == 135 ? 134 : baud;
                EXPECT_EQ(speeds.output, expected);
                EXPECT_EQ(speeds.input, expected);
                EXPECT_EQ((line.c_iflag & INPCK) != 0, parity != 0);
                EXPECT_EQ((line.c_cflag & PARODD) != 0, parity == 1);
                EXPECT_EQ((line.c_cflag & CSTOPB) != 0, stopBits != 0);
                // Raw bytes: no line editing, echo, translation or flow control.
                EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
                EXPECT_EQ(line.c_iflag & (ICRNL | IXON | ISTRIP), 0u);
                EXPECT_EQ(line.c_cflag & CRTSCTS, 0u);
            }
        }
    }
}

TEST(TcpSocketTest, SendingToAPeerThatResetRaisesNoSignal) {
    TcpPeer peer;
    platform::TcpSocket socket;
    ASSERT_EQ(socket.Connect("127.0.0.1", peer.Port(), 1000),
              platform::TcpSocket::ConnectResult::kConnected);
    ASSERT_TRUE(peer.Accept(1000));
    peer.Disconnect(true);
    // The first send may still be taken, the next reports the reset, and the ones after it
    // meet a broken pipe: a SIGPIPE would end the whole test program here.
    const uint8_t bytes[4] = {1, 2, 3, 4};
    int failures = 0;
    const int64_t deadline = NowMs() + 2000;
    while (failures < 3 && NowMs() < deadline) {
        if (socket.Send(bytes, sizeof bytes).error != 0)
            ++failures;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(failures, 3);
}

TEST(TcpSocketTest, ConnectGivesUpAtItsTimeLimit) {
    using Result = platform::TcpSocket::ConnectResult;
    platform::TcpSocket socket;
    const ClosedPort closed;
    EXPECT_EQ(socket.Connect("127.0.0.1", closed.Port(), 1000), Result::kConnectFailed);
    EXPECT_EQ(socket.Connect("no such host", 502, 1000), Result::kLookupFailed);

    SilentListener silent;
    const int64_t start = NowMs();
    EXPECT_EQ(socket.Connect("127.0.0.1", silent.Port(), 300), Result::kConnectFailed);
    const int64_t elapsed = NowMs() - start;
    EXPECT_GE(elapsed, 290);
    EXPECT_LT(elapsed, 300 + 2500);  // room for a busy machine, far short of the system's own
}

TEST(TcpSocketTest, WakeInterruptsAWait) {
    platform::TcpSocket socket;
    socket.Wake();
    const int64_t start = NowMs();
    EXPECT_TRUE(socket.Wait(false, 5000).woken);
    EXPECT_LT(NowMs() - start, 2500);
}

}  // namespace
