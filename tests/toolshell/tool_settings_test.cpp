#include "toolshell/tool_settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/registry.h"
#include "temp_store.h"

namespace {

namespace fs = std::filesystem;
using toolshell::SettingRead;

const std::string kKey = toolshell::toolSettingsKey("FENNICK");

// Every test gets a settings store file of its own, in a folder that goes away with the test
// (and with it the store's lock file).
class ToolSettings : public ::testing::Test {
  protected:
    static void storeRaw(const std::string& name, platform::RegType type,
                         const std::string& bytes) {
        platform::RegistryKey key;
        ASSERT_EQ(key.Create(platform::RegRoot::CurrentUser, kKey), platform::RegStatus::Ok);
        ASSERT_EQ(key.SetValue(name, type, bytes.data(), static_cast<uint32_t>(bytes.size())),
                  platform::RegStatus::Ok);
    }

    std::string storeText() const {
        std::ifstream in(storePath_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    TempStore store_;
    const fs::path storePath_ = store_.path();
};

TEST_F(ToolSettings, KeyNameIsBelowTheCompanyKey) {
    EXPECT_EQ(kKey, "SOFTWARE\\Calvento R&D\\FENNICK");
}

TEST_F(ToolSettings, MissingSettingGetsItsDefaultWrittenBack) {
    std::string path;
    toolshell::readToolSetting(kKey, "ClevPath", path, "c:\\Calvento\\PMEDWL\\");
    EXPECT_EQ(path, "c:\\Calvento\\PMEDWL\\");

    std::string again;
    EXPECT_EQ(toolshell::readRegistryString(kKey, "ClevPath", again), SettingRead::Read);
    EXPECT_EQ(again, "c:\\Calvento\\PMEDWL\\");
    // Stored as a string value under the program's own key of the current user.
    const std::string text = storeText();
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\SOFTWARE\\Calvento R&D\\FENNICK]"), std::string::npos)
        << text;
    EXPECT_NE(text.find("\"ClevPath\"="), std::string::npos) << text;
}

TEST_F(ToolSettings, StoredValueWinsOverTheDefault) {
    toolshell::writeRegistryString(kKey, "Debug", "1");
    std::string debug;
    toolshell::readToolSetting(kKey, "Debug", debug, "4");
    EXPECT_EQ(debug, "1");
}

TEST_F(ToolSettings, EmptyStoredValueIsReplacedByTheDefault) {
    toolshell::writeRegistryString(kKey, "Ignore", "");
    std::string ignore = "stale";
    toolshell::readToolSetting(kKey, "Ignore", ignore, "0");
    EXPECT_EQ(ignore, "0");
    std::string stored;
    toolshell::readRegistryString(kKey, "Ignore", stored);
    EXPECT_EQ(stored, "0");
}

TEST_F(ToolSettings, AStoredValueTooLongToReadIsKeptWhileTheDefaultServes) {
    const std::string users(600, 'p');
    toolshell::writeRegistryString(kKey, "UnityPath", users);
    std::string path;
    toolshell::readToolSetting(kKey, "UnityPath", path, "c:\\default\\");
    EXPECT_EQ(path, "c:\\default\\");
    EXPECT_NE(storeText().find(users), std::string::npos) << "the user's value was overwritten";
}

TEST_F(ToolSettings, RoundTripKeepsEveryCharacter) {
    const std::string texts[] = {"c:\\Program Files\\Calvento R&D\\", "a \"quoted\" = value;",
                                 "\xB5s and \xE9", std::string(511, 'L')};
    for (const std::string& text : texts) {
        toolshell::writeRegistryString(kKey, "Value", text);
        std::string read;
        EXPECT_EQ(toolshell::readRegistryString(kKey, "Value", read), SettingRead::Read);
        EXPECT_EQ(read, text);
    }
}

TEST_F(ToolSettings, UnreadableValuesLeaveTheTextUntouched) {
    storeRaw("Dword", platform::RegType::Dword, std::string("\x05\x00\x00\x00", 4));
    storeRaw("Binary", platform::RegType::Binary, std::string("abc\0", 4));
    toolshell::writeRegistryString(kKey, "TooLong", std::string(600, 'x'));
    struct Row {
        const char* key;
        const char* name;
        SettingRead expected;
    };
    const std::string other = toolshell::toolSettingsKey("NOSUCHPROGRAM");
    for (const Row row : {Row{kKey.c_str(), "Dword", SettingRead::NotReadable},
                          Row{kKey.c_str(), "Binary", SettingRead::NotReadable},
                          Row{kKey.c_str(), "TooLong", SettingRead::TooLong},
                          Row{kKey.c_str(), "Missing", SettingRead::NotReadable},
                          Row{other.c_str(), "Debug", SettingRead::KeyMissing}}) {
        SCOPED_TRACE(row.name);
        std::string text = "earlier value";
        EXPECT_EQ(toolshell::readRegistryString(row.key, row.name, text), row.expected);
        EXPECT_EQ(text, "earlier value");
    }
}

TEST_F(ToolSettings, DwordUnderASettingsNameCountsAsMissing) {
    storeRaw("Debug", platform::RegType::Dword, std::string("\x01\x00\x00\x00", 4));
    std::string debug;
    toolshell::readToolSetting(kKey, "Debug", debug, "4");
    EXPECT_EQ(debug, "4");
    std::string stored;
    EXPECT_EQ(toolshell::readRegistryString(kKey, "Debug", stored), SettingRead::Read);
    EXPECT_EQ(stored, "4");
}

TEST_F(ToolSettings, TextWithoutTerminatorEndsAtItsRealLength) {
    storeRaw("Short", platform::RegType::String, "abc");
    storeRaw("Expand", platform::RegType::ExpandString, std::string("%TEMP%\\x\0junk", 13));
    storeRaw("Full", platform::RegType::String, std::string(512, 'f'));
    std::string text = "a much longer earlier value";
    EXPECT_EQ(toolshell::readRegistryString(kKey, "Short", text), SettingRead::Read);
    EXPECT_EQ(text, "abc");
    EXPECT_EQ(toolshell::readRegistryString(kKey, "Expand", text), SettingRead::Read);
    EXPECT_EQ(text, "%TEMP%\\x");
    // 512 characters and no zero: a setting holds at most 511 of them.
    EXPECT_EQ(toolshell::readRegistryString(kKey, "Full", text), SettingRead::Read);
    EXPECT_EQ(text, std::string(511, 'f'));
}

TEST_F(ToolSettings, NarrowVariablesGetTheValueCutToFit) {
    toolshell::writeRegistryString(kKey, "DTMname", std::string(150, 'D'));
    std::string dtmName;
    toolshell::readToolSetting(kKey, "DTMname", dtmName, "PMEDWL", 99);
    EXPECT_EQ(dtmName, std::string(99, 'D'));
}

}  // namespace
