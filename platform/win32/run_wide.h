#pragma once

#include <string>

#include "platform/process.h"

namespace platform::win32 {

// Starts the command line with no console window and waits for it.
CommandOutcome RunWideCommand(std::wstring commandLine);

std::wstring WideFromUtf8(const std::string& text);

}  // namespace platform::win32
