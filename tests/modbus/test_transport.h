#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "modbus/modbus.h"

using Bytes = std::vector<uint8_t>;

// A framing with no wire: it records every PDU that the core sends and hands
// replies back from its own I/O thread, which also runs the idle tick, as a serial
// or TCP connection would. Tags count up from 0 like Modbus/TCP transaction ids, so
// a late reply can be told from the next one.
class TestTransport final : public ModBus {
  public:
    // Builds the reply to a request PDU, or nothing to stay silent.
    using Responder = std::function<std::optional<Bytes>(const Bytes& pdu)>;

    struct SentFrame {
        int32_t tag;
        Bytes pdu;
        uint8_t noResponse;
    };

    // Like every Connection object it lives on the heap and ends with Close().
    static TestTransport* Open(Responder responder = {});

    std::string GetErrorText() override;
    void SetErrorText(std::string_view text) override;
    void ResetReceive() override;
    void Close() override;
    bool IsOpen() override { return true; }
    int32_t SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t noResponse) override;

    // From now on SendFrame refuses every frame with this negative stream error.
    void FailSends(int32_t streamError);
    // Hands a reply to the I/O thread, as if it had just been received.
    void Deliver(int32_t tag, Bytes reply);
    std::vector<SentFrame> Sent();
    // Waits until `count` frames were sent; false when they were not within the limit.
    bool WaitForSent(size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5));
    int32_t ResetCount();

  private:
    explicit TestTransport(Responder responder);
    ~TestTransport() override = default;
    void IoLoop();

    Responder responder_;
    std::mutex mutex_;  // the "stream lock": taken inside SendFrame under the core lock
    std::condition_variable changed_;
    std::deque<std::pair<int32_t, Bytes>> inbox_;
    std::vector<SentFrame> sent_;
    std::string errorText_;
    int32_t resets_ = 0;
    int32_t streamError_ = 0;
    int32_t nextTag_ = 0;
    bool stopping_ = false;
    std::thread io_;
};

// Runs a request on a fresh transport and returns its result; `sent` receives the
// PDUs the transport saw.
int32_t RunRequest(const std::function<int32_t(ModBus&)>& request,
                   const TestTransport::Responder& responder,
                   std::vector<TestTransport::SentFrame>* sent = nullptr);
