#include "fdr/ftp/ftp_session.h"

#include <string>
#include <vector>

#include "fdr/ftp/control_connection.h"
#include "fdr/ftp/data_transfer.h"
#include "fdr/ftp/passive_reply.h"
#include "fdr/listing/fdr_listing.h"
#include "fdr/prm/decode_prm_file.h"
#include "platform/ipv4_address.h"
#include "platform/system_error.h"
#include "platform/tick.h"

namespace fdr {

namespace {

using platform::TcpClient;
using platform::TcpSocket;

// The FDR service's own account and directory on the controller.
constexpr std::string_view kUserCommand = "USER fdrusers\r\n";
constexpr std::string_view kPasswordCommand = "PASS tkvomela\r\n";
constexpr std::string_view kDirectoryCommand = "CWD \\RAM0\\fdr\r\n";

bool IsPreliminary(int code) {
    return code == 125 || code == 150;
}

bool IsRefusal(int code) {
    return code >= 400 && code <= 599;
}

// What a server says to the empty line the session greets it with.
bool IsSyntaxError(int code) {
    return code >= 500 && code <= 502;
}

class FtpSession {
  public:
    explicit FtpSession(QueryContext& context)
        : context_(context), control_(context.trace, context.settings.replyMs) {}

    QueryEnd run(std::string_view address);

  private:
    void progress(int position) {
        if (context_.setProgress)
            context_.setProgress(position);
    }
    // A failure shown to the user: the box, and a line in the reports. The caller says whether
    // the query goes on.
    void fail(const std::string& text);
    bool send(std::string_view command, const char* failure);
    // The next reply; false (with the message a failure needs) when the session is over.
    bool awaitReply(FtpReply& reply);
    void replyLoop();
    bool act(const FtpReply& reply);
    bool refused(const FtpReply& reply);
    bool sendPassive();
    bool transferComplete();
    bool passive(const FtpReply& reply);
    bool dataConnectionFailed();
    // `whole`: the server closed the data connection after its last byte.
    bool receiveData(TcpClient& data, bool listing, std::vector<uint8_t>& bytes, bool& whole);
    void parseReceivedListing(const std::vector<uint8_t>& bytes);
    bool decodeReceivedFile(const std::vector<uint8_t>& bytes);
    // The listing or file was not delivered whole: `why` says how.
    bool transferRefused(const std::string& why);
    bool fileDone();
    void endSession();

    QueryContext& context_;
    std::ostream& trace_ = context_.trace;
    ControlConnection control_;
    platform::Ipv4Address serverAddress_ = 0;  // the control connection's peer
    FileQueue fileQueue_;
    uint32_t transferDeadline_ = 0;  // of the transfer under way
    bool quitSent_ = false;
    bool greetingLineAnswered_ = false;
    bool ended_ = false;
};

void FtpSession::fail(const std::string& text) {
    trace_ << "Error: " << text << "\n";
    appendToAllReports(context_.reportText, reportSafe("\r\n" + text));
    if (context_.showError)
        context_.showError(text);
}

bool FtpSession::send(std::string_view command, const char* failure) {
    trace_ << "send: " << (command == kPasswordCommand ? "PASS ********\r\n" : command);
    int error = 0;
    if (control_.send(command, error))
        return true;
    trace_ << "send failed: error #" << error << "\n";
    fail(failure);
    return false;
}

QueryEnd FtpSession::run(std::string_view address) {
    progress(1);
    serverAddress_ = platform::ResolveIpv4(address);
    if (serverAddress_ == 0) {
        if (context_.showError)
            context_.showError("Invalid IP Address");
        return QueryEnd::Finished;
    }
    progress(2);
    control_.setDeadline(platform::TickCount() + context_.settings.queryMs);
    const std::string connecting = "Connect to " + std::string(address);
    trace_ << connecting << "\n";
    for (int level = highDetail; level <= summaryDetail; ++level)
        context_.reportText[level] = reportSafe(connecting);
    const TcpSocket::ConnectResult connected =
        control_.connect(serverAddress_, context_.settings.port, context_.settings.connectMs);
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
    if (context_.settings.connected)
        context_.settings.connected(control_);
    // An empty line first, as the FDR servers have always been greeted.
    int error = 0;
    if (!control_.send("\r\n", error)) {
        if (context_.showError)
            context_.showError("Fail to Send 1");
        control_.shutdownAndClose();
        return QueryEnd::EndProgram;
    }
    progress(3);
    replyLoop();
    endSession();
    return QueryEnd::Finished;
}

bool FtpSession::awaitReply(FtpReply& reply) {
    switch (control_.nextReply(reply)) {
        case ReplyWait::Reply:
            return true;
        case ReplyWait::Silent:
            if (quitSent_) {
                trace_ << "No reply to QUIT; the session ends\n";
            } else if (control_.lastLine().empty()) {
                fail("No Reply from Server");
            } else {
                fail("No Reply from Server\r\nLast reply: " + control_.lastLine());
            }
            return false;
        case ReplyWait::Incomplete:
            if (!quitSent_)
                fail("Incomplete Reply from Server");
            return false;
        case ReplyWait::TooLong:
            fail("Reply Too Long from Server");
            return false;
        case ReplyWait::Closed:
            if (!quitSent_)
                fail("Server Closed the Connection");
            return false;
        case ReplyWait::Overdue:
            if (quitSent_)
                trace_ << "No end after QUIT; the session ends\n";
            else
                fail("Query Not Finished in Time");
            return false;
    }
    return false;
}

void FtpSession::replyLoop() {
    FtpReply reply;
    while (awaitReply(reply) && act(reply)) {
    }
}

bool FtpSession::sendPassive() {
    if (!send("PASV\r\n", "Fail to Send 6"))
        return false;
    progress(5);
    return true;
}

bool FtpSession::act(const FtpReply& reply) {
    switch (reply.code) {
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
            return sendPassive();
        case 227:
            return passive(reply);
        case 125:
            trace_ << "Filecounter = " << fileQueue_.names.size() << "\n";
            return true;
        case 226:
            return transferComplete();
        case 221:
            return true;
        case 421:
            trace_ << "Timeout (421) Closing... DONE\n";
            return refused(reply);
        default:
            trace_ << "Unknown..." << reply.code << "\n";
            return refused(reply);
    }
}

// A refusal of the login, the directory or a mode leaves nothing to wait for: the query ends
// with the server's reply. The first syntax error answers the empty line of the greeting.
bool FtpSession::refused(const FtpReply& reply) {
    if (!IsRefusal(reply.code) || quitSent_)
        return true;
    if (IsSyntaxError(reply.code) && !greetingLineAnswered_) {
        greetingLineAnswered_ = true;
        return true;
    }
    fail("Refused by Server\r\n" + withoutLineEnd(reply.line));
    return false;
}

// The next file, or goodbye when none is left. A file listed beyond what one transfer may bring
// is passed over: fetching it would only end the query.
bool FtpSession::transferComplete() {
    trace_ << "Filecounter = " << fileQueue_.names.size() << "\n";
    if (!fileQueue_.names.empty() && fileQueue_.sizes.back() > maxTransferBytes)
        return transferRefused("larger than 1 MiB");
    if (!fileQueue_.names.empty())
        return sendPassive();
    // QUIT goes once: after the last file it has gone already.
    if (quitSent_)
        return true;
    if (!send("QUIT\r\n", "Fail to Send 12"))
        return false;
    quitSent_ = true;
    return true;
}

bool FtpSession::passive(const FtpReply& reply) {
    const std::optional<PassiveTarget> target = parsePassiveReply(reply.line);
    if (!target) {
        trace_ << "resolveHost(): invalid address\n";
        fail("Invalid Passive Mode Reply");
        return false;
    }
    // The files come from the controller the user named, whatever host the reply names: a
    // controller behind address translation or with a second interface announces one the PC
    // cannot reach (or 0,0,0,0), and another host's files would be reported as this one's.
    trace_ << "data connection: " << platform::Ipv4Text(serverAddress_) << ":" << target->port
           << " (announced " << platform::Ipv4Text(target->address) << ")\n";
    const bool listing = fileQueue_.names.empty();
    const uint32_t transferEnd = platform::TickCount() + context_.settings.transferMs;
    const uint32_t queryEnd = control_.deadline();
    transferDeadline_ = platform::TickReached(transferEnd, queryEnd) ? queryEnd : transferEnd;
    if (!send(listing ? std::string("LIST\r\n") : "RETR " + fileQueue_.names.back() + "\r\n",
              "Fail to Send 7"))
        return false;
    if (listing)
        progress(6);
    TcpClient data;
    const TcpSocket::ConnectResult connected =
        data.Connect(serverAddress_, target->port, context_.settings.connectMs);
    if (connected == TcpSocket::ConnectResult::kSocketFailed) {
        fail("Fail to Send 8");
        return false;
    }
    if (connected != TcpSocket::ConnectResult::kConnected)
        return dataConnectionFailed();
    for (int position : {0, 7, 7, 8, 8, 9})
        progress(position);
    // The server says whether the transfer starts before anything is read: a file it cannot
    // send is answered with a refusal, and its data connection never carries a byte.
    FtpReply started;
    if (!awaitReply(started))
        return false;
    if (started.code / 100 != 2 && !IsPreliminary(started.code)) {
        data.Close();
        return transferRefused(withoutLineEnd(started.line));
    }
    std::vector<uint8_t> bytes;
    bool whole = false;
    if (!receiveData(data, listing, bytes, whole))
        return false;
    // Only the final reply tells a whole transfer from one the server broke off: a server
    // under load may close the data connection early and answer 426 or 451.
    FtpReply finished = started;
    if (IsPreliminary(started.code) && !awaitReply(finished))
        return false;
    if (finished.code / 100 != 2)
        return transferRefused(withoutLineEnd(finished.line));
    // A file may change between the listing and its transfer: sent whole, its checksums say
    // whether it is sound. Of another size over a connection that broke, it is a part.
    if (!listing && !whole && bytes.size() != fileQueue_.sizes.back()) {
        return transferRefused("received " + std::to_string(bytes.size()) + " of the " +
                               std::to_string(fileQueue_.sizes.back()) + " bytes listed; " +
                               withoutLineEnd(finished.line));
    }
    if (listing) {
        parseReceivedListing(bytes);
    } else if (!decodeReceivedFile(bytes)) {
        return false;
    }
    return transferComplete();
}

// A server that refuses the command may close its listener before the connect comes; the
// reply it has sent, or sends in a moment, says why.
bool FtpSession::dataConnectionFailed() {
    FtpReply pending;
    if (control_.nextReply(pending, context_.settings.pendingReplyMs) == ReplyWait::Reply &&
        IsRefusal(pending.code))
        return transferRefused(withoutLineEnd(pending.line));
    fail("Fail to Send 9");
    return false;
}

void FtpSession::parseReceivedListing(const std::vector<uint8_t>& bytes) {
    if (bytes.empty())
        trace_ << "FAIL ----- Bytes = 0 (an empty listing)\n";
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // Another server's columns would be read as sizes and names that are not there.
    if (!parseListing(text, context_.reportText, fileQueue_, trace_))
        fail("The listing is not in the FDR server's layout");
}

bool FtpSession::decodeReceivedFile(const std::vector<uint8_t>& bytes) {
    const unsigned long long listed = fileQueue_.sizes.back();
    decodePrmFile(bytes, fileQueue_.names.back(), context_.reportText, trace_);
    if (bytes.size() != listed) {
        const std::string note = "\r\n\tSize changed since the listing: " + std::to_string(listed) +
                                 " bytes listed, " + std::to_string(bytes.size()) + " received";
        trace_ << note.substr(3) << "\n";
        context_.reportText[highDetail] += note;
        context_.reportText[someDetail] += note;
    }
    progress(9);
    return fileDone();
}

bool FtpSession::receiveData(TcpClient& data, bool listing, std::vector<uint8_t>& bytes,
                             bool& whole) {
    const TransferEnd end =
        receiveUntilClosed(data, context_.settings.dataMs, transferDeadline_, bytes);
    data.Close();
    trace_ << "Bytes = " << bytes.size() << "\n";
    whole = end == TransferEnd::Complete;
    switch (end) {
        case TransferEnd::Complete:
            return true;
        case TransferEnd::Broken:
            // A file broken off is one file not fetched, which the final reply and the byte
            // count show; without its listing the query cannot go on.
            if (!listing)
                return true;
            fail("Data Connection Lost");
            return false;
        case TransferEnd::TimedOut:
            fail("No Data from Server");
            return false;
        case TransferEnd::TooLarge:
            fail("Too Much Data from Server");
            return false;
        case TransferEnd::Overdue:
            fail(transferDeadline_ == control_.deadline() ? "Query Not Finished in Time"
                                                          : "Transfer Not Finished in Time");
            return false;
    }
    return false;
}

bool FtpSession::transferRefused(const std::string& refusal) {
    if (fileQueue_.names.empty()) {
        fail("Listing Refused by Server\r\n" + refusal);
        return false;
    }
    const std::string notFetched =
        reportSafe("\r\n\r\n" + fileQueue_.names.back() + "\r\n\tNot fetched: " + refusal);
    trace_ << notFetched.substr(4) << "\n";
    context_.reportText[highDetail] += notFetched;
    context_.reportText[someDetail] += notFetched;
    if (!fileDone())
        return false;
    return transferComplete();
}

// The file at the end of the queue has been handled; after the last one the session says
// goodbye at once.
bool FtpSession::fileDone() {
    fileQueue_.names.pop_back();
    fileQueue_.sizes.pop_back();
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
    control_.shutdownAndClose();
    progress(10);
}

}  // namespace

QueryEnd queryFdrServer(std::string_view address, QueryContext& context) {
    FtpSession session(context);
    return session.run(address);
}

}  // namespace fdr
