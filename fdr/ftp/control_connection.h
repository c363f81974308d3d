#pragma once

// The control connection of an FTP session: commands out, whole replies in, each reply within
// the time limit, every received text and cut line written to the trace.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "fdr/ftp/reply_lines.h"
#include "platform/tcp_client.h"
#include "platform/tick.h"

namespace fdr {

struct FtpReply {
    int code = 0;      // 0 for a line that is not a reply
    std::string line;  // the reply's last line, its line end included
};

enum class ReplyWait {
    Reply,       // a whole reply came
    Silent,      // the time limit passed with nothing pending
    Incomplete,  // the time limit passed in the middle of a line
    TooLong,     // a line grew beyond any reply's length
    Closed,      // the server closed (or broke) the connection
    Overdue,     // the query's own deadline passed, however busy the server was
};

class ControlConnection {
  public:
    // Until setDeadline, no deadline beyond the reply limit (the farthest tick ahead).
    ControlConnection(std::ostream& trace, uint32_t replyLimitMs)
        : trace_(trace),
          replyLimitMs_(replyLimitMs),
          queryDeadline_(platform::TickCount() + 0x7FFFFFFFu) {}

    platform::TcpSocket::ConnectResult connect(platform::Ipv4Address address, uint16_t port,
                                               uint32_t timeLimitMs) {
        return socket_.Connect(address, port, timeLimitMs);
    }
    // Sends every byte within the reply time limit; `error` gets the system's number.
    bool send(std::string_view command, int& error);

    // No wait goes beyond this tick (the whole query's deadline).
    void setDeadline(uint32_t tick) { queryDeadline_ = tick; }
    uint32_t deadline() const { return queryDeadline_; }

    // Waits for the next whole reply; a multi-line reply counts once, with its last line.
    ReplyWait nextReply(FtpReply& reply) { return nextReply(reply, replyLimitMs_); }
    // The same within `limitMs` instead of the reply limit.
    ReplyWait nextReply(FtpReply& reply, uint32_t limitMs);

    // The last line received, without its line end ("" before the first).
    const std::string& lastLine() const { return lastLine_; }

    void shutdownAndClose() {
        socket_.Shutdown();
        socket_.Close();
    }

  private:
    void traceLine(const std::string& line, int code);

    std::ostream& trace_;
    uint32_t replyLimitMs_;
    uint32_t queryDeadline_;
    platform::TcpClient socket_;
    ReplyLineCutter cutter_;
    ReplyAssembler assembler_;
    std::string lastLine_;
};

}  // namespace fdr
