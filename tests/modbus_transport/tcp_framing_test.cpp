#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "modbus/modbus_tcp.h"
#include "tests/modbus_transport/connection_helpers.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace {

// A reply the peer gives ends the wait, however loaded the machine is; only the exchanges that
// must expire wait the short time.
constexpr uint32_t kReplyWaitMs = 10000;
constexpr uint32_t kExpiryMs = 300;
constexpr int kPeerWaitMs = 2000;

const Bytes kReadTwoPdu = {0x01, 0x03, 0x00, 0x25, 0x00, 0x02};
const Bytes kGoodReplyPdu = RegisterReply(1, 3, {0x1234, 0xBEEF});

bool WaitUntilOpen(ModBusTCP& master, int waitMs) {
    const int64_t deadline = NowMs() + waitMs;
    while (!master.IsOpen() && NowMs() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return master.IsOpen();
}

class TcpFraming : public ::testing::Test {
  protected:
    void SetUp() override {
        master.reset(new ModBusTCP("127.0.0.1", peer.Port()));
        ASSERT_TRUE(master->IsOpen()) << master->GetErrorText();
        ASSERT_TRUE(peer.Accept(kPeerWaitMs));
    }

    // Reads two holding registers from 37; the peer checks the request's transaction id
    // and then writes what `reply` makes of it.
    int32_t ReadTwoRegisters(uint16_t expectedId, const std::function<Bytes(uint16_t)>& reply,
                             bool slowly, uint16_t* values, uint32_t timeoutMs = kReplyWaitMs) {
        auto result = std::async(std::launch::async, [&] {
            return master->ReadHoldingRegisters(timeoutMs, 1, 2, 37, values);
        });
        const Bytes request = peer.ReadRequest(kPeerWaitMs);
        EXPECT_EQ(request, TcpFrame(expectedId, kReadTwoPdu));
        const Bytes answer = reply(expectedId);
        slowly ? peer.WriteSlowly(answer) : peer.Write(answer);
        return result.get();
    }

    TcpPeer peer;
    ConnectionPtr<ModBusTCP> master;
};

TEST_F(TcpFraming, NumbersRequestsFromZero) {
    uint16_t values[26] = {};
    for (uint16_t id = 0; id < 2; ++id) {
        auto result = std::async(std::launch::async, [&] {
            return master->ReadHoldingRegisters(kReplyWaitMs, 1, 26, 37, values);
        });
        EXPECT_EQ(peer.ReadRequest(kPeerWaitMs),
                  (Bytes{0x00, static_cast<uint8_t>(id), 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00,
                         0x25, 0x00, 0x1A}));
        peer.Write(TcpFrame(id, RegisterReply(1, 3, std::vector<uint16_t>(26, id))));
        EXPECT_EQ(result.get(), 26);
        EXPECT_EQ(values[25], id);
    }
}

struct ReplyCase {
    const char* name;
    std::function<Bytes(uint16_t id)> reply;
    bool slowly;
    int32_t result;  // 2, or minus the failure for unit 1
};

TEST_F(TcpFraming, CutsRepliesOutOfTheByteStream) {
    const auto good = [](uint16_t id) { return TcpFrame(id, kGoodReplyPdu); };
    const ReplyCase cases[] = {
        {"whole reply", good, false, 2},
        {"one byte at a time", good, true, 2},
        {"another protocol first",
         [&](uint16_t id) {
             Bytes foreign = TcpFrame(id, RegisterReply(1, 3, {1, 2}));
             foreign[3] = 1;
             return Concat({foreign, good(id)});
         },
         false, 2},
        {"a header with a length below 2 first",
         [&](uint16_t id) {
             return Concat({{0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01}, good(id)});
         },
         false, 2},
        {"a frame too long for any buffer first",
         [&](uint16_t id) {
             Bytes huge = {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF};
             huge.resize(6 + 0xFFFF, 0x5A);
             return Concat({huge, good(id)});
         },
         false, 2},
        {"a reply for another transaction only",
         [&](uint16_t id) { return TcpFrame(static_cast<uint16_t>(id + 7), kGoodReplyPdu); }, false,
         -(1 << 16 | 18)},
    };
    uint16_t id = 0;
    for (const ReplyCase& c : cases) {
        uint16_t values[2] = {};
        const uint32_t timeoutMs = c.result == 2 ? kReplyWaitMs : kExpiryMs;
        EXPECT_EQ(ReadTwoRegisters(id++, c.reply, c.slowly, values, timeoutMs), c.result) << c.name;
        if (c.result == 2) {
            EXPECT_EQ(values[0], 0x1234) << c.name;
            EXPECT_EQ(values[1], 0xBEEF) << c.name;
        }
    }
}

TEST_F(TcpFraming, LateReplyAndCurrentReplyInOneSegment) {
    uint16_t values[2] = {};
    EXPECT_EQ(StatusOf(master->ReadHoldingRegisters(kExpiryMs, 1, 2, 37, values)), 18);
    EXPECT_EQ(peer.ReadRequest(kPeerWaitMs), TcpFrame(0, kReadTwoPdu));
    // The answer to request 0 comes only with the answer to request 1, in one write.
    const auto both = [](uint16_t id) {
        return Concat(
            {TcpFrame(0, RegisterReply(1, 3, {0xDEAD, 0xDEAD})), TcpFrame(id, kGoodReplyPdu)});
    };
    EXPECT_EQ(ReadTwoRegisters(1, both, false, values), 2);
    EXPECT_EQ(values[0], 0x1234);
    EXPECT_EQ(values[1], 0xBEEF);
}

TEST_F(TcpFraming, PartialReplyLeftByATimeOutDoesNotSpoilTheNext) {
    uint16_t values[2] = {};
    // Half a header that announces a long frame, then nothing: the request times out.
    const auto half = [](uint16_t) { return Bytes{0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01}; };
    EXPECT_EQ(StatusOf(ReadTwoRegisters(0, half, false, values, kExpiryMs)), 18);
    const auto good = [](uint16_t id) { return TcpFrame(id, kGoodReplyPdu); };
    EXPECT_EQ(ReadTwoRegisters(1, good, false, values), 2);
    EXPECT_EQ(values[1], 0xBEEF);
}

TEST_F(TcpFraming, BytesBeyondAReplysLengthDoNotSpoilTheNext) {
    uint16_t values[2] = {};
    // The length field covers less than the server sent: the rest would be read as the start
    // of the next reply.
    const auto overlong = [](uint16_t id) {
        return Concat({TcpFrame(id, kGoodReplyPdu), {0xBE, 0xEF}});
    };
    EXPECT_EQ(ReadTwoRegisters(0, overlong, false, values), 2);
    const auto good = [](uint16_t id) { return TcpFrame(id, kGoodReplyPdu); };
    EXPECT_EQ(ReadTwoRegisters(1, good, false, values), 2);
    EXPECT_EQ(values[1], 0xBEEF);
}

TEST_F(TcpFraming, ReconnectsAfterThePeerHangsUp) {
    for (bool reset : {false, true}) {
        uint16_t values[2] = {};
        auto pending = std::async(std::launch::async, [&] {
            return master->ReadHoldingRegisters(kExpiryMs, 1, 2, 37, values);
        });
        ASSERT_FALSE(peer.ReadRequest(kPeerWaitMs).empty());
        const int64_t hungUp = NowMs();
        // An abrupt reset makes the master's next send fail; that must not raise SIGPIPE.
        peer.Disconnect(reset);
        EXPECT_EQ(StatusOf(pending.get()), 18) << reset;
        ASSERT_TRUE(peer.Accept(kPeerWaitMs)) << reset;
        // Not at once (a peer that drops every connection is not hammered), not for long.
        EXPECT_GE(NowMs() - hungUp, 100) << reset;
        EXPECT_LT(NowMs() - hungUp, 3000) << reset;
        // Our accept can come before the master's own connect has returned.
        ASSERT_TRUE(WaitUntilOpen(*master, kPeerWaitMs)) << reset;
        // Whatever id the new connection starts with, its answer completes the request.
        auto result = std::async(std::launch::async, [&] {
            return master->ReadHoldingRegisters(kReplyWaitMs, 1, 2, 37, values);
        });
        const Bytes request = peer.ReadRequest(kPeerWaitMs);
        ASSERT_EQ(request.size(), 12u) << reset;
        peer.Write(TcpFrame(static_cast<uint16_t>(request[0] << 8 | request[1]), kGoodReplyPdu));
        EXPECT_EQ(result.get(), 2) << reset;
    }
}

TEST_F(TcpFraming, RequestQueuedWhileTheLinkIsDownIsNotSentLater) {
    // Nobody listens for a while, so the link stays down however slow this machine is.
    peer.StopListening();
    peer.Disconnect();
    const int64_t deadline = NowMs() + kPeerWaitMs;
    while (master->IsOpen() && NowMs() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_FALSE(master->IsOpen());
    uint16_t values[2] = {};
    EXPECT_EQ(StatusOf(master->ReadHoldingRegisters(50, 1, 2, 37, values)), 18);
    TcpPeer again(peer.Port());
    ASSERT_TRUE(again.Accept(kPeerWaitMs));
    // Our accept can come before the master's own connect has returned: a request asked in
    // between meets a link that is still down and is rightly not sent.
    ASSERT_TRUE(WaitUntilOpen(*master, kPeerWaitMs));
    // Only the next request arrives on the new connection.
    auto result = std::async(std::launch::async, [&] {
        return master->ReadHoldingRegisters(kReplyWaitMs, 1, 2, 99, values);
    });
    const Bytes request = again.ReadRequest(kPeerWaitMs);
    ASSERT_EQ(request.size(), 12u);
    EXPECT_EQ(request[9], 99);
    again.Write(TcpFrame(static_cast<uint16_t>(request[0] << 8 | request[1]), kGoodReplyPdu));
    EXPECT_EQ(result.get(), 2);
}

TEST_F(TcpFraming, ReconnectionWithNoAnswerKeepsExpiringRequestsAndEndsOnClose) {
    peer.Disconnect();
    peer.StopListening();
    SilentListener silent(peer.Port());
    // Past the reconnection pause: the master now waits inside its connect.
    ASSERT_TRUE(silent.WaitForConnectAttempt(kPeerWaitMs * 3));
    EXPECT_FALSE(master->IsOpen());
    // Requests still expire on time meanwhile.
    uint16_t values[2] = {};
    const int64_t asked = NowMs();
    EXPECT_EQ(StatusOf(master->ReadHoldingRegisters(200, 1, 2, 37, values)), 18);
    EXPECT_LT(NowMs() - asked, 200 + 2000);  // far short of the connect's own limit
    const int64_t start = NowMs();
    master.reset();
    EXPECT_LT(NowMs() - start, static_cast<int64_t>(TcpipStream::kConnectTimeLimitMs / 2));
}

TEST(TcpOpen, ReportsWhyTheConnectionFailed) {
    const std::string tooLong(600, 'a');
    const ClosedPort closed;
    const struct {
        std::string host;
        uint16_t port;
        const char* text;
    } cases[] = {
        {"127.0.0.1", closed.Port(), "Connection failed"},
        {tooLong, 502, "Name lookup failed"},
    };
    for (const auto& c : cases) {
        ConnectionPtr<ModBusTCP> master(new ModBusTCP(c.host.c_str(), c.port));
        EXPECT_FALSE(master->IsOpen()) << c.text;
        EXPECT_EQ(master->GetErrorText(), c.text);
    }
}

TEST(TcpOpen, RequestOnAConnectionThatNeverCameUpFailsAtOnce) {
    const ClosedPort closed;
    ConnectionPtr<ModBusTCP> master(new ModBusTCP("127.0.0.1", closed.Port()));
    ASSERT_FALSE(master->IsOpen());
    // Asked without waiting, so that a request that is never answered shows as a failure here.
    CompletionEvent done;
    uint16_t values[2] = {};
    const int32_t reference = master->ReadHoldingRegisters(kReplyWaitMs, 1, 2, 37, values, &done);
    ASSERT_GE(reference, ModBus::kFirstReference);
    ASSERT_TRUE(done.WaitFor(std::chrono::milliseconds(kPeerWaitMs)));
    uint32_t out = 0;
    EXPECT_EQ(master->ReleaseTransaction(reference, out), -1);
    EXPECT_EQ(out & 0xFFFF, static_cast<uint32_t>(kModbusPortClosed));
    EXPECT_EQ(master->GetErrorText(), "Connection failed");
    // The synchronous form, which every caller uses, fails the same way.
    EXPECT_EQ(StatusOf(master->ReadHoldingRegisters(kReplyWaitMs, 1, 2, 37, values)),
              kModbusPortClosed);
}

TEST(TcpOpen, TransactionIdWrapsAfter65536Requests) {
    TcpPeer peer;
    ConnectionPtr<ModBusTCP> master(new ModBusTCP("127.0.0.1", peer.Port()));
    ASSERT_TRUE(peer.Accept(kPeerWaitMs));
    // Requests the peer reads and answers in order; the 65,537th must carry id 0 again. They go
    // out a window at a time: one at a time, each costs a round of thread wake-ups, and on a
    // machine busy with other work 65,536 such rounds take minutes.
    constexpr int kWindow = ModBus::kPoolSize;
    master->SetMaxOutstanding(kWindow);
    std::atomic<bool> done{false};
    std::thread answering([&] {
        while (!done) {
            const Bytes request = peer.ReadRequest(200);
            if (request.empty())
                continue;
            peer.Write(TcpFrame(static_cast<uint16_t>(request[0] << 8 | request[1]),
                                {0x01, 0x06, 0x00, 0x01, 0x00, 0x02}));
        }
    });
    std::array<CompletionEvent, kWindow> answered;
    std::array<int32_t, kWindow> references{};
    // The status of the request sent from `slot`, once it is answered.
    const auto statusOf = [&](int slot) {
        EXPECT_TRUE(answered[slot].WaitFor(std::chrono::milliseconds(kPeerWaitMs)));
        uint32_t out = 0;
        master->ReleaseTransaction(references[slot], out);
        return out & 0xFFFF;
    };
    for (int i = 0; i < 65536; ++i) {
        const int slot = i % kWindow;
        if (i >= kWindow) {
            ASSERT_EQ(statusOf(slot), 0u) << "request " << i - kWindow;
        }
        answered[slot].Reset();
        references[slot] = master->WriteRegister(kReplyWaitMs, 1, 1, 2, &answered[slot]);
        ASSERT_GE(references[slot], ModBus::kFirstReference) << "request " << i;
    }
    for (int slot = 0; slot < kWindow; ++slot) {
        ASSERT_EQ(statusOf(slot), 0u) << "slot " << slot;
    }
    done = true;
    answering.join();
    auto result = std::async(std::launch::async,
                             [&] { return master->WriteRegister(kReplyWaitMs, 1, 1, 2); });
    const Bytes request = peer.ReadRequest(kPeerWaitMs);
    ASSERT_EQ(request.size(), 12u);
    EXPECT_EQ(request[0], 0);
    EXPECT_EQ(request[1], 0);
    peer.Write(TcpFrame(0, {0x01, 0x06, 0x00, 0x01, 0x00, 0x02}));
    EXPECT_EQ(result.get(), 0);
}

}  // namespace
