#include "downloader/main/program_start.h"

#include <cstdio>

#include "downloader/dialogs/dialog_tables.h"
#include "downloader/dialogs/main_dialog.h"
#include "downloader/log_file.h"
#include "downloader/main/command_line.h"
#include "downloader/settings.h"
#include "platform/com_apartment.h"

namespace ui = platform::ui;

namespace {

constexpr const char* kLogFileName = "c:\\temp\\vexim.log";

int32_t InitInstance() {
    RegisterVeximResources();
    return 1;
}

// Rewritten at every start; a folder that does not exist leaves the run without a log.
void OpenLogFile() {
    LogFile = std::fopen(ui::MapTempPath(kLogFileName).c_str(), "wb");
}

void CloseLogFile() {
    if (LogFile == nullptr)
        return;
    LogPrintf("Closing log file\n");
    std::fclose(LogFile);
    LogFile = nullptr;
}

}  // namespace

int vexim::WinMain(std::string commandLine) {
    if (!ui::InitCommonControlClasses())
        return kExitRefused;
    if (!InitInstance())
        return kExitRefused;
    OpenLogFile();
    RestoreOverDefaults();
    if (!commandLine.empty() && ParseCommandLine(commandLine) == 0) {
        // The log is left without its closing line, as for any refused start.
        if (LogFile != nullptr)
            std::fclose(LogFile);
        LogFile = nullptr;
        return kExitRefused;
    }
    int result = 0;
    {
        const platform::ComApartment com;
        result = RunMainDialog();
    }
    CloseLogFile();
    return result;
}
