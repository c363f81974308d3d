#include "toolshell/fennick/fennick_settings.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/ansi_path.h"
#include "platform/archive.h"
#include "platform/powershell_text.h"
#include "platform/process.h"
#include "platform/ui.h"
#include "svc/svc_number_text.h"
#include "toolshell/text_lines.h"
#include "toolshell/tool_settings.h"

namespace fennick {

namespace ui = platform::ui;

std::string fennickSettingsKey() {
    return toolshell::toolSettingsKey(fennickSettingsProgram);
}

int settingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    double sign = 1;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        sign = text[i] == '-' ? -1 : 1;
        ++i;
    }
    double value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && value < 1e9; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, scale /= 10) {
            value += (text[i] - '0') * scale;
        }
    }
    return static_cast<int>(svc::roundHalfEven(sign * value));
}

void readFennickSettings(FennickValues& values) {
    const std::string key = fennickSettingsKey();
    toolshell::readToolSetting(key, "ClevPath", values.clevPath, defaultClevPath);
    toolshell::readToolSetting(key, "Debug", values.debugText, "4");
    values.debugLevel = settingNumber(values.debugText);
    toolshell::readToolSetting(key, "Ignore", values.ignoreText, "0");
    values.ignore = values.ignoreText;
    toolshell::readRegistryString(key, "PowerShellVer0", values.powerShellVer0);
    toolshell::readRegistryString(key, "PowerShellVer1", values.powerShellVer1);
}

void scanVersionLine(std::string_view line, VersionCounters& counters) {
    if (line.find('.') == std::string_view::npos) {
        return;
    }
    std::size_t current = 0;
    for (char c : line) {
        if (c == '.') {
            if (current + 1 < counters.size()) {
                ++current;
            }
        } else if (c >= '0' && c <= '9' && counters[current] < 100000000) {
            counters[current] = counters[current] * 10 + (c - '0');
        }
    }
}

bool powerShellVersionPasses(int major, int minor) {
    return major > 5 || (major == 5 && minor >= 1);
}

std::string powerShellProbeCommand(const std::string& versionFile) {
    const std::string script = "Get-Host | Select-Object Version | Out-File -LiteralPath " +
                               platform::PowerShellQuote<char>(versionFile);
    return platform::PowerShellCommandLine<char>(script);
}

std::string powerShellProbeFailure(const std::string& versionFile, int errorNumber, bool answered) {
    std::string text = "FENNICK ERROR(0) Unable to open " + versionFile +
                       "    Err = " + std::to_string(errorNumber);
    if (!answered) {
        text += "\r\nPowerShell did not answer: it is missing or could not be started.";
    }
    return text;
}

bool probePowerShell(FennickValues& values, ui::Window owner) {
    const std::string versionFile = values.clevPath + "powershellver.txt";
    platform::CommandOutcome probed;
    // Only this probe's answer counts: a file an earlier probe left would pass for PowerShell
    // after PowerShell is gone. One that cannot be removed is read as no answer.
    std::error_code removed;
    std::filesystem::remove(platform::PathFromAnsi(versionFile), removed);
    // A double quote cannot stand in a Windows path and would end the command's argument.
    if (!removed && versionFile.find('"') == std::string::npos) {
        // On a first start the install folder may not exist yet (the program was copied
        // elsewhere); PowerShell cannot write its answer into a missing folder.
        std::error_code ignored;
        std::filesystem::create_directories(platform::PathFromAnsi(values.clevPath), ignored);
        probed = platform::RunCommand(powerShellProbeCommand(versionFile));
    }
    errno = 0;
    std::ifstream in(platform::PathFromAnsi(versionFile), std::ios::binary);
    if (!in) {
        ui::ShowMessageBox(owner,
                           powerShellProbeFailure(versionFile, errno != 0 ? errno : ENOENT,
                                                  probed.started && probed.exitCode == 0),
                           "OK", ui::Buttons::Ok, ui::Icon::Stop);
        return false;
    }
    VersionCounters counters{};
    std::string line;
    while (toolshell::readTextLine(in, line)) {
        scanVersionLine(line, counters);
        values.powerShellVer0 = std::to_string(counters[0]);
        values.powerShellVer1 = std::to_string(counters[1]);
    }
    return true;
}

bool checkPowerShell(FennickValues& values, ui::Window owner) {
    if (platform::ArchiveEngineName() != "PowerShell") {
        return true;
    }
    if (values.powerShellVer0.empty() || values.powerShellVer1.empty() ||
        values.powerShellVer0 == "0") {
        if (!probePowerShell(values, owner)) {
            ui::PostQuit(0);
            return false;
        }
    }
    const int major = settingNumber(values.powerShellVer0);
    const int minor = settingNumber(values.powerShellVer1);
    if (!powerShellVersionPasses(major, minor)) {
        ui::ShowMessageBox(owner,
                           "FENNICK FAIL - Your Powershell is ver " + std::to_string(major) + "." +
                               std::to_string(minor) +
                               "  You must update PowerShell to at least version 5.1",
                           "EXIT", ui::Buttons::Ok, ui::Icon::Stop);
        ui::PostQuit(0);
        return false;
    }
    const std::string key = fennickSettingsKey();
    toolshell::writeRegistryString(key, "PowerShellVer0", values.powerShellVer0);
    toolshell::writeRegistryString(key, "PowerShellVer1", values.powerShellVer1);
    return true;
}

}  // namespace fennick
