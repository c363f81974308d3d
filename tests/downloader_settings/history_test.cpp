// The download history (newest first, one entry per file, eight at most) and the profile
// history, and how both are kept in the store.

#include "downloader/history.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "downloader/settings.h"
#include "platform/registry.h"
#include "settings_fixture.h"

namespace {

SystemProfile Download(const std::string& fileName, int32_t drop = 1) {
    SystemProfile p;
    p.fileName = fileName;
    p.drop = drop;
    p.baudText = "9600";
    p.parityText = "Even";
    return p;
}

std::vector<std::string> HistoryNames() {
    std::vector<std::string> names;
    for (int32_t i = 0; i < historyCount; ++i)
        names.push_back(downloadHistory[i].fileName);
    return names;
}

std::vector<std::string> Names(int first, int last) {
    std::vector<std::string> names;
    for (int i = first; i >= last; --i)
        names.push_back("f" + std::to_string(i) + ".vxo");
    return names;
}

void ForgetHistoryInMemory() {
    historyCount = 0;
    for (SystemProfile& record : downloadHistory)
        record = {};
    for (std::string& name : profileHistory)
        name = "stale";
}

platform::RegValue StoredValue(const char* name) {
    platform::RegistryKey key;
    platform::RegValue value;
    key.Open(platform::RegRoot::CurrentUser, kSettingsKey);
    key.Query(name, value);
    return value;
}

void StoreValue(const char* name, const platform::RegValue& value) {
    platform::RegistryKey key;
    key.Create(platform::RegRoot::CurrentUser, kSettingsKey);
    key.SetValue(name, value.type, value.data.data(), static_cast<uint32_t>(value.data.size()));
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct DebuggerOutput {
    std::string debugFile;  // what reached $CALVENTO_DEBUG_OUTPUT
    std::string terminal;   // what reached standard error
};

// What `run` sends as debugger output off Windows (to the file $CALVENTO_DEBUG_OUTPUT names, when
// `named`), and what it leaves on the terminal.
DebuggerOutput DebuggerOutputOf(const std::string& folder, bool named,
                                const std::function<void()>& run) {
    const std::string debugPath = folder + "/debugger.txt";
    const std::string terminalPath = folder + "/stderr.txt";
    std::remove(debugPath.c_str());
    if (named)
        setenv("CALVENTO_DEBUG_OUTPUT", debugPath.c_str(), 1);
    const int capture = open(terminalPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int saved = dup(STDERR_FILENO);
    dup2(capture, STDERR_FILENO);
    close(capture);
    run();
    dup2(saved, STDERR_FILENO);
    close(saved);
    unsetenv("CALVENTO_DEBUG_OUTPUT");
    return {FileText(debugPath), FileText(terminalPath)};
}

}  // namespace

TEST_F(SettingsTest, RestoreFilesTellsTheDebuggerWhetherTheKeyOpened) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        const char* output;
    };
    const Case cases[] = {
        {"no key", [] {}, "RestoreFiles failed to open Registry Key!\n"},
        {"key present",
         [] {
             StoreValue("FileCount", {platform::RegType::Dword, {0, 0, 0, 0}});
         },
         "RestoreFiles opened Registry Key!\n"},
    };
    for (const Case& c : cases) {
        c.prepare();
        for (const bool named : {true, false}) {
            const DebuggerOutput output =
                DebuggerOutputOf(store.folder(), named, [] { RestoreFiles(nullptr); });
            EXPECT_EQ(output.debugFile, named ? c.output : "") << c.what;
            EXPECT_EQ(output.terminal, "") << c.what;  // a first run prints nothing to the user
        }
    }
}

TEST_F(SettingsTest, NewestDownloadComesFirstAndTheNinthDropsTheOldest) {
    for (int i = 1; i <= 9; ++i)
        ASSERT_TRUE(AddDownloadHistory(Download("f" + std::to_string(i) + ".vxo")));
    EXPECT_EQ(historyCount, 8);
    EXPECT_EQ(HistoryNames(), Names(9, 2));
}

TEST_F(SettingsTest, SameFileMovesUpWhateverItsLetterCase) {
    for (int i = 1; i <= 8; ++i)
        AddDownloadHistory(Download("f" + std::to_string(i) + ".vxo"));
    // "f3.vxo" is at position 5 of the full history.
    ASSERT_EQ(HistoryNames()[5], "f3.vxo");
    ASSERT_TRUE(AddDownloadHistory(Download("F3.VXO", 42)));
    EXPECT_EQ(historyCount, 8);
    EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"F3.VXO", "f8.vxo", "f7.vxo", "f6.vxo",
                                                        "f5.vxo", "f4.vxo", "f2.vxo", "f1.vxo"}));
    EXPECT_EQ(downloadHistory[0].drop, 42);
    EXPECT_EQ(downloadHistory[0].recordSize, kSystemProfileSize);

    // Not full: a repeat does not add a record.
    ForgetHistoryInMemory();
    AddDownloadHistory(Download("a.vxo"));
    AddDownloadHistory(Download("b.vxo"));
    AddDownloadHistory(Download("A.vxo"));
    EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"A.vxo", "b.vxo"}));
}

TEST_F(SettingsTest, RecordThatCannotBeStoredChangesNothing) {
    AddDownloadHistory(Download("a.vxo"));
    EXPECT_FALSE(AddDownloadHistory(Download(std::string(260, 'x'))));
    EXPECT_EQ(HistoryNames(), (std::vector<std::string>{"a.vxo"}));
}

TEST_F(SettingsTest, HistoriesComeBackFromTheStore) {
    for (int i = 1; i <= 3; ++i)
        AddDownloadHistory(Download("f" + std::to_string(i) + ".vxo", i));
    AddProfileHistory("C:\\profiles\\hall.vxf");
    SaveHistory();
    EXPECT_EQ(StoredValue("History").data.size(), 11432u);
    EXPECT_EQ(StoredValue("History").type, platform::RegType::Binary);
    EXPECT_EQ(StoredValue("ProfileHistory").data.size(), 2080u);
    EXPECT_EQ(StoredValue("FileCount").data, (std::vector<uint8_t>{3, 0, 0, 0}));

    ForgetHistoryInMemory();
    RestoreFiles(nullptr);
    EXPECT_EQ(HistoryNames(), Names(3, 1));
    EXPECT_EQ(downloadHistory[2].drop, 1);
    EXPECT_EQ(profileHistory[0], "C:\\profiles\\hall.vxf");
    EXPECT_EQ(profileHistory[1], "");
}

TEST_F(SettingsTest, DamagedHistoryKeepsOnlyItsValidPart) {
    for (int i = 1; i <= 3; ++i)
        AddDownloadHistory(Download("f" + std::to_string(i) + ".vxo"));
    const platform::RegValue history = StoredValue("History");
    struct Case {
        const char* what;
        std::function<void()> damage;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"count above 8",
         [] {
             platform::RegistryKey key;
             key.Create(platform::RegRoot::CurrentUser, kSettingsKey);
             key.SetDword("FileCount", 9);
         },
         {}},
        {"second record's size",
         [&] {
             platform::RegValue damaged = history;
             damaged.data[kSystemProfileSize] = 0x94;
             StoreValue("History", damaged);
         },
         Names(3, 3)},
        {"records cut short",
         [&] {
             platform::RegValue cut = history;
             cut.data.resize(2 * kSystemProfileSize + 100);
             StoreValue("History", cut);
         },
         Names(3, 2)},
        {"history longer than eight records",
         [] {
             StoreValue("History", {platform::RegType::Binary, std::vector<uint8_t>(11433)});
         },
         {}},
    };
    for (const Case& c : cases) {
        StoreValue("History", history);
        StoreValue("FileCount", {platform::RegType::Dword, {3, 0, 0, 0}});
        c.damage();
        ForgetHistoryInMemory();
        RestoreFiles(nullptr);
        EXPECT_EQ(HistoryNames(), c.names) << c.what;
    }
}

TEST_F(SettingsTest, StoredNamesStayInsideTheirSlots) {
    // Every byte set: no name ends before its slot does.
    StoreValue("ProfileHistory", {platform::RegType::Binary, std::vector<uint8_t>(2080, 'n')});
    std::vector<uint8_t> records(11432, 'r');
    records[0] = 0x95;
    records[1] = 0x05;
    StoreValue("History", {platform::RegType::Binary, records});
    StoreValue("FileCount", {platform::RegType::Dword, {1, 0, 0, 0}});
    RestoreFiles(nullptr);
    for (const std::string& name : profileHistory)
        EXPECT_EQ(name, std::string(259, 'n'));
    ASSERT_EQ(historyCount, 1);
    EXPECT_EQ(downloadHistory[0].fileName, std::string(259, 'r'));
    EXPECT_EQ(downloadHistory[0].host, std::string(1023, 'r'));
}

TEST_F(SettingsTest, MissingProfileHistoryIsCleared) {
    StoreValue("FileCount", {platform::RegType::Dword, {0, 0, 0, 0}});
    for (std::string& name : profileHistory)
        name = "stale";
    RestoreFiles(nullptr);
    for (const std::string& name : profileHistory)
        EXPECT_EQ(name, "");
}

TEST_F(SettingsTest, ProfileHistoryKeepsOneEntryPerExactName) {
    for (int i = 1; i <= 9; ++i)
        AddProfileHistory("p" + std::to_string(i) + ".vxf");
    EXPECT_EQ(profileHistory[0], "p9.vxf");
    EXPECT_EQ(profileHistory[7], "p2.vxf");
    // A name already listed leaves the order alone; another letter case is another name.
    AddProfileHistory("p5.vxf");
    EXPECT_EQ(profileHistory[0], "p9.vxf");
    AddProfileHistory("P5.vxf");
    EXPECT_EQ(profileHistory[0], "P5.vxf");
    EXPECT_EQ(profileHistory[1], "p9.vxf");
    EXPECT_EQ(profileHistory[7], "p3.vxf");
}
