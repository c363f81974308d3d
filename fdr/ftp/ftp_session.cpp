#include "fdr/ftp/ftp_session.h"

#include <array>
#include <string>
#include <vector>

#include "fdr/ftp/data_transfer.h"
#include "fdr/ftp/passive_reply.h"
#include "fdr/ftp/reply_lines.h"
#include "fdr/listing/fdr_listing.h"
#include "fdr/prm/decode_prm_file.h"
#include "platform/ipv4_address.h"
#include "platform/system_error.h"
#include "platform/tcp_client.h"
#include "platform/tick.h"

namespace fdr {

namespace {

using platform::TcpClient;
using platform::TcpSocket;

// The FDR service's own account and directory on the controller.
constexpr std::string_view kUserCommand = "USER fdrusers\r\n";
constexpr std::string_view kPasswordCommand = "PASS tkvomela\r\n";
constexpr std::string_view kDirectoryCommand = "CWD \\RAM0\\fdr\r\n";

constexpr std::size_t kReceiveBufferSize = 8192;

uint32_t Remaining(uint32_t deadline) {
    const uint32_t now = platform::TickCount();
    return platform::TickReached(now, deadline) ? 0 : deadline - now;
}

std::string WithoutLineEnd(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    return std::string(line);
}

class FtpSession {
  public:
    explicit FtpSession(QueryContext& context) : context_(context) {}

    QueryEnd run(std::string_view address);

  private:
    void progress(int position) {
        if (context_.setProgress)
            context_.setProgress(position);
    }
    // A failure that ends the query: the box, and a last line in the reports.
    void fail(const std::string& text);
    bool send(std::string_view command, const char* failure);
    void replyLoop();
    void traceLine(const std::string& line, int code);
    bool act(int code, const std::string& line);
    bool passive(const std::string& line);
    bool transfer(platform::Ipv4Address address, uint16_t port, std::vector<uint8_t>& bytes);
    bool fileFetched(const std::vector<uint8_t>& bytes);
    std::string silenceText() const;
    void endSession();

    QueryContext& context_;
    std::ostream& trace_ = context_.trace;
    TcpClient control_;
    ReplyLineCutter cutter_;
    ReplyAssembler assembler_;
    FileQueue fileQueue_;
    bool quitSent_ = false;
    bool ended_ = false;
    std::string lastReply_;
};

void FtpSession::fail(const std::string& text) {
    trace_ << "Error: " << text << "\n";
    appendToAllReports(context_.reportText, reportSafe("\r\n" + text));
    if (context_.showError)
        context_.showError(text);
}

bool FtpSession::send(std::string_view command, const char* failure) {
    trace_ << "send: " << (command == kPasswordCommand ? "PASS ********\r\n" : command);
    const TcpClient::Result sent = control_.SendAll(command, context_.limits.replyMs);
    if (sent.status == TcpClient::Status::kOk)
        return true;
    trace_ << "send failed: error #" << sent.error << "\n";
    fail(failure);
    return false;
}

QueryEnd FtpSession::run(std::string_view address) {
    progress(1);
    const platform::Ipv4Address serverAddress = platform::ResolveIpv4(address);
    if (serverAddress == 0) {
        if (context_.showError)
            context_.showError("Invalid IP Address");
        return QueryEnd::Finished;
    }
    progress(2);
    const std::string connecting = "Connect to " + std::string(address);
    trace_ << connecting << "\n";
    for (int level = highDetail; level <= summaryDetail; ++level)
        context_.reportText[level] = reportSafe(connecting);
    const TcpSocket::ConnectResult connected =
        control_.Connect(serverAddress, fdrServerPort, context_.limits.connectMs);
    if (connected == TcpSocket::ConnectResult::kSocketFailed) {
        const int error = platform::LastSystemError();
        fail("Socket Open Failed");
        trace_ << "socket(): error #" << error << "\n";
        return QueryEnd::Finished;
    }
    if (connected != TcpSocket::ConnectResult::kConnected) {
        fail("Fail to Connect");
        return QueryEnd::Finished;
    }
    // An empty line first, as the FDR servers have always been greeted.
    if (control_.SendAll("\r\n", context_.limits.replyMs).status != TcpClient::Status::kOk) {
        if (context_.showError)
            context_.showError("Fail to Send 1");
        control_.Close();
        return QueryEnd::EndProgram;
    }
    progress(3);
    replyLoop();
    endSession();
    return QueryEnd::Finished;
}

std::string FtpSession::silenceText() const {
    if (lastReply_.empty())
        return "No Reply from Server";
    return "No Reply from Server\r\nLast reply: " + lastReply_;
}

void FtpSession::replyLoop() {
    std::array<uint8_t, kReceiveBufferSize> receiveBuffer{};
    uint32_t deadline = platform::TickCount() + context_.limits.replyMs;
    for (;;) {
        std::optional<std::string> replyLine = cutter_.nextLine();
        if (!replyLine) {
            if (cutter_.pendingText().size() > maxReplyLineLength) {
                fail("Reply Too Long from Server");
                return;
            }
            const TcpClient::Result got = control_.Receive(
                receiveBuffer.data(), static_cast<int>(receiveBuffer.size()), Remaining(deadline));
            if (got.status == TcpClient::Status::kOk) {
                const std::string_view text(reinterpret_cast<const char*>(receiveBuffer.data()),
                                            static_cast<std::size_t>(got.bytes));
                trace_ << "-------- " << got.bytes << " -------------\n'" << text << "'\n";
                cutter_.add(text);
                continue;
            }
            if (got.status == TcpClient::Status::kTimedOut) {
                if (quitSent_) {
                    trace_ << "No reply to QUIT; the session ends\n";
                } else if (!cutter_.pendingText().empty()) {
                    fail("Incomplete Reply from Server");
                } else {
                    fail(silenceText());
                }
                return;
            }
            // The server closed (or broke) the connection. A last line it did not end still
            // counts; after that the session is over.
            if (cutter_.pendingText().empty()) {
                trace_ << "-------- 0 -------------\n";
                if (!quitSent_)
                    fail("Server Closed the Connection");
                return;
            }
            replyLine = cutter_.takePending();
        }
        const std::optional<int> code = assembler_.addLine(*replyLine);
        traceLine(*replyLine, replyCodeOf(*replyLine));
        lastReply_ = WithoutLineEnd(*replyLine);
        if (!code)
            continue;
        if (!act(*code, *replyLine))
            return;
        deadline = platform::TickCount() + context_.limits.replyMs;
    }
}

void FtpSession::traceLine(const std::string& line, int code) {
    trace_ << "---------------------\n"
           << "rxstring='" << cutter_.pendingText() << "'\n"
           << "---------++++------------\n\n"
           << "linefeed = " << line.size() << "\n"
           << "---------------------\n"
           << "teststring='" << line << "'\n"
           << "---------++++------------\n\n"
           << "ftp return code = " << code << "\n";
}

bool FtpSession::act(int code, const std::string& line) {
    switch (code) {
        case 220:
            if (!send(kUserCommand, "Fail to Send 2"))
                return false;
            progress(4);
            return true;
        case 331:
            return send(kPasswordCommand, "Fail to Send 3");
        case 230:
            return send(kDirectoryCommand, "Fail to Send 4");
        case 250:
            return send("TYPE I\r\n", "Fail to Send 5");
        case 200:
            if (!send("PASV\r\n", "Fail to Send 6"))
                return false;
            progress(5);
            return true;
        case 227:
            return passive(line);
        case 125:
            trace_ << "Filecounter = " << fileQueue_.names.size() << "\n";
            return true;
        case 226:
            trace_ << "Filecounter = " << fileQueue_.names.size() << "\n";
            if (!fileQueue_.names.empty()) {
                if (!send("PASV\r\n", "Fail to Send 6"))
                    return false;
                progress(5);
                return true;
            }
            // QUIT goes once: after the last file it has gone already.
            if (quitSent_)
                return true;
            if (!send("QUIT\r\n", "Fail to Send 12"))
                return false;
            quitSent_ = true;
            return true;
        case 221:
            return true;
        case 421:
            trace_ << "Timeout (421) Closing... DONE\n";
            return true;
        default:
            trace_ << "Unknown..." << code << "\n";
            return true;
    }
}

bool FtpSession::passive(const std::string& line) {
    const std::optional<PassiveTarget> target = parsePassiveReply(line);
    if (!target || target->address == 0) {
        trace_ << "resolveHost(): invalid address\n";
        fail("Invalid Passive Mode Reply");
        return false;
    }
    trace_ << "data connection: " << platform::Ipv4Text(target->address) << ":" << target->port
           << "\n";
    const bool listing = fileQueue_.names.empty();
    if (!send(listing ? std::string("LIST\r\n") : "RETR " + fileQueue_.names.back() + "\r\n",
              "Fail to Send 7"))
        return false;
    if (listing)
        progress(6);
    std::vector<uint8_t> bytes;
    if (!transfer(target->address, target->port, bytes))
        return false;
    if (!listing)
        return fileFetched(bytes);
    if (bytes.empty())
        trace_ << "FAIL ----- Bytes = 0 (an empty listing)\n";
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    parseListing(text, context_.reportText, fileQueue_, trace_);
    return true;
}

bool FtpSession::transfer(platform::Ipv4Address address, uint16_t port,
                          std::vector<uint8_t>& bytes) {
    TcpClient data;
    const TcpSocket::ConnectResult connected =
        data.Connect(address, port, context_.limits.connectMs);
    if (connected == TcpSocket::ConnectResult::kSocketFailed) {
        fail("Fail to Send 8");
        return false;
    }
    if (connected != TcpSocket::ConnectResult::kConnected) {
        fail("Fail to Send 9");
        return false;
    }
    for (int position : {0, 7, 7, 8, 8, 9})
        progress(position);
    const TransferEnd end = receiveUntilClosed(data, context_.limits.dataMs, bytes);
    data.Close();
    trace_ << "Bytes = " << bytes.size() << "\n";
    switch (end) {
        case TransferEnd::Complete:
            return true;
        case TransferEnd::TimedOut:
            fail("No Data from Server");
            return false;
        case TransferEnd::TooLarge:
            fail("Too Much Data from Server");
            return false;
        case TransferEnd::Broken:
            fail("Data Connection Lost");
            return false;
    }
    return false;
}

bool FtpSession::fileFetched(const std::vector<uint8_t>& bytes) {
    const std::string name = fileQueue_.names.back();
    if (bytes.empty()) {
        trace_ << "FAIL ----- Bytes = 0\n";
        const std::string noData = reportSafe("\r\n\r\n" + name + "\r\n\tNo data received");
        context_.reportText[highDetail] += noData;
        context_.reportText[someDetail] += noData;
    } else {
        decodePrmFile(bytes, name, context_.reportText, trace_);
        progress(9);
    }
    fileQueue_.names.pop_back();
    if (!fileQueue_.names.empty())
        return true;
    progress(10);
    trace_ << "\n";
    if (!send("QUIT\r\n", "Fail to Send 10"))
        return false;
    quitSent_ = true;
    return true;
}

void FtpSession::endSession() {
    if (ended_)
        return;
    ended_ = true;
    control_.Shutdown();
    control_.Close();
    progress(10);
}

}  // namespace

QueryEnd queryFdrServer(std::string_view address, QueryContext& context) {
    FtpSession session(context);
    return session.run(address);
}

}  // namespace fdr
