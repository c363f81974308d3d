#include "downloader/flash_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

class FlashImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/flash_image_XXXXXX";
        directory_ = ::mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }
    std::string directory_;
};

TEST_F(FlashImageTest, NameGetsTheExtensionOnlyWithoutAnyDot) {
    EXPECT_EQ(FlashImagePath("backup"), "backup.bin");
    EXPECT_EQ(FlashImagePath("backup.img"), "backup.img");
    EXPECT_EQ(FlashImagePath("c:\\dir.d\\backup"), "c:\\dir.d\\backup");
}

TEST_F(FlashImageTest, WordsHighByteFirstAndBack) {
    FlashImage image{};
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = static_cast<uint16_t>(i * 7 + 0x0102);
    }
    const std::string path = directory_ + "/image.bin";
    ASSERT_EQ(WriteFlashImage(path, image), FlashImageResult::kOk);
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    ASSERT_EQ(bytes.size(), kFlashImageBytes);
    EXPECT_EQ(bytes[0], 0x01);
    EXPECT_EQ(bytes[1], 0x02);
    EXPECT_EQ(bytes[8192] << 8 | bytes[8193], image[4096]);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    FlashImage back{};
    ASSERT_EQ(ReadFlashImage(path, back), FlashImageResult::kOk);
    EXPECT_EQ(back, image);
}

TEST_F(FlashImageTest, FailedWriteLeavesTheOldImage) {
    const std::string path = directory_ + "/image.bin";
    std::ofstream(path) << "old";
    FlashImage image{};
    // The temporary name is taken by a directory, so the image cannot be written.
    std::filesystem::create_directory(path + ".tmp");
    EXPECT_EQ(WriteFlashImage(path, image), FlashImageResult::kOpenFailed);
    std::ifstream file(path);
    std::string text;
    file >> text;
    EXPECT_EQ(text, "old");
    EXPECT_EQ(WriteFlashImage(directory_ + "/missing/image.bin", image),
              FlashImageResult::kOpenFailed);
}

TEST_F(FlashImageTest, ShortImageIsRefused) {
    const std::string path = directory_ + "/short.bin";
    std::ofstream(path, std::ios::binary) << std::string(kFlashImageBytes - 1, '\x11');
    FlashImage image{};
    image.fill(0xABCD);
    EXPECT_EQ(ReadFlashImage(path, image), FlashImageResult::kTooShort);
    EXPECT_EQ(ReadFlashImage(directory_ + "/none.bin", image), FlashImageResult::kOpenFailed);
}

}  // namespace
