#include "tests/fuzz/modbus_fuzz_master.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "modbus/completion_event.h"
#include "modbus/modbus.h"
#include "modbus/reply_receivers.h"
#include "tests/modbus_transport/connection_helpers.h"

namespace {

constexpr size_t kHeaderSize = 4;
constexpr int kRequestsPerInput = 4;
constexpr size_t kCanaryBytes = 16;
constexpr uint8_t kCanary = 0xA5;
constexpr int kKinds = 12;

[[noreturn]] void Broken() {
    __builtin_trap();
}

// One request of the input's kind, with its result buffer and a guard area behind it.
struct Request {
    int32_t reference = 0;
    CompletionEvent event;
    std::vector<uint8_t> storage;
    size_t bytes = 0;      // room the request was given
    size_t valueSize = 1;  // bytes per stored value
};

class WirelessMaster final : public ModBus, private ReplySink {
  public:
    WirelessMaster(ModbusWire wire, uint8_t kind, uint8_t count, uint8_t unit)
        : wire_(wire), kind_(kind % kKinds), count_(count), unit_(unit) {
        switch (wire) {
            case ModbusWire::kRtu:
                rtu_ = std::make_unique<RtuReceiver>();
                break;
            case ModbusWire::kAscii:
                ascii_ = std::make_unique<AsciiReceiver>();
                break;
            case ModbusWire::kTcp:
                tcp_ = std::make_unique<TcpReceiver>();
                break;
            case ModbusWire::kDecoderOnly:
                break;
        }
    }
    ~WirelessMaster() override { ModBus::Close(); }

    // Accepts every frame, as a stream with room does; the RTU receiver learns the unit.
    int32_t SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t) override {
        if (rtu_ != nullptr && pduLength > 0)
            rtu_->Await(pdu[0]);
        return wire_ == ModbusWire::kTcp ? tag_++ : 0;
    }

    void Issue() {
        request_ = std::make_unique<Request>();
        Request& r = *request_;
        const uint32_t timeout = 0;  // expired by the sweep at the end, never while feeding
        const uint8_t channel = 1;
        auto buffer = [&r](size_t bytes, size_t valueSize) {
            r.bytes = bytes;
            r.valueSize = valueSize;
            r.storage.assign(bytes + kCanaryBytes, kCanary);
            return r.storage.data();
        };
        auto words = [&](size_t n) { return reinterpret_cast<uint16_t*>(buffer(2 * n, 2)); };
        auto longs = [&](size_t n) { return reinterpret_cast<uint32_t*>(buffer(4 * n, 4)); };
        switch (kind_) {
            case 0:
                r.reference =
                    ReadHoldingRegisters(timeout, unit_, count_, 37, words(count_), &r.event);
                break;
            case 1:
                r.reference =
                    ReadInputRegisters(timeout, unit_, count_, 0, words(count_), &r.event);
                break;
            case 2:
                r.reference = ReadCoils(timeout, unit_, count_, 0, buffer(count_, 1), &r.event);
                break;
            case 3:
                r.reference = ReadInputs(timeout, unit_, count_, 0, buffer(count_, 1), &r.event);
                break;
            case 4:
                r.reference =
                    ExtReadBlock(timeout, unit_, channel, 0x1000, count_, words(count_), &r.event);
                break;
            case 5:
                r.reference = ExtRead32(timeout, unit_, channel, longs(1), &r.event);
                break;
            case 6:
                r.reference = ExtReadBases(timeout, unit_, channel, longs(3), &r.event);
                break;
            case 7: {
                const uint16_t data[2] = {0x1234, 0x5678};
                r.reference = ExtWriteBlock(0, timeout, unit_, channel, 0x1000, 2, data, &r.event);
                break;
            }
            case 8:
                r.reference = ReadFileRecord(timeout, unit_, 4, count_, 0, words(count_), &r.event);
                break;
            case 9: {
                uint8_t* data = buffer(8, 1);
                r.reference = RawRequest(timeout, unit_, count_, 0, 8, data, &r.event);
                break;
            }
            case 10:
                r.reference = Diagnostics(timeout, unit_, 0, 0x1234, words(1), &r.event);
                break;
            default:
                r.reference = ReadExceptionStatus(timeout, unit_, buffer(1, 1), &r.event);
                break;
        }
        ++issued_;
        if (r.reference < kFirstReference)
            request_.reset();  // refused before queueing: nothing in flight
    }

    // Collects the request once it completed; true when the next one went out.
    bool Collect(bool issueNext) {
        if (request_ == nullptr || !request_->event.IsSet())
            return false;
        Request& r = *request_;
        uint32_t out = 0;
        // The status may be any exception code, 36 "Pending" included, so a record left off the
        // completed list shows only in the pool check at the end.
        const int32_t count = ReleaseTransaction(r.reference, out);
        if (count > 0 && static_cast<size_t>(count) * r.valueSize > r.bytes)
            Broken();
        for (size_t i = r.bytes; i < r.storage.size(); ++i) {
            if (r.storage[i] != kCanary)
                Broken();
        }
        request_.reset();
        if (!issueNext || issued_ >= kRequestsPerInput)
            return false;
        Issue();
        return true;
    }

    void Feed(const uint8_t* bytes, size_t size) {
        if (wire_ == ModbusWire::kDecoderOnly) {
            ProcessResponse(0, static_cast<int32_t>(size), bytes);
            Collect(false);
            return;
        }
        const int32_t length = static_cast<int32_t>(size);
        if (rtu_ != nullptr) {
            rtu_->Receive(length, bytes, *this);
            if (rtu_->Buffered() > RtuReceiver::kBufferSize)
                Broken();
        } else if (ascii_ != nullptr) {
            ascii_->Receive(length, bytes, *this);
        } else {
            tcp_->Receive(length, bytes, *this);
        }
    }

    void Finish() {
        CheckTimeouts();
        Collect(false);
        if (request_ != nullptr)
            Broken();  // neither answered nor expired: it would never be collected
        // Every record is back: the whole pool can be asked for again.
        CompletionEvent ignored;
        const uint8_t pdu[] = {unit_, 0x07};
        for (int i = 0; i < kPoolSize; ++i) {
            if (QueueRequest(0, unit_, 2, pdu, nullptr, 0, &ignored, 0) < kFirstReference)
                Broken();
        }
    }

  private:
    bool OnReply(int32_t tag, int32_t length, const uint8_t* pdu) override {
        ProcessResponse(tag, length, pdu);
        return Collect(true);
    }

    ModbusWire wire_;
    uint8_t kind_;
    uint8_t count_;
    uint8_t unit_;
    int32_t tag_ = 0;
    int issued_ = 0;
    std::unique_ptr<Request> request_;
    std::unique_ptr<RtuReceiver> rtu_;
    std::unique_ptr<AsciiReceiver> ascii_;
    std::unique_ptr<TcpReceiver> tcp_;
};

std::vector<uint8_t> Seed(uint8_t kind, uint8_t count, uint8_t unit, uint8_t chunk,
                          const std::vector<uint8_t>& wire) {
    std::vector<uint8_t> seed{kind, count, unit, chunk};
    seed.insert(seed.end(), wire.begin(), wire.end());
    return seed;
}

}  // namespace

void RunModbusFuzzInput(ModbusWire wire, const uint8_t* data, size_t size) {
    if (size < kHeaderSize)
        return;
    auto master = std::make_unique<WirelessMaster>(wire, data[0], data[1], data[2]);
    const size_t chunk = data[3] == 0 ? size : data[3];
    data += kHeaderSize;
    size -= kHeaderSize;
    master->Issue();
    if (wire == ModbusWire::kDecoderOnly) {
        master->Feed(data, size);
    } else {
        for (size_t at = 0; at < size; at += chunk)
            master->Feed(data + at, std::min(chunk, size - at));
    }
    master->Finish();
}

std::vector<std::vector<uint8_t>> ModbusFuzzSeeds(ModbusWire wire) {
    // Replies to the kinds above, unit byte first: read registers, a block write, a block
    // read, an exception, coils.
    const std::vector<uint8_t> registers = RegisterReply(1, 3, {0x1234, 0xBEEF});
    const std::vector<uint8_t> blockWrite = {0x01, 0x42, 0x21};
    const std::vector<uint8_t> blockRead = {0x01, 0x42, 0x31, 0x02, 0x12, 0x34, 0x56, 0x78};
    const std::vector<uint8_t> exception = {0x01, 0x83, 0x02};
    const std::vector<uint8_t> coils = {0x01, 0x01, 0x02, 0x55, 0x01};
    struct Answer {
        uint8_t kind;
        uint8_t count;
        std::vector<uint8_t> pdu;
    };
    const Answer answers[] = {
        {0, 2, registers}, {7, 0, blockWrite}, {4, 2, blockRead}, {0, 2, exception}, {2, 9, coils},
    };
    std::vector<std::vector<uint8_t>> seeds;
    for (const Answer& a : answers) {
        switch (wire) {
            case ModbusWire::kDecoderOnly:
                seeds.push_back(Seed(a.kind, a.count, 1, 0, a.pdu));
                break;
            case ModbusWire::kRtu:
                // Noise first, then two replies: the second answers the request the first let go.
                seeds.push_back(
                    Seed(a.kind, a.count, 1, 7,
                         Concat({{0x00, 0x03, 0xFF}, RtuFrame(a.pdu), RtuFrame(a.pdu)})));
                break;
            case ModbusWire::kAscii:
                seeds.push_back(
                    Seed(a.kind, a.count, 1, 5, Concat({Text(" \x7f"), AsciiFrame(a.pdu)})));
                break;
            case ModbusWire::kTcp:
                seeds.push_back(
                    Seed(a.kind, a.count, 1, 0, Concat({TcpFrame(0, a.pdu), TcpFrame(1, a.pdu)})));
                break;
        }
    }
    return seeds;
}
