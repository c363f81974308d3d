#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "modbus/serial_stream.h"
#include "modbus/tcpip_stream.h"
#include "tests/modbus_transport/connection_helpers.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace {

constexpr int kPeerWaitMs = 2000;

Bytes Sequence(size_t length, uint8_t first) {
    Bytes bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<uint8_t>(first + i * 7);
    return bytes;
}

// A stream with callbacks that only record what they were given. The I/O thread is stopped by
// the most derived class's destructor: each destructor on the way down switches the object's
// dynamic type, which must not happen while that thread is still calling OnIdle or OnReceive.
template <typename Stream>
class Recording : public Stream {
  public:
    using Stream::Stream;

    Bytes Received() {
        std::lock_guard<std::mutex> guard(mutex);
        return received;
    }
    std::atomic<int> idleCount{0};

  protected:
    void OnIdle() override { ++idleCount; }
    bool OnReceive(int32_t length, const uint8_t* bytes) override {
        std::lock_guard<std::mutex> guard(mutex);
        received.insert(received.end(), bytes, bytes + length);
        return true;
    }

  private:
    std::mutex mutex;
    Bytes received;
};

class RecordingSerial final : public Recording<SerialStream> {
  public:
    explicit RecordingSerial(const std::string& device)
        : Recording<SerialStream>(device.c_str(), 9600, 0, 8, 0, 3) {}
    ~RecordingSerial() override { Shutdown(); }
    using SerialStream::StartPolling;
};

class RecordingTcp final : public Recording<TcpipStream> {
  public:
    explicit RecordingTcp(uint16_t port) : Recording<TcpipStream>("127.0.0.1", port) {}
    ~RecordingTcp() override { Shutdown(); }
    using TcpipStream::StartIoThread;
};

TEST(SerialStreamTest, OutputBufferHoldsAtMost1024BytesAndRefusesWholeFrames) {
    PtyPeer peer;
    RecordingSerial stream(peer.SlavePath());
    ASSERT_TRUE(stream.IsOpen()) << stream.StreamErrorText();
    // Before the polling thread runs, nothing retires the first write, so queued bytes add up.
    const Bytes first = Sequence(1000, 1);
    const Bytes refused = Sequence(25, 100);
    const Bytes last = Sequence(24, 200);
    EXPECT_EQ(stream.Send(static_cast<int32_t>(first.size()), first.data()), 0);
    EXPECT_EQ(stream.Send(static_cast<int32_t>(refused.size()), refused.data()), -39);
    EXPECT_EQ(stream.Send(static_cast<int32_t>(last.size()), last.data()), 0);
    stream.StartPolling();
    // The first write and then the rest, queued behind it, leave in order and nothing more.
    EXPECT_EQ(peer.Read(1024, kPeerWaitMs), Concat({first, last}));
    EXPECT_TRUE(peer.Read(1, 150).empty());
}

TEST(SerialStreamTest, DeliversReceivedBytesAndTicksWhileIdle) {
    PtyPeer peer;
    RecordingSerial stream(peer.SlavePath());
    ASSERT_TRUE(stream.IsOpen());
    stream.StartPolling();
    const Bytes sent = Sequence(300, 3);
    peer.Write(sent);
    const int64_t deadline = NowMs() + kPeerWaitMs;
    while (stream.Received().size() < sent.size() && NowMs() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(stream.Received(), sent);

    // Idle ticks keep coming (not stalled), one per 100 ms of the time that really passed (not
    // spinning); a busy machine may delay them, so the wait is for the ticks themselves.
    const int before = stream.idleCount;
    const int64_t from = NowMs();
    const int64_t tickDeadline = from + 5 * kPeerWaitMs;
    while (stream.idleCount - before < 3 && NowMs() < tickDeadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int ticks = stream.idleCount - before;
    const int64_t elapsed = NowMs() - from;
    EXPECT_GE(ticks, 3);
    EXPECT_LE(ticks, elapsed / 100 + 2);
}

TEST(SerialStreamTest, SendOnAClosedPortIsRefused) {
    RecordingSerial stream("/nonexistent/tty");
    EXPECT_FALSE(stream.IsOpen());
    const uint8_t byte = 1;
    EXPECT_EQ(stream.Send(1, &byte), -38);
}

TEST(TcpipStreamTest, KeepsUnsentBytesInOrderWhenTheSocketIsFull) {
    TcpPeer peer;
    RecordingTcp stream(peer.Port());
    ASSERT_TRUE(stream.IsOpen());
    stream.StartIoThread();
    ASSERT_TRUE(peer.Accept(kPeerWaitMs));
    // The peer reads nothing until the socket buffers are full and the stream holds bytes
    // that the socket took only in part; then everything must arrive in order.
    Bytes expected;
    uint8_t next = 0;
    int refusals = 0;
    const int64_t deadline = NowMs() + 5000;
    while (refusals < 20 && NowMs() < deadline) {
        const Bytes chunk = Sequence(500, next);
        if (stream.Send(static_cast<int32_t>(chunk.size()), chunk.data()) == 0) {
            expected.insert(expected.end(), chunk.begin(), chunk.end());
            next = static_cast<uint8_t>(next + 1);
        } else {
            ++refusals;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ASSERT_EQ(refusals, 20) << "the socket never filled up";
    EXPECT_EQ(peer.Read(expected.size(), 10000), expected);
}

TEST(TcpipStreamTest, OutputQueuedWhileDisconnectedIsDroppedOnReconnect) {
    TcpPeer peer;
    RecordingTcp stream(peer.Port());
    stream.StartIoThread();
    ASSERT_TRUE(peer.Accept(kPeerWaitMs));
    peer.Disconnect();
    const int64_t deadline = NowMs() + kPeerWaitMs;
    while (stream.IsOpen() && NowMs() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_FALSE(stream.IsOpen());
    const Bytes stale = Sequence(10, 1);
    EXPECT_EQ(stream.Send(static_cast<int32_t>(stale.size()), stale.data()), 0);
    ASSERT_TRUE(peer.Accept(kPeerWaitMs));
    const Bytes fresh = Sequence(10, 50);
    // Sent once the stream itself has seen the new connection.
    const int64_t connectDeadline = NowMs() + kPeerWaitMs;
    while (!stream.IsOpen() && NowMs() < connectDeadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(stream.Send(static_cast<int32_t>(fresh.size()), fresh.data()), 0);
    EXPECT_EQ(peer.Read(fresh.size(), kPeerWaitMs), fresh);
}

}  // namespace
