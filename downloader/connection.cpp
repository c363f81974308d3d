#include "downloader/connection.h"

#include <cstdarg>
#include <string>

#include "downloader/formatted_text.h"
#include "downloader/settings.h"
#include "modbus/modbus_ascii.h"
#include "modbus/modbus_rtu.h"
#include "modbus/modbus_status.h"
#include "modbus/modbus_tcp.h"

ModBus* CurrentConnection = nullptr;
bool ConnectionClosed = false;
bool DownloadCancelled = false;
platform::ui::Window mainDialogWindow = nullptr;
platform::ui::Window progressDialogWindow = nullptr;

namespace {

constexpr const char* kErrorCaption = "VEXIM Error";
// What the serial stream says about a port it cannot open; shown as well for a port name that
// is refused before any attempt.
constexpr const char* kPortOpenFailure = "Could not open serial port";
constexpr int32_t kFallbackBaudIndex = 13;  // 9600

// Link parity (0 none, 1 even, 2 odd) to the stream's code (0 none, 1 odd, 2 even). A value
// that means nothing is taken as even, the default.
uint8_t StreamParity(int32_t parity) {
    switch (parity) {
        case 0:
            return 0;
        case 2:
            return 1;
        default:
            return 2;
    }
}

// A baud index outside the table would read past it; such a value opens at the default rate.
uint32_t LinkBaud(int32_t baudIndex) {
    return baudIndex >= 0 && baudIndex < kBaudCount ? BaudTable[baudIndex]
                                                    : BaudTable[kFallbackBaudIndex];
}

uint8_t LinkDataBits(int32_t dataBits) {
    return dataBits == 7 ? 7 : 8;
}

// An error box carries the stop sign, so it is not taken for a notice.
void ShowErrorText(const std::string& text) {
    platform::ui::ShowMessageBox(mainDialogWindow, text, kErrorCaption, platform::ui::Buttons::Ok,
                                 platform::ui::Icon::Stop);
}

// Ends a connection that failed to open; the caller has shown why.
void DiscardFailedConnection(ModBus* connection) {
    if (connection)
        connection->Close();
    CurrentConnection = nullptr;
    ConnectionClosed = true;
}

}  // namespace

void ErrorBox(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string text = FormattedText(kShownTextLimit, format, arguments);
    va_end(arguments);
    ShowErrorText(text);
}

void SetStatusText(const char* format, ...) {
    if (!progressDialogWindow)
        return;
    va_list arguments;
    va_start(arguments, format);
    const std::string text = FormattedText(kShownTextLimit, format, arguments);
    va_end(arguments);
    platform::ui::ShowStatus(progressDialogWindow, kStatusLine, text);
}

void CloseConnection() {
    if (CurrentConnection)
        CurrentConnection->Close();  // stops the I/O thread, deletes it
    CurrentConnection = nullptr;
    ConnectionClosed = true;
}

bool OpenSerialConnection() {
    const LinkSettings& link = linkSettings;
    const bool ascii = link.ascii != 0;
    const char* failure = ascii ? "Can't OpenModbusAscii(%s).\n%s" : "Can't OpenModbusRTU(%s).\n%s";
    SetStatusText("Connecting via %s", link.portName.c_str());
    if (CurrentConnection)
        CloseConnection();

    // A name cut to fit could open another port: refuse it as a port that does not open.
    if (link.portName.size() > kMaxPortName) {
        ErrorBox(failure, link.portName.c_str(), kPortOpenFailure);
        DiscardFailedConnection(nullptr);
        return false;
    }
    const char* port = link.portName.c_str();
    const uint32_t baud = LinkBaud(link.baudIndex);
    const uint8_t parity = StreamParity(link.parity);
    const uint8_t dataBits = LinkDataBits(link.dataBits);
    if (ascii) {
        CurrentConnection = new ModBusAscii(port, baud, parity, dataBits, 0);
    } else {
        CurrentConnection = new ModBusRTU(port, baud, parity, dataBits, 0);
    }
    if (CurrentConnection->IsOpen()) {
        if (linkSettings.retries < 1)
            linkSettings.retries = 1;
        return true;
    }
    ErrorBox(failure, port, CurrentConnection->GetErrorText().c_str());
    DiscardFailedConnection(CurrentConnection);
    return false;
}

bool OpenTcpConnection() {
    const LinkSettings& link = linkSettings;
    SetStatusText("Connecting to %s", link.host.c_str());
    if (CurrentConnection)
        CloseConnection();

    const uint16_t port = static_cast<uint16_t>(link.tcpPort);
    // A host name cut to fit could reach another machine: refuse it as a failed connection.
    if (link.host.size() > kMaxHost || link.tcpPort > 0xFFFF) {
        ErrorBox("Can't open TCP connection to %s:%u", link.host.c_str(), link.tcpPort);
        DiscardFailedConnection(nullptr);
        return false;
    }
    CurrentConnection = new ModBusTCP(link.host.c_str(), port);
    if (CurrentConnection->IsOpen()) {
        if (linkSettings.retries < 1)
            linkSettings.retries = 3;
        return true;
    }
    // The stream's own text is not shown: the address says more to the user.
    ErrorBox("Can't open TCP connection to %s:%u", link.host.c_str(), link.tcpPort);
    DiscardFailedConnection(CurrentConnection);
    return false;
}

void ShowConnectionError() {
    if (!ConnectionClosed) {
        ShowErrorText(CurrentConnection ? CurrentConnection->GetErrorText()
                                        : std::string(ModbusStatusText(kModbusNoConnection)));
    }
    ConnectionClosed = true;
}
