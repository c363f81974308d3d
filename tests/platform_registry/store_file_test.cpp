// The store file holds what the registry would: every type and byte comes back as written, in
// REGEDIT4 text a user can read, and the file is replaced whole on each change.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/registry.h"
#include "temp_store.h"

using platform::RegistryKey;
using platform::RegRoot;
using platform::RegStatus;
using platform::RegType;
using platform::RegValue;

namespace {

constexpr const char* kKey = "SOFTWARE\\Calvento R&D\\TEST";

std::vector<uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

struct ValueCase {
    const char* name;
    RegType type;
    std::vector<uint8_t> data;
};

std::vector<ValueCase> AllKindsOfValue() {
    std::vector<uint8_t> history(11432);
    for (size_t i = 0; i < history.size(); ++i)
        history[i] = static_cast<uint8_t>(i * 7 + 3);
    return {
        {"File Name", RegType::String, Bytes(std::string("C:\\work\\a \"b\".vxo") + '\0')},
        {"Empty", RegType::String, {0}},
        {"Two Lines", RegType::String, Bytes(std::string("a\nb") + '\0')},
        {"Single-byte Text", RegType::String, {'M', 0xFC, 'l', 'l', 'e', 'r', 0}},
        {"No Terminator", RegType::String, Bytes("abc")},
        {"Drop", RegType::Dword, {0xFF, 0, 0, 0}},
        {"Channel", RegType::Dword, {0x0B, 0x00}},
        {"History", RegType::Binary, history},
        {"Nothing", RegType::Binary, {}},
        {"Expand", RegType::ExpandString, Bytes(std::string("%TEMP%") + '\0')},
        {"Quote\"And\\Slash", RegType::Dword, {1, 2, 3, 4}},
        {"", RegType::String, Bytes(std::string("default") + '\0')},
    };
}

}  // namespace

TEST(StoreFileTest, EveryTypeAndByteComesBack) {
    TempStore store;
    {
        RegistryKey key;
        ASSERT_EQ(key.Create(RegRoot::CurrentUser, kKey), RegStatus::Ok);
        for (const ValueCase& c : AllKindsOfValue()) {
            ASSERT_EQ(key.SetValue(c.name, c.type, c.data.data(), c.data.size()), RegStatus::Ok)
                << c.name;
        }
    }
    RegistryKey key;
    ASSERT_EQ(key.Open(RegRoot::CurrentUser, kKey), RegStatus::Ok);
    for (const ValueCase& c : AllKindsOfValue()) {
        RegValue value;
        ASSERT_EQ(key.Query(c.name, value), RegStatus::Ok) << c.name;
        EXPECT_EQ(value.type, c.type) << c.name;
        EXPECT_EQ(value.data, c.data) << c.name;
    }
}

TEST(StoreFileTest, WritesRegedit4Text) {
    TempStore store;
    RegistryKey key;
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, "SOFTWARE\\Calvento R&D\\VEXIM"), RegStatus::Ok);
    key.SetString("File Name", "C:\\x\\y.vxo");
    key.SetDword("Drop", 255);
    key.SetShortDword("Channel", 1);
    const uint8_t record[2] = {0x95, 0x05};
    key.SetBinary("History", record, 2);
    EXPECT_EQ(store.Read(),
              "REGEDIT4\n"
              "\n"
              "[HKEY_CURRENT_USER\\SOFTWARE\\Calvento R&D\\VEXIM]\n"
              "\"File Name\"=\"C:\\\\x\\\\y.vxo\"\n"
              "\"Drop\"=dword:000000ff\n"
              "\"Channel\"=hex(4):01,00\n"
              "\"History\"=hex:95,05\n");
}

TEST(StoreFileTest, ReadsWhatRegeditExports) {
    TempStore store;
    store.Write(
        "REGEDIT4\r\n\r\n"
        "; exported on the engineer's laptop\r\n"
        "[HKEY_CURRENT_USER\\Software\\Calvento R&D\\VEXIM]\r\n"
        "\"Com Port\"=\"COM3:\"\r\n"
        "\"Timeout\"=dword:00001770\r\n"
        "\"ProfileHistory\"=hex:41,42,00,\\\r\n"
        "  43,00\r\n"
        "\"Run\"=hex(4):21,00\r\n");
    RegistryKey key;
    // Key and value names match whatever their letter case.
    ASSERT_EQ(key.Open(RegRoot::CurrentUser, "SOFTWARE\\CALVENTO R&D\\vexim"), RegStatus::Ok);
    std::string port;
    EXPECT_EQ(key.QueryString("com port", port, 80), RegStatus::Ok);
    EXPECT_EQ(port, "COM3:");
    uint32_t timeout = 0;
    EXPECT_EQ(key.QueryDword("Timeout", timeout), RegStatus::Ok);
    EXPECT_EQ(timeout, 6000u);
    RegValue names;
    EXPECT_EQ(key.Query("ProfileHistory", names), RegStatus::Ok);
    EXPECT_EQ(names.data, (std::vector<uint8_t>{0x41, 0x42, 0, 0x43, 0}));
    RegValue run;
    EXPECT_EQ(key.Query("Run", run), RegStatus::Ok);
    EXPECT_EQ(run.type, RegType::Dword);
    EXPECT_EQ(run.data, (std::vector<uint8_t>{0x21, 0}));
    // A parent key exists through its children.
    RegistryKey parent;
    EXPECT_EQ(parent.Open(RegRoot::CurrentUser, "Software\\Calvento R&D"), RegStatus::Ok);
}

TEST(StoreFileTest, AnswersLikeTheRegistry) {
    TempStore store;
    RegistryKey missing;
    EXPECT_EQ(missing.Open(RegRoot::CurrentUser, kKey), RegStatus::NotFound);
    EXPECT_FALSE(missing.IsOpen());

    RegistryKey key;
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, kKey), RegStatus::Ok);
    key.SetString("Address", "plc-hall-3");
    key.SetShortDword("Status", 7);

    uint8_t buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    uint32_t size = sizeof buffer;
    RegType type = RegType::None;
    EXPECT_EQ(key.Query("Address", &type, buffer, &size), RegStatus::MoreData);
    EXPECT_EQ(size, 11u);  // the needed size, terminator included
    EXPECT_EQ(type, RegType::String);

    size = 0;
    EXPECT_EQ(key.Query("Address", &type, nullptr, &size), RegStatus::Ok);
    EXPECT_EQ(size, 11u);

    size = sizeof buffer;
    EXPECT_EQ(key.Query("Nowhere", &type, buffer, &size), RegStatus::NotFound);

    std::string text = "kept";
    EXPECT_EQ(key.QueryString("Address", text, 9), RegStatus::MoreData);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(key.QueryString("Status", text, 9), RegStatus::WrongType);
    uint32_t number = 0;
    EXPECT_EQ(key.QueryDword("Status", number), RegStatus::WrongType);  // 2 bytes, not 4

    std::string name;
    RegValue value;
    EXPECT_EQ(key.EnumValue(0, name, value), RegStatus::Ok);
    EXPECT_EQ(name, "Address");
    EXPECT_EQ(key.EnumValue(1, name, value), RegStatus::Ok);
    EXPECT_EQ(name, "Status");
    EXPECT_EQ(key.EnumValue(2, name, value), RegStatus::NoMoreItems);

    // A later write replaces the value in place, whatever the letter case of its name.
    key.SetDword("STATUS", 9);
    EXPECT_EQ(key.QueryDword("status", number), RegStatus::Ok);
    EXPECT_EQ(number, 9u);
    EXPECT_EQ(key.EnumValue(2, name, value), RegStatus::NoMoreItems);
}

TEST(StoreFileTest, DamagedFileIsNeitherReadNorOverwritten) {
    TempStore store;
    const std::string damaged =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Calvento R&D\\TEST]\n\"Drop\"=dword:12\n";
    store.Write(damaged);
    RegistryKey key;
    EXPECT_EQ(key.Open(RegRoot::CurrentUser, kKey), RegStatus::Failed);
    EXPECT_FALSE(key.ErrorText().empty());
    EXPECT_EQ(key.Create(RegRoot::CurrentUser, kKey), RegStatus::Failed);
    EXPECT_EQ(store.Read(), damaged);
}

TEST(StoreFileTest, FailedRewriteLeavesTheOldFile) {
    TempStore store;
    RegistryKey key;
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, kKey), RegStatus::Ok);
    ASSERT_EQ(key.SetDword("Drop", 1), RegStatus::Ok);
    const std::string before = store.Read();
    // A folder where the temporary file must go makes the rewrite fail before the rename.
    const std::string temp = store.path() + ".tmp" + std::to_string(getpid());
    ASSERT_EQ(mkdir(temp.c_str(), 0700), 0);
    EXPECT_EQ(key.SetDword("Drop", 2), RegStatus::Failed);
    EXPECT_EQ(store.Read(), before);
    rmdir(temp.c_str());
    // Nothing but the store and its lock file is left behind by the writes that succeed.
    ASSERT_EQ(key.SetDword("Drop", 3), RegStatus::Ok);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(store.folder())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST(StoreFileTest, WritersInTwoProcessesLoseNothing) {
    TempStore store;
    constexpr int kWrites = 40;
    const auto writeValues = [](const char* prefix) {
        RegistryKey key;
        if (key.Create(RegRoot::CurrentUser, kKey) != RegStatus::Ok)
            return false;
        for (int i = 0; i < kWrites; ++i) {
            if (key.SetDword(prefix + std::to_string(i), static_cast<uint32_t>(i)) != RegStatus::Ok)
                return false;
        }
        return true;
    };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(writeValues("child") ? 0 : 1);
    std::thread second([&] { EXPECT_TRUE(writeValues("thread")); });
    EXPECT_TRUE(writeValues("parent"));
    second.join();
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);

    RegistryKey key;
    ASSERT_EQ(key.Open(RegRoot::CurrentUser, kKey), RegStatus::Ok);
    for (const char* prefix : {"child", "thread", "parent"}) {
        for (int i = 0; i < kWrites; ++i) {
            uint32_t value = 99;
            EXPECT_EQ(key.QueryDword(prefix + std::to_string(i), value), RegStatus::Ok);
            EXPECT_EQ(value, static_cast<uint32_t>(i));
        }
    }
}

TEST(StoreFileTest, WithoutTheVariableTheStoreLivesInTheHomeFolder) {
    TempStore store;
    const std::string home = store.folder() + "/home";
    const char* oldHome = getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    setenv("HOME", home.c_str(), 1);
    unsetenv("CALVENTO_REGISTRY");
    {
        RegistryKey key;
        EXPECT_EQ(key.Create(RegRoot::CurrentUser, kKey), RegStatus::Ok);
        EXPECT_EQ(key.SetDword("Drop", 5), RegStatus::Ok);
    }
    EXPECT_TRUE(std::filesystem::exists(home + "/.config/calvento/registry.reg"));
    setenv("HOME", savedHome.c_str(), 1);
}

TEST(StoreFileTest, LocalMachineIsReadOnly) {
    TempStore store;
    RegistryKey key;
    EXPECT_EQ(key.Create(RegRoot::LocalMachine, "SOFTWARE\\Calvento R&D"), RegStatus::Denied);
}
