#pragma once

// A scripted FTP server on a free port of a loopback address, for the faults that a real server
// does not show on demand: a greeting without a line end, multi-line replies, a server that
// closes early or answers slowly, a malformed passive reply, a data connection that never
// ends, listings of any length. It speaks the FDR server's dialogue otherwise (passive mode,
// LIST, RETR) and records every command line it receives.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace fdr_test {

class ScriptedFtpServer {
  public:
    struct Behaviour {
        std::string greeting = "220 FDR server ready.\r\n";
        // Replies that replace the usual answer to a command word ("PASV", "USER", ...): sent
        // as they are, with nothing else done for the command.
        std::map<std::string, std::string> replies;
        int closeAfterCommands = -1;  // close the control connection after that many lines
        int replyDelayMs = 0;         // before every reply
        int dataDelayMs = 0;          // before the data of a transfer
        int dataByteIntervalMs = 0;   // when above 0, the data go one byte at a time
        // When not empty: after the greeting, this line again and again, every
        // `chatterIntervalMs`, and never an answer to a command.
        std::string chatter;
        int chatterIntervalMs = 0;
        bool dataStaysOpen = false;             // a transfer's data connection is never closed
        bool noPreliminaryReply = false;        // a transfer is answered with 226 alone, no 150
        bool closeInsteadOfFinalReply = false;  // after a transfer's data, close, no 226
        // Each connection is reset at accept, once the test has cued it with CueReset.
        bool resetAtAccept = false;
        // RETR of such a name sends the first half of the file, closes the data connection and
        // gives this reply (a transfer the server broke off).
        std::map<std::string, std::string> brokenOff;
        // RETR of such a name gets this reply instead of a transfer.
        std::map<std::string, std::string> refused;
        // The host that the passive replies name (empty: the server's own address).
        std::string passiveHost;
        // When not empty: another server on `passiveHost`, on the same port as each passive
        // listener, that sends these bytes to whoever connects (a second host with other files).
        std::string otherHostData;
        // The passive reply (1 for the first) whose listener is closed before the reply goes
        // out: the data connection is refused, as by a server that has given up the command.
        int listenerClosedAtPassive = 0;
        std::string listing;                                // what LIST sends
        std::map<std::string, std::vector<uint8_t>> files;  // what RETR sends, by name
    };

    ScriptedFtpServer() = default;
    ~ScriptedFtpServer();
    ScriptedFtpServer(const ScriptedFtpServer&) = delete;
    ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

    // Listens on `port` of `address` (of the loopback network; port 0: one the system gives)
    // and serves sessions one after another until destroyed.
    bool Start(const Behaviour& behaviour, const std::string& address = "127.0.0.1",
               uint16_t port = 0);
    uint16_t port() const { return port_; }

    // The command lines received, without their line ends.
    std::vector<std::string> Commands() const;

    // Lets the server reset one connection (see `resetAtAccept`). The system completes a
    // connect before the server accepts; a reset sent on its own would race the client's
    // check that its connect succeeded, and its first send.
    void CueReset();

  private:
    void Serve();
    // Waits `ms`, or less when the server stops.
    void Pause(int ms);
    void Session(int control);
    // The passive listener and, with `otherHostData`, the other host's on the same port.
    bool OpenPassive(int& dataListener, int& otherListener);
    bool Reply(int control, const std::string& text);
    bool Transfer(int control, int& dataListener, int otherListener,
                  const std::vector<uint8_t>& bytes,
                  const std::string& finalReply = "226 Transfer complete.\r\n");

    std::string address_ = "127.0.0.1";
    uint16_t port_ = 0;
    Behaviour behaviour_;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
    std::vector<int> keptOpen_;
    std::condition_variable resetCue_;
    std::condition_variable stopCue_;
    int resetsCued_ = 0;
};

// A line of the FDR server's listing: mode and owner, the size aligned right in its 16
// columns, the date, the name.
std::string ListingLine(size_t size, const std::string& name);

// A server with one module file, a_PMEKRT.prm, for the cases to vary.
ScriptedFtpServer::Behaviour OneFileServer();

}  // namespace fdr_test
