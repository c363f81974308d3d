// A read reply that is framed right (CRC, LRC or MBAP length) but carries fewer values than were
// asked is "Invalid Response" in every framing, and the caller's buffer keeps what it held: the
// Port Settings block read as three registers must never reach the dialog as 23 zeros.

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <string>

#include "modbus/modbus_ascii.h"
#include "modbus/modbus_rtu.h"
#include "modbus/modbus_status.h"
#include "modbus/modbus_tcp.h"
#include "tests/modbus_transport/connection_helpers.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace {

constexpr uint32_t kTimeoutMs = 400;
constexpr int kPeerWaitMs = 2000;
constexpr uint16_t kCanary = 0xA5A5;

enum class Framing { kRtu, kAscii, kTcp };

// One framing's master and the peer that plays the module.
class Link {
  public:
    virtual ~Link() = default;
    virtual ModBus& Master() = 0;
    // Takes the request the master sent, which must be `request` framed; answers it with `reply`
    // framed the same way (both PDUs unit first).
    virtual void Answer(const Bytes& request, const Bytes& reply) = 0;
};

class SerialLink : public Link {
  public:
    explicit SerialLink(bool ascii) : ascii_(ascii) {
        if (ascii) {
            master_.reset(new ModBusAscii(peer_.SlavePath().c_str(), 19200, 2, 7, 0));
        } else {
            master_.reset(new ModBusRTU(peer_.SlavePath().c_str(), 19200, 0, 8, 0));
        }
        EXPECT_TRUE(master_->IsOpen()) << master_->GetErrorText();
    }
    ModBus& Master() override { return *master_; }
    void Answer(const Bytes& request, const Bytes& reply) override {
        if (ascii_) {
            EXPECT_EQ(peer_.ReadUntil('\n', kPeerWaitMs), AsciiFrame(request));
            peer_.Write(AsciiFrame(reply));
        } else {
            const Bytes framed = RtuFrame(request);
            EXPECT_EQ(peer_.Read(framed.size(), kPeerWaitMs), framed);
            peer_.Write(RtuFrame(reply));
        }
    }

  private:
    bool ascii_;
    PtyPeer peer_;
    ConnectionPtr<ModBus> master_;
};

class TcpLink : public Link {
  public:
    TcpLink() {
        master_.reset(new ModBusTCP("127.0.0.1", peer_.Port()));
        EXPECT_TRUE(master_->IsOpen()) << master_->GetErrorText();
        EXPECT_TRUE(peer_.Accept(kPeerWaitMs));
    }
    ModBus& Master() override { return *master_; }
    void Answer(const Bytes& request, const Bytes& reply) override {
        const Bytes framed = peer_.ReadRequest(kPeerWaitMs);
        ASSERT_GE(framed.size(), 2u);
        const auto transaction = static_cast<uint16_t>(framed[0] << 8 | framed[1]);
        EXPECT_EQ(framed, TcpFrame(transaction, request));
        peer_.Write(TcpFrame(transaction, reply));
    }

  private:
    TcpPeer peer_;
    ConnectionPtr<ModBusTCP> master_;
};

std::unique_ptr<Link> MakeLink(Framing framing) {
    switch (framing) {
        case Framing::kRtu:
            return std::make_unique<SerialLink>(false);
        case Framing::kAscii:
            return std::make_unique<SerialLink>(true);
        default:
            return std::make_unique<TcpLink>();
    }
}

struct ShortReply {
    const char* name;
    std::function<int32_t(ModBus&, uint16_t* values)> read;
    Bytes request;  // the PDUs, unit first
    Bytes reply;
};

const ShortReply kShortReplies[] = {
    {"PortSettingsBlockAsThreeRegisters",
     [](ModBus& m, uint16_t* v) { return m.ReadHoldingRegisters(kTimeoutMs, 1, 26, 37, v); },
     {0x01, 0x03, 0x00, 0x25, 0x00, 0x1A},
     RegisterReply(1, 3, {0x8D05, 0x8D05, 0x0000})},
    {"InputRegisterAsNone",
     [](ModBus& m, uint16_t* v) { return m.ReadInputRegisters(kTimeoutMs, 1, 1, 0, v); },
     {0x01, 0x04, 0x00, 0x00, 0x00, 0x01},
     RegisterReply(1, 4, {})},
    {"FileRecordOneWordShort",
     [](ModBus& m, uint16_t* v) { return m.ReadFileRecord(kTimeoutMs, 1, 128, 2, 532, v); },
     {0x01, 20, 7, 6, 0x00, 0x80, 0x02, 0x14, 0x00, 0x02},
     {0x01, 20, 4, 3, 6, 0x00, 0x12}},
    {"BlockReadOneWordShort",
     [](ModBus& m, uint16_t* v) { return m.ExtReadBlock(kTimeoutMs, 1, 1, 0, 2, v); },
     {0x01, 0x42, 0x31, 0x00, 0x00, 0x00, 0x00, 0x02},
     {0x01, 0x42, 0x31, 0x01, 0x00, 0x98}},
};

void PrintTo(const ShortReply& c, std::ostream* out) {
    *out << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Framing, ShortReply>>& info) {
    static const char* const kFramings[] = {"Rtu", "Ascii", "Tcp"};
    return std::string(kFramings[static_cast<int>(std::get<0>(info.param))]) + "_" +
           std::get<1>(info.param).name;
}

class ShortReadReply : public ::testing::TestWithParam<std::tuple<Framing, ShortReply>> {};

TEST_P(ShortReadReply, IsAnInvalidResponseAndStoresNothing) {
    const auto& [framing, c] = GetParam();
    const std::unique_ptr<Link> link = MakeLink(framing);
    uint16_t values[32];
    std::fill(std::begin(values), std::end(values), kCanary);

    auto result = std::async(std::launch::async, [&] { return c.read(link->Master(), values); });
    link->Answer(c.request, c.reply);

    EXPECT_EQ(StatusOf(result.get()), kModbusInvalidResponse);
    for (const uint16_t value : values) {
        ASSERT_EQ(value, kCanary);
    }
}

INSTANTIATE_TEST_SUITE_P(Framings, ShortReadReply,
                         ::testing::Combine(::testing::Values(Framing::kRtu, Framing::kAscii,
                                                              Framing::kTcp),
                                            ::testing::ValuesIn(kShortReplies)),
                         CaseName);

}  // namespace
