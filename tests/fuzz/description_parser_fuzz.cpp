// The description-file intake and parser over arbitrary bytes: preprocessing with its loops,
// then every keyword of the parser.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "dtmrepo/intake/install_intake.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dtmrepo::IntakeOutcome outcome;
    outcome.names = dtmrepo::scanDescriptionPath("c:\\fuzz\\PME KRT 0302_Fuzz.txt").names;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    static const dtmrepo::Trace quiet(0);
    dtmrepo::parseDescriptionText(in, outcome,
                                  {"16OCT2019", {"2024-01-02", "10:00:00.0000000+1:00"}}, quiet);
    const dtmrepo::DescriptionRecord& record = outcome.record;
    // The fixed capacities hold whatever the input says.
    for (const auto& section : record.sections) {
        if (section.size() > static_cast<size_t>(dtmrepo::maxEntriesPerSection))
            __builtin_trap();
        for (const auto& entry : section) {
            if (entry.enumValues.size() > static_cast<size_t>(dtmrepo::maxEnumValues))
                __builtin_trap();
        }
    }
    // A file saved as UTF-16 is refused as such, whatever follows its byte order mark.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if ((bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0) &&
        (outcome.result != dtmrepo::IntakeOutcome::Result::Stopped ||
         outcome.report.text.find("saved as UTF-16") == std::string::npos))
        __builtin_trap();
    if (record.parGroups.size() > static_cast<size_t>(dtmrepo::maxParameterGroups) ||
        outcome.report.errorCount < 0 || outcome.report.warningCount < 0)
        __builtin_trap();
    return 0;
}
