#pragma once

// Starts the krtsim module simulator as a child process for a test, and reads back what
// reached the module.
//
//   krtsim::KrtSim sim({"--status-polls", "3"});   // any krtsim command-line options
//   ASSERT_TRUE(sim.start(krtsim::Framing::Tcp));   // waits for krtsim's ready line
//   ModBusTCP master("127.0.0.1", sim.port());      // or sim.devicePath() for Rtu/Ascii
//   ...
//   sim.stop();                                      // SIGTERM; krtsim writes its dump
//   auto log = sim.requests();                       // one LoggedRequest per request
//   auto dump = sim.dump();                          // the module state at exit
//   EXPECT_EQ(dump.channelFlash(1)[2], 0x6014);
//
// While krtsim runs, dump() asks it for a fresh dump (SIGUSR1) and waits for it; after
// stop() it reads the dump written at exit. requests() can be called at any time.
//
// Request log (one line per request, written and flushed as it is answered):
//   <n> fc=<fc> unit=<u> <field>=<value> ... result=<result>
// n counts the well-framed requests from 1. Values are decimal. Fields by function code:
//   3, 4        start count
//   6           addr value
//   16          start count values=<v1>/<v2>/...
//   20          file record length            (one line per sub-request)
//   21          file record length values=... (one line per sub-request)
//   0x42 (66)   sub=<0|16|32|48|64|96|112> ch=<0..15> and for block reads/writes
//               addr=<byte address> count=<words>; block writes also values=...
// result is "ok", "exception:<code>", "ignored" (another unit's request), "dropped" (a drop
// fault) or "faked" (a fake fault: answered as done, not carried out); a fault injected into the
// request or its reply adds "fault=<kind>".
//
// State dump (plain text, one item per line, "end" last):
//   krtsim-dump <sequence>
//   requests <count of requests so far>
//   holding <addr> <value>         every register of 0..2048 that is not 0
//   status <ch> <value>            the status word of channel 1 and 2
//   space <ch> <words>             the size in words of each channel's space (1 2 10 11)
//   flash <ch> <word> <v> <v> ...  runs of up to 16 flash words that are not 0xFFFF
//   ram <ch> <word> <v> <v> ...    the same for the RAM image
//   end
// Values in flash, ram, holding and status lines are four hex digits; the rest decimal.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace krtsim {

enum class Framing { Tcp, Rtu, Ascii };

// One line of the request log.
struct LoggedRequest {
    int number = 0;
    int functionCode = 0;
    std::map<std::string, std::string> fields;  // every key=value after the number

    // The field as a number (decimal), or fallback when absent.
    long field(const std::string& key, long fallback = -1) const;
    // The values= field as words.
    std::vector<uint16_t> values() const;
    bool ok() const;  // result=ok
};

// A parsed state dump.
class StateDump {
  public:
    static std::optional<StateDump> parse(const std::string& text);

    int sequence() const { return sequence_; }
    int requestCount() const { return requestCount_; }
    uint16_t holding(int address) const;  // 0 when not listed
    uint16_t status(int channel) const;
    // The whole space of channel 1, 2, 10 (F1) or 11 (F2); words not listed are 0xFFFF.
    std::vector<uint16_t> channelFlash(int channel) const;
    std::vector<uint16_t> channelRam(int channel) const;

  private:
    std::vector<uint16_t> image(const std::map<int, std::map<int, uint16_t>>& words,
                                int channel) const;

    int sequence_ = 0;
    int requestCount_ = 0;
    std::map<int, uint16_t> holding_;
    std::map<int, uint16_t> status_;
    std::map<int, int> spaceWords_;
    std::map<int, std::map<int, uint16_t>> flash_;
    std::map<int, std::map<int, uint16_t>> ram_;
};

class KrtSim {
  public:
    // options: krtsim command-line options other than the framing, log and dump ones.
    explicit KrtSim(std::vector<std::string> options = {});
    ~KrtSim();  // stops krtsim if it runs and removes its files
    KrtSim(const KrtSim&) = delete;
    KrtSim& operator=(const KrtSim&) = delete;

    // Starts krtsim and waits (bounded) for its ready line. False when it did not come up;
    // output() then holds what it printed.
    bool start(Framing framing);
    // Sends SIGTERM and waits (bounded) for the exit and the final dump. True on a clean exit.
    bool stop();
    bool running() const { return pid_ > 0; }

    uint16_t port() const { return port_; }                        // Tcp
    const std::string& devicePath() const { return devicePath_; }  // Rtu, Ascii
    const std::string& output() const { return output_; }          // krtsim's stdout/stderr
    const std::string& logPath() const { return logPath_; }
    const std::string& dumpPath() const { return dumpPath_; }

    std::vector<LoggedRequest> requests() const;
    // A dump: a fresh one while krtsim runs, else the one written at exit.
    StateDump dump();
    // Releases the reply a "hold" fault keeps back (SIGUSR2) and waits (bounded) until krtsim
    // has written it. False when krtsim does not say so.
    bool releaseHeldReply();

    // Path of the krtsim executable built beside this harness (KRTSIM_EXECUTABLE in the
    // environment overrides it).
    static std::string executable();

  private:
    void readOutput(std::chrono::milliseconds wait);
    std::optional<StateDump> readDump() const;

    std::vector<std::string> options_;
    std::string directory_;
    std::string logPath_;
    std::string dumpPath_;
    std::string output_;
    std::string devicePath_;
    uint16_t port_ = 0;
    pid_t pid_ = -1;
    int outputFd_ = -1;
    int lastSequence_ = 0;
    size_t releasesSeen_ = 0;
};

}  // namespace krtsim
