// Each compatibility question of a download, answered Yes and No, against the simulated module
// "KRT-2000 03Dec2020" with serial number 1234567.

#include <gtest/gtest.h>

#include <functional>

#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "loader_fixture.h"
#include "vxo_builder.h"

namespace {

using loader_test::MessageBoxLine;

struct QuestionCase {
    const char* name;
    int16_t channel;
    std::function<void(vxo::Builder&)> shape;
    const char* question;
};

const std::vector<uint16_t> kCode = vxo::CountingWords(20);

// The question for kCode closed by its CRC word and followed by one stray word.
std::string CorruptQuestion() {
    std::vector<uint16_t> payload = kCode;
    payload.push_back(vxo::CrcWordFor(kCode));
    payload.push_back(0x1234);
    char text[128];
    std::snprintf(text, sizeof text, "Object code is corrupted.\n\rChecksum = %04X\n\rLoad anyway?",
                  vxo::CrcWordFor(payload));
    return text;
}

std::vector<QuestionCase> Cases() {
    static const std::string corrupt = CorruptQuestion();
    return {
        {"MinFirmware", 1, [](vxo::Builder& b) { b.Text(kMinFirmwareBlock, "04Dec2020"); },
         "The firmware on this module does\n\rnot meet the minimum requirements for\n\rrevision\n\r"
         "\n\rCurrent Firmware: 03Dec2020\n\rSugested Firmware: 04Dec2020\n\r\n\rContinue?"},
        {"MaxFirmware", 1, [](vxo::Builder& b) { b.Text(kMaxFirmwareBlock, "02DEC2020"); },
         "The firmware on this module does\n\rnot meet the maximum requirements for\n\rrevision\n\r"
         "\n\rCurrent Firmware: 03Dec2020\n\rSugested Firmware: 02DEC2020\n\r\n\rContinue?"},
        {"MinSerial", 1, [](vxo::Builder& b) { b.Text(kMinSerialBlock, "2000000"); },
         "Your module is below the minimum serial\n\rnumber requirement.\n\r\n\rActual: 1234567\n\r"
         "Required: 2000000\n\r\n\rContinue?"},
        {"MaxSerial", 1, [](vxo::Builder& b) { b.Text(kMaxSerialBlock, "1000"); },
         "Your module is above the maximum serial\n\rnumber requirement.\n\r\n\rActual: 1234567\n\r"
         "Required: 1000\n\r\n\rContinue?"},
        {"ModuleMask", 1, [](vxo::Builder& b) { b.Text(kModuleMaskBlock, "krt"); },
         "You are attempting to load this application\n\rinto a unmatched module.\n\r\n\r"
         "Mask: krt\n\rModule: KRT-2000\n\r\n\rDo you wish to continue?"},
        {"PayloadLength", 1, [](vxo::Builder& b) { b.ApplicationLength(38); },
         "Object code is unexpected length.\n\rExpected 38 found 42 bytes.\n\rContinue? (Y/N)\n\r"},
        {"CorruptPayload", 1,
         [](vxo::Builder& b) {
             b.Trailing({0x34, 0x12});
         },
         corrupt.c_str()},
        {"SecondChannel", 2, [](vxo::Builder&) {},
         "Application 2 is selected\n\rbut not supported.\n\rContinue anyway?"},
    };
}

// Test names show the case, not its bytes.
void PrintTo(const QuestionCase& c, std::ostream* out) {
    *out << c.name;
}

class HeaderQuestionTest : public loader_test::SimulatorTest,
                           public ::testing::WithParamInterface<QuestionCase> {
  protected:
    int Load(const std::string& answer) {
        const std::string path = TempPath("question.vxo");
        vxo::Builder object;
        object.Text(kKrtVersionBlock, "2").Code(kCode);
        GetParam().shape(object);
        object.WriteTo(path);
        LoadOptionsFor(path, GetParam().channel);
        return RunLoad("answer " + answer + "\n");
    }

    void ExpectAsked(const std::string& answer) {
        const auto boxes = TranscriptLines("msgbox");
        ASSERT_EQ(boxes.size(), 1u) << Transcript();
        EXPECT_EQ(boxes[0], MessageBoxLine("File loader", GetParam().question, answer));
    }

    bool ModuleWasChanged() {
        for (const auto& request : Requests()) {
            const bool write0x42 = request.functionCode == 66 && request.field("sub") != 16 &&
                                   request.field("sub") != 112 && request.field("sub") != 48;
            if (write0x42 || request.functionCode == 6 || request.functionCode == 16 ||
                request.functionCode == 21) {
                return true;
            }
        }
        return false;
    }
};

TEST_P(HeaderQuestionTest, YesLoads) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    EXPECT_EQ(Load("Yes"), 1);
    ExpectAsked("Yes");
    EXPECT_EQ(Dump().channelFlash(GetParam().channel)[2], kCode[0]);
}

TEST_P(HeaderQuestionTest, NoLeavesTheModuleUntouched) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    EXPECT_EQ(Load("No"), 0);
    ExpectAsked("No");
    EXPECT_FALSE(ModuleWasChanged());
    EXPECT_EQ(Dump().channelFlash(GetParam().channel)[2], 0xFFFF);
}

INSTANTIATE_TEST_SUITE_P(Questions, HeaderQuestionTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

class ChannelQuestionTest : public loader_test::SimulatorTest {};

const char* const kWrongSpace =
    "You are attempting to load this application\n\rinto the wrong application space\n\r\n\r"
    "Application: %d\n\rSugested: %c\n\r\n\rDo you wish to change it to the sugested location?";

std::string WrongSpace(int channel, char digit) {
    char text[256];
    std::snprintf(text, sizeof text, kWrongSpace, channel, digit);
    return text;
}

TEST_F(ChannelQuestionTest, YesMovesTheLoadToTheFilesChannel) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("second.vxo");
    vxo::Builder()
        .Text(kKrtVersionBlock, "2")
        .Text(kApplicationNumberBlock, "2")
        .Code(kCode)
        .WriteTo(path);
    LoadOptionsFor(path, 1);
    EXPECT_EQ(RunLoad("answer Yes\nanswer Yes\n"), 1);
    EXPECT_EQ(loadOptions.channel, 2);
    const auto boxes = TranscriptLines("msgbox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], MessageBoxLine("File loader", WrongSpace(1, '2'), "Yes"));
    const auto dump = Dump();
    EXPECT_EQ(dump.channelFlash(2)[2], kCode[0]);
    EXPECT_EQ(dump.channelFlash(1)[2], 0xFFFF);
}

TEST_F(ChannelQuestionTest, NoKeepsTheChosenChannel) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("second.vxo");
    vxo::Builder()
        .Text(kKrtVersionBlock, "2")
        .Text(kApplicationNumberBlock, "1")
        .Code(kCode)
        .WriteTo(path);
    LoadOptionsFor(path, 10);  // F1: a file for channel 1 is always asked about
    EXPECT_EQ(RunLoad("answer No\nanswer Yes\n"), 1);
    EXPECT_EQ(loadOptions.channel, 10);
    EXPECT_EQ(TranscriptLines("msgbox")[0],
              MessageBoxLine("File loader", WrongSpace(10, '1'), "No"));
    EXPECT_EQ(Dump().channelFlash(10)[2], kCode[0]);
}

TEST_F(ChannelQuestionTest, ChannelsOtherThanOneAndTwoAreNeverOffered) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("third.vxo");
    vxo::Builder()
        .Text(kKrtVersionBlock, "2")
        .Text(kApplicationNumberBlock, "3")
        .Code(kCode)
        .WriteTo(path);
    LoadOptionsFor(path, 1);
    EXPECT_EQ(RunLoad(), 1);
    EXPECT_EQ(loadOptions.channel, 1);
    EXPECT_TRUE(TranscriptLines("msgbox").empty());
}

// The module holds "Pump 11Mar2022" in channel 1 after a first load whose payload starts with the
// application marker and that name.
class RevisionQuestionTest : public loader_test::SimulatorTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
        std::vector<uint16_t> code = {0x6014};
        const std::string name = "Pump 11Mar2022      ";
        for (size_t i = 0; i < 20; i += 2) {
            code.push_back(static_cast<uint16_t>(name[i] << 8 | name[i + 1]));
        }
        const std::string path = TempPath("installed.vxo");
        vxo::Builder().Text(kKrtVersionBlock, "2").Code(code).WriteTo(path);
        LoadOptionsFor(path, 1);
        ASSERT_EQ(RunLoad(), 1);
    }

    int LoadRevision(const std::string& revision, const std::string& script,
                     bool ignoreWarnings = false) {
        const std::string path = TempPath("update.vxo");
        vxo::Builder()
            .Text(kKrtVersionBlock, "2")
            .Text(kRevisionBlock, revision)
            .Code(kCode)
            .WriteTo(path);
        LoadOptionsFor(path, 1);
        loadOptions.ignoreWarnings = ignoreWarnings;
        return RunLoad(script);
    }
};

TEST_F(RevisionQuestionTest, OlderRevisionAsks) {
    EXPECT_EQ(LoadRevision("PUMP 10Mar2022  ", "answer No\n"), 0);
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "File loader",
                  "You are attempting to load this application\n\rthat is older than the current "
                  "loaded revision.\n\r\n\rLoading: 10Mar2022\n\rCurrent: 11Mar2022\n\r\n\r"
                  "Do you wish to continue?",
                  "No")});
    EXPECT_EQ(LoadRevision("Pump 10Mar2022", "answer Yes\n"), 1);
}

TEST_F(RevisionQuestionTest, OtherApplicationAsks) {
    EXPECT_EQ(LoadRevision("Valve 12Mar2022", "answer No\n"), 0);
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "File loader",
                  "You are attempting to load this application\n\rthat is different that the one "
                  "currently loaded\n\r\n\rCurrent: Pump\n\rLoading: Valve\n\r\n\r"
                  "Do you wish to continue?",
                  "No")});
}

TEST_F(RevisionQuestionTest, NewerRevisionLoadsWithoutAsking) {
    EXPECT_EQ(LoadRevision("Pump 12Mar2022", ""), 1);
    EXPECT_TRUE(TranscriptLines("msgbox").empty());
}

TEST_F(RevisionQuestionTest, IgnoredWarningsLoadWithoutAsking) {
    EXPECT_EQ(LoadRevision("Valve 01Jan2000", "", true), 1);
    EXPECT_TRUE(TranscriptLines("msgbox").empty());
}

}  // namespace
