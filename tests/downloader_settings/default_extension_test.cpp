// The default extension of a flash image or profile name: only the file name decides.

#include "downloader/default_extension.h"

#include <gtest/gtest.h>

namespace {

TEST(DefaultExtensionTest, OnlyTheFileNameIsLookedAt) {
    const struct {
        const char* typed;
        const char* named;
    } cases[] = {
        {"image", "image.bin"},
        {"C:\\Users\\j.smith\\Desktop\\image", "C:\\Users\\j.smith\\Desktop\\image.bin"},
        {"/tmp/run.dir/\xC3\x96lpumpe 2/image", "/tmp/run.dir/\xC3\x96lpumpe 2/image.bin"},
        {"\\\\server\\share.v2\\image", "\\\\server\\share.v2\\image.bin"},
        {"C:image", "C:image.bin"},
        {"C:\\Users\\j.smith\\image.old", "C:\\Users\\j.smith\\image.old"},
        {"image.bin", "image.bin"},
        {"image.", "image."},
        {".hidden", ".hidden"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithDefaultExtension(c.typed, ".bin"), c.named) << c.typed;
}

}  // namespace
