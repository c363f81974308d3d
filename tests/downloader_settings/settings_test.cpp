// The settings: defaults, the stored values with their names, types and order, the round trip
// through the store file, and the ranges every restored value is brought into.

#include "downloader/settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "platform/registry.h"
#include "settings_fixture.h"

namespace {

const std::string kSection = "[HKEY_CURRENT_USER\\SOFTWARE\\Calvento R&D\\VEXIM]\n";

std::string StoreText(const std::string& lines) {
    return "REGEDIT4\n\n" + kSection + lines;
}

// The value lines of the settings key, in file order.
std::vector<std::string> ValueLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = text.find(kSection);
    if (pos == std::string::npos)
        return lines;
    pos += kSection.size();
    while (pos < text.size() && text[pos] == '"') {
        const size_t end = text.find('\n', pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

void SetEveryValueAwayFromItsDefault() {
    loadOptions.fileName = "C:\\Projects\\line 4\\conveyor.vxo";
    linkSettings.portName = "COM4:";
    loadOptions.lastFlashFile = "C:\\backup\\krt.bin";
    loadOptions.ignoreWarnings = 1;
    loadOptions.forceFlash = 1;
    loadOptions.loadProgram = 0;
    loadOptions.eraseFlash = 0;
    loadOptions.autoStart = 0;
    loadOptions.channel = 11;
    loadOptions.runRegister = 40;
    loadOptions.statusRegister = 12;
    linkSettings.drop = 17;
    linkSettings.tcpPort = 5020;
    linkSettings.dataBits = 7;
    linkSettings.parity = 2;
    linkSettings.host = "192.168.10.20";
    linkSettings.baudIndex = 19;
    linkSettings.ascii = 1;
    linkSettings.connectMode = 1;
    linkSettings.timeoutMs = 7000;
    linkSettings.retries = 4;
}

}  // namespace

TEST_F(SettingsTest, DefaultsWhenThereIsNoKey) {
    EXPECT_EQ(RestoreSettings(), 0);
    EXPECT_NE(LogText().find("\nRestoreSettings unable to load registry key.\n\terror: "),
              std::string::npos);
    // Values the defaults leave alone.
    linkSettings.connectMode = 1;
    loadOptions.lastFlashFile = "flash.bin";
    loadOptions.profileName = "hall.vxf";
    loadOptions.portMode = "9600,E,8,1";
    loadOptions.stopBits = 2;
    loadOptions.ignoreHaltStatus = 1;
    loadOptions.unattended = 1;
    loadOptions.fileName = "old.vxo";
    LoadDefaultSettings(nullptr);

    const LinkSettings& l = linkSettings;
    const LoadOptions& o = loadOptions;
    EXPECT_EQ(o.fileName, "");
    EXPECT_EQ(l.portName, "");
    EXPECT_EQ(
        std::make_tuple(o.ignoreWarnings, o.forceFlash, o.loadProgram, o.eraseFlash, o.autoStart),
        std::make_tuple(0, 0, 1, 1, 1));
    EXPECT_EQ(std::make_tuple(o.channel, o.runRegister, o.statusRegister),
              std::make_tuple(int16_t{1}, uint16_t{33}, uint16_t{0}));
    EXPECT_EQ(std::make_tuple(l.drop, l.tcpPort, l.dataBits, l.parity, l.baudIndex, l.ascii),
              std::make_tuple(255, 502u, 8, 1, 13, 0));
    EXPECT_EQ(BaudTable[l.baudIndex], 9600u);
    EXPECT_EQ(l.host, "");
    EXPECT_EQ(std::make_tuple(l.timeoutMs, l.retries, o.unattended), std::make_tuple(2500, 0, 0));
    EXPECT_EQ(std::make_tuple(l.connectMode, o.lastFlashFile, o.profileName, o.portMode, o.stopBits,
                              o.ignoreHaltStatus),
              std::make_tuple(1, std::string("flash.bin"), std::string("hall.vxf"),
                              std::string("9600,E,8,1"), 2, 1));
}

TEST_F(SettingsTest, FirstSaveAndRestoreRaiseTimeoutAndRetries) {
    LoadDefaultSettings(nullptr);
    ASSERT_EQ(SaveSettings(), 1);
    ASSERT_EQ(RestoreSettings(), 1);
    EXPECT_EQ(linkSettings.timeoutMs, 5000);
    EXPECT_EQ(linkSettings.retries, 3);
    EXPECT_EQ(loadOptions.stopBits, 1);
}

TEST_F(SettingsTest, SavedInOrderWithTheirTypes) {
    SetEveryValueAwayFromItsDefault();
    ASSERT_EQ(SaveSettings(), 1);
    const std::vector<std::string> expected = {
        "\"File Name\"=\"C:\\\\Projects\\\\line 4\\\\conveyor.vxo\"",
        "\"Com Port\"=\"COM4:\"",
        "\"Last Flash\"=\"C:\\\\backup\\\\krt.bin\"",
        "\"Ignore Warnings\"=dword:00000001",
        "\"Force Flash\"=dword:00000001",
        "\"Load\"=dword:00000000",
        "\"Erase\"=dword:00000000",
        "\"Auto Start\"=dword:00000000",
        "\"Channel\"=hex(4):0b,00",
        "\"Run\"=hex(4):28,00",
        "\"Status\"=hex(4):0c,00",
        "\"Drop\"=dword:00000011",
        "\"TCP Port\"=dword:0000139c",
        "\"Data\"=dword:00000007",
        "\"Parity\"=dword:00000002",
        "\"Address\"=\"192.168.10.20\"",
        "\"Baud\"=dword:00000013",
        "\"Ascii\"=dword:00000001",
        "\"Connect Mode\"=dword:00000001",
        "\"Timeout\"=dword:00001b58",
        "\"Retries\"=dword:00000004",
    };
    EXPECT_EQ(ValueLines(store.Read()), expected);
}

TEST_F(SettingsTest, RoundTripThroughTheStoreFile) {
    SetEveryValueAwayFromItsDefault();
    const LinkSettings savedLink = linkSettings;
    const LoadOptions savedLoad = loadOptions;
    ASSERT_EQ(SaveSettings(), 1);
    linkSettings = {};
    loadOptions = {};
    ASSERT_EQ(RestoreSettings(), 1);
    const LinkSettings& l = linkSettings;
    const LoadOptions& o = loadOptions;
    const LinkSettings& s = savedLink;
    const LoadOptions& so = savedLoad;
    EXPECT_EQ(std::tie(l.portName, l.baudIndex, l.parity, l.dataBits, l.ascii, l.connectMode,
                       l.drop, l.host, l.tcpPort, l.timeoutMs, l.retries),
              std::tie(s.portName, s.baudIndex, s.parity, s.dataBits, s.ascii, s.connectMode,
                       s.drop, s.host, s.tcpPort, s.timeoutMs, s.retries));
    EXPECT_EQ(
        std::tie(o.fileName, o.channel, o.statusRegister, o.runRegister, o.autoStart, o.eraseFlash,
                 o.loadProgram, o.forceFlash, o.ignoreWarnings, o.lastFlashFile),
        std::tie(so.fileName, so.channel, so.statusRegister, so.runRegister, so.autoStart,
                 so.eraseFlash, so.loadProgram, so.forceFlash, so.ignoreWarnings,
                 so.lastFlashFile));
}

TEST_F(SettingsTest, RestoredValuesAreBroughtIntoRange) {
    struct Case {
        const char* line;
        std::function<int64_t()> field;
        int64_t restored;
    };
    const auto baud = [] { return int64_t{linkSettings.baudIndex}; };
    const auto parity = [] { return int64_t{linkSettings.parity}; };
    const auto data = [] { return int64_t{linkSettings.dataBits}; };
    const auto channel = [] { return int64_t{loadOptions.channel}; };
    const auto mode = [] { return int64_t{linkSettings.connectMode}; };
    const auto drop = [] { return int64_t{linkSettings.drop}; };
    const auto port = [] { return int64_t{linkSettings.tcpPort}; };
    const auto timeout = [] { return int64_t{linkSettings.timeoutMs}; };
    const auto retries = [] { return int64_t{linkSettings.retries}; };
    const auto run = [] { return int64_t{loadOptions.runRegister}; };
    const auto status = [] { return int64_t{loadOptions.statusRegister}; };
    const Case cases[] = {
        {"\"Baud\"=dword:00000013", baud, 19},
        {"\"Baud\"=dword:00000014", baud, 13},
        {"\"Baud\"=dword:ffffffff", baud, 13},
        {"\"Parity\"=dword:00000002", parity, 2},
        {"\"Parity\"=dword:00000003", parity, 1},
        {"\"Data\"=dword:00000007", data, 7},
        {"\"Data\"=dword:00000009", data, 8},
        {"\"Data\"=dword:00000000", data, 8},
        {"\"Channel\"=hex(4):0a,00", channel, 10},
        {"\"Channel\"=hex(4):02,00", channel, 2},
        {"\"Channel\"=hex(4):03,00", channel, 1},
        {"\"Channel\"=hex(4):0c,00", channel, 1},
        {"\"Channel\"=dword:0000000b", channel, 11},
        {"\"Connect Mode\"=dword:00000001", mode, 1},
        {"\"Connect Mode\"=dword:00000002", mode, 0},
        {"\"Drop\"=dword:00000000", drop, 0},
        {"\"Drop\"=dword:00000100", drop, 255},
        {"\"TCP Port\"=dword:00001f90", port, 8080},
        {"\"TCP Port\"=dword:00000000", port, 502},
        {"\"TCP Port\"=dword:00011170", port, 502},
        {"\"Timeout\"=dword:00001770", timeout, 6000},
        {"\"Timeout\"=dword:00001389", timeout, 5001},
        {"\"Timeout\"=dword:00001388", timeout, 5000},
        {"\"Timeout\"=dword:00000bb8", timeout, 5000},
        {"\"Timeout\"=dword:ffffffff", timeout, 5000},
        {"\"Retries\"=dword:00000000", retries, 3},
        {"\"Retries\"=dword:00000001", retries, 1},
        {"\"Retries\"=dword:ffffffff", retries, 3},
        {"\"Run\"=hex(4):21,00", run, 33},
        {"\"Status\"=hex(4):ff,ff", status, 65535},
    };
    for (const Case& c : cases) {
        LoadDefaultSettings(nullptr);
        store.Write(StoreText(std::string(c.line) + "\n"));
        ASSERT_EQ(RestoreSettings(), 1) << c.line;
        EXPECT_EQ(c.field(), c.restored) << c.line;
    }
}

TEST_F(SettingsTest, UnreadableValuesKeepTheirVariables) {
    loadOptions.fileName = "C:\\kept.vxo";
    linkSettings.portName = "COM2:";
    loadOptions.channel = 2;
    loadOptions.runRegister = 40;
    linkSettings.drop = 9;
    linkSettings.parity = 2;
    store.Write(StoreText("\"File Name\"=\"" + std::string(260, 'f') + "\"\n" +
                          "\"Com Port\"=\"COM" + std::string(78, '1') + "\"\n" +
                          "\"Channel\"=dword:00010001\n"
                          "\"Run\"=hex(4):21\n"
                          "\"Drop\"=\"17\"\n"
                          "\"Parity\"=hex(4):00,00\n"));
    ASSERT_EQ(RestoreSettings(), 1);
    EXPECT_EQ(loadOptions.fileName, "C:\\kept.vxo");  // longer than a file name may be
    EXPECT_EQ(linkSettings.portName, "COM2:");        // 81 characters
    EXPECT_EQ(loadOptions.channel, 2);                // does not fit 16 bits
    EXPECT_EQ(loadOptions.runRegister, 40);           // one byte
    EXPECT_EQ(linkSettings.drop, 9);                  // a text
    EXPECT_EQ(linkSettings.parity, 2);                // two bytes where four belong
}

TEST_F(SettingsTest, LongestTextsAreTakenWhole) {
    const std::string file = std::string(kMaxFileName, 'f');
    const std::string port = "COM" + std::string(kMaxPortName - 3, '1');
    const std::string host = std::string(kMaxHost, 'h');
    store.Write(StoreText("\"File Name\"=\"" + file + "\"\n\"Com Port\"=\"" + port +
                          "\"\n\"Address\"=\"" + host + "\"\n"));
    ASSERT_EQ(RestoreSettings(), 1);
    EXPECT_EQ(loadOptions.fileName, file);
    EXPECT_EQ(linkSettings.portName, port);
    EXPECT_EQ(linkSettings.host, host);
}

TEST_F(SettingsTest, HostFallsBackToTheNumericAddress) {
    struct Case {
        std::string lines;
        const char* host;
    };
    const Case cases[] = {
        {"\"Address\"=\"plc-hall-3\"\n\"IP Address\"=dword:0a000001\n", "plc-hall-3"},
        {"\"IP Address\"=dword:0a000001\n", "10.0.0.1"},
        {"\"IP Address\"=dword:c0a80afe\n", "192.168.10.254"},
        {"\"Address\"=\"" + std::string(1024, 'h') + "\"\n\"IP Address\"=dword:0a000001\n",
         "10.0.0.1"},
        {"\"Drop\"=dword:00000001\n", ""},
    };
    for (const Case& c : cases) {
        linkSettings.host = "previous";
        store.Write(StoreText(c.lines));
        ASSERT_EQ(RestoreSettings(), 1);
        EXPECT_EQ(linkSettings.host, c.host) << c.lines.substr(0, 40);
    }
}

TEST_F(SettingsTest, KeyThatCannotBeCreatedIsLogged) {
    // The store's folder is a plain file: nothing can be created below it.
    store.Write("");
    setenv("CALVENTO_REGISTRY", (store.path() + "/registry.reg").c_str(), 1);
    LoadDefaultSettings(nullptr);
    EXPECT_EQ(SaveSettings(), 0);
    const std::string log = LogText();
    const std::string head = "\nSaveSettings unable to load registry key.\n\terror: ";
    ASSERT_EQ(log.rfind(head, 0), 0u) << log;
    EXPECT_GT(log.size(), head.size() + 1);
    EXPECT_EQ(log.back(), '\n');
}

TEST_F(SettingsTest, FailedWriteIsReportedAndLeavesTheStore) {
    LoadDefaultSettings(nullptr);
    ASSERT_EQ(SaveSettings(), 1);
    const std::string before = store.Read();
    // A folder in the way of the store's temporary file makes every write fail.
    const std::string blocker = store.path() + ".tmp" + std::to_string(getpid());
    ASSERT_EQ(mkdir(blocker.c_str(), 0700), 0);
    loadOptions.fileName = "C:\\new.vxo";
    EXPECT_EQ(SaveSettings(), 0);
    rmdir(blocker.c_str());
    EXPECT_EQ(store.Read(), before);
}

namespace {

// The stored values as the next start restores them, from the program's start state (zeros).
struct Restored {
    int32_t loadProgram, eraseFlash, autoStart;
    uint16_t runRegister;
    int32_t baudIndex, parity, dataBits, drop;
    int16_t channel;
    bool operator==(const Restored&) const = default;
};
Restored RestoreAtStart() {
    linkSettings = {};
    loadOptions = {};
    RestoreOverDefaults();
    const LinkSettings& l = linkSettings;
    const LoadOptions& o = loadOptions;
    return {o.loadProgram, o.eraseFlash, o.autoStart, o.runRegister, l.baudIndex,
            l.parity,      l.dataBits,   l.drop,      o.channel};
}
std::ostream& operator<<(std::ostream& out, const Restored& r) {
    return out << "load " << r.loadProgram << " erase " << r.eraseFlash << " auto " << r.autoStart
               << " run " << r.runRegister << " baud " << r.baudIndex << " parity " << r.parity
               << " data " << r.dataBits << " drop " << r.drop << " channel " << r.channel;
}

}  // namespace

// An unattended run saves only what its line set. Into a store with no key, or with a key that
// lacks values, that save must not leave a key whose other values restore as zeros (Load File
// and Erase Flash off, 50 baud, no parity, run register 0): what the store does not hold starts
// from its default, by either road. A complete key keeps every value it holds.
TEST_F(SettingsTest, ValuesTheStoreLacksStartFromTheirDefaults) {
    const Restored defaults{1, 1, 1, 33, 13, 1, 8, 255, 1};
    struct Case {
        const char* store;     // the key before the run; null: no key
        bool saveOnlyTheLine;  // a run that saved channel and drop; else only a restore
        Restored expected;
    };
    const Case cases[] = {
        {nullptr, true, {1, 1, 1, 33, 13, 1, 8, 4, 2}},
        {"\"Drop\"=dword:00000009\n", false, {1, 1, 1, 33, 13, 1, 8, 9, 1}},
        {"\"Drop\"=dword:00000009\n\"Load\"=dword:00000000\n", true, {0, 1, 1, 33, 13, 1, 8, 4, 2}},
        {"", false, defaults},
        // Values held away from their defaults are kept.
        {"\"Load\"=dword:00000000\n\"Erase\"=dword:00000000\n\"Auto Start\"=dword:00000000\n"
         "\"Run\"=hex(4):28,00\n\"Baud\"=dword:00000011\n\"Parity\"=dword:00000002\n"
         "\"Data\"=dword:00000007\n\"Drop\"=dword:00000011\n\"Channel\"=hex(4):02,00\n",
         true,
         {0, 0, 0, 40, 17, 2, 7, 4, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.store ? c.store : "no key");
        if (c.store)
            store.Write(StoreText(c.store));
        else
            store.Write("REGEDIT4\n\n");
        if (c.saveOnlyTheLine) {
            linkSettings = {};
            loadOptions = {};
            RestoreOverDefaults();
            linkSettings.drop = 4;
            loadOptions.channel = 2;
            linkSettings.retries = 0;  // every command line clears it
            ASSERT_EQ(SaveSettings(kStoredDrop | kStoredChannel), 1);
            // The key now holds every value.
            EXPECT_EQ(ValueLines(store.Read()).size(), 21u) << store.Read();
        }
        EXPECT_EQ(RestoreAtStart(), c.expected);
    }
}
