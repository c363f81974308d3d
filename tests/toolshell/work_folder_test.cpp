#include "toolshell/work_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;

TEST(WorkFolder, IsFreshPrivateAndGoesWithItsContent) {
    const fs::path base =
        fs::temp_directory_path() / ("work-folder-test-" + std::to_string(getpid()));
    fs::create_directories(base);
    const std::string saved = getenv("TMPDIR") != nullptr ? getenv("TMPDIR") : "";
    setenv("TMPDIR", base.c_str(), 1);
    fs::path kept;
    {
        toolshell::WorkFolder first("tool");
        toolshell::WorkFolder second("tool");
        ASSERT_TRUE(first.made()) << first.error();
        ASSERT_TRUE(second.made()) << second.error();
        EXPECT_NE(first.path(), second.path());
        EXPECT_EQ(first.path().parent_path(), base);
        EXPECT_EQ(first.path().filename().string().rfind("tool-", 0), 0u);
        fs::create_directories(first.path() / "project" / "deep");
        std::ofstream(first.path() / "project" / "deep" / "unitpro.xef") << "x";
        kept = first.path();
    }
    EXPECT_FALSE(fs::exists(kept));
    EXPECT_TRUE(fs::is_empty(base));
    if (saved.empty()) {
        unsetenv("TMPDIR");
    } else {
        setenv("TMPDIR", saved.c_str(), 1);
    }
    fs::remove_all(base);
}

}  // namespace
