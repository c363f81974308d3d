#include "downloader/flash_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

class FlashImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "flash_image_XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
    }
    void TearDown() override {
        if (!directory_.empty())
            std::filesystem::remove_all(directory_);
    }
    std::string directory_;
};

TEST_F(FlashImageTest, NameGetsTheExtensionWhenItsFileNameHasNoDot) {
    EXPECT_EQ(FlashImagePath("backup"), "backup.bin");
    EXPECT_EQ(FlashImagePath("backup.img"), "backup.img");
    EXPECT_EQ(FlashImagePath("c:\\dir.d\\backup"), "c:\\dir.d\\backup.bin");
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
    // Nothing is left beside the image: the staging file became it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_),
                            std::filesystem::directory_iterator()),
              1);

    FlashImage back{};
    ASSERT_EQ(ReadFlashImage(path, back), FlashImageResult::kOk);
    EXPECT_EQ(back, image);
}

TEST_F(FlashImageTest, FailedWriteLeavesTheOldImage) {
    const std::string path = directory_ + "/image.bin";
    std::ofstream(path) << "old";
    FlashImage image{};
    // The image cannot replace a directory of its name: the old content stays as it was.
    const std::string blocked = directory_ + "/blocked.bin";
    std::filesystem::create_directory(blocked);
    EXPECT_EQ(WriteFlashImage(blocked, image), FlashImageResult::kWriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    std::ifstream file(path);
    std::string text;
    file >> text;
    EXPECT_EQ(text, "old");
    EXPECT_EQ(WriteFlashImage(directory_ + "/missing/image.bin", image),
              FlashImageResult::kOpenFailed);
    // The staging file of the failed write is gone again.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory_),
                            std::filesystem::directory_iterator()),
              2);
}

// The staging file has a name of its own: a user's file beside the image, whatever its name
// (the image's name with ".tmp" added, for one), is never written.
TEST_F(FlashImageTest, FilesBesideTheImageAreLeftAlone) {
    const std::string path = directory_ + "/image.bin";
    const std::vector<std::string> neighbours = {path + ".tmp", directory_ + "/image.tmp",
                                                 directory_ + "/notes.txt"};
    for (const std::string& neighbour : neighbours) {
        std::ofstream(neighbour) << "mine";
    }
    FlashImage image{};
    ASSERT_EQ(WriteFlashImage(path, image), FlashImageResult::kOk);
    for (const std::string& neighbour : neighbours) {
        std::ifstream file(neighbour);
        std::string text;
        file >> text;
        EXPECT_EQ(text, "mine") << neighbour;
    }
    EXPECT_EQ(std::filesystem::file_size(path), kFlashImageBytes);
}

// Only a file of exactly the flash's size is an image of it: a shorter one would leave part of
// the flash undefined, a longer one (a user-code object, any other file) is something else.
TEST_F(FlashImageTest, ImageOfAnyOtherSizeIsRefused) {
    for (const size_t size :
         {size_t{0}, kFlashImageBytes - 1, kFlashImageBytes + 1, size_t{20000}}) {
        const std::string path = directory_ + "/other.bin";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(size, '\x11');
        FlashImage image{};
        image.fill(0xABCD);
        EXPECT_EQ(ReadFlashImage(path, image), FlashImageResult::kWrongSize) << size;
    }
    FlashImage image{};
    EXPECT_EQ(ReadFlashImage(directory_ + "/none.bin", image), FlashImageResult::kOpenFailed);
}

}  // namespace
