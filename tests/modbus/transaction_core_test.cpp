// The request pool, the one-at-a-time send queue, time-outs and collection.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/modbus/test_transport.h"

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr uint32_t kLongTimeout = 60000;

std::optional<Bytes> Silent(const Bytes&) {
    return std::nullopt;
}

std::optional<Bytes> EchoWrite(const Bytes& pdu) {
    return pdu;
}

// Owns a transport for one test and closes it however the test ends.
struct OpenTransport {
    explicit OpenTransport(TestTransport::Responder responder = {})
        : transport(TestTransport::Open(std::move(responder))) {}
    ~OpenTransport() { transport->Close(); }
    TestTransport* operator->() const { return transport; }
    TestTransport* transport;
};

TEST(Results, KnownAnswers) {
    EXPECT_EQ(ModbusFailure(1, 2), -65538);
    EXPECT_EQ(ModbusFailure(255, 18), -16711698);
    // A unit with its top bit set must still give a negative result.
    EXPECT_LT(ModbusFailure(0x8001, 1), 0);
}

TEST(Results, ExceptionFromUnit1NamesTheFault) {
    OpenTransport t([](const Bytes&) { return std::optional<Bytes>(Bytes{1, 0x83, 2}); });
    uint16_t value = 0;
    EXPECT_EQ(t->ReadHoldingRegisters(kLongTimeout, 1, 1, 0, &value), -65538);
    EXPECT_EQ(t->GetErrorText(), "Illegal Data Address");
}

TEST(Results, SuccessAndUnknownStatusKeepThePreviousErrorText) {
    OpenTransport t([](const Bytes& pdu) -> std::optional<Bytes> {
        if (pdu[1] == 0x2B) {
            return Bytes{pdu[0], 0x2B, 0};  // a function this master cannot decode: 35
        }
        return pdu[3] == 0x01 ? Bytes{pdu[0], 0x86, 3} : pdu;
    });
    EXPECT_EQ(t->WriteRegister(kLongTimeout, 1, 1, 0), -((1 << 16) | 3));
    EXPECT_EQ(t->GetErrorText(), "Illegal Data Value");
    EXPECT_EQ(t->WriteRegister(kLongTimeout, 1, 2, 0), 0);
    EXPECT_EQ(t->RawRequest(kLongTimeout, 1, 0x2B, 0, 0, nullptr), -((1 << 16) | 35));
    EXPECT_EQ(t->GetErrorText(), "Illegal Data Value");
}

TEST(Timeouts, ExpireWithinTheConfiguredTimeNotBefore) {
    OpenTransport t(Silent);
    constexpr uint32_t kTimeout = 150;
    const auto start = Clock::now();
    EXPECT_EQ(t->WriteRegister(kTimeout, 255, 1, 1), -16711698);
    const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    // The tick count has 1 ms steps, so the deadline can fall up to 1 ms early; the upper
    // bound only tells an expiry from a hang, with room for a heavily loaded machine.
    EXPECT_GE(elapsed.count(), kTimeout - 1);
    EXPECT_LT(elapsed.count(), kTimeout + 5000);
    EXPECT_EQ(t->GetErrorText(), "Modbus Timed Out");
    EXPECT_EQ(t->ResetCount(), 1);
}

TEST(Timeouts, LateReplyChangesNothing) {
    OpenTransport t(Silent);
    uint16_t value = 0xFFFF;
    EXPECT_EQ(t->ReadHoldingRegisters(20, 1, 1, 0, &value), -((1 << 16) | 18));
    const int32_t lateTag = t->Sent().at(0).tag;

    // The next request is in flight when the stale reply turns up.
    CompletionEvent event;
    uint16_t next = 0;
    const int32_t reference = t->ReadHoldingRegisters(kLongTimeout, 1, 1, 0, &next, &event);
    ASSERT_GE(reference, ModBus::kFirstReference);
    ASSERT_TRUE(t->WaitForSent(2));
    t->Deliver(lateTag, Bytes{1, 3, 2, 0x12, 0x34});
    EXPECT_FALSE(event.WaitFor(milliseconds(50)));
    EXPECT_EQ(value, 0xFFFF);

    t->Deliver(t->Sent().at(1).tag, Bytes{1, 3, 2, 0x56, 0x78});
    event.Wait();
    uint32_t out = 0;
    EXPECT_EQ(t->ReleaseTransaction(reference, out), 1);
    EXPECT_EQ(out, 1u << 16);
    EXPECT_EQ(next, 0x5678);
}

TEST(Timeouts, TimeOutsOf2To31MillisecondsAndMoreDoNotExpireAtOnce) {
    for (const uint32_t timeout : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        OpenTransport t(Silent);
        CompletionEvent event;
        uint16_t value = 0;
        const int32_t reference = t->ReadHoldingRegisters(timeout, 1, 1, 0, &value, &event);
        ASSERT_GE(reference, ModBus::kFirstReference);
        ASSERT_TRUE(t->WaitForSent(1));
        // Several idle ticks of the I/O thread pass before the reply comes; none may expire it.
        std::this_thread::sleep_for(milliseconds(30));
        t->Deliver(t->Sent().at(0).tag, Bytes{1, 3, 2, 0x56, 0x78});
        event.Wait();
        uint32_t out = 0;
        EXPECT_EQ(t->ReleaseTransaction(reference, out), 1) << timeout;
        EXPECT_EQ(out, 1u << 16) << timeout;
        EXPECT_EQ(value, 0x5678) << timeout;
    }
}

TEST(Pool, SeventeenthOutstandingRequestIsRefused) {
    OpenTransport t(Silent);
    CompletionEvent event;
    for (int i = 0; i < ModBus::kPoolSize; ++i) {
        EXPECT_GE(t->WriteRegister(kLongTimeout, 1, 0, 0, &event), ModBus::kFirstReference);
    }
    EXPECT_EQ(t->WriteRegister(kLongTimeout, 1, 0, 0, &event), kModbusQueueFull);
    EXPECT_EQ(t->WriteRegister(kLongTimeout, 3, 0, 0), -((3 << 16) | 16));
    EXPECT_EQ(t->Sent().size(), 1u);  // one in flight, the rest wait their turn
}

TEST(Pool, CollectedRecordsAreReused) {
    OpenTransport t(EchoWrite);
    for (int i = 0; i < 3 * ModBus::kPoolSize; ++i) {
        ASSERT_EQ(t->WriteRegister(kLongTimeout, 1, static_cast<uint16_t>(i), 1), 0) << i;
    }
}

TEST(Pool, QueueRequestTakesExactly256Bytes) {
    OpenTransport t(Silent);
    CompletionEvent event;
    uint8_t pdu[257] = {1, 0x11};
    EXPECT_EQ(t->QueueRequest(kLongTimeout, 1, 257, pdu, nullptr, 0, &event, 0),
              kModbusCommandOverSize);
    EXPECT_GE(t->QueueRequest(kLongTimeout, 1, 256, pdu, nullptr, 0, &event, 0),
              ModBus::kFirstReference);
    ASSERT_TRUE(t->WaitForSent(1));
    EXPECT_EQ(t->Sent().at(0).pdu.size(), 256u);
}

TEST(SendQueue, SecondRequestWaitsForTheFirst) {
    OpenTransport t(Silent);
    CompletionEvent first, second;
    const int32_t a = t->WriteRegister(kLongTimeout, 1, 10, 1, &first);
    const int32_t b = t->WriteRegister(kLongTimeout, 1, 11, 2, &second);
    ASSERT_TRUE(t->WaitForSent(1));
    EXPECT_FALSE(t->WaitForSent(2, milliseconds(30)));

    t->Deliver(t->Sent().at(0).tag, Bytes{1, 6, 0, 10, 0, 1});
    first.Wait();
    ASSERT_TRUE(t->WaitForSent(2));
    EXPECT_EQ(t->Sent().at(1).pdu, (Bytes{1, 6, 0, 11, 0, 2}));
    EXPECT_FALSE(second.IsSet());

    uint32_t out = 0;
    EXPECT_EQ(t->ReleaseTransaction(a, out), 0);
    EXPECT_EQ(out, 1u << 16);
    EXPECT_EQ(t->ReleaseTransaction(b, out), -1);
    EXPECT_EQ(out & 0xFFFF, static_cast<uint32_t>(kModbusPending));
    EXPECT_EQ(t->ReleaseTransaction(a, out), -1);  // already collected
    EXPECT_EQ(out & 0xFFFF, static_cast<uint32_t>(kModbusGeneralFault));
    EXPECT_EQ(t->ReleaseTransaction(7, out), -1);
}

TEST(SendQueue, RefusedFrameCompletesAtOnceAndKeepsTheStreamText) {
    OpenTransport t(EchoWrite);
    t->SetErrorText("Port closed by the stream");
    t->FailSends(-kModbusOutputBufferFull);
    EXPECT_EQ(t->WriteRegister(kLongTimeout, 2, 1, 1), -((2 << 16) | 39));
    EXPECT_EQ(t->GetErrorText(), "Port closed by the stream");
    EXPECT_TRUE(t->Sent().empty());
}

TEST(SendQueue, ManyRoundTripsFromTheIoThread) {
    OpenTransport t([](const Bytes& pdu) {
        return std::optional<Bytes>(Bytes{pdu[0], 3, 2, pdu[2], pdu[3]});
    });
    for (uint16_t i = 0; i < 2000; ++i) {
        uint16_t value = 0;
        ASSERT_EQ(t->ReadHoldingRegisters(kLongTimeout, 1, 1, i, &value), 1);
        ASSERT_EQ(value, i);
    }
}

TEST(Close, BaseCloseReleasesTheCoreOnceAndRefusesLaterRequests) {
    OpenTransport t(EchoWrite);
    CompletionEvent event;
    EXPECT_GE(t->WriteRegister(kLongTimeout, 1, 0, 0, &event), ModBus::kFirstReference);
    t->ModBus::Close();
    t->ModBus::Close();
    EXPECT_EQ(t->WriteRegister(kLongTimeout, 1, 0, 0), -((1 << 16) | 16));
}

}  // namespace
