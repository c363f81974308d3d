#include "platform/archive.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/powershell_text.h"

namespace {

namespace fs = std::filesystem;

struct Entry {
    std::string name;
    std::string data;
    bool stored = false;  // no compression
};

void WriteZip(const fs::path& path, const std::vector<Entry>& entries) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    ASSERT_NE(archive, nullptr);
    for (const Entry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
        const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, 0);
        ASSERT_GE(index, 0) << entry.name;
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 entry.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Each entry's name with its compressed bytes, method and CRC, as the archive holds them.
std::map<std::string, std::string> RawEntries(const fs::path& path) {
    std::map<std::string, std::string> raw;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, nullptr);
    EXPECT_NE(archive, nullptr);
    if (archive == nullptr)
        return raw;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat);
        zip_file_t* file =
            zip_fopen_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_COMPRESSED);
        std::string bytes(stat.comp_size, '\0');
        zip_fread(file, bytes.data(), bytes.size());
        zip_fclose(file);
        raw[stat.name] = std::to_string(stat.comp_method) + ":" + std::to_string(stat.crc) + ":" +
                         std::to_string(stat.mtime) + ":" + bytes;
    }
    zip_close(archive);
    return raw;
}

class ArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/archive-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
    }
    void TearDown() override { fs::remove_all(root); }
    fs::path root;
};

TEST_F(ArchiveTest, UnpacksAndRepacksKeepingOtherEntriesByteForByte) {
    const fs::path input = root / "Plant A.ZEF";
    WriteZip(input, {{"unitpro.xef", "<project>\r\nold\r\n</project>\r\n"},
                     {"Station/big.dat", std::string(5000, 'x') + "tail"},
                     {"stored.bin", "plain bytes", true},
                     {"empty/", ""}});
    const std::string inputBytes = ReadFile(input);

    const fs::path work = root / "work";
    ASSERT_TRUE(platform::UnpackArchive(input, work).ok);
    EXPECT_EQ(ReadFile(work / "Station" / "big.dat"), std::string(5000, 'x') + "tail");
    EXPECT_TRUE(fs::is_directory(work / "empty"));

    std::ofstream(work / "unitpro.xef", std::ios::binary) << "<project>\r\nnew\r\n</project>\r\n";
    const fs::path output = root / "Plant A_IBY.zef";
    const platform::ArchiveResult packed =
        platform::RepackArchive(input, work, {"unitpro.xef"}, output);
    ASSERT_TRUE(packed.ok) << packed.error;

    EXPECT_EQ(ReadFile(input), inputBytes) << "the input archive must not change";
    auto before = RawEntries(input);
    auto after = RawEntries(output);
    ASSERT_EQ(after.size(), before.size());
    for (const char* kept : {"Station/big.dat", "stored.bin", "empty/"})
        EXPECT_EQ(after[kept], before[kept]) << kept;
    EXPECT_NE(after["unitpro.xef"], before["unitpro.xef"]);

    const fs::path check = root / "check";
    ASSERT_TRUE(platform::UnpackArchive(output, check).ok);
    EXPECT_EQ(ReadFile(check / "unitpro.xef"), "<project>\r\nnew\r\n</project>\r\n");
    for (const auto& entry : fs::directory_iterator(root))
        EXPECT_EQ(entry.path().filename().string().rfind(".~", 0), std::string::npos)
            << "temporary left: " << entry.path();
}

TEST_F(ArchiveTest, RefusesEntriesThatClimbOutBeforeWritingAnything) {
    for (const char* bad : {"../evil.txt", "a/../../evil.txt", "/abs.txt", "C:\\x.txt",
                            "..\\evil.txt", "sub\\..\\..\\evil.txt"}) {
        const fs::path input = root / "bad.zef";
        WriteZip(input, {{"first.txt", "1"}, {bad, "x"}});
        const fs::path work = root / "w" / "inner";
        const platform::ArchiveResult result = platform::UnpackArchive(input, work);
        EXPECT_FALSE(result.ok) << bad;
        EXPECT_NE(result.error.find("unsafe"), std::string::npos) << result.error;
        EXPECT_FALSE(fs::exists(work / "first.txt")) << bad;
        EXPECT_FALSE(fs::exists(root / "w" / "evil.txt")) << bad;
        EXPECT_FALSE(fs::exists(root / "evil.txt")) << bad;
    }
    for (const char* good : {"a..b.txt", "..x", "dir/.../f", "Station\\sub\\f.txt"})
        EXPECT_TRUE(platform::IsSafeEntryName(good)) << good;
}

TEST_F(ArchiveTest, FailedRepackLeavesTheOldOutputInPlace) {
    const fs::path input = root / "p.zef";
    WriteZip(input, {{"unitpro.xef", "x"}});
    const fs::path output = root / "p_IBY.zef";
    std::ofstream(output) << "the user's earlier archive";
    const platform::ArchiveResult result =
        platform::RepackArchive(input, root / "nowhere", {"unitpro.xef"}, output);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(ReadFile(output), "the user's earlier archive");

    std::ofstream(root / "damaged.zef") << "not a zip";
    EXPECT_FALSE(platform::UnpackArchive(root / "damaged.zef", root / "d").ok);
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(root))
        files += entry.path().filename().string().rfind(".~", 0) == 0;
    EXPECT_EQ(files, 0u);
}

TEST(PowerShellText, QuotesPathsSoNothingExpands) {
    using platform::PowerShellQuote;
    EXPECT_EQ(PowerShellQuote<char>("C:\\a b\\x.zip"), "'C:\\a b\\x.zip'");
    EXPECT_EQ(PowerShellQuote<char>("D:\\O'Brien\\$env:x`y[1].zip"),
              "'D:\\O''Brien\\$env:x`y[1].zip'");
    EXPECT_EQ(platform::ExpandArchiveScript<char>("C:\\it's.zip", "C:\\w d"),
              "Expand-Archive -Force -LiteralPath 'C:\\it''s.zip' -DestinationPath 'C:\\w d'");
    EXPECT_EQ(
        platform::CompressArchiveScript<char>("C:\\w", "C:\\o.zip"),
        "Compress-Archive -CompressionLevel Fastest -LiteralPath (Get-ChildItem -Force "
        "-LiteralPath 'C:\\w' | ForEach-Object { $_.FullName }) -DestinationPath 'C:\\o.zip'");
    EXPECT_EQ(platform::PowerShellCommandLine<char>("Get-Host"),
              "powershell.exe -NoProfile -NonInteractive -Command \"$ErrorActionPreference = "
              "'Stop'; Get-Host\"");
}

}  // namespace
