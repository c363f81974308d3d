#pragma once

// What every framing shares: counting and logging requests, filtering by unit, carrying
// each request out on the module and applying the injected faults to its reply.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "fault_plan.h"
#include "krt_module.h"
#include "module_config.h"

namespace krtsim {

// The bytes to write for one reply, and how.
struct ReplyPlan {
    std::vector<uint8_t> bytes;
    int delayMs = 0;
    bool held = false;  // sent once released
    bool oneByteAtATime = false;
};

class SlaveSession {
  public:
    SlaveSession(KrtModule& module, const RunConfig& config);
    ~SlaveSession();
    SlaveSession(const SlaveSession&) = delete;
    SlaveSession& operator=(const SlaveSession&) = delete;

    bool logOpen() const { return log_ != nullptr || logPath_.empty(); }

    // Carries out one request; the reply framed by `framing`, or nothing when the module
    // stays silent. transaction is the MBAP identifier (TCP only).
    std::optional<ReplyPlan> onRequest(const std::vector<uint8_t>& pdu, ServerMode framing,
                                       uint16_t transaction = 0);

    int requestCount() const { return requestCount_; }

  private:
    void log(const std::string& line);

    KrtModule& module_;
    std::vector<FaultRule> faults_;
    int unit_;
    std::string logPath_;
    FILE* log_ = nullptr;
    int requestCount_ = 0;
};

}  // namespace krtsim
