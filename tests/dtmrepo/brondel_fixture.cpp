#include "tests/dtmrepo/brondel_fixture.h"

#include <stdlib.h>

#include <filesystem>
#include <sstream>

#include "dtmrepo/window/brondel_window.h"
#include "platform/ui_headless.h"
#include "tests/dtmrepo/description_fixture.h"
#include "toolshell/tool_settings.h"

namespace dtmrepo_test {

namespace fs = std::filesystem;

std::string unquote(const std::string& quoted) {
    std::string text;
    for (size_t i = 1; i + 1 < quoted.size(); ++i) {
        char c = quoted[i];
        if (c == '\\' && i + 2 < quoted.size()) {
            const char next = quoted[++i];
            if (next == 'r') {
                c = '\r';
            } else if (next == 'n') {
                c = '\n';
            } else if (next == 't') {
                c = '\t';
            } else if (next >= '0' && next <= '7') {
                c = static_cast<char>(std::stoi(quoted.substr(i, 3), nullptr, 8));
                i += 2;
            } else {
                c = next;
            }
        }
        text += c;
    }
    return text;
}

std::vector<std::string> BrondelRun::linesStartingWith(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const std::string& line : transcript) {
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string BrondelRun::lastReport() const {
    const auto reports = linesStartingWith("report ");
    return reports.empty() ? std::string() : unquote(reports.back().substr(7));
}

BrondelHarness::BrondelHarness(const std::string& folder, const std::string& unityPath)
    : store_((fs::path(folder) / "settings.reg").string()) {
    fs::remove(store_);
    setenv("CALVENTO_REGISTRY", store_.c_str(), 1);
    if (!unityPath.empty()) {
        toolshell::writeRegistryString(toolshell::toolSettingsKey("VADADOZAVOZAVOZ"), "UnityPath",
                                       unityPath);
    }
}

BrondelHarness::~BrondelHarness() {
    unsetenv("CALVENTO_REGISTRY");
}

BrondelRun BrondelHarness::run(const std::string& script) const {
    setenv("CALVENTO_REGISTRY", store_.c_str(), 1);
    platform::ui::headless::StartSession(script);
    BrondelRun result;
    result.exitCode = dtmrepo::brondelMain();
    std::istringstream lines(platform::ui::headless::Transcript());
    std::string line;
    while (std::getline(lines, line)) {
        result.transcript.push_back(line);
    }
    return result;
}

void writeIndex(const std::string& unityPath, const std::vector<std::string>& entryLines,
                const std::string& indexName) {
    Lines lines = {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<DDXMLRepository>"};
    lines.insert(lines.end(), entryLines.begin(), entryLines.end());
    lines.push_back("</DDXMLRepository>");
    writeFile((fs::path(unityPath) / "DDXMLRepository" / indexName).string(), fileText(lines));
}

std::string indexLine(const std::string& fileName, const std::string& version,
                      const std::string& productId) {
    return "  <File DDXMLFile=\"" + fileName + "\" Filename=\"" + fileName + "\" Fileversion=\"" +
           version + "\" ProductName=\"PMEKRT0302\" Vendorname=\"243\" ProductID=\"" + productId +
           "\" ImageLarge=\"pictures/pmekrt.jpg\"/>";
}

std::map<std::string, std::string> folderSnapshot(const std::string& folder) {
    std::map<std::string, std::string> snapshot;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        const auto perms = static_cast<unsigned>(entry.status().permissions());
        snapshot[name] = entry.is_directory()
                             ? "folder " + std::to_string(perms)
                             : std::to_string(perms) + " " + readFile(entry.path().string());
    }
    return snapshot;
}

void makeRepository(const std::string& unity, const std::vector<std::string>& entryLines) {
    writeIndex(unity, entryLines);
    fs::create_directories(fs::path(unity) / "Logics");
}

std::vector<std::string> indexLines(const std::string& unity) {
    std::vector<std::string> lines;
    std::istringstream text(
        readFile((fs::path(unity) / "DDXMLRepository" / "DDXMLRepository.XML").string()));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace dtmrepo_test
