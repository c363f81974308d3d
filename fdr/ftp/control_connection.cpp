#include "fdr/ftp/control_connection.h"

#include <array>

#include "platform/tick.h"

namespace fdr {

namespace {

using platform::TcpClient;

constexpr std::size_t kReceiveBufferSize = 8192;

// A trace line shows this much of a text: each cut line would otherwise echo all that is
// still pending, and a flood of short lines would write the square of its size.
constexpr std::size_t kTraceEchoLength = 200;

std::string_view Echo(std::string_view text, bool& cut) {
    cut = text.size() > kTraceEchoLength;
    return text.substr(0, kTraceEchoLength);
}

uint32_t Remaining(uint32_t deadline) {
    const uint32_t now = platform::TickCount();
    return platform::TickReached(now, deadline) ? 0 : deadline - now;
}

}  // namespace

bool ControlConnection::send(std::string_view command, int& error) {
    const TcpClient::Result sent = socket_.SendAll(command, replyLimitMs_);
    error = sent.error;
    return sent.status == TcpClient::Status::kOk;
}

ReplyWait ControlConnection::nextReply(FtpReply& reply, uint32_t limitMs) {
    std::array<uint8_t, kReceiveBufferSize> receiveBuffer{};
    const uint32_t replyDeadline = platform::TickCount() + limitMs;
    // A server that keeps talking without ever finishing meets the query's deadline.
    const bool queryEndsFirst = Remaining(queryDeadline_) < limitMs;
    const uint32_t deadline = queryEndsFirst ? queryDeadline_ : replyDeadline;
    for (;;) {
        if (queryEndsFirst && Remaining(deadline) == 0)
            return ReplyWait::Overdue;
        std::optional<std::string> line = cutter_.nextLine();
        if (!line) {
            if (cutter_.pendingText().size() > maxReplyLineLength)
                return ReplyWait::TooLong;
            const TcpClient::Result got = socket_.Receive(
                receiveBuffer.data(), static_cast<int>(receiveBuffer.size()), Remaining(deadline));
            if (got.status == TcpClient::Status::kOk) {
                const std::string_view text(reinterpret_cast<const char*>(receiveBuffer.data()),
                                            static_cast<std::size_t>(got.bytes));
                trace_ << "-------- " << got.bytes << " -------------\n'" << text << "'\n";
                cutter_.add(text);
                continue;
            }
            if (got.status == TcpClient::Status::kTimedOut) {
                if (queryEndsFirst)
                    return ReplyWait::Overdue;
                return cutter_.pendingText().empty() ? ReplyWait::Silent : ReplyWait::Incomplete;
            }
            // The server closed (or broke) the connection. A last line it did not end still
            // counts; the close is seen at the next wait.
            if (cutter_.pendingText().empty()) {
                trace_ << "-------- 0 -------------\n";
                return ReplyWait::Closed;
            }
            line = cutter_.takePending();
        }
        const std::optional<int> code = assembler_.addLine(*line);
        traceLine(*line, replyCodeOf(*line));
        lastLine_ = withoutLineEnd(*line);
        if (code) {
            reply.code = *code;
            reply.line = *line;
            return ReplyWait::Reply;
        }
    }
}

void ControlConnection::traceLine(const std::string& line, int code) {
    bool pendingCut = false;
    bool lineCut = false;
    const std::string_view pending = Echo(cutter_.pendingText(), pendingCut);
    const std::string_view shownLine = Echo(line, lineCut);
    trace_ << "---------------------\n"
           << "rxstring='" << pending << (pendingCut ? "...'\n" : "'\n")
           << "---------++++------------\n\n"
           << "linefeed = " << line.size() << "\n"
           << "---------------------\n"
           << "teststring='" << shownLine << (lineCut ? "...'\n" : "'\n")
           << "---------++++------------\n\n"
           << "ftp return code = " << code << "\n";
}

}  // namespace fdr
