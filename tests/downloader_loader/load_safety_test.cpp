// A download never destroys what it should not: it is refused before anything is erased when it
// cannot succeed, it lets the program halt before its flash is erased, Cancel stops it at once and
// says what it left, and no setting makes it erase without loading or fail without sending.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>

#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "loader_fixture.h"
#include "vxo_builder.h"

namespace {

using loader_test::Describe;
using loader_test::MessageBoxLine;

// Requests that change the module: register and file-record writes, and the erases and block
// writes of function code 0x42 (to flash or to RAM).
bool ChangesTheModule(const krtsim::LoggedRequest& request) {
    switch (request.functionCode) {
        case 6:
        case 16:
        case 21:
            return true;
        case 66: {
            const long sub = request.field("sub");
            return sub == 0 || sub == 32 || sub == 64 || sub == 96;
        }
        default:
            return false;
    }
}

// Every word of the four application channels.
std::map<int, std::vector<uint16_t>> Channels(krtsim::StateDump dump) {
    std::map<int, std::vector<uint16_t>> channels;
    for (const int channel : {1, 2, 10, 11}) {
        channels[channel] = dump.channelFlash(channel);
    }
    return channels;
}

vxo::Builder Object(bool newMethod, size_t words) {
    vxo::Builder object;
    if (newMethod) {
        object.Text(kKrtVersionBlock, "2");
    }
    object.Code(vxo::CountingWords(words, 0x2000));
    return object;
}

class LoadSafetyTest : public loader_test::SimulatorTest {
  protected:
    // Loads a program into `channels` with the file-record loader, so that what a refused load
    // leaves behind shows in the module; returns the number of the next request.
    int Preload(const std::vector<int16_t>& channels) {
        for (const int16_t channel : channels) {
            const std::string path = TempPath("preload.vxo");
            vxo::Builder().Raw().Code(vxo::CountingWords(40, 0x5000)).WriteTo(path);
            LoadOptionsFor(path, channel);
            EXPECT_EQ(RunLoad("answer Yes\n"), 1) << Transcript();  // a raw object
        }
        return static_cast<int>(sim_->requests().size()) + 1;
    }

    std::vector<std::string> ChangingRequests(int from) const {
        std::vector<std::string> changing;
        for (const auto& request : Requests(from)) {
            if (ChangesTheModule(request)) {
                changing.push_back(Describe(request));
            }
        }
        return changing;
    }

    // The load was refused as too large for its space, and nothing changed since request `from`:
    // no channel written, its own or another's.
    void ExpectRefusedAsTooLarge(int from, const std::map<int, std::vector<uint16_t>>& before) {
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "VEXIM Error", "Application file is too large for space.", "OK")});
        EXPECT_EQ(ChangingRequests(from), std::vector<std::string>{});
        EXPECT_EQ(Channels(Dump()), before);
    }

    // Requests from `from` that are `described`, whatever fault they met.
    long Count(int from, const std::string& described) const {
        long count = 0;
        for (krtsim::LoggedRequest request : Requests(from)) {
            request.fields.erase("fault");
            count += Describe(request) == described;
        }
        return count;
    }
};

// ---------------------------------------------------------------------------------------------
// The space is judged by what the transfer sends, not only by what the application block says.

struct SpaceCase {
    const char* name;
    int16_t channel;
    bool newMethod;
    size_t payloadWords;  // past the channel's space; the block declares 100 bytes
};

class SpaceBySentBytesTest : public LoadSafetyTest,
                             public ::testing::WithParamInterface<SpaceCase> {};

TEST_P(SpaceBySentBytesTest, RefusedBeforeAnythingChanges) {
    const SpaceCase& c = GetParam();
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const int from = Preload({1, 2});
    const auto before = Channels(Dump());
    const std::string path = TempPath("declares-less.vxo");
    Object(c.newMethod, c.payloadWords).ApplicationLength(100).WriteTo(path);
    LoadOptionsFor(path, c.channel);

    EXPECT_EQ(RunLoad("answer Yes\nanswer Yes\n"), 0);

    ExpectRefusedAsTooLarge(from, before);
}

INSTANTIATE_TEST_SUITE_P(Loaders, SpaceBySentBytesTest,
                         ::testing::Values(SpaceCase{"OldLoaderChannel1", 1, false, 70000},
                                           SpaceCase{"OldLoaderChannel2", 2, false, 135000},
                                           SpaceCase{"NewLoaderChannel1", 1, true, 70000}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The space must hold everything the transfer writes: the block-write loader's CRC word and
// digest behind the payload, and for F1 and F2 no more than their flash files of 4096 words.

struct WrittenSpaceCase {
    const char* name;
    int16_t channel;
    bool newMethod;
    std::vector<std::string> module;  // krtsim options that set the space
    size_t fittingWords;              // the longest code the channel takes whole (the file
                                      // adds its CRC word)
};

class WrittenSpaceTest : public LoadSafetyTest,
                         public ::testing::WithParamInterface<WrittenSpaceCase> {};

TEST_P(WrittenSpaceTest, OneWordMoreIsRefusedBeforeTheErase) {
    const WrittenSpaceCase& c = GetParam();
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, c.module));
    const int from = Preload({});
    const auto before = Channels(Dump());
    const std::string tooLong = TempPath("too-long.vxo");
    Object(c.newMethod, c.fittingWords + 1).WriteTo(tooLong);
    LoadOptionsFor(tooLong, c.channel);

    EXPECT_EQ(RunLoad("answer Yes\n"), 0);

    ExpectRefusedAsTooLarge(from, before);

    // The longest payload that leaves room for the rest loads whole.
    const std::string fitting = TempPath("fitting.vxo");
    Object(c.newMethod, c.fittingWords).WriteTo(fitting);
    LoadOptionsFor(fitting, c.channel);
    EXPECT_EQ(RunLoad("answer Yes\n"), 1) << Transcript();
    EXPECT_TRUE(TranscriptLines("msgbox").size() <= 1) << Transcript();  // the channel question
}

INSTANTIATE_TEST_SUITE_P(
    Loaders, WrittenSpaceTest,
    ::testing::Values(
        // 400 bytes: the payload, then 2 bytes of CRC and 16 of digest.
        WrittenSpaceCase{"BlockWriteChannel1", 1, true, {"--space", "1=400"}, 190},
        // F1 answers 8188 bytes (4096 words less the two of the length).
        WrittenSpaceCase{"BlockWriteF1", 10, true, {}, 4084},
        // Record 0 holds the length; 4095 records are left for the code and its CRC word.
        WrittenSpaceCase{"FileRecordF1", 10, false, {}, 4094},
        WrittenSpaceCase{"FileRecordF2", 11, false, {}, 4094}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// F1 and F2 keep the declared byte length in record 0, where a one-word 0 is the erase command.

struct StoredLengthCase {
    int16_t channel;
    uint32_t declared;
};

class FlashChannelLengthTest : public LoadSafetyTest,
                               public ::testing::WithParamInterface<StoredLengthCase> {};

TEST_P(FlashChannelLengthTest, LengthStoredAsZeroIsRefusedBeforeTheErase) {
    const StoredLengthCase& c = GetParam();
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const int from = Preload({c.channel});
    const auto before = Channels(Dump());
    vxo::Builder object;
    object.Code({}).WithoutCrcWord().ApplicationLength(c.declared).Trailing({0x10});
    if (c.declared == 65536) {
        const std::vector<uint8_t> expected = {0x4e, 0x71, 0x4e, 0xf9, 0x00, 0x00, 0x80, 0x38,
                                               0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x10};
        ASSERT_EQ(object.Bytes(), expected);
    }
    const std::string path = TempPath("length.vxo");
    object.WriteTo(path);
    LoadOptionsFor(path, c.channel);

    EXPECT_EQ(RunLoad(), 0);

    EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                             "VEXIM Error",
                                             "Application length of " + std::to_string(c.declared) +
                                                 " bytes cannot be stored by the module.",
                                             "OK")});
    EXPECT_EQ(ChangingRequests(from), std::vector<std::string>{});
    EXPECT_EQ(Channels(Dump()), before);
}

INSTANTIATE_TEST_SUITE_P(Lengths, FlashChannelLengthTest,
                         ::testing::Values(StoredLengthCase{10, 0}, StoredLengthCase{10, 65536},
                                           StoredLengthCase{11, 0}, StoredLengthCase{11, 65536}),
                         [](const auto& info) {
                             return std::string(info.param.channel == 10 ? "F1" : "F2") + "_" +
                                    std::to_string(info.param.declared);
                         });

// ---------------------------------------------------------------------------------------------
// The program halts before its flash is erased.

TEST_F(LoadSafetyTest, RunningProgramWithoutAutoStart) {
    for (const bool newMethod : {false, true}) {
        SCOPED_TRACE(newMethod ? "new loader" : "old loader");
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
        const int from = Preload({2});
        const auto before = Channels(Dump());
        const std::string path = TempPath("object.vxo");
        Object(newMethod, 20).WriteTo(path);
        LoadOptionsFor(path, 2);
        loadOptions.autoStart = 0;  // nobody stops the program that runs on channel 2

        // Yes to the block-write loader's channel question; the halt question gets No, its
        // default.
        EXPECT_EQ(RunLoad(newMethod ? "answer Yes\n" : ""), 0);

        EXPECT_EQ(TranscriptLines("msgbox").back(),
                  MessageBoxLine("File loader",
                                 "The program on channel 2 is running, and with Auto Start off "
                                 "this download does not stop it.\n\r\n\r"
                                 "Erase application space 2 under the running program?",
                                 "No"));
        // Only the status register number was written; the running program keeps its flash.
        EXPECT_EQ(ChangingRequests(from), std::vector<std::string>{"6 addr=42 value=3"});
        EXPECT_EQ(Channels(Dump()), before);
        EXPECT_EQ(Dump().holding(32), 0xFFFF);
        ASSERT_TRUE(sim_->stop());
    }
}

// A program needs a scan or two to halt: the readings are spread over about a second.
TEST_F(LoadSafetyTest, ProgramThatHaltsWithinItsScanIsWaitedFor) {
    for (const bool newMethod : {false, true}) {
        SCOPED_TRACE(newMethod ? "new loader" : "old loader");
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--halt-ms", "300"}));
        const std::string path = TempPath("object.vxo");
        Object(newMethod, 20).WriteTo(path);
        LoadOptionsFor(path, 1);

        EXPECT_EQ(RunLoad(), 1) << Transcript();

        EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
        const auto requests = Requests();
        const long readings = std::count_if(requests.begin(), requests.end(),
                                            [](const auto& r) { return r.functionCode == 4; });
        EXPECT_GT(readings, 1);
        EXPECT_LT(readings, 20);
        ASSERT_TRUE(sim_->stop());
    }
}

// ---------------------------------------------------------------------------------------------
// Cancel.

TEST_F(LoadSafetyTest, CancelAtTheFirstPumpChangesNothing) {
    for (const auto dialog : loader_test::kBothDialogs) {
        for (const bool newMethod : {false, true}) {
            SCOPED_TRACE(loader_test::DialogName(dialog));
            SCOPED_TRACE(newMethod ? "new loader" : "old loader");
            ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
            const std::string path = TempPath("object.vxo");
            Object(newMethod, 20).WriteTo(path);
            LoadOptionsFor(path, 1);

            EXPECT_EQ(RunLoad("pump command 2\n", false, dialog), 0);

            EXPECT_EQ(ChangingRequests(1), std::vector<std::string>{});
            EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
            const auto status = TranscriptLines("status");
            EXPECT_NE(std::find(status.begin(), status.end(), "status \"Cancelling...\""),
                      status.end());
            EXPECT_EQ(std::find(status.begin(), status.end(), "status \"Erasing\""), status.end());
            ASSERT_TRUE(sim_->stop());
        }
    }
}

struct CancelCase {
    const char* name;
    bool newMethod;
    const char* fault;    // the step that gets no reply
    int pumpsBefore;      // pumps before the one after its first attempt
    const char* attempt;  // the step's request, described
    const char* state;    // what the box says is left
};

void PrintTo(const CancelCase& c, std::ostream* out) {
    *out << c.name;
}
void PrintTo(const SpaceCase& c, std::ostream* out) {
    *out << c.name;
}

class CancelDuringStepTest : public LoadSafetyTest,
                             public ::testing::WithParamInterface<CancelCase> {};

// Cancel while a step waits for a reply that never comes: no further attempt is made, and the
// box says in what state the channel is left.
TEST_P(CancelDuringStepTest, NoMoreAttemptsAndTheStateIsTold) {
    const CancelCase& c = GetParam();
    for (const auto dialog : loader_test::kBothDialogs) {
        SCOPED_TRACE(loader_test::DialogName(dialog));
        // The program halts at the first reading, so the halt wait does not pump.
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--status-polls", "0", "--fault", c.fault}));
        const std::string path = TempPath("object.vxo");
        Object(c.newMethod, 300).WriteTo(path);
        LoadOptionsFor(path, 1);
        // Long enough that the steps before the silent one are answered on a busy machine.
        linkSettings.timeoutMs = 500;
        linkSettings.retries = 5;
        std::string script;
        for (int pump = 0; pump < c.pumpsBefore; ++pump) {
            script += "pump\n";
        }
        script += "pump command 2\n";

        EXPECT_EQ(RunLoad(script, false, dialog), 0);

        EXPECT_EQ(Count(1, c.attempt), 1) << "attempts after Cancel";
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "VEXIM Error", std::string("Download cancelled: ") + c.state + ".", "OK")})
            << Transcript();
        ASSERT_TRUE(sim_->stop());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CancelDuringStepTest,
    ::testing::Values(
        CancelCase{"NewLoaderErase", true, "fc=66,sub=0,do=noreply", 7, "66 ch=1 sub=0",
                   "application space 1 is erased and its program is stopped"},
        CancelCase{"NewLoaderBlockWrite", true, "fc=66,sub=0x20,do=noreply", 9,
                   "66 addr=4 ch=1 count=99 sub=32",
                   "application space 1 is partly written and its program is stopped"},
        CancelCase{"OldLoaderErase", false, "fc=21,do=noreply", 6, "21 file=256 length=1 record=0",
                   "application space 1 is erased and its program is stopped"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Settings that must not end a load without sending, or make the erase wait wrap round.

// Ten time-outs of 429496730 ms do not fit 32 bits: wrapped, the erase would wait 4 ms.
TEST_F(LoadSafetyTest, EraseTimeOutDoesNotWrapRound) {
    const struct {
        bool newMethod;
        const char* lateErase;
    } cases[] = {{true, "fc=66,sub=0,do=late,ms=300,times=1"},
                 {false, "fc=21,do=late,ms=300,times=1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lateErase);
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--fault", c.lateErase}));
        linkSettings.timeoutMs = 429496730;
        const std::string path = TempPath("object.vxo");
        Object(c.newMethod, 20).WriteTo(path);
        LoadOptionsFor(path, 1);
        EXPECT_EQ(RunLoad(), 1) << Transcript();
        EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
        ASSERT_TRUE(sim_->stop());
    }
}

TEST_F(LoadSafetyTest, RetriesOfZeroOrLessStillSend) {
    for (const int32_t retries : {0, -1, -7, INT32_MIN}) {
        SCOPED_TRACE(retries);
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
        linkSettings.retries = retries;
        const std::string path = TempPath("object.vxo");
        Object(true, 20).WriteTo(path);
        LoadOptionsFor(path, 1);
        EXPECT_EQ(RunLoad(), 1) << Transcript();
        EXPECT_FALSE(Requests().empty());
        ASSERT_TRUE(sim_->stop());
    }
}

// ---------------------------------------------------------------------------------------------
// Erase only, and the texts that name the channel.

TEST_F(LoadSafetyTest, EraseOnlyChecksWriteProtectionAndSaysWhatItErased) {
    const struct {
        int16_t channel;
        std::vector<std::string> options;
        int result;
        std::string box;     // empty: none
        std::string status;  // the last status line, when it succeeded
    } cases[] = {
        {1, {"--protect", "1"}, 0, "Application space is write protected", ""},
        {1, {}, 1, "", "Application space 1 erased."},
        {11, {}, 1, "", "Application space F2 erased."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.channel);
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, c.options));
        LoadOptionsFor(TempPath("never-opened.vxo"), c.channel);
        loadOptions.loadProgram = 0;
        EXPECT_EQ(RunLoad(), c.result);
        if (c.box.empty()) {
            EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
            EXPECT_EQ(TranscriptLines("status").back(), "status \"" + c.status + "\"");
        } else {
            EXPECT_EQ(TranscriptLines("msgbox"),
                      std::vector<std::string>{MessageBoxLine("Write error", c.box, "OK")});
            EXPECT_EQ(ChangingRequests(1), std::vector<std::string>{});
        }
        ASSERT_TRUE(sim_->stop());
    }
}

TEST_F(LoadSafetyTest, ChannelQuestionNamesTheChannelChosen) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("object.vxo");
    Object(true, 20).WriteTo(path);
    for (const auto& [channel, name] :
         std::vector<std::pair<int16_t, std::string>>{{2, "2"}, {10, "F1"}, {11, "F2"}}) {
        LoadOptionsFor(path, channel);
        const int from = static_cast<int>(sim_->requests().size()) + 1;
        EXPECT_EQ(RunLoad("answer No\n"), 0);
        EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                                 "File loader",
                                                 "Application " + name +
                                                     " is selected\n\rbut not supported.\n\r"
                                                     "Continue anyway?",
                                                 "No")});
        EXPECT_EQ(ChangingRequests(from), std::vector<std::string>{});
    }
}

// ---------------------------------------------------------------------------------------------
// The progress bar.

// Sized by the bytes sent and moved once the module has taken each write: it climbs to 100 with
// the last write, whatever the application block declares.
TEST_F(LoadSafetyTest, ProgressFollowsWhatTheModuleHasTaken) {
    for (const bool newMethod : {false, true}) {
        SCOPED_TRACE(newMethod ? "new loader" : "old loader");
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
        const std::string path = TempPath("object.vxo");
        Object(newMethod, 599).ApplicationLength(100).WriteTo(path);
        LoadOptionsFor(path, 1);
        EXPECT_EQ(RunLoad("answer Yes\n"), 1) << Transcript();  // the length question
        std::vector<int> positions;
        for (const std::string& line : TranscriptLines("progress ")) {
            positions.push_back(std::stoi(line.substr(9)));
        }
        ASSERT_GE(positions.size(), 6u);
        EXPECT_LT(positions.front(), 25);
        EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
        EXPECT_EQ(positions.back(), 100);
        ASSERT_TRUE(sim_->stop());
    }
    // A first write the module never takes moves the bar not at all.
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--fault", "fc=66,sub=0x20,do=noreply"}));
    linkSettings.timeoutMs = 50;
    const std::string path = TempPath("object.vxo");
    Object(true, 599).WriteTo(path);
    LoadOptionsFor(path, 1);
    EXPECT_EQ(RunLoad(), 0);
    for (const std::string& line : TranscriptLines("progress ")) {
        EXPECT_EQ(line, "progress 0");
    }
}

}  // namespace
