#include "loadcode/window/tamsel_program.h"

#include <cstdlib>

#include "loadcode/window/dtm_name_field.h"
#include "svc/svc_number_text.h"
#include "toolshell/tool_settings.h"

namespace loadcode {
namespace {

std::string settingsKey() {
    return toolshell::toolSettingsKey(tamselSettingsName);
}

}  // namespace

int debugLevelOf(std::string_view text) {
    const std::string copy(text);
    const double value = std::strtod(copy.c_str(), nullptr);
    if (!(value > -1e9 && value < 1e9)) {
        return 0;
    }
    return static_cast<int>(svc::roundHalfEven(value));
}

void refreshTamselSettings(TamselProgram& program) {
    const std::string key = settingsKey();
    toolshell::readToolSetting(key, "ClevPath", program.clevPath, defaultClevPath,
                               clevPathMaxChars);
    toolshell::readToolSetting(key, "Debug", program.debugText, defaultDebug, debugMaxChars);
    program.debugLevel = debugLevelOf(program.debugText);
    toolshell::readToolSetting(key, "DTMname", program.dtmName, defaultDtmName, dtmNameMaxChars);
    // An earlier run may have stored the field's placeholder; it names nothing.
    if (program.dtmName == dtmNamePlaceholder) {
        program.dtmName = std::string(defaultDtmName);
        toolshell::writeRegistryString(key, "DTMname", program.dtmName);
    }
}

void storeDtmName(const std::string& dtmName) {
    toolshell::writeRegistryString(settingsKey(), "DTMname", dtmName);
}

}  // namespace loadcode
