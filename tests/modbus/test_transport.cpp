#include "tests/modbus/test_transport.h"

namespace {

// The serial I/O threads tick every 100 ms; a shorter tick keeps time-out tests tight.
constexpr auto kIdleTick = std::chrono::milliseconds(5);

}  // namespace

TestTransport::TestTransport(Responder responder) : responder_(std::move(responder)) {}

TestTransport* TestTransport::Open(Responder responder) {
    auto* transport = new TestTransport(std::move(responder));
    // Started last, as the real streams do, so no reply reaches a half-built object.
    transport->io_ = std::thread([transport] { transport->IoLoop(); });
    return transport;
}

void TestTransport::Close() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    io_.join();
    ModBus::Close();
    delete this;
}

std::string TestTransport::GetErrorText() {
    std::lock_guard<std::mutex> guard(mutex_);
    return errorText_;
}

void TestTransport::SetErrorText(std::string_view text) {
    std::lock_guard<std::mutex> guard(mutex_);
    errorText_ = text;
}

void TestTransport::ResetReceive() {
    std::lock_guard<std::mutex> guard(mutex_);
    ++resets_;
}

int32_t TestTransport::SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t noResponse) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (streamError_ < 0) {
        return streamError_;
    }
    const int32_t tag = nextTag_++;
    Bytes frame(pdu, pdu + pduLength);
    if (responder_) {
        if (std::optional<Bytes> reply = responder_(frame)) {
            inbox_.emplace_back(tag, std::move(*reply));
        }
    }
    sent_.push_back({tag, std::move(frame), noResponse});
    changed_.notify_all();
    return tag;
}

void TestTransport::FailSends(int32_t streamError) {
    std::lock_guard<std::mutex> guard(mutex_);
    streamError_ = streamError;
}

void TestTransport::Deliver(int32_t tag, Bytes reply) {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        inbox_.emplace_back(tag, std::move(reply));
    }
    changed_.notify_all();
}

std::vector<TestTransport::SentFrame> TestTransport::Sent() {
    std::lock_guard<std::mutex> guard(mutex_);
    return sent_;
}

bool TestTransport::WaitForSent(size_t count, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> guard(mutex_);
    return changed_.wait_for(guard, limit, [&] { return sent_.size() >= count; });
}

int32_t TestTransport::ResetCount() {
    std::lock_guard<std::mutex> guard(mutex_);
    return resets_;
}

void TestTransport::IoLoop() {
    std::unique_lock<std::mutex> guard(mutex_);
    while (!stopping_) {
        changed_.wait_for(guard, kIdleTick, [this] { return stopping_ || !inbox_.empty(); });
        std::deque<std::pair<int32_t, Bytes>> replies;
        replies.swap(inbox_);
        // The core takes its lock and then this one: never call in while holding ours.
        guard.unlock();
        for (const auto& [tag, reply] : replies) {
            ProcessResponse(tag, static_cast<int32_t>(reply.size()), reply.data());
        }
        CheckTimeouts();
        guard.lock();
    }
}

int32_t RunRequest(const std::function<int32_t(ModBus&)>& request,
                   const TestTransport::Responder& responder,
                   std::vector<TestTransport::SentFrame>* sent) {
    TestTransport* transport = TestTransport::Open(responder);
    const int32_t result = request(*transport);
    if (sent != nullptr) {
        *sent = transport->Sent();
    }
    transport->Close();
    return result;
}
