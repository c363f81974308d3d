// The command line from start to exit: each line's exit code, the messages it shows and the
// settings it leaves, against saved settings that differ from every default.

#include "downloader/main/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "downloader/dialogs/dialog_tables.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/settings.h"
#include "downloader/system_profile.h"
#include "vexim_fixture.h"

namespace ui = platform::ui;

namespace {

using vexim_test::MessageBoxLine;

struct Case {
    std::string line;
    int exitCode;
    std::vector<std::string> messages;  // every message box, in order
    std::function<void()> check = [] {};
};

std::string Error(const std::string& text) {
    return MessageBoxLine("VEXIM Error", text);
}

// What each number of the line takes, as its refusal says it.
const std::string kDrop = "The Modbus drop must be a whole number from 0 to 255.";
const std::string kTcpPort = "The TCP port must be a whole number from 0 to 65535.";
const std::string kRetries = "The retry count (-C) must be a whole number from 0 to 2147483647.";
const std::string kRun =
    "The run control register (-R) must be a whole number from 0 to 2048 (0: the module's own).";
const std::string kStatus =
    "The status register (-S) must be a whole number from 0 to 2080 (0: the module's own).";
const std::string kTimeout =
    "The time-out (-T) must be a whole number of tenths of a second, at most 21474836.";

std::string OutOfRange(const std::string& typed, const std::string& setting) {
    return "Parameter out of range: " + typed + "\n" + setting;
}
std::string NotANumber(const std::string& typed, const std::string& setting) {
    return "Parameter is not a whole number: " + typed + "\n" + setting;
}
// The box of a file that opens neither as given nor with ".vxo" added: it names both.
std::string CantOpen(const std::string& given) {
    return MessageBoxLine("Can't open file", given + "\nnor " + given + ".vxo");
}

class VeximCommandLineTest : public vexim_test::VeximTest {
  protected:
    void SetUp() override {
        VeximTest::SetUp();
        // Saved: Modbus/TCP to 10.1.1.1:1502, drop 9, channel 2, port COM2:.
        SaveStartSettings([] {
            linkSettings.connectMode = kConnectTcp;
            linkSettings.host = "10.1.1.1";
            linkSettings.tcpPort = 1502;
            linkSettings.drop = 9;
            linkSettings.portName = "COM2:";
            loadOptions.channel = 2;
        });
    }

    void RunCases(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE("command line: " + c.line);
            EXPECT_EQ(RunVexim(c.line), c.exitCode) << Transcript();
            EXPECT_EQ(TranscriptLines("msgbox"), c.messages);
            c.check();
        }
    }
};

TEST_F(VeximCommandLineTest, EdgeCasesOfTheGrammar) {
    RunCases({
        {"",
         16,
         {},
         [] {
             EXPECT_EQ(loadOptions.channel, 2);
             EXPECT_EQ(linkSettings.drop, 9);
             EXPECT_EQ(loadOptions.unattended, 0);
         }},
        {"1 prog COM1:",
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(loadOptions.channel, 1);
             EXPECT_EQ(linkSettings.portName, "COM1:");
             EXPECT_EQ(linkSettings.connectMode, kConnectSerial);
             EXPECT_EQ(linkSettings.drop, 9);
             EXPECT_EQ(linkSettings.baudIndex, 13);
         }},
        {"F2 prog 10.0.0.5:503 7 -B",
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(loadOptions.channel, 11);
             EXPECT_EQ(linkSettings.host, "10.0.0.5");
             EXPECT_EQ(linkSettings.tcpPort, 503u);
             EXPECT_EQ(linkSettings.drop, 7);
             EXPECT_EQ(linkSettings.connectMode, kConnectTcp);
             EXPECT_EQ(linkSettings.ascii, 1);
         }},
        // Unattended, the -M conflict ends the program like every other refusal: a dialog would
        // wait for a user that a batch does not have.
        {"1 prog COM3:19200,O,7,1 -M9600,N,8,1",
         1,
         {Error("When using -M, don't provide setup information after COM3:")}},
        // Taken for the channel, "prog" gives none: a download without its channel is refused,
        // naming what was typed.
        {"prog", 1, {Error("Invalid channel prog. Must be 1..2. or F1..F2")}},
        {"1 a b 7 d", 1, {Error("Too many parameters: d")}},
        {"-x", 1, {Error("Unrecognized switch: \"-x\"\n")}},
        {"-T3", 16, {}, [] { EXPECT_EQ(linkSettings.timeoutMs, 500); }},
        {"/t30", 16, {}, [] { EXPECT_EQ(linkSettings.timeoutMs, 3000); }},
        {"-T-4", 16, {}, [] { EXPECT_EQ(linkSettings.timeoutMs, 500); }},
        {"-M4800,X,8,1", 16, {Error("Invalid parity in port settings: \"4800,X,8,1\" ")}},
        {"-M1000,E,8,1", 16, {Error("Invalid baud rate in port settings: \"1000,E,8,1\" ")}},
        {"-M9600", 16, {Error("Bad port settings: \"9600\" (1)\n")}},
        {"-Fprog",
         16,
         {},
         [] {
             EXPECT_EQ(loadOptions.fileName, "prog");
             EXPECT_EQ(loadOptions.channel, 2);
             EXPECT_EQ(loadOptions.unattended, 0);
         }},
        {"-Fprog -B",
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(linkSettings.ascii, 1);
             EXPECT_EQ(loadOptions.channel, 2);
             EXPECT_EQ(linkSettings.drop, 9);
         }},
        {"1 \"C:\\My Files\\prog.vxo\" COM2: 4",
         2,
         {CantOpen("C:\\My Files\\prog.vxo")},
         [] {
             EXPECT_EQ(linkSettings.portName, "COM2:");
             EXPECT_EQ(linkSettings.drop, 4);
         }},
        {"1 prog COM1: -A -E -W -R40 -S50 -C4",
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(loadOptions.autoStart, 1);
             EXPECT_EQ(loadOptions.loadProgram, 0);
             EXPECT_EQ(loadOptions.eraseFlash, 1);
             EXPECT_EQ(loadOptions.forceFlash, 1);
             EXPECT_EQ(loadOptions.runRegister, 40);
             EXPECT_EQ(loadOptions.statusRegister, 50);
             EXPECT_EQ(linkSettings.retries, 4);
         }},
    });
}

// An error box carries the stop sign, whatever refused the line.
TEST_F(VeximCommandLineTest, ErrorBoxesCarryTheStopSign) {
    for (const char* line : {"-x", "1 prog COM1: l", "1 prog COM1:"}) {
        SCOPED_TRACE(line);
        RunVexim(line);
        const std::string transcript = Transcript();
        const size_t box = transcript.find("msgbox ");
        ASSERT_NE(box, std::string::npos) << transcript;
        const std::string boxLine = transcript.substr(box, transcript.find('\n', box) - box);
        EXPECT_NE(boxLine.find(" icon stop"), std::string::npos) << boxLine;
    }
}

TEST_F(VeximCommandLineTest, HelpShowsTheUsageDialogAndEndsWithOne) {
    EXPECT_EQ(RunVexim("-?"), 1);
    EXPECT_EQ(TranscriptLines("open"), std::vector<std::string>{"open 105 \"VEXIM Help\""});
    EXPECT_EQ(RunVexim("1 prog COM1: /h"), 1);
    EXPECT_EQ(TranscriptLines("open"), std::vector<std::string>{"open 105 \"VEXIM Help\""});
}

// The usage dialog lists every switch the grammar takes, each with what it does: a switch the
// parser knows and the help leaves out is found here.
TEST_F(VeximCommandLineTest, UsageListsEverySwitchTheGrammarTakes) {
    std::vector<std::string> lines;
    for (const ui::DialogSpec& dialog : VeximDialogSpecs()) {
        if (dialog.id != IDD_USAGE)
            continue;
        for (const ui::ControlSpec& control : dialog.controls)
            lines.push_back(control.text);
    }
    ASSERT_FALSE(lines.empty());
    const auto documented = [&lines](char letter) {
        const std::string dash = std::string("-") + letter;
        return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            // "-X<arg> what it does", or a second spelling: "-? or -H  ...".
            return line.rfind(dash, 0) == 0 || line.find(" or " + dash + " ") != std::string::npos;
        });
    };
    std::string letters = "?";
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        letters += letter;
    int known = 0;
    for (const char letter : letters) {
        StartUi("");
        linkSettings = LinkSettings{};
        loadOptions = LoadOptions{};
        ParseSwitch(std::string("-") + letter + "1");
        if (Transcript().find("Unrecognized switch") != std::string::npos)
            continue;
        ++known;
        EXPECT_TRUE(documented(letter)) << "-" << letter << " is not in the usage dialog";
    }
    EXPECT_GE(known, 15);  // ? and H, A, B, C, E, F, M, N, P, R, S, T, U, W
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("Reconnect"), std::string::npos) << line;
}

// Arguments longer than their fields, and numbers outside their range, are refused whole.
TEST_F(VeximCommandLineTest, OversizedArgumentsAreRefused) {
    const std::string name259(259, 'a');
    const std::string name260(260, 'a');
    const std::string port81(81, 'p');
    const std::string mode41 = "9600,E,8,1" + std::string(31, ' ');
    RunCases({
        {"1 " + name260 + " COM1:", 1, {Error("Parameter too long: " + name260)}},
        {"1 " + name259 + " COM1:", 2, {CantOpen(name259)}},
        {"1 prog " + port81, 1, {Error("Parameter too long: " + port81)}},
        {"-F" + name260, 1, {Error("Parameter too long: -F" + name260)}},
        {"-P" + name260, 1, {Error("Parameter too long: -P" + name260)}},
        {"-U" + name260, 1, {Error("Parameter too long: -U" + name260)}},
        {"\"-M" + mode41 + "\"", 1, {Error("Parameter too long: -M" + mode41)}},
        {"-T21474837", 1, {Error(OutOfRange("-T21474837", kTimeout))}},
        {"-T21474836", 16, {}, [] { EXPECT_EQ(linkSettings.timeoutMs, 2147483600); }},
        {"-R65536", 1, {Error(OutOfRange("-R65536", kRun))}},
        {"-S-1", 1, {Error(OutOfRange("-S-1", kStatus))}},
        {"-C99999999999999999999", 1, {Error(OutOfRange("-C99999999999999999999", kRetries))}},
        {"1 prog COM1: 256", 1, {Error(OutOfRange("256", kDrop))}},
        {"1 prog 10.0.0.5:65536", 1, {Error(OutOfRange("10.0.0.5:65536", kTcpPort))}},
        {"F99999 prog COM1:", 1, {Error("Invalid channel F99999. Must be 1..2. or F1..F2")}},
    });
}

// Numbers are taken only whole and in the range their setting can use, and each refusal names
// what was typed and the setting it was for; registers beyond the module's are refused before
// anything connects. Their neighbours, the smallest and largest usable values, are taken.
TEST_F(VeximCommandLineTest, NumbersAreTakenWholeAndRefusalsNameTheirSetting) {
    RunCases({
        {"1 prog COM1: l", 1, {Error(NotANumber("l", kDrop))}},
        {"1 prog COM1: abc", 1, {Error(NotANumber("abc", kDrop))}},
        {"1 prog COM1: 7x", 1, {Error(NotANumber("7x", kDrop))}},
        {"1 prog COM1: 0", 2, {CantOpen("prog")}, [] { EXPECT_EQ(linkSettings.drop, 0); }},
        {"1 prog COM1: 255", 2, {CantOpen("prog")}, [] { EXPECT_EQ(linkSettings.drop, 255); }},
        {"F3 prog COM1:", 1, {Error("Invalid channel F3. Must be 1..2. or F1..F2")}},
        {"f1 prog COM1:", 2, {CantOpen("prog")}, [] { EXPECT_EQ(loadOptions.channel, 10); }},
        {"1 prog COM1: -R2049", 1, {Error(OutOfRange("-R2049", kRun))}},
        {"1 prog COM1: -S2081", 1, {Error(OutOfRange("-S2081", kStatus))}},
        {"1 prog COM1: -R2048 -S2080",
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(loadOptions.runRegister, 2048);
             EXPECT_EQ(loadOptions.statusRegister, 2080);
         }},
        {"1 prog COM1: -R0 -S0",
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(loadOptions.runRegister, 0);
             EXPECT_EQ(loadOptions.statusRegister, 0);
         }},
    });
}

// A COM port of any number, with its ":", is a serial port; what follows the ":" is its mode.
// The mode takes the data bits and stop bits the port can use.
TEST_F(VeximCommandLineTest, ComPortsOfAnyNumberAreSerialWithTheirMode) {
    const auto serial = [](const std::string& port, int32_t baudIndex, int32_t parity,
                           int32_t dataBits) {
        return [=] {
            EXPECT_EQ(linkSettings.connectMode, kConnectSerial);
            EXPECT_EQ(linkSettings.portName, port);
            EXPECT_EQ(linkSettings.baudIndex, baudIndex);
            EXPECT_EQ(linkSettings.parity, parity);
            EXPECT_EQ(linkSettings.dataBits, dataBits);
        };
    };
    RunCases({
        {"1 prog COM10:", 2, {CantOpen("prog")}, serial("COM10:", 13, 1, 8)},
        {"1 prog com12:19200,E,8,1", 2, {CantOpen("prog")}, serial("COM12:", 15, 1, 8)},
        {"1 prog COM255:9600,o,7,1", 2, {CantOpen("prog")}, serial("COM255:", 13, 2, 7)},
        {"1 prog COM1:", 2, {CantOpen("prog")}, serial("COM1:", 13, 1, 8)},
        {"1 prog COM3:38400,N,8,1", 2, {CantOpen("prog")}, serial("COM3:", 16, 0, 8)},
        {"1 prog COM10: -M57600,N,8,1", 2, {CantOpen("prog")}, serial("COM10:", 17, 0, 8)},
        {"1 prog COM12:19200,E,8,1 -M9600,N,8,1",
         1,
         {Error("When using -M, don't provide setup information after COM12:")}},
        {"1 prog COM12:19200,E,9,1",
         1,
         {Error("Invalid data bits in port settings: \"19200,E,9,1\" (7 or 8)")}},
        {"1 prog COM2:19200,E,5,1",
         1,
         {Error("Invalid data bits in port settings: \"19200,E,5,1\" (7 or 8)")}},
        {"1 prog COM2:19200,E,8,2",
         1,
         {Error("Invalid stop bits in port settings: \"19200,E,8,2\" (the port sends 1)")}},
        {"1 prog COM2: -M9600,N,8,2",
         1,
         {Error("Invalid stop bits in port settings: \"9600,N,8,2\" (the port sends 1)")}},
        // Without the ":" and its number a name stays a host, as before.
        {"1 prog COMPUTER:503",
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(linkSettings.connectMode, kConnectTcp);
             EXPECT_EQ(linkSettings.host, "COMPUTER");
             EXPECT_EQ(linkSettings.tcpPort, 503u);
         }},
    });
}

// An unattended line that cannot be carried out ends with 1 before anything connects, as every
// other refusal does; none of them opens the dialog, which would wait for a user a batch does
// not have.
TEST_F(VeximCommandLineTest, UnattendedLinesThatCannotRunEndWithOne) {
    RunCases({
        {"1 prog COM1: -M4800,X,8,1",
         1,
         {Error("Invalid parity in port settings: \"4800,X,8,1\" ")}},
        {"1 prog COM1: -M1000,E,8,1",
         1,
         {Error("Invalid baud rate in port settings: \"1000,E,8,1\" ")}},
        {"1 prog COM1: -M9600", 1, {Error("Bad port settings: \"9600\" (1)\n")}},
        {"1 prog COM2:4800,X,8,1", 1, {Error("Invalid parity in port settings: \"4800,X,8,1\" ")}},
        {"3 prog COM1:", 1, {Error("Invalid channel 3. Must be 1..2. or F1..F2")}},
        {"F3 prog 10.0.0.5", 1, {Error("Invalid channel F3. Must be 1..2. or F1..F2")}},
        {"prog COM1:", 1, {Error("Invalid channel prog. Must be 1..2. or F1..F2")}},
        {"1 prog COM1: -C", 1, {Error(NotANumber("-C", kRetries))}},
        {"1 prog COM1: -T5s", 1, {Error(NotANumber("-T5s", kTimeout))}},
        {"1 prog COM1: -R", 1, {Error(NotANumber("-R", kRun))}},
        {"1 prog COM1: -S12x", 1, {Error(NotANumber("-S12x", kStatus))}},
        {"-C3x", 1, {Error(NotANumber("-C3x", kRetries))}},
    });
    for (const char* line : {"1 prog COM1: -M4800,X,8,1", "3 prog COM1:", "prog COM1:"}) {
        RunVexim(line);
        EXPECT_TRUE(TranscriptLines("open 102").empty()) << line;
    }
}

// Without a channel, port or file the line is interactive: a refused port mode is shown and the
// dialog opens as before.
TEST_F(VeximCommandLineTest, InteractiveLinesKeepTheDialog) {
    RunCases({
        {"-M4800,X,8,1", 16, {Error("Invalid parity in port settings: \"4800,X,8,1\" ")}},
        {"-T30 -A", 16, {}, [] { EXPECT_EQ(linkSettings.timeoutMs, 3000); }},
    });
}

// Every command line clears Retries and ASCII; an unattended run saves only what its own line
// set, so the settings of interactive use survive it.
TEST_F(VeximCommandLineTest, UnattendedRunSavesOnlyWhatItsLineSet) {
    SaveStartSettings([] {
        linkSettings.connectMode = kConnectTcp;
        linkSettings.host = "10.1.1.1";
        linkSettings.tcpPort = 1502;
        linkSettings.drop = 9;
        linkSettings.retries = 7;
        linkSettings.ascii = 1;
        linkSettings.timeoutMs = 8000;
        linkSettings.baudIndex = 17;
        loadOptions.channel = 2;
        loadOptions.autoStart = 0;
        loadOptions.runRegister = 40;
    });
    const std::string file = WriteSampleObject("sample.vxo");
    // Nothing listens on this port of the loopback: the settings are saved, the load fails.
    const uint16_t refusing = RefusingPort();
    const std::string address = "127.0.0.1:" + std::to_string(refusing);
    struct Saved {
        std::string line;
        std::function<void()> check;
    };
    const Saved cases[] = {
        {"1 " + file + " " + address + " 4",
         [&] {
             EXPECT_EQ(loadOptions.channel, 1);
             EXPECT_EQ(loadOptions.fileName, file);
             EXPECT_EQ(linkSettings.host, "127.0.0.1");
             EXPECT_EQ(linkSettings.tcpPort, refusing);
             EXPECT_EQ(linkSettings.drop, 4);
             EXPECT_EQ(linkSettings.retries, 7);
             EXPECT_EQ(linkSettings.ascii, 1);
             EXPECT_EQ(linkSettings.timeoutMs, 8000);
             EXPECT_EQ(loadOptions.autoStart, 0);
         }},
        {"2 " + file + " " + address + " -C2 -A -T60 -R41",
         [&] {
             EXPECT_EQ(loadOptions.channel, 2);
             EXPECT_EQ(linkSettings.retries, 2);
             EXPECT_EQ(linkSettings.ascii, 1);
             EXPECT_EQ(linkSettings.timeoutMs, 6000);
             EXPECT_EQ(loadOptions.autoStart, 1);
             EXPECT_EQ(loadOptions.runRegister, 41);
             EXPECT_EQ(linkSettings.baudIndex, 17);
         }},
    };
    for (const Saved& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(RunVexim(c.line), 2) << Transcript();
        linkSettings = LinkSettings{};
        loadOptions = LoadOptions{};
        ASSERT_EQ(RestoreSettings(), 1);
        c.check();
    }
}

TEST_F(VeximCommandLineTest, WithoutAPortTheSavedLinkIsUsed) {
    RunCases({
        {"1 prog",
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(linkSettings.connectMode, kConnectTcp);
             EXPECT_EQ(linkSettings.host, "10.1.1.1");
             EXPECT_EQ(linkSettings.tcpPort, 1502u);
             EXPECT_EQ(linkSettings.drop, 9);
         }},
        // -F reads the saved settings again; with no port named they keep their TCP link.
        {"-Fprog -B",
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(linkSettings.connectMode, kConnectTcp);
             EXPECT_EQ(linkSettings.host, "10.1.1.1");
             EXPECT_EQ(linkSettings.tcpPort, 1502u);
             EXPECT_EQ(linkSettings.portName, "COM2:");
         }},
        {"-Fprog",
         16,
         {},
         [] {
             EXPECT_EQ(linkSettings.connectMode, kConnectTcp);
             EXPECT_EQ(linkSettings.host, "10.1.1.1");
         }},
        {"1 other COM1: -Fprog -B",  // the port named before -F went with the restore
         2,
         {CantOpen("prog")},
         [] {
             EXPECT_EQ(linkSettings.connectMode, kConnectTcp);
             EXPECT_EQ(linkSettings.host, "10.1.1.1");
         }},
    });
}

TEST_F(VeximCommandLineTest, UnreadableProfileEndsAnUnattendedRunWithOne) {
    SystemProfile nameless;  // a readable profile that names no file
    nameless.channel = 1;
    ASSERT_TRUE(WriteProfileFile("nameless.vxf", nameless));
    RunCases({
        {"-Unameless.vxf", 1, {Error("No file to download")}},
        {"-Umissing.vxf", 1, {Error("Can't read profile missing.vxf\nThe file cannot be opened.")}},
        // Interactive: the dialog opens without the named settings, and says so.
        {"-Pmissing.vxf",
         16,
         {Error("Can't read profile missing.vxf\nThe file cannot be opened.")}},
        {"-Pnameless.vxf", 16, {}},
    });
}

TEST_F(VeximCommandLineTest, RefusedLineLeavesTheLogWithoutItsClosingLine) {
    EXPECT_EQ(RunVexim("-x"), 1);
    EXPECT_EQ(LogText().find("Closing log file"), std::string::npos);
    EXPECT_EQ(RunVexim(""), 16);
    const std::string log = LogText();
    ASSERT_GE(log.size(), 17u);
    EXPECT_EQ(log.substr(log.size() - 17), "Closing log file\n");
}

}  // namespace
