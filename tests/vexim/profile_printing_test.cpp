// The printed profile: the page's lines and where they stand, and a print through the dialog.

#include "downloader/dialogs/profile_printing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "downloader/settings.h"
#include "vexim_fixture.h"

namespace ui = platform::ui;

namespace {

constexpr int kW = 10, kH = 20, kPage = 2000;

SystemProfile SerialProfile() {
    SystemProfile r;
    r.fileName = "C:\\prog.vxo";
    r.connectMode = 0;
    r.portName = "COM1:";
    r.baudText = "9600";
    r.parityText = "Even";
    r.ascii = 1;
    r.dataBits = 8;
    r.stopBits = 1;
    r.drop = 255;
    r.channel = 1;
    r.statusRegister = 0;
    r.runRegister = 33;
    r.autoStart = 1;
    r.loadProgram = 1;
    r.eraseFlash = 0;
    r.retries = 3;
    r.timeoutMs = 5000;
    r.forceFlash = 2;  // anything but 1 prints "NO"
    return r;
}

ReportContext Context(ModuleJob module) {
    ReportContext context;
    context.metrics = {kW, kH, kPage};
    context.printedAt = "12/09/26 23:59:01";
    context.profileName = "site.vxf";
    context.module = module;
    context.moduleName = "KRT-2000 03Dec2020";
    context.config[kSerialPort1Word] = 0x9105;  // no parity, 57600, drop 5
    context.config[kSerialPort2Word] = 0x0F20;  // even, 19200, drop 32
    context.config[kEthernetDropWord] = 0x0102;
    const uint16_t ip[12] = {10, 0, 0, 5, 255, 255, 0, 0, 10, 0, 0, 1};
    for (int i = 0; i < 4; ++i) {
        context.config[kIpAddressWord + i] = ip[i];
        context.config[kSubnetMaskWord + i] = ip[4 + i];
        context.config[kGatewayWord + i] = ip[8 + i];
    }
    context.config[kTcpPortWord] = 502;
    return context;
}

std::vector<std::string> Texts(const std::vector<PrintedLine>& lines) {
    std::vector<std::string> texts;
    for (const auto& line : lines)
        texts.push_back(line.text);
    return texts;
}

TEST(VeximProfileReportTest, SerialProfileWithTheModuleRead) {
    const auto lines = ProfileReportLines(SerialProfile(), Context(ModuleJob::kDone));
    const std::vector<std::string> expected = {
        "Printed 12/09/26 23:59:01",
        "KRT-2000 03Dec2020",
        "---- VEXIM Profile ----",
        "--- File Settings ---",
        "Profile: site.vxf",
        "Filename: C:\\prog.vxo",
        "--- Connection Settings ---",
        "Connection mode: Serial",
        "COM1:: 9600,Even,8,1 ASCII  drop 255",
        "Application space: 1",
        "--- Port 1 Configuation ---",
        "Baud Rate: 57600",
        "Parity: None",
        "Drop: 5",
        "--- Port 2 Configuation ---",
        "Baud Rate: 19200",
        "Parity: Even",
        "Drop: 32",
        "--- Ethernet Port Configuation ---",
        "IP: 10.0.0.5",
        "Subnet: 255.255.0.0",
        "Gateway: 10.0.0.1",
        "Port: 502",
        "Drop: 258",
        "--- Advanced Configuation ---",
        "Maximum retries: 3",
        "Communication timeout: 5000",
        "Status Register: 0",
        "Run Pointer: 33",
        "Force Write to Flash: NO",
        "Auto Start: Yes",
        "Load Program: Yes",
        "Erase Flash: NO",
    };
    EXPECT_EQ(Texts(lines), expected);

    // Placement: left margin 10 w from y = 5 h; the module name right-aligned on the first
    // line; the title centred two lines below it; blank lines where the report leaves them.
    ASSERT_EQ(lines.size(), expected.size());
    EXPECT_EQ(lines[0].x, 10 * kW);
    EXPECT_EQ(lines[0].y, 5 * kH);
    EXPECT_EQ(lines[1].x, kPage - 10 * kW - 18 * kW);
    EXPECT_EQ(lines[1].y, 5 * kH);
    EXPECT_EQ(lines[2].x, (kPage - 23 * kW) / 2);
    EXPECT_EQ(lines[2].y, 8 * kH);
    EXPECT_EQ(lines[3].y, 10 * kH);
    EXPECT_EQ(lines[6].y, 14 * kH);  // after "Filename:" comes a blank line
    EXPECT_EQ(lines.back().y, lines[lines.size() - 2].y + kH);
}

// Each port prints the rate it runs at, as the configuration dialog shows it.
TEST(VeximProfileReportTest, PortsPrintTheRateTheyRunAt) {
    const struct {
        uint16_t word;
        const char* printed;
    } cases[] = {{0x0705, "Baud Rate: 1200"},       {0x8D05, "Baud Rate: 9600"},
                 {0x1005, "Baud Rate: 38400"},      {0x1105, "Baud Rate: 57600"},
                 {0x9105, "Baud Rate: 57600"},      {0x1505, "Baud Rate: Code 0x1500"},
                 {0x0005, "Baud Rate: Code 0x0000"}};
    for (const auto& c : cases) {
        ReportContext context = Context(ModuleJob::kDone);
        context.config[kSerialPort2Word] = c.word;
        const auto texts = Texts(ProfileReportLines(SerialProfile(), context));
        const auto port2 = std::find(texts.begin(), texts.end(), "--- Port 2 Configuation ---");
        ASSERT_NE(port2, texts.end());
        ASSERT_NE(port2 + 1, texts.end());
        EXPECT_EQ(*(port2 + 1), c.printed) << std::hex << c.word;
    }
}

TEST(VeximProfileReportTest, TcpAndUnreadModule) {
    SystemProfile record = SerialProfile();
    record.connectMode = 1;
    record.host = "10.0.0.5";
    record.tcpPort = 503;
    record.drop = 7;
    const auto texts = Texts(ProfileReportLines(record, Context(ModuleJob::kFailed)));
    EXPECT_EQ(texts[1], "---- VEXIM Profile ----");  // no module name
    EXPECT_EQ(texts[6], "Connection mode: TCP/IP");
    EXPECT_EQ(texts[7], "   Address: 10.0.0.5:503 drop 7");
    EXPECT_EQ(texts[9], "Failed to read comm configuation");
    EXPECT_EQ(texts[10], "--- Advanced Configuation ---");

    record.connectMode = 2;  // neither mode: the label alone, one line
    const auto damaged = Texts(ProfileReportLines(record, Context(ModuleJob::kNotKrt)));
    EXPECT_EQ(damaged[6], "Connection mode: ");
    EXPECT_EQ(damaged[7], "Application space: 1");
}

class VeximPrintProfileTest : public vexim_test::VeximTest {};

TEST_F(VeximPrintProfileTest, PrintsThroughThePrintDialog) {
    LoadDefaultSettings(nullptr);
    linkSettings.connectMode = kConnectTcp;
    linkSettings.host = "127.0.0.1";
    linkSettings.tcpPort = RefusingPort();  // no module: the report says so
    loadOptions.profileName = "site.vxf";
    StartUi("print \"page.txt\"\n");
    PrintProfile(nullptr, SerialProfile());
    const auto printed = TranscriptLines("print");
    ASSERT_GE(printed.size(), 3u) << Transcript();
    EXPECT_EQ(printed.front(), "print begin \"VEXIM Profile\" -> \"page.txt\"");
    EXPECT_EQ(printed.back(), "print end");
    EXPECT_NE(Transcript().find("Failed to read comm configuation"), std::string::npos);

    StartUi("print fail\n");
    PrintProfile(nullptr, SerialProfile());
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{vexim_test::MessageBoxLine("Error", "Printing failed")});

    StartUi("print cancel\n");
    PrintProfile(nullptr, SerialProfile());
    EXPECT_TRUE(TranscriptLines("msgbox").empty());
    EXPECT_EQ(TranscriptLines("print"), std::vector<std::string>{"print cancel"});
}

}  // namespace
