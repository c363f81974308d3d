#include "tamsel_fixture.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "loadcode/window/tamsel_program.h"
#include "loadcode/window/tamsel_window.h"
#include "platform/ui_headless.h"
#include "svc_builder.h"
#include "toolshell/report_edit.h"
#include "toolshell/tool_menus.h"
#include "toolshell/tool_settings.h"

namespace loadcode::testing {

namespace fs = std::filesystem;
namespace ui = platform::ui;

std::string Converted::output(const char* suffix) const {
    fs::path path = root;
    path += suffix;
    return svc::testing::readFile(path);
}

std::vector<std::string> Converted::lines(const char* suffix) const {
    return svc::testing::crlfLines(output(suffix));
}

void TamselTest::SetUp() {
    storePath_ = folder() / "settings.reg";
    setenv("CALVENTO_REGISTRY", storePath_.c_str(), 1);
    toolshell::popupMenuTable.fill(nullptr);
    startDir_ = fs::current_path();
}

void TamselTest::TearDown() {
    // The open dialog makes the chosen file's folder the current directory.
    fs::current_path(startDir_);
    unsetenv("CALVENTO_REGISTRY");
}

fs::path TamselTest::writeSvc(const std::string& fileName,
                              const std::vector<Record>& records) const {
    const fs::path path = folder() / fileName;
    std::ofstream(path, std::ios::binary) << svc::testing::svcText(records);
    return path;
}

Converted TamselTest::convert(const std::string& name, const std::vector<Record>& records,
                              const std::string& dtmName) {
    return convertFile(writeSvc(name + ".SVC", records), dtmName);
}

Converted TamselTest::convertFile(const fs::path& svcPath, const std::string& dtmName) {
    ui::headless::StartSession("");
    Converted converted;
    converted.root = tamselRootPath(svcPath);
    std::ostringstream console;
    converted.result = tamselConvertSvcFile(nullptr, svcPath, dtmName, {"", "PCP"}, console);
    converted.console = console.str();
    converted.transcript = ui::headless::Transcript();
    return converted;
}

ProgramRun TamselTest::runProgram(const std::string& script) {
    ui::headless::StartSession(script);
    TamselProgram program;
    std::ostringstream console;
    ProgramRun run;
    run.exitCode = tamselWinMain(program, console);
    run.console = console.str();
    run.transcript = ui::headless::Transcript();
    return run;
}

std::string TamselTest::storedSetting(const std::string& name) const {
    std::string value = "(missing)";
    toolshell::readRegistryString(toolshell::toolSettingsKey("TAMSEL"), name, value);
    return value;
}

void TamselTest::storeSetting(const std::string& name, const std::string& value) const {
    toolshell::writeRegistryString(toolshell::toolSettingsKey("TAMSEL"), name, value);
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace loadcode::testing
