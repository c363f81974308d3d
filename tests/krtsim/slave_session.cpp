#include "slave_session.h"

#include <sstream>

#include "request_handler.h"
#include "slave_framing.h"

namespace krtsim {
namespace {

// A well-formed empty read reply under a function code the request did not use.
std::vector<uint8_t> wrongFunctionReply(const std::vector<uint8_t>& pdu) {
    return {pdu[0], static_cast<uint8_t>(pdu[1] == 3 ? 4 : 3), 0};
}

std::vector<uint8_t> frame(ServerMode framing, const std::vector<uint8_t>& pdu,
                           uint16_t transaction, bool badCheck) {
    switch (framing) {
        case ServerMode::Rtu: {
            auto bytes = rtuFrame(pdu);
            if (badCheck)
                bytes.back() ^= 0x5A;
            return bytes;
        }
        case ServerMode::Ascii: {
            auto bytes = asciiFrame(pdu);
            if (badCheck) {  // another LRC digit, still a hexadecimal digit
                uint8_t& digit = bytes[bytes.size() - 3];
                digit = digit == '0' ? '1' : '0';
            }
            return bytes;
        }
        default:
            return tcpFrame(transaction, pdu, badCheck ? 1 : 0);
    }
}

}  // namespace

SlaveSession::SlaveSession(KrtModule& module, const RunConfig& config)
    : module_(module), faults_(config.faults), unit_(config.unit), logPath_(config.logPath) {
    if (logPath_ == "-")
        log_ = stdout;
    else if (!logPath_.empty())
        log_ = std::fopen(logPath_.c_str(), "w");
}

SlaveSession::~SlaveSession() {
    if (log_ && log_ != stdout)
        std::fclose(log_);
}

void SlaveSession::log(const std::string& line) {
    if (!log_)
        return;
    std::fputs(line.c_str(), log_);
    std::fputc('\n', log_);
    std::fflush(log_);
}

std::optional<ReplyPlan> SlaveSession::onRequest(const std::vector<uint8_t>& pdu,
                                                 ServerMode framing, uint16_t transaction) {
    if (pdu.size() < 2)
        return std::nullopt;
    int number = ++requestCount_;
    int functionCode = requestFunctionCode(pdu);
    std::ostringstream line;
    line << number << " fc=" << functionCode << " unit=" << int{pdu[0]};
    if (unit_ >= 0 && pdu[0] != unit_) {
        std::string fields = describeRequest(pdu);
        log(line.str() + (fields.empty() ? "" : " " + fields) + " result=ignored");
        return std::nullopt;
    }

    auto fault = takeFault(faults_, number, functionCode, requestSubCommand(pdu));
    bool carriedOut =
        !fault || (fault->kind != FaultKind::Drop && fault->kind != FaultKind::Exception &&
                   fault->kind != FaultKind::Fake);
    HandledRequest handled;
    if (carriedOut) {
        handled = handleRequest(module_, pdu);
    } else if (fault->kind == FaultKind::Fake) {
        // The reply of a module that did it, from a copy that is thrown away.
        KrtModule scratch = module_;
        handled = handleRequest(scratch, pdu);
    } else {
        handled.fields = describeRequest(pdu);
        if (fault->kind == FaultKind::Exception) {
            handled.exception = static_cast<uint8_t>(fault->exceptionCode);
            handled.reply = exceptionReply(pdu, handled.exception);
        }
    }

    if (!handled.fields.empty())
        line << ' ' << handled.fields;
    if (fault && fault->kind == FaultKind::Drop)
        line << " result=dropped";
    else if (fault && fault->kind == FaultKind::Fake && !handled.exception)
        line << " result=faked";
    else if (handled.exception)
        line << " result=exception:" << int{handled.exception};
    else
        line << " result=ok";
    if (fault)
        line << " fault=" << faultKindName(fault->kind);
    log(line.str());

    if (fault && (fault->kind == FaultKind::Drop || fault->kind == FaultKind::NoReply))
        return std::nullopt;
    ReplyPlan plan;
    std::vector<uint8_t> reply = handled.reply;
    bool badCheck = false;
    if (fault) {
        switch (fault->kind) {
            case FaultKind::Late:
                plan.delayMs = fault->delayMs;
                break;
            case FaultKind::Hold:
                plan.held = true;
                break;
            case FaultKind::WrongFc:
                reply = wrongFunctionReply(pdu);
                break;
            case FaultKind::BadEcho:
                reply.back() ^= 0x01;
                break;
            case FaultKind::BadCheck:
                badCheck = true;
                break;
            case FaultKind::Short:
                reply.pop_back();
                break;
            case FaultKind::Split:
                plan.oneByteAtATime = true;
                break;
            default:
                break;
        }
    }
    plan.bytes = frame(framing, reply, transaction, badCheck);
    return plan;
}

}  // namespace krtsim
