// Servers that misbehave, played by the scripted server: every case ends the query with a
// message (or completes it), never a hang. Each server listens on a port of its own.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <sstream>

#include "fdr/ftp/control_connection.h"
#include "fdr/ftp/data_transfer.h"
#include "fdr/prm/decode_prm_file.h"
#include "platform/tick.h"
#include "tests/fdr/prm_builder.h"
#include "tests/fdr/query_runner.h"
#include "tests/fdr/scripted_ftp_server.h"

namespace {

using fdr_test::ListingLine;
using fdr_test::OneFileServer;
using fdr_test::QueryRun;
using fdr_test::RunQuery;
using fdr_test::ScriptedFtpServer;
using fdr_test::ShortLimits;

constexpr const char* kServer = "127.0.0.1";

size_t CountOf(const std::vector<std::string>& commands, const std::string& prefix) {
    return static_cast<size_t>(std::count_if(
        commands.begin(), commands.end(), [&](const auto& c) { return c.rfind(prefix, 0) == 0; }));
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The session's waits end it within a few of its time limits, never later: a silent server
// ends the query after one limit, however busy the machine.
constexpr long long kPromptMs = 4 * fdr_test::shortLimitMs;

TEST(FtpFaults, AMultiLineGreetingIsAnsweredOnce) {
    ScriptedFtpServer::Behaviour behaviour = OneFileServer();
    behaviour.greeting = "220-Welcome to the FDR server\r\n220-of rack 1\r\n220 ready\r\n";
    behaviour.replies["PASS"] = "230-Logged in.\r\n   Files are in \\RAM0\\fdr\r\n230 OK\r\n";
    ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
    EXPECT_TRUE(run.errors.empty()) << run.errors.front();
    const std::vector<std::string> commands = server.Commands();
    EXPECT_EQ(CountOf(commands, "USER"), 1U);
    EXPECT_EQ(CountOf(commands, "CWD"), 1U);
    EXPECT_EQ(CountOf(commands, "RETR a_PMEKRT.prm"), 1U);
    EXPECT_NE(run.reports[1].find("File Checksum =  Good"), std::string::npos);
}

TEST(FtpFaults, SeveralRepliesInOneReceiveAreTakenInTurn) {
    ScriptedFtpServer::Behaviour behaviour = OneFileServer();
    // The greeting and the answer to the empty line come together; the 500 is not acted on.
    behaviour.greeting = "220 ready\r\n500 Command \"\" not understood.\r\n";
    behaviour.replies[""] = "";
    ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
    EXPECT_TRUE(run.errors.empty()) << run.errors.front();
    EXPECT_EQ(CountOf(server.Commands(), "RETR"), 1U);
}

TEST(FtpFaults, RepliesWithoutALineEndOrBeyondReasonEndTheQuery) {
    const struct {
        std::string greeting;
        const char* error;
    } cases[] = {
        {"220 ready", "Incomplete Reply from Server"},
        {"", "No Reply from Server"},
        {std::string(70000, 'x'), "Reply Too Long from Server"},
    };
    for (const auto& c : cases) {
        ScriptedFtpServer::Behaviour behaviour;
        behaviour.greeting = c.greeting;
        behaviour.replies[""] = "";  // and no answer to the empty line either
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        EXPECT_EQ(run.errors, std::vector<std::string>{c.error}) << c.error;
        EXPECT_LT(run.elapsedMs, kPromptMs) << c.error;
        EXPECT_EQ(run.progress.back(), 10) << c.error;
        EXPECT_EQ(run.reports[3], "Connect to " + std::string(kServer) + "\r\n" + c.error);
    }
}

TEST(FtpFaults, AFloodOfShortReplyLinesKeepsTheTraceSmall) {
    ScriptedFtpServer::Behaviour behaviour;
    constexpr size_t kLines = 20000;
    // Lines the session passes over, before the greeting it answers.
    std::string flood;
    for (size_t n = 0; n < kLines; ++n)
        flood += "199 x\r\n";
    behaviour.greeting = flood + behaviour.greeting;
    behaviour.replies[""] = "";
    ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
    EXPECT_TRUE(run.errors.empty()) << run.errors.front();
    // The fixed lines of each cut line and two echoes of at most a couple of hundred
    // characters each; the whole pending text per line would be some 60 MB here.
    EXPECT_LT(run.trace.size(), kLines * 600);
    std::istringstream trace(run.trace);
    size_t longest = 0;
    for (std::string line; std::getline(trace, line);) {
        if (line.rfind("rxstring=", 0) == 0 || line.rfind("teststring=", 0) == 0)
            longest = std::max(longest, line.size());
    }
    EXPECT_LE(longest, 220U);
}

TEST(FtpFaults, AServerThatClosesEarlyEndsTheQueryWithAMessage) {
    // -1: the server sends the listing, then closes instead of saying the transfer is complete.
    for (int closeAfter : {1, 2, 3, 7, -1}) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.closeAfterCommands = closeAfter;
        behaviour.closeInsteadOfFinalReply = closeAfter == -1;
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        ASSERT_EQ(run.errors.size(), 1U) << closeAfter;
        // After the LIST (the 7th line) the data connection goes with the server.
        const bool dataLost = run.errors[0] == "Fail to Send 9" ||
                              run.errors[0] == "Data Connection Lost" ||
                              run.errors[0] == "No Data from Server";
        EXPECT_TRUE(run.errors[0] == "Server Closed the Connection" ||
                    (closeAfter == 7 && dataLost))
            << closeAfter << ": " << run.errors[0];
        EXPECT_LT(run.elapsedMs, kPromptMs) << closeAfter;
    }
}

TEST(FtpFaults, ASendToAClosedServerRaisesNoSignal) {
    // With SIGPIPE at its default, a send to a connection the peer has reset ends the process
    // unless the send asks for no signal.
    struct sigaction pipe {};
    ASSERT_EQ(::sigaction(SIGPIPE, nullptr, &pipe), 0);
    ASSERT_EQ(pipe.sa_handler, SIG_DFL);
    ScriptedFtpServer::Behaviour behaviour;
    behaviour.resetAtAccept = true;
    ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    std::ostringstream trace;
    // The waits end at the events; their limits only keep a broken run from hanging.
    fdr::ControlConnection control(trace, 10000);
    control.setDeadline(platform::TickCount() + 20000);
    ASSERT_EQ(control.connect(0x7F000001, server.port(), 10000),
              platform::TcpSocket::ConnectResult::kConnected);
    server.CueReset();
    // The reset has arrived once the wait for the greeting sees the connection end.
    fdr::FtpReply reply;
    ASSERT_EQ(control.nextReply(reply), fdr::ReplyWait::Closed);
    int error = 0;
    EXPECT_FALSE(control.send("USER fdrusers\r\n", error));
    EXPECT_FALSE(control.send("USER fdrusers\r\n", error));
    EXPECT_NE(error, 0);
}

TEST(FtpFaults, AServerThatOnlySaysTheTransferIsCompleteIsServedToo) {
    ScriptedFtpServer::Behaviour behaviour = OneFileServer();
    behaviour.noPreliminaryReply = true;
    ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
    EXPECT_TRUE(run.errors.empty()) << run.errors.front();
    EXPECT_NE(run.reports[1].find("File Checksum =  Good"), std::string::npos);
    EXPECT_EQ(server.Commands().back(), "QUIT");
    EXPECT_EQ(CountOf(server.Commands(), "QUIT"), 1U);
}

TEST(FtpFaults, AMalformedPassiveReplyIsRefused) {
    const char* replies[] = {
        "227 Entering Passive Mode (127,0,0,1)\r\n",
        "227 Entering Passive Mode (127,0,0,370,1,1)\r\n",
        "227 Entering Passive Mode\r\n",
        "227 Entering Passive Mode (127,0,0,1,0,0)\r\n",
    };
    for (const char* reply : replies) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.replies["PASV"] = reply;
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        EXPECT_EQ(run.errors, std::vector<std::string>{"Invalid Passive Mode Reply"}) << reply;
        EXPECT_EQ(CountOf(server.Commands(), "LIST"), 0U) << reply;
    }
}

TEST(FtpFaults, ASlowServerWithinTheTimeLimitsIsServed) {
    // Each reply and each transfer well within its limit, the whole session beyond one.
    ScriptedFtpServer::Behaviour behaviour = OneFileServer();
    behaviour.replyDelayMs = 300;
    behaviour.dataDelayMs = 300;
    ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    fdr::FtpSessionSettings limits = ShortLimits(server.port());
    const QueryRun run = RunQuery(kServer, limits);
    EXPECT_TRUE(run.errors.empty()) << run.errors.front();
    EXPECT_NE(run.reports[1].find("File Checksum =  Good"), std::string::npos);
}

TEST(FtpFaults, AServerSlowerThanTheTimeLimitEndsTheQuery) {
    ScriptedFtpServer::Behaviour behaviour = OneFileServer();
    // The greeting at once, every reply after it far beyond the limit.
    behaviour.replyDelayMs = 20 * fdr_test::shortLimitMs;
    ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
    EXPECT_EQ(run.errors, std::vector<std::string>{
                              "No Reply from Server\r\nLast reply: 220 FDR server ready."});
    EXPECT_LT(run.elapsedMs, kPromptMs);
}

TEST(FtpFaults, ARefusalBeforeTheListingEndsTheQueryAtOnceWithTheReply) {
    const struct {
        const char* command;
        const char* reply;
    } cases[] = {
        {"USER", "530 Not logged in."},
        {"PASS", "530 Login incorrect."},
        {"CWD", "550 No such directory."},
        {"TYPE", "504 Type not implemented."},
        {"PASV", "425 Cannot open passive connection."},
        {"PASV", "421 Service not available."},
    };
    for (const auto& c : cases) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.replies[c.command] = std::string(c.reply) + "\r\n";
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        fdr::FtpSessionSettings limits = ShortLimits(server.port());
        limits.replyMs = 15000;  // a wait for more would show
        const QueryRun run = RunQuery(kServer, limits);
        EXPECT_EQ(run.errors,
                  std::vector<std::string>{"Refused by Server\r\n" + std::string(c.reply)})
            << c.command;
        EXPECT_LT(run.elapsedMs, limits.replyMs / 3) << c.command;
        EXPECT_EQ(CountOf(server.Commands(), "LIST"), 0U) << c.command;
    }
}

TEST(FtpFaults, ADataConnectionThatNeverEndsEndsTheQuery) {
    ScriptedFtpServer::Behaviour behaviour = OneFileServer();
    behaviour.dataStaysOpen = true;
    ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
    EXPECT_EQ(run.errors, std::vector<std::string>{"No Data from Server"});
    EXPECT_LT(run.elapsedMs, kPromptMs);
}

TEST(FtpFaults, AServerThatNeverFinishesMeetsTheDeadlines) {
    ScriptedFtpServer::Behaviour dribbling = OneFileServer();
    dribbling.dataByteIntervalMs = 100;  // each byte within the wait limit, the file never
    ScriptedFtpServer::Behaviour chattering;
    chattering.chatter = "199 Still here.\r\n";  // each line within the wait limit, forever
    chattering.chatterIntervalMs = 100;
    const struct {
        ScriptedFtpServer::Behaviour behaviour;
        const char* error;
    } cases[] = {
        {dribbling, "Transfer Not Finished in Time"},
        {chattering, "Query Not Finished in Time"},
    };
    for (const auto& c : cases) {
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(c.behaviour));
        // The transfer's deadline comes well before the query's: each case meets its own.
        fdr::FtpSessionSettings limits = ShortLimits(server.port());
        limits.transferMs = 2000;
        limits.queryMs = 6000;
        const QueryRun run = RunQuery(kServer, limits);
        EXPECT_EQ(run.errors, std::vector<std::string>{c.error});
        EXPECT_LT(run.elapsedMs, 4 * limits.queryMs) << c.error;
        EXPECT_EQ(run.progress.back(), 10) << c.error;
    }
}

TEST(FtpFaults, MoreThanFiftyModuleFilesFetchFiftyAndNameTheRest) {
    ScriptedFtpServer::Behaviour behaviour;
    const std::vector<uint8_t> file = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    for (int n = 1; n <= 55; ++n) {
        const std::string name = "m" + std::to_string(n) + "_PMEKRT.prm";
        behaviour.files[name] = file;
        behaviour.listing += ListingLine(file.size(), name);
    }
    ScriptedFtpServer server;
    ASSERT_TRUE(server.Start(behaviour));
    const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
    EXPECT_TRUE(run.errors.empty()) << run.errors.front();
    const std::vector<std::string> commands = server.Commands();
    EXPECT_EQ(CountOf(commands, "RETR"), 50U);
    EXPECT_EQ(commands.back(), "QUIT");
    EXPECT_EQ(CountOf(commands, "QUIT"), 1U);
    EXPECT_EQ(CountOf(commands, "RETR m51_"), 0U);
    for (int n = 51; n <= 55; ++n) {
        EXPECT_NE(run.reports[3].find("Not fetched (at most 50 files per query): m" +
                                      std::to_string(n) + "_PMEKRT.prm"),
                  std::string::npos);
    }
}

TEST(FtpFaults, AFileTheServerRefusesIsReportedAndTheOthersAreFetched) {
    // Listed, but RETR gives the reply (no file at all: 550 No such file).
    const char* refusals[] = {"", "425 Can't open data connection.", "450 File unavailable.",
                              "451 Local error.", "550 Permission denied."};
    for (const std::string refusal : refusals) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.listing += ListingLine(900, "b_PMEKRT.prm");
        if (!refusal.empty())
            behaviour.refused["b_PMEKRT.prm"] = refusal + "\r\n";
        const std::string shown = refusal.empty() ? "550 No such file." : refusal;
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        EXPECT_TRUE(run.errors.empty()) << shown << ": " << run.errors.front();
        EXPECT_EQ(CountOf(server.Commands(), "RETR"), 2U) << shown;
        EXPECT_EQ(server.Commands().back(), "QUIT") << shown;
        for (int level : {1, 2}) {
            EXPECT_NE(run.reports[level].find("\r\n\r\nb_PMEKRT.prm\r\n\tNot fetched: " + shown),
                      std::string::npos)
                << shown;
            EXPECT_NE(run.reports[level].find("File Checksum =  Good"), std::string::npos) << shown;
        }
    }
}

TEST(FtpFaults, AFileUpToTheTransferLimitIsFetchedAndOneByteMoreEndsTheQuery) {
    // Listed at the limit both times: the second has grown by a byte since the listing.
    for (const size_t size : {fdr::maxTransferBytes, fdr::maxTransferBytes + 1}) {
        ScriptedFtpServer::Behaviour behaviour;
        behaviour.files["big_PMEKRT.prm"] = std::vector<uint8_t>(size, 0x5A);
        behaviour.listing = ListingLine(fdr::maxTransferBytes, "big_PMEKRT.prm");
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        if (size == fdr::maxTransferBytes) {
            EXPECT_TRUE(run.errors.empty()) << run.errors.front();
            EXPECT_NE(run.reports[1].find("\r\n\r\nbig_PMEKRT.prm\r\n"), std::string::npos);
            EXPECT_EQ(run.reports[1].find("Not fetched"), std::string::npos);
        } else {
            EXPECT_EQ(run.errors, std::vector<std::string>{"Too Much Data from Server"});
        }
    }
}

TEST(FtpFaults, AFileNotDeliveredWholeIsNotFetchedAndTheNextOneIs) {
    const std::vector<uint8_t> b = prm_builder::build(prm_builder::sampleModuleFile("PMEDWL"));
    const struct {
        std::string brokenOffWith;
        std::string shown;
    } cases[] = {
        {"426 Connection closed; transfer aborted.\r\n",
         "Not fetched: 426 Connection closed; transfer aborted."},
        {"451 Local error in processing.\r\n", "Not fetched: 451 Local error in processing."},
    };
    for (const auto& c : cases) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.files["b_PMEDWL.prm"] = b;  // fetched first, as the last one listed
        behaviour.listing += ListingLine(b.size(), "b_PMEDWL.prm");
        behaviour.brokenOff["b_PMEDWL.prm"] = c.brokenOffWith;
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        EXPECT_TRUE(run.errors.empty()) << c.shown << ": " << run.errors.front();
        EXPECT_LT(run.elapsedMs, kPromptMs) << c.shown;
        EXPECT_EQ(server.Commands().back(), "QUIT") << c.shown;
        for (int level : {1, 2}) {
            const std::string& report = run.reports[level];
            EXPECT_NE(report.find("\r\n\r\nb_PMEDWL.prm\r\n\t" + c.shown), std::string::npos)
                << report;
            // Nothing of the partial file is decoded; the other file is, whole.
            EXPECT_EQ(report.find("DTM Name = 'PMEDWL'"), std::string::npos) << c.shown;
            EXPECT_EQ(report.find("File Checksum =  FAIL"), std::string::npos) << c.shown;
            EXPECT_NE(report.find("File Checksum =  Good"), std::string::npos) << c.shown;
        }
    }
}

TEST(FtpFaults, ARefusedListingEndsTheQueryWithTheServersReply) {
    for (const std::string refusal : {"425 Can't open data connection.", "450 Busy.",
                                      "451 Local error.", "550 Permission denied."}) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.replies["LIST"] = refusal + "\r\n";
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        EXPECT_EQ(run.errors, std::vector<std::string>{"Listing Refused by Server\r\n" + refusal});
        EXPECT_LT(run.elapsedMs, kPromptMs) << refusal;
        EXPECT_EQ(CountOf(server.Commands(), "RETR"), 0U) << refusal;
    }
}

TEST(FtpFaults, AWholeFileWhoseSizeChangedSinceTheListingIsDecodedWithANote) {
    const std::vector<uint8_t> sound = prm_builder::build(prm_builder::sampleModuleFile("PMEDWL"));
    std::vector<uint8_t> damaged = sound;  // grown by bytes its checksum does not cover
    damaged.insert(damaged.end(), {1, 2, 3, 4, 5, 6, 7});
    const struct {
        std::vector<uint8_t> served;
        size_t listed;
        const char* checksum;
    } cases[] = {
        {sound, sound.size() + 10, "File Checksum =  Good"},  // shrunk since the listing
        {sound, sound.size() - 10, "File Checksum =  Good"},  // grown
        {damaged, sound.size(), "File Checksum =  FAIL"},
    };
    for (const auto& c : cases) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.files["b_PMEDWL.prm"] = c.served;
        behaviour.listing += ListingLine(c.listed, "b_PMEDWL.prm");
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        EXPECT_TRUE(run.errors.empty()) << c.listed << ": " << run.errors.front();
        EXPECT_EQ(CountOf(server.Commands(), "RETR"), 2U) << c.listed;
        // The file's part as the decoder writes it for what came, then the note.
        fdr::ReportTexts decoded{};
        std::ostringstream trace;
        fdr::decodePrmFile(c.served, "b_PMEDWL.prm", decoded, trace);
        const std::string note =
            "\r\n\tSize changed since the listing: " + std::to_string(c.listed) +
            " bytes listed, " + std::to_string(c.served.size()) + " received";
        for (int level : {1, 2}) {
            EXPECT_NE(decoded[level].find(c.checksum), std::string::npos) << c.listed;
            EXPECT_NE(run.reports[level].find(decoded[level] + note), std::string::npos)
                << c.listed << "\n"
                << run.reports[level];
            EXPECT_EQ(run.reports[level].find("Not fetched"), std::string::npos) << c.listed;
        }
        EXPECT_EQ(run.reports[3].find("Size changed"), std::string::npos) << c.listed;
    }
}

TEST(FtpFaults, AFileListedBeyondTheTransferLimitIsPassedOverAndTheOthersAreFetched) {
    const std::vector<std::string> small = {"s1_PMEKRT.prm", "s2_PMEJQA.prm"};
    const std::string big = "big_PMEDWL.prm";
    // The large file fetched first, between the others, and last.
    for (size_t bigAt : {2U, 1U, 0U}) {
        ScriptedFtpServer::Behaviour behaviour;
        std::vector<std::string> names = small;
        names.insert(names.begin() + static_cast<std::ptrdiff_t>(bigAt), big);
        for (const std::string& name : names) {
            const std::vector<uint8_t> file =
                name == big ? std::vector<uint8_t>(2 * 1024 * 1024, 0x5A)
                            : prm_builder::build(prm_builder::sampleModuleFile(name.substr(3, 6)));
            behaviour.files[name] = file;
            behaviour.listing += ListingLine(file.size(), name);
        }
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        EXPECT_TRUE(run.errors.empty()) << bigAt << ": " << run.errors.front();
        const std::vector<std::string> commands = server.Commands();
        EXPECT_EQ(CountOf(commands, "RETR " + big), 0U) << bigAt;
        for (const std::string& name : small)
            EXPECT_EQ(CountOf(commands, "RETR " + name), 1U) << bigAt << " " << name;
        EXPECT_EQ(commands.back(), "QUIT") << bigAt;
        EXPECT_EQ(CountOf(commands, "QUIT"), 1U) << bigAt;
        for (int level : {1, 2}) {
            EXPECT_NE(
                run.reports[level].find("\r\n\r\n" + big + "\r\n\tNot fetched: larger than 1 MiB"),
                std::string::npos)
                << bigAt;
            EXPECT_EQ(Occurrences(run.reports[level], "File Checksum =  Good"), 2U) << bigAt;
        }
    }
}

TEST(FtpFaults, ACommandRefusedWithItsListenerClosedShowsTheServersReply) {
    const std::vector<uint8_t> b = prm_builder::build(prm_builder::sampleModuleFile("PMEDWL"));
    const struct {
        int closedAtPassive;  // 1: the listing's, 2: the first file's
        std::string reply;    // to the command whose listener is gone; empty: none
        std::vector<std::string> errors;
        std::string notFetched;
    } cases[] = {
        {1,
         "450 Listing unavailable.",
         {"Listing Refused by Server\r\n450 Listing unavailable."},
         ""},
        {1, "", {"Fail to Send 9"}, ""},
        {2, "450 File busy.", {}, "\r\n\r\nb_PMEDWL.prm\r\n\tNot fetched: 450 File busy."},
    };
    for (const auto& c : cases) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.files["b_PMEDWL.prm"] = b;  // fetched first, as the last one listed
        behaviour.listing += ListingLine(b.size(), "b_PMEDWL.prm");
        behaviour.listenerClosedAtPassive = c.closedAtPassive;
        const std::string reply = c.reply.empty() ? "" : c.reply + "\r\n";
        if (c.closedAtPassive == 1)
            behaviour.replies["LIST"] = reply;
        else
            behaviour.refused["b_PMEDWL.prm"] = reply;
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        EXPECT_EQ(run.errors, c.errors) << c.reply;
        if (c.notFetched.empty())
            continue;
        EXPECT_EQ(server.Commands().back(), "QUIT") << c.reply;
        for (int level : {1, 2}) {
            EXPECT_NE(run.reports[level].find(c.notFetched), std::string::npos) << c.reply;
            EXPECT_NE(run.reports[level].find("File Checksum =  Good"), std::string::npos)
                << c.reply;
        }
    }
}

TEST(FtpFaults, AListingInAnotherServersLayoutIsNamedAsSuch) {
    const char* kNotInLayout = "The listing is not in the FDR server's layout";
    const struct {
        const char* listing;
        bool inLayout;
    } cases[] = {
        // Unix `ls -l`, as most FTP servers list.
        {"total 12\r\n"
         "-rw-r--r--    1 0        0             612 May 03 10:00 a_PMEKRT_s1.prm\r\n"
         "-rw-r--r--    1 ftp      ftp         12345 May  3  2022 b_PMEDWL_IBS_s2.prm\r\n"
         "drwxr-xr-x    2 ftp      ftp          4096 May  3  2022 backup\r\n",
         false},
        // IIS in its DOS style.
        {"05-03-22  10:00AM                  612 a_PMEKRT_s1.prm\r\n"
         "05-03-22  10:00AM                12345 b_PMEDWL_IBS_s2_PMEKRT.prm\r\n"
         "05-03-22  10:00AM       <DIR>          backup\r\n",
         false},
        // An empty folder says nothing, as before.
        {"", true},
    };
    for (const auto& c : cases) {
        ScriptedFtpServer::Behaviour behaviour = OneFileServer();
        behaviour.listing = c.listing;
        ScriptedFtpServer server;
        ASSERT_TRUE(server.Start(behaviour));
        const QueryRun run = RunQuery(kServer, ShortLimits(server.port()));
        const std::vector<std::string> expected =
            c.inLayout ? std::vector<std::string>{} : std::vector<std::string>{kNotInLayout};
        EXPECT_EQ(run.errors, expected) << c.listing;
        const std::vector<std::string> commands = server.Commands();
        EXPECT_EQ(CountOf(commands, "RETR"), 0U) << c.listing;
        EXPECT_EQ(commands.back(), "QUIT") << c.listing;
        const std::string reportEnd = c.inLayout ? "" : std::string("\r\n") + kNotInLayout;
        EXPECT_EQ(run.reports[3].substr(run.reports[3].size() - reportEnd.size()), reportEnd)
            << c.listing;
    }
}

}  // namespace
