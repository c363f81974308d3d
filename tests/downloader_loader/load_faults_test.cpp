// A download meeting time-outs, exception replies, Cancel and device removal on the way: one
// attempt counter for the whole load, the failing step's own error text, nothing stored after
// the step that failed.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "downloader/connection.h"
#include "downloader/loader_ui.h"
#include "downloader/message_pump.h"
#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "loader_fixture.h"
#include "modbus/modbus.h"
#include "platform/ui.h"
#include "vxo_builder.h"

namespace {

namespace ui = platform::ui;
using loader_test::MessageBoxLine;

class LoadFaultTest : public loader_test::SimulatorTest {
  protected:
    void Prepare(std::vector<std::string> faults, krtsim::Framing framing = krtsim::Framing::Tcp) {
        std::vector<std::string> options;
        for (const std::string& fault : faults) {
            options.push_back("--fault");
            options.push_back(fault);
        }
        ASSERT_TRUE(StartModule(framing, options));
        const std::string path = TempPath("object.vxo");
        object_ = vxo::Builder();
        object_.Text(kKrtVersionBlock, "2").Code(vxo::CountingWords(150));
        object_.WriteTo(path);
        LoadOptionsFor(path, 1);
    }

    // Block writes as the module logged them: (address, count, result).
    std::vector<std::string> BlockWrites() {
        std::vector<std::string> writes;
        for (const auto& request : Requests()) {
            if (request.functionCode == 66 && request.field("sub") == 32) {
                writes.push_back(std::to_string(request.field("addr")) + "/" +
                                 std::to_string(request.field("count")) + " " +
                                 request.fields.at("result"));
            }
        }
        return writes;
    }

    vxo::Builder object_;
};

TEST_F(LoadFaultTest, ExceptionOnEveryAttemptEndsTheLoadWithItsText) {
    for (const auto dialog : loader_test::kBothDialogs) {
        SCOPED_TRACE(loader_test::DialogName(dialog));
        Prepare({"fc=66,sub=0x20,do=exception,code=2"});
        EXPECT_EQ(RunLoad("", false, dialog), 0);
        // The failure says what the load left: the channel was erased before the first write.
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "VEXIM Error",
                      "Illegal Data Address\n\nApplication space 1 is erased and its program is "
                      "stopped.",
                      "OK")});
        EXPECT_EQ(BlockWrites(), (std::vector<std::string>{"4/99 exception:2", "4/99 exception:2",
                                                           "4/99 exception:2"}));
        EXPECT_EQ(Dump().channelFlash(1)[0], 0xFFFF);  // no length stored
        EXPECT_EQ(historyAdds_, 0);
        ASSERT_TRUE(sim_->stop());
    }
}

// The stop's reply cannot be read (so the stop may have been taken), and nor can the start's that
// follows the failure.
TEST_F(LoadFaultTest, InvalidResponseShowsItsOwnText) {
    Prepare({"fc=6,do=badecho"});
    EXPECT_EQ(RunLoad(), 0);
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "VEXIM Error",
                  "Invalid Response\n\nNothing was erased or written in application space 1; "
                  "its program may be stopped and could not be started again (Invalid Response).",
                  "OK")});
    EXPECT_EQ(historyAdds_, 0);
}

TEST_F(LoadFaultTest, TimeOutsWithinTheCounterAreRetried) {
    Prepare({"fc=66,sub=0x20,do=noreply,times=2"});
    EXPECT_EQ(RunLoad(), 1) << Transcript();
    EXPECT_TRUE(TranscriptLines("msgbox").empty());
    const std::vector<uint16_t> flash = Dump().channelFlash(1);
    EXPECT_EQ(flash[1], 152);
    const std::vector<uint16_t> payload = object_.PayloadWords();
    EXPECT_EQ(std::vector<uint16_t>(flash.begin() + 2, flash.begin() + 153), payload);
}

TEST_F(LoadFaultTest, FailuresOfEarlierStepsCountAgainstLaterOnes) {
    // One time-out at the base read and two refusals of the first block write use up the three
    // attempts of the load, though no step failed three times.
    Prepare({"fc=66,sub=0x70,do=noreply,times=1", "fc=66,sub=0x20,do=exception,code=4,times=2"});
    EXPECT_EQ(RunLoad(), 0);
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "VEXIM Error",
                  "Slave Device Failure\n\nApplication space 1 is erased and its program is "
                  "stopped.",
                  "OK")});
    EXPECT_EQ(BlockWrites(), (std::vector<std::string>{"4/99 exception:4", "4/99 exception:4"}));
}

TEST_F(LoadFaultTest, TimeOutOnEveryAttemptShowsTheTimeOut) {
    Prepare({"fc=66,sub=0x20,do=noreply"});
    linkSettings.timeoutMs = 100;
    EXPECT_EQ(RunLoad(), 0);
    // Unanswered, the writes may have been carried out.
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "VEXIM Error",
                  "Modbus Timed Out\n\nApplication space 1 is partly written and its program is "
                  "stopped.",
                  "OK")});
    EXPECT_EQ(BlockWrites().size(), 3u);
}

TEST_F(LoadFaultTest, CancelStopsBeforeTheNextChunkAndSaysWhatIsLeft) {
    for (const auto dialog : loader_test::kBothDialogs) {
        SCOPED_TRACE(loader_test::DialogName(dialog));
        Prepare({});
        // Eight steps, the three readings of the halt wait and the two pauses between them pump
        // before the transfer; Cancel comes with the pump after the first chunk.
        std::string script;
        for (int pump = 0; pump < 13; ++pump) {
            script += "pump\n";
        }
        script += "pump command 2\n";
        EXPECT_EQ(RunLoad(script, false, dialog), 0);
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "VEXIM Error",
                      "Download cancelled: application space 1 is partly written and its "
                      "program is stopped.",
                      "OK")})
            << Transcript();
        EXPECT_EQ(BlockWrites(), std::vector<std::string>{"4/99 ok"});
        const std::vector<uint16_t> flash = Dump().channelFlash(1);
        EXPECT_EQ(flash[0], 0xFFFF);  // neither length, CRC word nor digest
        EXPECT_EQ(flash[2 + 99], 0xFFFF);
        ASSERT_TRUE(sim_->stop());
    }
}

// A program that never confirms its halt keeps its flash unless the user says otherwise: No (the
// default) ends the load and starts the program again; Yes goes on under the running program.
TEST_F(LoadFaultTest, HaltThatNeverComesIsAskedAbout) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--status-stuck", "1"}));
    const std::string path = TempPath("object.vxo");
    vxo::Builder().Text(kKrtVersionBlock, "2").Code(vxo::CountingWords(5)).WriteTo(path);
    LoadOptionsFor(path, 1);
    const std::string question =
        "Can't halt channel 1: its program is still running.\n\r\n\r"
        "Erase application space 1 under the running program?";

    EXPECT_EQ(RunLoad(), 0);
    EXPECT_EQ(TranscriptLines("msgbox"),
              (std::vector<std::string>{
                  MessageBoxLine("File loader", question, "No"),
                  MessageBoxLine("VEXIM Error",
                                 "Nothing was erased or written in application space 1; its "
                                 "program was started again.",
                                 "OK")}));
    EXPECT_EQ(Dump().channelFlash(1)[1], 0xFFFF);
    EXPECT_EQ(Dump().holding(32), 0xFFFF);

    EXPECT_EQ(RunLoad("answer Yes\n"), 1);
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine("File loader", question, "Yes")});
    EXPECT_EQ(Dump().channelFlash(1)[1], 7);  // 5 code words, the object's CRC word, the CRC word
}

TEST_F(LoadFaultTest, RemovalOfAnotherDeviceDoesNotStopTheLoad) {
    Prepare({}, krtsim::Framing::Rtu);
    EXPECT_EQ(RunLoad("pump\npump device remove\n"), 1) << Transcript();
    EXPECT_TRUE(TranscriptLines("msgbox").empty());
    EXPECT_EQ(Dump().channelFlash(1)[1], 152);
}

// The open port's device goes away: the job ends and the program is asked to end too, also when
// Cancel had already closed the job (both seen in the same pump).
TEST_F(LoadFaultTest, RemovalOfTheOpenPortsDeviceEndsTheJobAndTheProgram) {
    for (const bool cancelled : {false, true}) {
        SCOPED_TRACE(cancelled ? "after Cancel" : "while loading");
        ASSERT_TRUE(StartModule(krtsim::Framing::Rtu));
        ASSERT_TRUE(WithScript("", [] { return OpenSerialConnection(); }));
        ASSERT_TRUE(sim_->stop());  // the pty goes away under the open port
        for (int wait = 0; wait < 300 && CurrentConnection->IsOpen(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_FALSE(CurrentConnection->IsOpen());
        ConnectionClosed = cancelled;
        bool programEnds = false;
        WithScript("pump device remove\n", [&] {
            return ui::RunDialog(102, nullptr, [&](ui::Window self, const ui::Message& message) {
                if (message.kind == ui::MessageKind::Init) {
                    mainDialogWindow = self;
                    PumpMessages();
                    return true;
                }
                if (message.kind == ui::MessageKind::User && message.message == UM_PORT_REMOVED) {
                    programEnds = true;
                    ui::EndDialog(self, 0);
                    return true;
                }
                return false;
            });
        });
        mainDialogWindow = nullptr;
        EXPECT_TRUE(ConnectionClosed);
        EXPECT_EQ(CurrentConnection, nullptr);
        EXPECT_TRUE(programEnds);
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "TV&Q VEXIM", "Serial Port Hardware Problem\nProgram will exit.", "OK")});
    }
}

TEST_F(LoadFaultTest, RemovalWhileTheTcpLinkIsOpenIsNoConcernOfTheJob) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    ASSERT_TRUE(WithScript("", [] { return OpenTcpConnection(); }));
    ConnectionClosed = false;
    InDialog("pump device remove\n", [] { PumpMessages(); });
    EXPECT_FALSE(ConnectionClosed);
    EXPECT_TRUE(TranscriptLines("msgbox").empty());
}

}  // namespace
