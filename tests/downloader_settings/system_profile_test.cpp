// The system profile record: its bytes at their offsets, its texts bounded by their fields, and
// the ".vxf" file that holds exactly one record.

#include "downloader/system_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "temp_store.h"

namespace {

SystemProfile SampleProfile() {
    SystemProfile p;
    p.fileName = "C:\\KRT\\conveyor.vxo";
    p.connectMode = 1;
    p.host = "192.168.1.50";
    p.tcpPort = 0x01F6;  // 502
    p.portName = "COM3:";
    p.baudText = "115200";
    p.parityText = "Even";
    p.ascii = 1;
    p.dataBits = 7;
    p.stopBits = 1;
    p.drop = 0x11223344;
    p.channel = 2;
    p.statusRegister = 0xA1B2;
    p.runRegister = 0x0021;
    p.autoStart = 1;
    p.loadProgram = -2;
    p.eraseFlash = 0x01020304;
    p.retries = 3;
    p.timeoutMs = 5000;
    p.forceFlash = 0x7F000001;
    return p;
}

std::vector<uint8_t> Text(const std::string& text) {
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(SystemProfileTest, FieldsSitAtTheirOffsets) {
    ProfileBytes bytes{};
    ASSERT_TRUE(EncodeProfile(SampleProfile(), bytes));
    const struct {
        size_t offset;
        std::vector<uint8_t> expected;
    } fields[] = {
        {0, {0x95, 0x05}},
        {2, Text("C:\\KRT\\conveyor.vxo")},
        {262, {1}},
        {263, Text("192.168.1.50")},
        {1287, {0xF6, 0x01}},
        {1289, Text("COM3:")},
        {1370, Text("11520")},  // five digits of 115200 fill the field
        {1376, Text("Even")},
        {1381, {1, 0, 0, 0}},
        {1385, {7, 0, 0, 0}},
        {1389, {1, 0, 0, 0}},
        {1393, {0x44, 0x33, 0x22, 0x11}},
        {1397, {2, 0, 0, 0}},
        {1401, {0xB2, 0xA1}},
        {1403, {0x21, 0x00}},
        {1405, {1, 0, 0, 0}},
        {1409, {0xFE, 0xFF, 0xFF, 0xFF}},
        {1413, {0x04, 0x03, 0x02, 0x01}},
        {1417, {3, 0, 0, 0}},
        {1421, {0x88, 0x13, 0, 0}},
        {1425, {0x01, 0x00, 0x00, 0x7F}},
    };
    for (const auto& f : fields) {
        const std::vector<uint8_t> actual(bytes.begin() + f.offset,
                                          bytes.begin() + f.offset + f.expected.size());
        EXPECT_EQ(actual, f.expected) << "offset " << f.offset;
    }
    // Text fields are zero after their terminators.
    EXPECT_EQ(bytes[2 + 259], 0);
    EXPECT_EQ(bytes[263 + 1023], 0);
    EXPECT_EQ(bytes[1289 + 80], 0);
}

TEST(SystemProfileTest, DecodeGivesBackWhatWasEncoded) {
    SystemProfile expected = SampleProfile();
    expected.baudText = "11520";
    ProfileBytes bytes{};
    ASSERT_TRUE(EncodeProfile(SampleProfile(), bytes));
    EXPECT_EQ(DecodeProfile(bytes.data()), expected);
}

TEST(SystemProfileTest, NamesTooLongForTheirFieldsAreRefused) {
    struct Case {
        const char* what;
        std::function<void(SystemProfile&, size_t)> set;
        size_t longest;
    };
    const Case cases[] = {
        {"file name", [](SystemProfile& p, size_t n) { p.fileName.assign(n, 'f'); }, 259},
        {"host", [](SystemProfile& p, size_t n) { p.host.assign(n, 'h'); }, 1023},
        {"port name", [](SystemProfile& p, size_t n) { p.portName.assign(n, 'p'); }, 80},
    };
    for (const Case& c : cases) {
        SystemProfile p = SampleProfile();
        p.baudText = "9600";
        ProfileBytes bytes{};
        bytes.fill(0xAA);
        c.set(p, c.longest + 1);
        EXPECT_FALSE(EncodeProfile(p, bytes)) << c.what;
        EXPECT_EQ(bytes[0], 0xAA) << c.what;
        c.set(p, c.longest);
        ASSERT_TRUE(EncodeProfile(p, bytes)) << c.what;
        EXPECT_EQ(DecodeProfile(bytes.data()), p) << c.what;
    }
}

TEST(SystemProfileTest, UnterminatedTextsStopAtTheEndOfTheirFields) {
    ProfileBytes bytes{};
    bytes.fill('x');
    const SystemProfile p = DecodeProfile(bytes.data());
    EXPECT_EQ(p.fileName, std::string(259, 'x'));
    EXPECT_EQ(p.host, std::string(1023, 'x'));
    EXPECT_EQ(p.portName, std::string(80, 'x'));
    EXPECT_EQ(p.baudText, std::string(5, 'x'));
    EXPECT_EQ(p.parityText, std::string(4, 'x'));
}

TEST(SystemProfileTest, ProfileFileIsTheRawRecord) {
    TempStore folder;
    const std::string path = folder.folder() + "/hall.vxf";
    const SystemProfile written = SampleProfile();
    ASSERT_TRUE(WriteProfileFile(path, written));
    ProfileBytes bytes{};
    ASSERT_TRUE(EncodeProfile(written, bytes));
    EXPECT_EQ(FileBytes(path), std::string(bytes.begin(), bytes.end()));
    SystemProfile read;
    ASSERT_TRUE(ReadProfileFile(path, read));
    EXPECT_EQ(read, DecodeProfile(bytes.data()));
    // Only the profile itself is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.folder()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(SystemProfileTest, FilesThatAreNotOneRecordAreRefused) {
    TempStore folder;
    ProfileBytes good{};
    ASSERT_TRUE(EncodeProfile(SampleProfile(), good));
    std::string wrongSize(good.begin(), good.end());
    wrongSize[0] = static_cast<char>(0x94);
    const struct {
        const char* what;
        std::string content;
        std::string whyNot;
    } cases[] = {
        {"empty", "", "It holds 0 bytes; a system profile is 1429 bytes long."},
        {"one byte short", std::string(good.begin(), good.end() - 1),
         "It holds 1428 bytes; a system profile is 1429 bytes long."},
        {"one byte over", std::string(good.begin(), good.end()) + "x",
         "It is longer than a system profile, which is 1429 bytes long."},
        {"other record size", wrongSize,
         "Its record size is 1428, not 1429: it is not a system profile."},
    };
    for (const auto& c : cases) {
        const std::string path = folder.folder() + "/bad.vxf";
        std::ofstream(path, std::ios::binary) << c.content;
        SystemProfile profile = SampleProfile();
        std::string whyNot;
        EXPECT_FALSE(ReadProfileFile(path, profile, &whyNot)) << c.what;
        EXPECT_EQ(profile, SampleProfile()) << c.what;
        EXPECT_EQ(whyNot, c.whyNot);
    }
    SystemProfile profile = SampleProfile();
    std::string whyNot;
    EXPECT_FALSE(ReadProfileFile(folder.folder() + "/missing.vxf", profile, &whyNot));
    EXPECT_EQ(profile, SampleProfile());
    EXPECT_EQ(whyNot, "The file cannot be opened.");
}

TEST(SystemProfileTest, FailedWriteLeavesTheOldFile) {
    TempStore folder;
    const std::string path = folder.folder() + "/hall.vxf";
    ASSERT_TRUE(WriteProfileFile(path, SampleProfile()));
    const std::string before = FileBytes(path);
    SystemProfile tooLong = SampleProfile();
    tooLong.host.assign(1024, 'h');
    EXPECT_FALSE(WriteProfileFile(path, tooLong));
    EXPECT_FALSE(WriteProfileFile(folder.folder() + "/no/such/folder.vxf", SampleProfile()));
    EXPECT_EQ(FileBytes(path), before);
}

TEST(SystemProfileTest, SavedOverAnOlderProfileWhateverTheFolderIsCalled) {
    TempStore store;
    // Names as the file box hands them over, in the Windows code page: 0x96 is an en dash.
    const char* folders[] = {"Line 4", "Line 4 \x96 Hall", "M\xfcller"};
    for (const char* name : folders) {
        const std::string folder = store.folder() + "/" + name;
        ASSERT_TRUE(std::filesystem::create_directory(folder)) << name;
        const std::string path = folder + "/hall.vxf";
        SystemProfile older = SampleProfile();
        older.drop = 1;
        ASSERT_TRUE(WriteProfileFile(path, older)) << name;
        SystemProfile newer = SampleProfile();
        newer.drop = 2;
        EXPECT_TRUE(WriteProfileFile(path, newer)) << name;
        SystemProfile read;
        ASSERT_TRUE(ReadProfileFile(path, read)) << name;
        EXPECT_EQ(read.drop, 2) << name;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                                std::filesystem::directory_iterator()),
                  1)
            << name;
    }
}
