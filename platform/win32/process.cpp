#include "platform/process.h"

#include <windows.h>

#include "platform/win32/run_wide.h"

namespace platform {

namespace win32 {

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, result.data(), wide);
    return result;
}

CommandOutcome RunWideCommand(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // CreateProcessW may write into the command line, so it gets a private copy.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process))
        return CommandOutcome{};
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return CommandOutcome{true, static_cast<unsigned>(exitCode)};
}

}  // namespace win32

CommandOutcome RunCommand(const std::string& commandLine) {
    return win32::RunWideCommand(win32::WideFromUtf8(commandLine));
}

}  // namespace platform
