#pragma once

// The one Connection object of the program: opened from the Link settings at the start of each
// job that talks to a module, used through CurrentConnection, and closed when the job ends.
// Also the error boxes and the progress dialog's status line that go with it.

#include <cstdint>

#include "platform/ui.h"

class ModBus;

// The open connection's Modbus part, or null.
extern ModBus* CurrentConnection;
// Set whenever the connection is closed or a step has failed for good, and by Cancel and
// serial device removal; the loaders stop quietly at their next step while it is set. The main
// dialog clears it when a download starts.
extern bool ConnectionClosed;
// Set with ConnectionClosed by the progress dialog's Cancel, and cleared with it when a download
// starts: a load stopped by it tells the user in what state it left the channel.
extern bool DownloadCancelled;

// Owner of every message box, and the progress dialog while it is open (else null).
extern platform::ui::Window mainDialogWindow;
extern platform::ui::Window progressDialogWindow;
// The progress dialog's status line.
inline constexpr int kStatusLine = 1032;

// Opens a ModBusRTU (or ModBusAscii when `ascii` is set) on `portName` with the baud, parity and
// data bits of the Link settings, one stop bit. On failure shows "Can't OpenModbusRTU(%s).\n%s"
// (or "Can't OpenModbusAscii(%s).\n%s"), leaves no connection and sets ConnectionClosed.
// A successful open turns `retries` of 0 or less into 1.
bool OpenSerialConnection();

// Opens a ModBusTCP to `host`:`tcpPort`. On failure shows "Can't open TCP connection to %s:%u".
// A successful open turns `retries` of 0 or less into 3.
bool OpenTcpConnection();

// Ends the connection through its close-and-delete operation (stopping its I/O thread) and sets
// ConnectionClosed. Nothing to do when none is open, apart from the flag.
void CloseConnection();

// After a Modbus step has used up its attempts: shows the connection's error text once per
// operation (nothing when ConnectionClosed is already set), then sets ConnectionClosed.
void ShowConnectionError();

// A formatted message (at most 1023 characters) in a "VEXIM Error" box with the stop icon over
// the main dialog.
void ErrorBox(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A formatted status line (at most 1023 characters) on the progress dialog while it is open.
void SetStatusText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
