#pragma once

// The values that HKEY_LOCAL_MACHINE "HARDWARE\DEVICEMAP\SERIALCOMM" answers with here: the
// store file's own entries under that key first, then the serial devices present, named
// COM1, COM2, ... with the numbers the file's entries leave free.

#include <string>
#include <vector>

#include "platform/posix/regedit4.h"

namespace platform::serialcomm {

bool IsSerialCommKey(RegRoot root, const std::string& path);

// The serial devices present, in a stable order: /dev/ttyUSB*, /dev/ttyACM*, then the
// /dev/ttyS* ports that have a UART behind them, each by number.
std::vector<std::string> PresentDevices();

std::vector<regedit4::NamedValue> Values(const regedit4::Document& doc,
                                         const std::vector<std::string>& devices);

}  // namespace platform::serialcomm
