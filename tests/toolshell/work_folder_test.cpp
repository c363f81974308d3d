#include "toolshell/work_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

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

// Folders of killed runs: this tool's older than a day go at the next start; a fresh one (a
// run still going), another tool's, or a user's folder of a like name stay.
TEST(WorkFolder, SweepsThisToolsFoldersOlderThanADay) {
    const fs::path base =
        fs::temp_directory_path() / ("work-folder-sweep-" + std::to_string(getpid()));
    fs::remove_all(base);
    fs::create_directories(base);
    const std::string saved = getenv("TMPDIR") != nullptr ? getenv("TMPDIR") : "";
    setenv("TMPDIR", base.c_str(), 1);
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(25);
    struct Folder {
        const char* name;
        bool old;
        bool kept;
    };
    const Folder folders[] = {
        {"tool-123456", true, false}, {"tool-99", false, true}, {"other-123456", true, true},
        {"tool-notes", true, true},   {"tool-", true, true},
    };
    for (const Folder& folder : folders) {
        fs::create_directories(base / folder.name / "project");
        std::ofstream(base / folder.name / "project" / "unitpro.xef") << "x";
        if (folder.old) {
            fs::last_write_time(base / folder.name, old);
        }
    }
    {
        toolshell::WorkFolder work("tool");
        ASSERT_TRUE(work.made()) << work.error();
    }
    for (const Folder& folder : folders) {
        EXPECT_EQ(fs::exists(base / folder.name), folder.kept) << folder.name;
    }
    if (saved.empty()) {
        unsetenv("TMPDIR");
    } else {
        setenv("TMPDIR", saved.c_str(), 1);
    }
    fs::remove_all(base);
}

// A folder whose lock no run holds is a killed run's: it goes with the files it listed beside
// the user's, but only those the tool names as its own (".~..."), and an empty folder it made.
// A held folder stays whatever its age.
TEST(WorkFolder, SweepsFoldersNoRunHoldsWithWhatTheyListed) {
    const fs::path base =
        fs::temp_directory_path() / ("work-folder-killed-" + std::to_string(getpid()));
    fs::remove_all(base);
    fs::create_directories(base / "user");
    const std::string saved = getenv("TMPDIR") != nullptr ? getenv("TMPDIR") : "";
    setenv("TMPDIR", (base / "tmp").c_str(), 1);
    fs::create_directories(base / "tmp");
    fs::path held;
    {
        toolshell::WorkFolder running("tool");
        ASSERT_TRUE(running.made()) << running.error();
        held = running.path();
        // A killed run: its folder, its lock file (no longer held) and its list.
        const fs::path killed = base / "tmp" / "tool-42";
        fs::create_directories(killed / "project");
        std::ofstream(base / "tmp" / "tool-42.lock") << "";
        std::ofstream(base / "user" / ".~Line_IBY.zef.7.tmp") << "part";
        std::ofstream(base / "user" / ".~.~Line_IBY.zef.7.tmp.9.zip") << "part";
        std::ofstream(base / "user" / ".~Line_PCP.txt.5") << "part";
        std::ofstream(base / "user" / "notes.txt") << "mine";
        fs::create_directories(base / "user" / "Line_IBY_IntermediateFiles");
        fs::create_directories(base / "user" / "Kept_IBY_IntermediateFiles");
        std::ofstream(base / "user" / "Kept_IBY_IntermediateFiles" / "mine.txt") << "mine";
        {
            std::ofstream list(killed / ".strays", std::ios::binary);
            list << "F " << (base / "user" / ".~Line_IBY.zef.7.tmp").string() << "\n"
                 << "P " << (base / "user" / ".~.~Line_IBY.zef.7.tmp.").string() << "\n"
                 << "F " << (base / "user" / ".~Line_PCP.txt.5").string() << "\n"
                 << "F " << (base / "user" / "notes.txt").string() << "\n"
                 << "D " << (base / "user" / "Line_IBY_IntermediateFiles").string() << "\n"
                 << "D " << (base / "user" / "Kept_IBY_IntermediateFiles").string() << "\n";
        }
        toolshell::WorkFolder::sweepLeftovers("tool");
        EXPECT_FALSE(fs::exists(killed));
        EXPECT_FALSE(fs::exists(base / "tmp" / "tool-42.lock"));
        EXPECT_TRUE(fs::exists(held));
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(base / "user")) {
            left.push_back(entry.path().filename().string());
        }
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"Kept_IBY_IntermediateFiles", "notes.txt"}));
    }
    EXPECT_FALSE(fs::exists(held));
    EXPECT_TRUE(fs::is_empty(base / "tmp"));
    if (saved.empty()) {
        unsetenv("TMPDIR");
    } else {
        setenv("TMPDIR", saved.c_str(), 1);
    }
    fs::remove_all(base);
}

}  // namespace
