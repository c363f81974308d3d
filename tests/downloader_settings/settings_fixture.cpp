#include "settings_fixture.h"

#include <fstream>
#include <sstream>

#include "downloader/history.h"
#include "downloader/log_file.h"
#include "downloader/settings.h"

void SettingsTest::SetUp() {
    linkSettings = {};
    loadOptions = {};
    historyCount = 0;
    for (SystemProfile& record : downloadHistory)
        record = {};
    for (std::string& name : profileHistory)
        name.clear();
    logPath = store.folder() + "/vexim.log";
    LogFile = std::fopen(logPath.c_str(), "w");
}

void SettingsTest::TearDown() {
    if (LogFile)
        std::fclose(LogFile);
    LogFile = nullptr;
}

std::string SettingsTest::LogText() {
    std::ifstream in(logPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
