#include "platform/archive.h"

#include <gtest/gtest.h>
#include <zip.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

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

// The entry names in the order the archive holds them.
std::vector<std::string> EntryNames(const fs::path& path) {
    std::vector<std::string> names;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, nullptr);
    EXPECT_NE(archive, nullptr);
    if (archive == nullptr)
        return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i)
        names.push_back(zip_get_name(archive, static_cast<zip_uint64_t>(i), 0));
    zip_close(archive);
    return names;
}

// Method, size, compressed size and CRC of an entry as the central directory declares them.
zip_stat_t EntryStat(const fs::path& path, const std::string& name) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, nullptr);
    EXPECT_NE(archive, nullptr);
    if (archive != nullptr) {
        EXPECT_EQ(zip_stat(archive, name.c_str(), 0, &stat), 0) << name;
        zip_close(archive);
    }
    return stat;
}

std::string CommandOutput(const std::string& command, int& status) {
    std::string said;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return "cannot run " + command;
    }
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr)
        said += buffer;
    status = pclose(pipe);
    return said;
}

// Python's zipfile reads every entry (checking its CRC), compares each local header with the
// central directory, and compares the named entry with the file given; prints what differs.
constexpr const char* kZipfileCheck = R"(import struct, sys, zipfile
path, name, expected = sys.argv[1:4]
data = open(path, 'rb').read()
with zipfile.ZipFile(path) as z:
    for info in z.infolist():
        o = info.header_offset
        sig, _, flag, method, _, _, crc, csize, usize = struct.unpack('<IHHHHHIII', data[o:o+26])
        if sig != 0x04034b50 or method != info.compress_type:
            print('local header of', info.filename, 'does not match')
        elif not flag & 8 and (crc, csize, usize) != (info.CRC, info.compress_size, info.file_size):
            print('local sizes or CRC of', info.filename, 'do not match')
        z.read(info)
    if z.read(name) != open(expected, 'rb').read():
        print(name, 'differs from', expected)
)";

// What readers other than libzip say of `archive` (empty when they find no fault): Info-ZIP's
// unzip tests every entry, Python's zipfile as above with `entry` against `expected`.
std::string OtherReadersProblems(const fs::path& archive, const std::string& entry,
                                 const fs::path& expected) {
    int status = 0;
    std::string problems;
    const std::string unzip = CommandOutput("unzip -tqq '" + archive.string() + "'", status);
    if (status != 0)
        problems += "unzip: " + unzip;
    const fs::path script = archive.parent_path() / "zipfile_check.py";
    std::ofstream(script) << kZipfileCheck;
    problems += CommandOutput("/usr/bin/python3 '" + script.string() + "' '" + archive.string() +
                                  "' '" + entry + "' '" + expected.string() + "'",
                              status);
    if (status != 0 && problems.empty())
        problems = "python3 failed";
    fs::remove(script);
    return problems;
}

// Text like a project file's, with a stretch of random bytes that deflate cannot shrink.
std::string LargeRewrittenProject() {
    std::string text = "<FEFExchangeFile>\r\n";
    std::mt19937 random(7);
    for (int n = 0; text.size() < 2500000; ++n)
        text += "Level_" + std::to_string(n % 97) + " := %IW0.3.0." +
                std::to_string(random() % 200) + " + Offset; (* input " + std::to_string(n) +
                " *)\r\n";
    for (int n = 0; n < 300000; ++n)
        text += static_cast<char>(random());
    return text + "</FEFExchangeFile>\r\n";
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

// A small archive may hold a huge, well-deflated entry that the conversion never reads: it
// must not be written out (nor fill the disk), yet the repacked archive keeps it as it was.
TEST_F(ArchiveTest, UnpacksOnlyTheEntriesTheCallerReads) {
    const fs::path input = root / "Plant B.zef";
    WriteZip(input, {{"Station/huge.bin", std::string(8 << 20, '\0')},
                     {"unitpro.xef", "<project>\r\nold\r\n</project>\r\n"},
                     {"stored.bin", "plain bytes", true},
                     {"empty/", ""}});
    const fs::path work = root / "work";
    const platform::ArchiveResult unpacked =
        platform::UnpackArchiveEntries(input, work, {"unitpro.xef"});
    ASSERT_TRUE(unpacked.ok) << unpacked.error;
    EXPECT_EQ(ReadFile(work / "unitpro.xef"), "<project>\r\nold\r\n</project>\r\n");
    std::vector<std::string> written;
    for (const auto& entry : fs::recursive_directory_iterator(work))
        written.push_back(fs::relative(entry.path(), work).generic_string());
    EXPECT_EQ(written, std::vector<std::string>{"unitpro.xef"});

    std::ofstream(work / "unitpro.xef", std::ios::binary) << "<project>\r\nnew\r\n</project>\r\n";
    const fs::path output = root / "Plant B_IBY.zef";
    const platform::ArchiveResult packed =
        platform::RepackArchive(input, work, {"unitpro.xef"}, output);
    ASSERT_TRUE(packed.ok) << packed.error;
    auto before = RawEntries(input);
    auto after = RawEntries(output);
    ASSERT_EQ(after.size(), before.size());
    for (const char* kept : {"Station/huge.bin", "stored.bin", "empty/"})
        EXPECT_EQ(after[kept], before[kept]) << kept;
    const fs::path check = root / "check";
    ASSERT_TRUE(platform::UnpackArchive(output, check).ok);
    EXPECT_EQ(ReadFile(check / "unitpro.xef"), "<project>\r\nnew\r\n</project>\r\n");
    EXPECT_EQ(fs::file_size(check / "Station" / "huge.bin"), 8u << 20);

    // An entry the caller does not read is still checked: an unsafe one refuses the archive.
    WriteZip(input, {{"unitpro.xef", "x"}, {"../evil.txt", "x"}});
    const fs::path other = root / "other";
    EXPECT_FALSE(platform::UnpackArchiveEntries(input, other, {"unitpro.xef"}).ok);
    EXPECT_FALSE(fs::exists(other / "unitpro.xef"));
}

TEST_F(ArchiveTest, RewrittenEntriesAreDeflatedSoEveryReaderTakesThem) {
    const fs::path input = root / "Large.zef";
    const std::vector<Entry> original = {{"first.txt", std::string(3000, 'a') + "first"},
                                         {"unitpro.xef", "<FEFExchangeFile>old</FEFExchangeFile>"},
                                         {"Station/big.dat", std::string(70000, 'x') + "tail"},
                                         {"stored.bin", "plain bytes", true}};
    WriteZip(input, original);
    const auto before = RawEntries(input);

    struct Case {
        const char* what;
        std::string text;
        const char* entry;
    };
    const std::string large = LargeRewrittenProject();
    const std::vector<Case> cases = {
        {"a large rewritten project", large, "unitpro.xef"},
        {"an empty project", "", "unitpro.xef"},
        {"a line", "<FEFExchangeFile/>\r\n", "unitpro.xef"},
        {"an entry the archive lacks", large, "Station/added.xef"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path work = root / "work";
        fs::remove_all(work);
        ASSERT_TRUE(platform::UnpackArchive(input, work).ok);
        const fs::path rewritten = work / c.entry;
        std::ofstream(rewritten, std::ios::binary) << c.text;
        const fs::path output = root / "Large_IBY.zef";
        const platform::ArchiveResult packed =
            platform::RepackArchive(input, work, {c.entry}, output);
        ASSERT_TRUE(packed.ok) << packed.error;

        std::vector<std::string> order;
        for (const Entry& entry : original)
            order.push_back(entry.name);
        if (before.count(c.entry) == 0)
            order.push_back(c.entry);
        EXPECT_EQ(EntryNames(output), order);
        auto after = RawEntries(output);
        for (const Entry& kept : original) {
            if (kept.name != c.entry) {
                EXPECT_EQ(after[kept.name], before.at(kept.name)) << kept.name;
            }
        }

        const zip_stat_t stat = EntryStat(output, c.entry);
        EXPECT_EQ(stat.comp_method, ZIP_CM_DEFLATE);
        EXPECT_EQ(stat.size, c.text.size());
        EXPECT_EQ(stat.crc, crc32(0, reinterpret_cast<const Bytef*>(c.text.data()),
                                  static_cast<uInt>(c.text.size())));
        if (c.text.size() > 100000) {
            EXPECT_LT(stat.comp_size, c.text.size() / 2);
        }

        const fs::path check = root / "check";
        fs::remove_all(check);
        const platform::ArchiveResult unpacked = platform::UnpackArchive(output, check);
        ASSERT_TRUE(unpacked.ok) << unpacked.error;
        EXPECT_TRUE(ReadFile(check / c.entry) == c.text) << "libzip reads back other bytes";
        EXPECT_EQ(OtherReadersProblems(output, c.entry, rewritten), "");
    }
    for (const auto& entry : fs::directory_iterator(root))
        EXPECT_EQ(entry.path().filename().string().rfind(".~", 0), std::string::npos)
            << "temporary left: " << entry.path();
}

TEST_F(ArchiveTest, RefusesEntriesThatClimbOutBeforeWritingAnything) {
    for (const char* bad : {"../evil.txt", "a/../../evil.txt", "/abs.txt", "C:\\x.txt",
                            "..\\evil.txt", "sub\\..\\..\\evil.txt",
                            // what Windows' code-page conversion turns into ..\..\evil.txt
                            "\uFF0E\uFF0E\uFF0F\uFF0E\uFF0E\uFF0Fevil.txt",
                            "\uFF0E\uFF0E\uFF3Cevil.txt", "\u2024\u2024\u2215evil.txt"}) {
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
    for (const char* good : {"a..b.txt", "..x", "dir/.../f", "Station\\sub\\f.txt",
                             "Pr\u00FCfstand \u2013 Linie 2.txt", "\u30DD\u30F3\u30D7.txt"})
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

TEST_F(ArchiveTest, UnpackingOntoAFullDiskSaysSo) {
    const fs::path input = root / "p.zef";
    for (const size_t size : {size_t{10}, size_t{300000}}) {
        WriteZip(input, {{"unitpro.xef", std::string(size, 'x')}});
        const fs::path work = root / "full";
        fs::remove_all(work);
        fs::create_directories(work);
        fs::create_symlink("/dev/full", work / "unitpro.xef");
        const platform::ArchiveResult result = platform::UnpackArchive(input, work);
        EXPECT_FALSE(result.ok) << size;
        EXPECT_NE(result.error.find("unitpro.xef"), std::string::npos) << result.error;
        EXPECT_NE(result.error.find(std::strerror(ENOSPC)), std::string::npos) << result.error;
    }
}

TEST(PowerShellText, QuotesPathsSoNothingExpands) {
    using platform::PowerShellQuote;
    EXPECT_EQ(PowerShellQuote<char>("C:\\a b\\x.zip"), "'C:\\a b\\x.zip'");
    EXPECT_EQ(PowerShellQuote<char>("D:\\O'Brien\\$env:x`y[1].zip"),
              "'D:\\O''Brien\\$env:x`y[1].zip'");
    // The archive scripts take their paths from the environment, never as text.
    EXPECT_EQ(platform::ExpandArchiveScript<char>(),
              "Expand-Archive -Force -LiteralPath $env:CALVENTO_ARCHIVE -DestinationPath "
              "$env:CALVENTO_FOLDER");
    EXPECT_EQ(platform::CompressArchiveScript<char>(),
              "Compress-Archive -CompressionLevel Fastest -LiteralPath (Get-ChildItem -Force "
              "-LiteralPath $env:CALVENTO_FOLDER | ForEach-Object { $_.FullName }) "
              "-DestinationPath $env:CALVENTO_ARCHIVE");
    EXPECT_EQ(platform::PowerShellCommandLine<char>("Get-Host"),
              "powershell.exe -NoProfile -NonInteractive -Command \"$ErrorActionPreference = "
              "'Stop'; Get-Host\"");
}

}  // namespace
