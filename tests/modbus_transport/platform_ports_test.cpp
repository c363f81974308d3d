#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/serial_port.h"
#include "platform/tcp_socket.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace {

TEST(SerialPortTest, OpensAtEveryRateOfTheBaudTable) {
    const uint32_t rates[] = {50,   75,   110,  135,  150,   300,   600,   1200,  1800,  2400,
                              3600, 4800, 7200, 9600, 14400, 19200, 38400, 57600, 76800, 115200};
    PtyPeer peer;
    for (uint32_t baud : rates) {
        for (uint8_t parity : {0, 1, 2}) {
            platform::SerialSettings settings;
            settings.baud = baud;
            settings.parity = parity;
            settings.byteSize = parity == 0 ? 8 : 7;
            platform::SerialPort port;
            char error[256] = {};
            EXPECT_TRUE(port.Open(peer.SlavePath().c_str(), settings, error, sizeof error))
                << baud << " baud, parity " << int{parity} << ": " << error;
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
    EXPECT_EQ(socket.Connect("127.0.0.1", FreeTcpPort(), 1000), Result::kConnectFailed);
    EXPECT_EQ(socket.Connect("no such host", 502, 1000), Result::kLookupFailed);

    const uint16_t port = FreeTcpPort();
    SilentListener silent(port);
    const int64_t start = NowMs();
    EXPECT_EQ(socket.Connect("127.0.0.1", port, 300), Result::kConnectFailed);
    const int64_t elapsed = NowMs() - start;
    EXPECT_GE(elapsed, 290);
    EXPECT_LT(elapsed, 1500);
}

TEST(TcpSocketTest, WakeInterruptsAWait) {
    platform::TcpSocket socket;
    socket.Wake();
    const int64_t start = NowMs();
    EXPECT_TRUE(socket.Wait(false, 5000).woken);
    EXPECT_LT(NowMs() - start, 1000);
}

}  // namespace
