// The Program Info list of a user-code file and the Module Info query after a download.

#include <gtest/gtest.h>

#include <cstdio>

#include "downloader/log_file.h"
#include "downloader/md5.h"
#include "downloader/module_info.h"
#include "downloader/program_info.h"
#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "loader_fixture.h"
#include "vxo_builder.h"

namespace {

std::string Hex(const uint8_t* bytes, size_t count) {
    std::string text;
    char pair[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

class InformationTest : public loader_test::SimulatorTest {
  protected:
    static vxo::Builder Listed() {
        vxo::Builder object;
        object.Text(kMinFirmwareBlock, "01Jan2019")
            .Text(kRevisionBlock, "Pump 11Mar2022")
            .Fixups(kCodeFixupBlock, 0x100, {0})
            .Fixups(kDataFixupBlock, 0x200, {4})
            .Fixups(kHookFixupBlock, 0x300, {8})
            .Block(0x0999, {1, 2, 3})
            .Text(kKrtVersionBlock, std::string("2\0", 2))
            .Code(vxo::CountingWords(12));
        return object;
    }
};

TEST_F(InformationTest, RowsAndLogOfAGoodObject) {
    const std::string path = TempPath("listed.vxo");
    Listed().WriteTo(path);
    loader_test::LogCapture log;
    InfoRows rows;

    ASSERT_EQ(DisplayInformation(rows, path), 1);

    Md5Context expected{};
    ASSERT_EQ(DigestFile(expected, path), 0);
    const std::vector<std::pair<std::string, std::string>> want = {
        {"File MD5", Hex(expected.digest, 8)},
        {" ", Hex(expected.digest + 8, 8)},
        {"MinFirmware", "01Jan2019"},
        {"Revision", "Pump 11Mar2022"},
        {"Unknown Block", "(0x0300)"},
        {"Unknown Block", "(0x0301)"},
        {"Unknown Block", "(0x0302)"},
        {"Unknown Block", "(0x0999)"},
        {"KRTVersion", "2"},
        {"Checksum", "OK (0x0000)"},
    };
    ASSERT_EQ(rows.size(), want.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].header, want[i].first) << i;
        EXPECT_EQ(rows[i].information, want[i].second) << i;
    }
    EXPECT_EQ(Hex(FileDigest.digest, 16), Hex(expected.digest, 16));
    EXPECT_EQ(log.Text(),
              "DisplayInformation running\n"
              "Blocktype 0001\n\tBlock Type 'MinFirmware'\n\t Block Length 9\n"
              "\tAdvancing file cursor\n"
              "Blocktype 0102\n\tBlock Type 'Revision'\n\t Block Length 14\n"
              "\tAdvancing file cursor\n"
              "Blocktype 0003\nUnknown block type 3\n\t Block Length 8\n\tAdvancing file cursor\n"
              "Blocktype 0103\nUnknown block type 103\n\t Block Length 8\n"
              "\tAdvancing file cursor\n"
              "Blocktype 0203\nUnknown block type 203\n\t Block Length 8\n"
              "\tAdvancing file cursor\n"
              "Blocktype 9909\nUnknown block type 9909\n\t Block Length 3\n"
              "\tAdvancing file cursor\n"
              "Blocktype 0701\n\tBlock Type 'KRTVersion'\n\t Block Length 2\n"
              "\tAdvancing file cursor\n"
              "Blocktype 0000\nApplication Block found.\n");
}

TEST_F(InformationTest, DamagedPayloadFailsItsChecksum) {
    const std::string path = TempPath("damaged.vxo");
    vxo::Builder object = Listed();
    object.Trailing({0x01, 0x00});
    object.WriteTo(path);
    std::vector<uint16_t> payload = object.PayloadWords();
    payload.push_back(0x0001);
    char expected[32];
    std::snprintf(expected, sizeof expected, "Fail (0x%04X)", vxo::CrcWordFor(payload));
    InfoRows rows;
    ASSERT_EQ(DisplayInformation(rows, path), 1);
    EXPECT_EQ(rows.back().header, "Checksum");
    EXPECT_EQ(rows.back().information, expected);
}

TEST_F(InformationTest, FilesThatAreNotListed) {
    InfoRows rows = {{"old", "row"}};
    EXPECT_EQ(DisplayInformation(rows, ""), 0);
    EXPECT_EQ(DisplayInformation(rows, TempPath("missing.vxo")), 0);
    const std::string raw = TempPath("raw.vxl");
    vxo::Builder().Raw().Code(vxo::CountingWords(8)).WriteTo(raw);
    EXPECT_EQ(DisplayInformation(rows, raw), -1);
    EXPECT_TRUE(rows.empty());
    // A block running past the end: the listing stops there.
    const std::string cut = TempPath("cut.vxo");
    vxo::Builder()
        .Text(kCommentBlock, "x")
        .BlockWithLength(kCommentBlock, {'y'}, 99)
        .EndAfterBlocks()
        .WriteTo(cut);
    ASSERT_EQ(DisplayInformation(rows, cut), 1);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].information, "x");
    EXPECT_EQ(rows[3].information, "Unexpected end of file");
}

TEST_F(InformationTest, ModuleInfoMatchesTheDownloadedFile) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("listed.vxo");
    Listed().WriteTo(path);
    InfoRows rows;
    ASSERT_EQ(DisplayInformation(rows, path), 1);
    LoadOptionsFor(path, 1);
    ASSERT_EQ(RunLoad(), 1) << Transcript();
    loader_test::LogCapture log;

    ModuleInfo info;
    ASSERT_TRUE(WithScript("", [&] { return QueryModuleInfo(info); }));
    EXPECT_EQ(info.firmware, "KRT-2000 03Dec2020  ");
    EXPECT_EQ(info.serialNumber, "1234567");
    EXPECT_EQ(info.applicationSpace1, "Application header missing");
    EXPECT_EQ(info.applicationSpace2, "Application header missing");
    EXPECT_EQ(info.digest, "Matched!");
    EXPECT_EQ(log.Text(), "Read user code length as 14 (E)\n");

    // Another file listed: the module's digest is shown instead.
    Md5Context loaded{};
    ASSERT_EQ(DigestFile(loaded, path), 0);
    const std::string other = TempPath("other.vxo");
    vxo::Builder().Code(vxo::CountingWords(3)).WriteTo(other);
    ASSERT_EQ(DisplayInformation(rows, other), 1);
    ASSERT_TRUE(WithScript("", [&] { return QueryModuleInfo(info); }));
    EXPECT_EQ(info.digest, Hex(loaded.digest, 16));
}

// Once the list shows no file (the name typed on is not one, or not a user-code object), no
// module is said to match: the digest of the file listed before is gone with it.
TEST_F(InformationTest, NoMatchOnceNothingIsListed) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("listed.vxo");
    Listed().WriteTo(path);
    LoadOptionsFor(path, 1);
    ASSERT_EQ(RunLoad(), 1) << Transcript();
    Md5Context loaded{};
    ASSERT_EQ(DigestFile(loaded, path), 0);
    const std::string notObject = TempPath("notes.txt");
    std::FILE* notes = std::fopen(notObject.c_str(), "wb");
    std::fputs("not a user-code object", notes);
    std::fclose(notes);
    for (const std::string& unlisted : {TempPath("missing.vxo"), notObject, std::string()}) {
        SCOPED_TRACE(unlisted);
        InfoRows rows;
        ASSERT_EQ(DisplayInformation(rows, path), 1);
        EXPECT_LE(DisplayInformation(rows, unlisted), 0);
        EXPECT_TRUE(rows.empty());
        ModuleInfo info;
        ASSERT_TRUE(WithScript("", [&] { return QueryModuleInfo(info); }));
        EXPECT_EQ(info.digest, Hex(loaded.digest, 16));
    }
}

TEST_F(InformationTest, ModuleInfoShowsApplicationNames) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    std::vector<uint16_t> code = {0x6014};
    const std::string name = "Mixer 02Feb2021     ";
    for (size_t i = 0; i < 20; i += 2) {
        code.push_back(static_cast<uint16_t>(name[i] << 8 | name[i + 1]));
    }
    const std::string path = TempPath("named.vxo");
    vxo::Builder().Text(kKrtVersionBlock, "2").Code(code).WriteTo(path);
    LoadOptionsFor(path, 2);
    ASSERT_EQ(RunLoad("answer Yes\n"), 1);
    LoadOptionsFor(path, 1);
    ASSERT_EQ(RunLoad(), 1);
    ModuleInfo info;
    ASSERT_TRUE(WithScript("", [&] { return QueryModuleInfo(info); }));
    // Behind the block-write loader's two length words the marker is record 2 (word 1 of the
    // read), the name follows it: in both spaces.
    EXPECT_EQ(info.applicationSpace1, name);
    EXPECT_EQ(info.applicationSpace2, name);

    // Behind the file-record loader's one length word it is record 1.
    const std::string legacy = TempPath("named-legacy.vxo");
    vxo::Builder().Code(code).WriteTo(legacy);
    LoadOptionsFor(legacy, 2);
    ASSERT_EQ(RunLoad(), 1) << Transcript();
    ASSERT_TRUE(WithScript("", [&] { return QueryModuleInfo(info); }));
    EXPECT_EQ(info.applicationSpace2, name);
}

// An erased channel has no length and no digest behind it: "no program", not the erased words.
TEST_F(InformationTest, ErasedChannelHasNoProgram) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("listed.vxo");
    Listed().WriteTo(path);
    InfoRows rows;
    ASSERT_EQ(DisplayInformation(rows, path), 1);
    LoadOptionsFor(path, 1);
    ASSERT_EQ(RunLoad(), 1) << Transcript();
    LoadOptionsFor(path, 1);
    loadOptions.loadProgram = 0;  // erase only
    ASSERT_EQ(RunLoad(), 1) << Transcript();
    ASSERT_EQ(Dump().channelFlash(1)[0], 0xFFFF);

    ModuleInfo info;
    ASSERT_TRUE(WithScript("", [&] { return QueryModuleInfo(info); }));
    EXPECT_EQ(info.digest, "no program");
    EXPECT_EQ(info.applicationSpace1, "Application header missing");
}

TEST_F(InformationTest, ModuleThatAnswersNothing) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp,
                            {"--fault", "fc=3,do=exception,code=4", "--fault",
                             "fc=20,do=exception,code=4", "--fault", "fc=66,do=exception,code=4"}));
    ModuleInfo info;
    ASSERT_TRUE(WithScript("", [&] { return QueryModuleInfo(info); }));
    EXPECT_EQ(info.firmware, "Read Timeout");
    EXPECT_EQ(info.applicationSpace1, "Read Timeout");
    EXPECT_EQ(info.applicationSpace2, "Read Timeout");
    EXPECT_EQ(info.serialNumber, "Read Timeout");
    EXPECT_EQ(info.digest, "Read Timeout(L)");
}

}  // namespace
