#pragma once

// Faults injected into the simulator's replies, chosen by request number or function code.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace krtsim {

enum class FaultKind {
    Drop,       // the request is lost: not carried out, no reply
    NoReply,    // carried out, reply withheld
    Late,       // reply sent after delayMs
    Hold,       // reply sent when the simulator is told to release it (SIGUSR2)
    Exception,  // refused with exception code, not carried out
    Fake,       // answered as carried out, and not carried out (a memory-protected module)
    WrongFc,    // an empty read reply under another function code
    BadEcho,    // the reply's last byte altered
    BadCheck,   // RTU CRC or ASCII LRC wrong; TCP protocol identifier 1
    Short,      // the reply's last PDU byte left out, the frame built round what remains
    Split,      // the reply written one byte at a time
};

struct FaultRule {
    int request = -1;       // request number (from 1), or -1
    int fromRequest = -1;   // every request from this number on, or -1
    int functionCode = -1;  // function code, or -1
    int subCommand = -1;    // 0x42 sub-command (high nibble), or -1
    FaultKind kind = FaultKind::NoReply;
    int exceptionCode = 4;
    int delayMs = 1000;
    int times = 0;  // matches that get the fault; 0 = every match
    int used = 0;
};

// "req=5,do=noreply" / "fc=3,do=exception,code=2,times=1" / "fc=0x42,sub=0x20,do=late,ms=500" /
// "from=12,do=drop" (the module falls silent at request 12)
std::optional<FaultRule> parseFaultRule(const std::string& text, std::string& error);
const char* faultKindName(FaultKind kind);

// The first rule that matches this request, counted as used; nothing when none does.
std::optional<FaultRule> takeFault(std::vector<FaultRule>& rules, int request, int functionCode,
                                   int subCommand);

}  // namespace krtsim
