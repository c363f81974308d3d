// Opening and closing the one connection from the Link settings, against a real Modbus server
// (pymodbus) for each framing, and the boxes the user sees when it cannot be opened.

#include "downloader/connection.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "downloader/settings.h"
#include "modbus/modbus.h"
#include "platform/ui_headless.h"
#include "platform/ui_quote.h"
#include "settings_fixture.h"
#include "tests/modbus_transport/child_process.h"
#include "tests/modbus_transport/pymodbus_server.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace ui = platform::ui;

namespace {

constexpr uint16_t kUnit = 1;
constexpr uint32_t kTimeoutMs = 2000;

// An error box: the caption, the text and the stop sign.
std::string BoxLine(const std::string& text) {
    return "msgbox " + ui::QuoteText("VEXIM Error") + " " + ui::QuoteText(text) +
           " icon stop -> OK\n";
}

// The first holding registers of the test server hold 1, 4, 7.
void ExpectTheServerAnswers() {
    ASSERT_NE(CurrentConnection, nullptr);
    uint16_t values[3] = {};
    EXPECT_EQ(CurrentConnection->ReadHoldingRegisters(kTimeoutMs, kUnit, 3, 0, values), 3)
        << CurrentConnection->GetErrorText();
    EXPECT_EQ(values[0], 1);
    EXPECT_EQ(values[1], 4);
    EXPECT_EQ(values[2], 7);
}

}  // namespace

class ConnectionTest : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        ui::headless::StartSession("");
        LoadDefaultSettings(nullptr);
        CurrentConnection = nullptr;
        ConnectionClosed = false;
        mainDialogWindow = nullptr;
        progressDialogWindow = nullptr;
    }
    void TearDown() override {
        CloseConnection();
        SettingsTest::TearDown();
    }

    // Two joined pseudo-terminals; the program's end is listed as COM7 in the store. socat ends
    // when either end is closed for good, so each use gets a new pair.
    void MakeLinkedPorts() {
        socat.Stop();
        std::filesystem::remove(store.folder() + "/com7");
        std::filesystem::remove(store.folder() + "/server");
        clientEnd = store.folder() + "/com7";
        serverEnd = store.folder() + "/server";
        ASSERT_TRUE(socat.Start(
            {SOCAT, "pty,raw,echo=0,link=" + clientEnd, "pty,raw,echo=0,link=" + serverEnd}));
        for (int i = 0;
             i < 500 && !(std::filesystem::exists(clientEnd) && std::filesystem::exists(serverEnd));
             ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(std::filesystem::exists(clientEnd));
        store.Write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n\"" +
                    clientEnd + "\"=\"COM7\"\n");
        linkSettings.portName = "COM7:";
    }

    // The pymodbus server on the loopback; linkSettings point at it.
    void StartTcpServer() {
        ASSERT_TRUE(server.StartTcp());
        linkSettings.host = "127.0.0.1";
        linkSettings.tcpPort = server.Port();
    }

    ChildProcess socat;
    PymodbusServer server;
    std::string clientEnd;
    std::string serverEnd;
};

TEST_F(ConnectionTest, TcpOpensTalksAndCloses) {
    StartTcpServer();
    linkSettings.retries = 0;
    ASSERT_TRUE(OpenTcpConnection());
    EXPECT_EQ(linkSettings.retries, 3);
    ExpectTheServerAnswers();

    // Opening again first ends the open connection (the leak check sees a forgotten one).
    linkSettings.retries = 5;
    ASSERT_TRUE(OpenTcpConnection());
    EXPECT_EQ(linkSettings.retries, 5);
    ExpectTheServerAnswers();

    CloseConnection();
    EXPECT_EQ(CurrentConnection, nullptr);
    EXPECT_TRUE(ConnectionClosed);
    EXPECT_EQ(ui::headless::Transcript(), "");
}

TEST_F(ConnectionTest, SerialFramingsOpenTalkAndClose) {
    for (const char* framing : {"rtu", "ascii"}) {
        SCOPED_TRACE(framing);
        MakeLinkedPorts();
        ASSERT_TRUE(server.StartSerial(framing, serverEnd));
        linkSettings.ascii = std::string(framing) == "ascii";
        linkSettings.baudIndex = 19;
        linkSettings.retries = 0;
        ASSERT_TRUE(OpenSerialConnection());
        EXPECT_EQ(linkSettings.retries, 1);
        ExpectTheServerAnswers();
        CloseConnection();
        EXPECT_EQ(CurrentConnection, nullptr);
        server.Stop();
    }
    EXPECT_EQ(ui::headless::Transcript(), "");
}

// A pseudo-terminal keeps CS8 and clears PARENB whatever it is given, so the speed and PARODD
// are what shows of the settings here: odd parity for `parity` 2 only.
TEST_F(ConnectionTest, PortIsSetUpFromTheLinkSettings) {
    MakeLinkedPorts();
    struct Case {
        int32_t baudIndex, parity;
        speed_t speed;
        tcflag_t odd;
    };
    const Case cases[] = {
        {13, 0, B9600, 0},
        {19, 1, B115200, 0},
        {7, 2, B1200, PARODD},
        {0, 2, B50, PARODD},
    };
    for (const Case& c : cases) {
        linkSettings.baudIndex = c.baudIndex;
        linkSettings.parity = c.parity;
        // The port is opened for exclusive use, which holds back a second open by anyone
        // but root; the settings are read through a descriptor opened before it.
        const int fd = open(clientEnd.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(OpenSerialConnection());
        termios line{};
        ASSERT_EQ(tcgetattr(fd, &line), 0);
        close(fd);
        EXPECT_EQ(cfgetospeed(&line), c.speed) << c.baudIndex;
        EXPECT_EQ(line.c_cflag & PARODD, c.odd) << c.parity;
        EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
        CloseConnection();
    }
}

TEST_F(ConnectionTest, FailedOpensShowTheirBoxAndLeaveNoConnection) {
    const ClosedPort closed;
    const uint16_t closedPort = closed.Port();
    struct Case {
        std::function<void()> setUp;
        std::function<bool()> open;
        std::string box;
    };
    const std::string longHost(kMaxHost + 1, 'h');
    const std::string longPort = "COM" + std::string(kMaxPortName, '1');
    const Case cases[] = {
        {[] { linkSettings.portName = "COM250:"; }, OpenSerialConnection,
         "Can't OpenModbusRTU(COM250:).\nCould not open serial port"},
        {[] {
             linkSettings.portName = "COM250:";
             linkSettings.ascii = 1;
         },
         OpenSerialConnection, "Can't OpenModbusAscii(COM250:).\nCould not open serial port"},
        {[&] { linkSettings.portName = longPort; }, OpenSerialConnection,
         "Can't OpenModbusRTU(" + longPort + ").\nCould not open serial port"},
        {[&] {
             linkSettings.host = "127.0.0.1";
             linkSettings.tcpPort = closedPort;
         },
         OpenTcpConnection, "Can't open TCP connection to 127.0.0.1:" + std::to_string(closedPort)},
        // Too long to show whole: the box holds the first 1023 characters.
        {[&] {
             linkSettings.host = longHost;
             linkSettings.tcpPort = 502;
         },
         OpenTcpConnection, ("Can't open TCP connection to " + longHost).substr(0, 1023)},
    };
    for (const Case& c : cases) {
        LoadDefaultSettings(nullptr);
        ui::headless::StartSession("");
        ConnectionClosed = false;
        linkSettings.retries = 0;
        c.setUp();
        EXPECT_FALSE(c.open());
        EXPECT_EQ(ui::headless::Transcript(), BoxLine(c.box));
        EXPECT_EQ(CurrentConnection, nullptr);
        EXPECT_TRUE(ConnectionClosed);
        EXPECT_EQ(linkSettings.retries, 0);
    }
}

TEST_F(ConnectionTest, StepFailureIsShownOncePerOperation) {
    StartTcpServer();
    ASSERT_TRUE(OpenTcpConnection());
    uint16_t value = 0;
    // Beyond the server's registers: an exception reply, and its own text in the one box.
    EXPECT_EQ(CurrentConnection->ReadHoldingRegisters(kTimeoutMs, kUnit, 1, 60000, &value),
              -(kUnit << 16 | 2));
    ShowConnectionError();
    ShowConnectionError();
    EXPECT_EQ(ui::headless::Transcript(), BoxLine("Illegal Data Address"));
    EXPECT_TRUE(ConnectionClosed);
}

TEST_F(ConnectionTest, StatusLineOnlyWhileTheProgressDialogIsOpen) {
    SetStatusText("Connecting to %s", "plc");
    EXPECT_EQ(ui::headless::Transcript(), "");
    ui::RegisterDialog({9001, "progress", 0, {{kStatusLine, ui::ControlKind::Static, ""}}});
    ui::RunDialog(9001, nullptr, [](ui::Window self, const ui::Message& message) {
        if (message.kind != ui::MessageKind::Init)
            return false;
        progressDialogWindow = self;
        SetStatusText("Connecting via %s", "COM3:");
        EXPECT_EQ(ui::GetItemText(self, kStatusLine), "Connecting via COM3:");
        progressDialogWindow = nullptr;
        ui::EndDialog(self, 0);
        return true;
    });
    EXPECT_NE(ui::headless::Transcript().find("status " + ui::QuoteText("Connecting via COM3:")),
              std::string::npos);
}
