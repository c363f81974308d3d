#pragma once

// Carries out one request PDU (unit byte, function code, data) on the module and builds
// the reply PDU, together with the fields that the request log records for it.

#include <cstdint>
#include <string>
#include <vector>

#include "krt_module.h"

namespace krtsim {

struct HandledRequest {
    std::vector<uint8_t> reply;  // reply PDU, unit byte first (an exception reply on refusal)
    uint8_t exception = kNoException;
    std::string fields;  // "start=37 count=26" and the like, for the log
};

inline constexpr uint8_t kExtendedFunction = 0x42;

// The function code and, for 0x42, the sub-command (high nibble) of a request PDU; -1 when
// the PDU is too short to tell.
int requestFunctionCode(const std::vector<uint8_t>& pdu);
int requestSubCommand(const std::vector<uint8_t>& pdu);

// The reply a module gives when it refuses a request with an exception code.
std::vector<uint8_t> exceptionReply(const std::vector<uint8_t>& pdu, uint8_t code);

// Describes the request's fields for the log without carrying it out.
std::string describeRequest(const std::vector<uint8_t>& pdu);

HandledRequest handleRequest(KrtModule& module, const std::vector<uint8_t>& pdu);

}  // namespace krtsim
