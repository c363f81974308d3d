#pragma once

// What the program shell hands a conversion: the archive to convert and the program-wide
// values it reads.

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/archive.h"
#include "platform/ui.h"
#include "svc/svc_structured_text.h"

namespace extractor {

struct ConversionOptions {
    std::string fileName;      // the archive path (the system's narrow encoding)
    int debugLevel = 4;        // 1: trace lines on the console
    std::string ignore = "0";  // "1": addresses inside string constants are left alone
    bool batch = false;        // started with a command line: no "Success" box
    svc::SvcPcpMarkText pcpMarkText{"", "PCP"};
    std::ostream* console = nullptr;  // trace and decoder listing; null: standard output
    // The window the conversion's boxes belong to; null in batch mode.
    platform::ui::Window owner = nullptr;
    // Shows the report text as it stands, before a final box (the report window).
    std::function<void(const std::string& reportText)> showReport;
    // Packs the new archive; the platform's archive road unless a test puts its own in the way.
    std::function<platform::ArchiveResult(
        const std::filesystem::path& input, const std::filesystem::path& folder,
        const std::vector<std::string>& changedEntries, const std::filesystem::path& output)>
        repack;
};

}  // namespace extractor
