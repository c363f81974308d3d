#pragma once

#include <string>
#include <vector>

#include "downloader/comm_config.h"
#include "downloader/module_services.h"
#include "downloader/system_profile.h"
#include "platform/ui.h"

// The printed profile: one page of a system profile with the communication configuration the
// module reports while it prints.

struct PrintedLine {
    int x = 0;
    int y = 0;
    std::string text;
};

// Everything the page shows, besides the record.
struct ReportContext {
    platform::ui::PrintMetrics metrics;
    std::string printedAt;    // "mm/dd/yy hh:mm:ss"
    std::string profileName;  // the profile file
    ModuleJob module = ModuleJob::kFailed;
    std::string moduleName;  // shown when the module was read
    CommConfigBlock config{};
};

// The page's lines in the order they are printed.
std::vector<PrintedLine> ProfileReportLines(const SystemProfile& record,
                                            const ReportContext& context);

// Asks for a printer and prints the page; Cancel prints nothing.
void PrintProfile(platform::ui::Window owner, const SystemProfile& record);
