// A download never leaves a running plant worse than it found it, and always says what it left:
// no erase under a program that has not confirmed its halt, every failure after the stop or the
// erase names the state of the channel (and starts the program again where nothing was erased
// or written), the log records every run's outcome, and a file without a user-code header is
// not taken as code unasked. Checked in the module's memory as well as in the messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <ostream>

#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "loader_fixture.h"
#include "vxo_builder.h"

namespace {

using loader_test::Describe;
using loader_test::MessageBoxLine;

constexpr int kRunRegister = 32;  // the module's run register: R = 33
constexpr uint16_t kChannel1Running = 0x00FF;

// Requests that erase an application space: the block-write erase, the file-record erase (a
// one-word 0 in record 0) and the command register's erase commands.
bool Erases(krtsim::LoggedRequest request) {
    request.fields.erase("fault");
    const std::string described = Describe(request);
    return described == "66 ch=1 sub=0" || described == "66 ch=1 sub=64" ||
           (described == "21 file=256 length=1 record=0" &&
            request.values() == std::vector<uint16_t>{0}) ||
           (request.functionCode == 6 && request.field("addr") == 8173);
}

// Requests that write into an application space.
bool WritesTheSpace(const krtsim::LoggedRequest& request) {
    const long sub = request.field("sub");
    return (request.functionCode == 66 && (sub == 32 || sub == 96)) ||
           (request.functionCode == 21 && !Erases(request));
}

// Requests the module carried out, answered or not.
bool Carried(const krtsim::LoggedRequest& request) {
    return request.ok();
}

enum class Loader { kBlockWrite, kFileRecord, kEraseOnly };

const char* LoaderName(Loader loader) {
    switch (loader) {
        case Loader::kBlockWrite:
            return "BlockWrite";
        case Loader::kFileRecord:
            return "FileRecord";
        default:
            return "EraseOnly";
    }
}

class LoadOutcomeTest : public loader_test::SimulatorTest {
  protected:
    // Puts a program into channel 1 with the file-record loader (not waiting for any halt), so
    // that what a later load leaves shows in the module; it runs afterwards. Returns the number
    // of the next request.
    int Preload() {
        const std::string path = TempPath("preload.vxo");
        vxo::Builder().Code(vxo::CountingWords(40, 0x5000)).WriteTo(path);
        LoadOptionsFor(path, 1);
        loadOptions.runRegister = 33;  // as the module has it
        EXPECT_EQ(RunLoad("", true), 1) << Transcript();
        before_ = Dump().channelFlash(1);
        EXPECT_EQ(before_[0], 41);
        EXPECT_EQ(Dump().holding(kRunRegister) & 0xFF, 0xFF) << "the preloaded program runs";
        return static_cast<int>(sim_->requests().size()) + 1;
    }

    // Sets up the load under test: an object for the loader into channel 1, or an erase alone.
    void LoadOptionsForLoader(Loader loader, size_t words = 20) {
        const std::string path = TempPath("object.vxo");
        vxo::Builder object;
        if (loader == Loader::kBlockWrite) {
            object.Text(kKrtVersionBlock, "2");
        }
        object.Code(vxo::CountingWords(words, 0x2000)).WriteTo(path);
        LoadOptionsFor(path, 1);
        if (loader == Loader::kEraseOnly) {
            loadOptions.loadProgram = 0;
        }
    }

    // Nothing was erased or written since request `from`, and channel 1 still holds its program.
    void ExpectChannelKept(int from) {
        for (const auto& request : Requests(from)) {
            EXPECT_FALSE(Carried(request) && (Erases(request) || WritesTheSpace(request)))
                << Describe(request);
        }
        EXPECT_EQ(Dump().channelFlash(1), before_);
    }

    uint16_t RunByte() { return Dump().holding(kRunRegister) & 0xFF; }

    std::vector<uint16_t> before_;
};

// ---------------------------------------------------------------------------------------------
// A program that has not confirmed its halt keeps its flash: an unattended run refuses and says
// so, the dialog asks (No by default).

struct HaltCase {
    const char* name;
    std::vector<std::string> module;
    bool autoStart;
};

void PrintTo(const HaltCase& c, std::ostream* out) {
    *out << c.name;
}
void PrintTo(Loader loader, std::ostream* out) {
    *out << LoaderName(loader);
}

const HaltCase kHaltCases[] = {
    // Nobody stops the program that runs on channel 1.
    {"AutoStartOff", {}, false},
    // The program halts, but only long after the readings of the wait.
    {"HaltSlowerThanTheWait", {"--halt-ms", "4000"}, true},
    {"StatusStuck", {"--status-stuck", "1"}, true},
};

const char* const kStillRunning = "Can't halt channel 1: its program is still running.";
const char* const kRunningWithoutAutoStart =
    "The program on channel 1 is running, and with Auto Start off this download does not stop "
    "it.";
const char* const kNothingChanged = "Nothing was erased or written in application space 1";

class HaltNotConfirmedTest : public LoadOutcomeTest,
                             public ::testing::WithParamInterface<std::tuple<HaltCase, Loader>> {
  protected:
    int Prepare() {
        const auto& [c, loader] = GetParam();
        EXPECT_TRUE(StartModule(krtsim::Framing::Tcp, c.module));
        const int from = Preload();
        LoadOptionsForLoader(loader);
        loadOptions.autoStart = c.autoStart ? 1 : 0;
        return from;
    }
};

TEST_P(HaltNotConfirmedTest, UnattendedRunRefusesAndErasesNothing) {
    const auto& [c, loader] = GetParam();
    const int from = Prepare();
    loadOptions.unattended = 1;
    loader_test::LogCapture log;

    EXPECT_EQ(RunLoad(), 0);

    const std::string text =
        c.autoStart ? std::string(kStillRunning) + "\n\n" + kNothingChanged +
                          "; its program was started again."
                    : std::string(kRunningWithoutAutoStart) + "\n\n" + kNothingChanged + ".";
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine("VEXIM Error", text, "OK")})
        << Transcript();
    ExpectChannelKept(from);
    EXPECT_EQ(RunByte(), 0xFF) << "the program runs";
    EXPECT_NE(log.Text().find("Download failed: " +
                              std::string(c.autoStart ? kStillRunning : kRunningWithoutAutoStart) +
                              "\n" + kNothingChanged),
              std::string::npos)
        << log.Text();
    EXPECT_EQ(historyAdds_, 0);
}

TEST_P(HaltNotConfirmedTest, DialogAsksWithNoTheDefault) {
    const auto& [c, loader] = GetParam();
    const int from = Prepare();

    EXPECT_EQ(RunLoad("answer No\n"), 0);

    const std::string question =
        std::string(c.autoStart ? kStillRunning : kRunningWithoutAutoStart) +
        "\n\r\n\rErase application space 1 under the running program?";
    std::vector<std::string> boxes = {MessageBoxLine("File loader", question, "No")};
    if (c.autoStart) {
        boxes.push_back(MessageBoxLine(
            "VEXIM Error", std::string(kNothingChanged) + "; its program was started again.",
            "OK"));
    }
    EXPECT_EQ(TranscriptLines("msgbox"), boxes) << Transcript();
    const std::string transcript = Transcript();
    EXPECT_NE(transcript.find(loader_test::Quoted(question) + " default No"), std::string::npos)
        << transcript;
    ExpectChannelKept(from);
    EXPECT_EQ(RunByte(), 0xFF) << "the program runs";
}

INSTANTIATE_TEST_SUITE_P(Cases, HaltNotConfirmedTest,
                         ::testing::Combine(::testing::ValuesIn(kHaltCases),
                                            ::testing::Values(Loader::kBlockWrite,
                                                              Loader::kFileRecord,
                                                              Loader::kEraseOnly)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    LoaderName(std::get<1>(info.param));
                         });

// Yes is the user's own decision: the load goes on under the running program.
TEST_F(LoadOutcomeTest, DialogAnsweredYesLoadsUnderTheRunningProgram) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--status-stuck", "1"}));
    Preload();
    LoadOptionsForLoader(Loader::kBlockWrite);

    EXPECT_EQ(RunLoad("answer Yes\n"), 1) << Transcript();

    EXPECT_EQ(Dump().channelFlash(1)[1], 22);  // 20 code words, the object's CRC word, the CRC
}

// Ignore Application Halt Status is the user's too: no reading, no question.
TEST_F(LoadOutcomeTest, IgnoredHaltStatusIsNotWaitedFor) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--status-stuck", "1"}));
    Preload();
    LoadOptionsForLoader(Loader::kEraseOnly);
    loadOptions.unattended = 1;

    EXPECT_EQ(RunLoad("", true), 1) << Transcript();

    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
    EXPECT_EQ(Dump().channelFlash(1)[0], 0xFFFF);
}

// ---------------------------------------------------------------------------------------------
// A failure after the stop or the erase says what the channel and its program are left in; where
// nothing was erased or written the program is started again.

struct FailureCase {
    const char* name;
    Loader loader;
    size_t words;
    const char* fault;  // a krtsim fault for the load's requests, or ""
    // The module falls silent from the request after the first one of the load described so (in
    // a run without faults); empty: it never does.
    std::string silentAfter;
    std::string box;  // the whole text
    uint16_t runByte;
    enum class Space { kKept, kErased, kPartlyWritten } space;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

const char* const kStoppedForGood =
    "; its program is stopped and could not be started again (Modbus Timed Out).";

const FailureCase kFailureCases[] = {
    {"BlockWriteEraseRefused", Loader::kBlockWrite, 20, "fc=66,sub=0,do=exception,code=4", "",
     std::string("Slave Device Failure\n\n") + kNothingChanged + "; its program was started again.",
     0xFF, FailureCase::Space::kKept},
    {"FileRecordEraseRefused", Loader::kFileRecord, 20, "fc=21,do=exception,code=4", "",
     std::string("Slave Device Failure\n\n") + kNothingChanged + "; its program was started again.",
     0xFF, FailureCase::Space::kKept},
    {"EraseOnlyRefused", Loader::kEraseOnly, 0,
     "fc=21,do=exception,code=4",  // an erase alone goes through the channel's file
     "",
     std::string("Slave Device Failure\n\n") + kNothingChanged + "; its program was started again.",
     0xFF, FailureCase::Space::kKept},
    // The status readings go unanswered: the halt is never confirmed, the module still takes the
    // start.
    // The module takes the erase and does not carry it out, as one with its memory protected:
    // nothing says what the space holds now, so the program is not started on it.
    {"FileRecordEraseNotCarriedOut", Loader::kFileRecord, 20, "fc=21,do=fake,times=1", "",
     "ERROR!  Unable to erase application memory block.\nCheck that SW2 is not in \"Mem Prot\"\n\n"
     "Application space 1 may be partly erased and its program is stopped.",
     0x00, FailureCase::Space::kKept},
    {"StatusUnansweredAfterTheStop", Loader::kBlockWrite, 20, "fc=4,do=noreply", "",
     std::string("Modbus Timed Out\n\n") + kNothingChanged + "; its program was started again.",
     0xFF, FailureCase::Space::kKept},
    {"BlockWriteSilentAfterTheStop", Loader::kBlockWrite, 20, "", "6 addr=32 value=65280",
     std::string("Modbus Timed Out\n\n") + kNothingChanged + kStoppedForGood, 0x00,
     FailureCase::Space::kKept},
    {"FileRecordSilentAfterTheStop", Loader::kFileRecord, 20, "", "6 addr=32 value=65280",
     std::string("Modbus Timed Out\n\n") + kNothingChanged + kStoppedForGood, 0x00,
     FailureCase::Space::kKept},
    {"BlockWriteSilentAfterTheErase", Loader::kBlockWrite, 20, "", "66 ch=1 sub=0",
     "Modbus Timed Out\n\nApplication space 1 is erased and its program is stopped.", 0x00,
     FailureCase::Space::kErased},
    {"FileRecordSilentAfterTheErase", Loader::kFileRecord, 20, "", "21 file=256 length=1 record=0",
     "Modbus Timed Out\n\nApplication space 1 is erased and its program is stopped.", 0x00,
     FailureCase::Space::kErased},
    {"BlockWriteSilentAfterHalfTheBlocks", Loader::kBlockWrite, 600, "",
     "66 addr=598 ch=1 count=99 sub=32",
     "Modbus Timed Out\n\nApplication space 1 is partly written and its program is stopped.", 0x00,
     FailureCase::Space::kPartlyWritten},
    {"FileRecordSilentAfterHalfTheBlocks", Loader::kFileRecord, 600, "",
     "21 file=256 length=100 record=201",
     "Modbus Timed Out\n\nApplication space 1 is partly written and its program is stopped.", 0x00,
     FailureCase::Space::kPartlyWritten},
};

class FailureStateTest : public LoadOutcomeTest, public ::testing::WithParamInterface<FailureCase> {
  protected:
    // A run of the same load without faults: the number of the load's first request, and of the
    // request after the one described `silentAfter` (0 when none is).
    std::pair<int, int> Rehearse(const std::string& silentAfter) {
        EXPECT_TRUE(StartModule(krtsim::Framing::Tcp, {"--status-polls", "0"}));
        const int first = Preload();
        LoadOptionsForLoader(GetParam().loader, GetParam().words);
        EXPECT_EQ(RunLoad(), 1) << Transcript();
        int silent = 0;
        for (const auto& request : Requests(first)) {
            if (silent == 0 && Describe(request) == silentAfter) {
                silent = request.number + 1;
            }
        }
        EXPECT_TRUE(silentAfter.empty() || silent > 0) << "no request " << silentAfter;
        sim_->stop();
        return {first, silent};
    }
};

TEST_P(FailureStateTest, MessageAndLogNameTheState) {
    const FailureCase& c = GetParam();
    const auto [first, silent] = Rehearse(c.silentAfter);
    std::vector<std::string> options = {"--status-polls", "0"};
    if (c.fault[0] != '\0') {
        options.insert(options.end(), {"--fault", "from=" + std::to_string(first) + "," + c.fault});
    }
    if (silent > 0) {
        options.insert(options.end(), {"--fault", "from=" + std::to_string(silent) + ",do=drop"});
    }
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, options));
    const int from = Preload();
    ASSERT_EQ(from, first);
    LoadOptionsForLoader(c.loader, c.words);
    linkSettings.timeoutMs = 200;
    loader_test::LogCapture log;

    EXPECT_EQ(RunLoad(), 0);

    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine("VEXIM Error", c.box, "OK")})
        << Transcript();
    // The log: the failure on one line, then the state.
    const std::string text = log.Text();
    const size_t split = c.box.find("\n\n");
    std::string failure = c.box.substr(0, split);
    std::replace(failure.begin(), failure.end(), '\n', ' ');
    EXPECT_NE(text.find("Download failed: " + failure + "\n" + c.box.substr(split + 2) + "\n"),
              std::string::npos)
        << text;
    // The module's memory, as krtsim leaves it at exit.
    ASSERT_TRUE(sim_->stop());
    krtsim::StateDump dump = Dump();
    EXPECT_EQ(dump.holding(kRunRegister) & 0xFF, c.runByte);
    const std::vector<uint16_t> flash = dump.channelFlash(1);
    switch (c.space) {
        case FailureCase::Space::kKept:
            EXPECT_EQ(flash, before_);
            for (const auto& request : Requests(from)) {
                EXPECT_FALSE(Carried(request) && (Erases(request) || WritesTheSpace(request)))
                    << Describe(request);
            }
            break;
        case FailureCase::Space::kErased:
            EXPECT_TRUE(std::all_of(flash.begin(), flash.end(),
                                    [](uint16_t word) { return word == 0xFFFF; }));
            break;
        case FailureCase::Space::kPartlyWritten: {
            // The length (word 0, and word 1 of the block-write layout) is never stored; the
            // first words went in, the last did not.
            const size_t firstWord = c.loader == Loader::kBlockWrite ? 2 : 1;
            EXPECT_EQ(flash[0], 0xFFFF);
            EXPECT_EQ(flash[firstWord], 0x2000);
            EXPECT_EQ(flash[firstWord + 298], 0x2000 + 298);
            EXPECT_EQ(flash[firstWord + 599], 0xFFFF);
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FailureStateTest, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Every run's outcome reaches the log: the words loaded, and the Cancel.
TEST_F(LoadOutcomeTest, LogRecordsSuccessAndCancel) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    LoadOptionsForLoader(Loader::kBlockWrite);
    {
        loader_test::LogCapture log;
        EXPECT_EQ(RunLoad(), 1) << Transcript();
        const std::string text = log.Text();
        EXPECT_EQ(text.substr(text.size() - 30), "22 words loaded successfully.\n") << text;
    }
    {
        loader_test::LogCapture log;
        EXPECT_EQ(RunLoad("pump command 2\n"), 0);
        EXPECT_EQ(log.Text().substr(log.Text().size() - 20), "Download cancelled.\n") << log.Text();
    }
}

// ---------------------------------------------------------------------------------------------
// Cancel landing between the read of the run register and its write: the program was never
// stopped, and nobody is told it was.

TEST_F(LoadOutcomeTest, CancelBetweenTheRunRegisterReadAndItsWrite) {
    for (const Loader loader : {Loader::kBlockWrite, Loader::kFileRecord}) {
        SCOPED_TRACE(LoaderName(loader));
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
        const int from = Preload();
        LoadOptionsForLoader(loader);
        loader_test::LogCapture log;

        // The space size read (block-write only) and the two register reads pump before the read
        // of the run register; Cancel comes with the pump after it.
        std::string script;
        for (int pump = 0; pump < (loader == Loader::kBlockWrite ? 3 : 2); ++pump) {
            script += "pump\n";
        }
        EXPECT_EQ(RunLoad(script + "pump command 2\n"), 0);

        const auto requests = Requests(from);
        ASSERT_FALSE(requests.empty());
        EXPECT_EQ(Describe(requests.back()), "3 count=1 start=32");
        EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
        EXPECT_EQ(log.Text().substr(log.Text().size() - 20), "Download cancelled.\n") << log.Text();
        EXPECT_EQ(RunByte(), 0xFF);
        EXPECT_EQ(Dump().channelFlash(1), before_);
        ASSERT_TRUE(sim_->stop());
    }
}

// ---------------------------------------------------------------------------------------------
// A module not equipped for auto start: the success says the program is stopped.

TEST_F(LoadOutcomeTest, ModuleWithoutAutoStartKeepsTheWarning) {
    for (const Loader loader : {Loader::kBlockWrite, Loader::kFileRecord}) {
        SCOPED_TRACE(LoaderName(loader));
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--no-autostart"}));
        LoadOptionsForLoader(loader);
        loader_test::LogCapture log;

        EXPECT_EQ(RunLoad(), 1) << Transcript();

        const std::string words = loader == Loader::kBlockWrite ? "22" : "21";
        const std::string status = words +
                                   " words loaded successfully.\r\n"
                                   "WARNING: Module not equipped for Auto Start.\r\n"
                                   "The program is stopped: start it by hand.";
        EXPECT_EQ(TranscriptLines("status").back(), "status " + loader_test::Quoted(status));
        const std::string text = log.Text();
        EXPECT_NE(text.find(words + " words loaded successfully.\n"
                                    "WARNING: Module not equipped for Auto Start.\n"
                                    "The program is stopped: start it by hand.\n"),
                  std::string::npos)
            << text;
        EXPECT_EQ(RunByte(), 0x00) << "the program is stopped";
        EXPECT_EQ(Dump().channelFlash(1)[0], loader == Loader::kBlockWrite ? 0 : 21);
        ASSERT_TRUE(sim_->stop());
    }
}

// ---------------------------------------------------------------------------------------------
// Load File and Erase Flash both off: nothing to do, and nothing is sent.

TEST_F(LoadOutcomeTest, NeitherLoadNorEraseSendsNothing) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    LoadOptionsForLoader(Loader::kBlockWrite);
    loadOptions.loadProgram = 0;
    loadOptions.eraseFlash = 0;
    loader_test::LogCapture log;

    EXPECT_EQ(RunLoad(), 0);

    const std::string text =
        "Load File and Erase Flash are both off: there is nothing to do.\n"
        "Nothing was sent to the module.";
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine("VEXIM Error", text, "OK")});
    EXPECT_TRUE(Requests().empty());
    EXPECT_NE(log.Text().find("Download failed: Load File and Erase Flash are both off: there is "
                              "nothing to do. Nothing was sent to the module.\n"),
              std::string::npos)
        << log.Text();
    EXPECT_EQ(historyAdds_, 0);
}

// ---------------------------------------------------------------------------------------------
// A file without header blocks (a text file chosen by mistake) is a raw object only when the
// user says so.

// 47 bytes: 24 words, the last one holding the odd byte.
constexpr uint16_t kServiceFileWords = 24;

class RawObjectTest : public LoadOutcomeTest {
  protected:
    std::string WriteServiceFile() {
        const std::string path = TempPath("plant.SVC");
        std::ofstream(path, std::ios::binary) << "#CMD#\r\n#0x0710#\r\n#0x0002#\r\n#0x0001#\r\n"
                                                 "#0x0000#\r\n";
        return path;
    }
};

TEST_F(RawObjectTest, DialogAsksFirstAndNoChangesNothing) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const int from = Preload();
    const std::string path = WriteServiceFile();
    LoadOptionsFor(path, 1);
    loader_test::LogCapture log;

    EXPECT_EQ(RunLoad(), 0);  // nobody answers: No

    const std::string question = path +
                                 " holds no user-code header.\n\rLoaded as a raw object, the whole "
                                 "file is written into application space 1 as code.\n\r\n\r"
                                 "Load it as a raw object?";
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine("File loader", question, "No")});
    EXPECT_NE(Transcript().find(loader_test::Quoted(question) + " default No"), std::string::npos);
    EXPECT_TRUE(Requests(from).empty()) << "asked before anything is sent";
    EXPECT_EQ(Dump().channelFlash(1), before_);
    EXPECT_NE(log.Text().find("Download stopped: answered No to \"" + path +
                              " holds no user-code header. Loaded as a raw object"),
              std::string::npos)
        << log.Text();

    // Yes: raw objects stay allowed; the text goes in as it is.
    EXPECT_EQ(RunLoad("answer Yes\n"), 1) << Transcript();
    const std::vector<uint16_t> flash = Dump().channelFlash(1);
    EXPECT_EQ(flash[0], kServiceFileWords);
    EXPECT_EQ(flash[1], 0x4323);  // "#C", low byte first in the file
}

TEST_F(RawObjectTest, UnattendedRunTakesItOnlyWhenTheLineSaysSo) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const int from = Preload();
    const std::string path = WriteServiceFile();
    LoadOptionsFor(path, 1);
    loadOptions.unattended = 1;

    EXPECT_EQ(RunLoad(), 0);

    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "VEXIM Error",
                  path + " holds no user-code header.\nAn unattended download loads a file "
                         "without one, as a raw object, only with the switch -O.\n"
                         "Nothing was sent to the module.",
                  "OK")});
    EXPECT_TRUE(Requests(from).empty());
    EXPECT_EQ(Dump().channelFlash(1), before_);

    loadOptions.rawObjects = 1;
    EXPECT_EQ(RunLoad(), 1) << Transcript();
    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
    EXPECT_EQ(Dump().channelFlash(1)[0], kServiceFileWords);
}

}  // namespace
