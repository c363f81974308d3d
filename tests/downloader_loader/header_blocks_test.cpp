#include "downloader/header_blocks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "downloader/user_code_format.h"
#include "vxo_builder.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::unique_ptr<std::FILE, FileCloser> FileOf(const std::vector<uint8_t>& bytes) {
    std::unique_ptr<std::FILE, FileCloser> file(std::tmpfile());
    std::fwrite(bytes.data(), 1, bytes.size(), file.get());
    std::rewind(file.get());
    return file;
}

TEST(HeaderBlocksTest, TextIsBoundedCutAtZeroAndTheRestSkipped) {
    std::vector<uint8_t> longText(600, 'a');
    vxo::Builder object;
    object.Block(kCommentBlock, longText)
        .Block(kModuleMaskBlock, {'K', 'R', 'T', 0, 'x', 'y'})
        .Code({0x1234});
    auto file = FileOf(object.Bytes());
    HeaderBlockReader reader(file.get());
    bool complete = false;
    ASSERT_TRUE(reader.ReadMagic(complete));
    uint16_t type = 0;
    uint32_t length = 0;
    std::string text;
    ASSERT_TRUE(reader.Next(type, length));
    EXPECT_EQ(type, kCommentBlock);
    EXPECT_EQ(length, 600u);
    ASSERT_TRUE(reader.ReadText(text));
    EXPECT_EQ(text, std::string(511, 'a'));
    ASSERT_TRUE(reader.Next(type, length));
    EXPECT_EQ(type, kModuleMaskBlock);
    ASSERT_TRUE(reader.ReadText(text));
    EXPECT_EQ(text, "KRT");
    ASSERT_TRUE(reader.Next(type, length));
    EXPECT_EQ(type, kApplicationBlock);
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(reader.Position(), reader.FileSize() - 4);
}

TEST(HeaderBlocksTest, BlockPastTheEndIsNoticed) {
    vxo::Builder object;
    object.BlockWithLength(kRevisionBlock, {'a', 'b'}, 1000).EndAfterBlocks();
    auto file = FileOf(object.Bytes());
    HeaderBlockReader reader(file.get());
    bool complete = false;
    ASSERT_TRUE(reader.ReadMagic(complete));
    uint16_t type = 0;
    uint32_t length = 0;
    ASSERT_TRUE(reader.Next(type, length));
    EXPECT_FALSE(reader.DataFits());
    std::string text;
    EXPECT_FALSE(reader.ReadText(text));
    EXPECT_FALSE(reader.Skip());
}

TEST(HeaderBlocksTest, MagicAndShortFiles) {
    bool complete = true;
    auto raw = FileOf({0x4E, 0x71, 0x4E, 0xF9, 0x00, 0x00, 0x80, 0x39, 0x00});
    EXPECT_FALSE(HeaderBlockReader(raw.get()).ReadMagic(complete));
    EXPECT_TRUE(complete);
    auto shortFile = FileOf({0x4E, 0x71, 0x4E});
    EXPECT_FALSE(HeaderBlockReader(shortFile.get()).ReadMagic(complete));
    EXPECT_FALSE(complete);
}

}  // namespace
