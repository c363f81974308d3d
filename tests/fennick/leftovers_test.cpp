// What a conversion leaves when it does not end well: a run that fails takes back what it
// placed beside the user's archive, and a run that is killed leaves what the next start of the
// program removes.

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <random>

#include "extractor/convert_project.h"
#include "fennick_fixture.h"
#include "platform/ui_headless.h"
#include "toolshell/work_folder.h"

namespace fennick_test {
namespace {

namespace fs = std::filesystem;

// Bytes that do not compress: an archive entry that costs its size to copy.
std::string randomBytes(std::size_t size) {
    std::mt19937 random(7);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    return bytes;
}

class Leftovers : public FennickTest {
  protected:
    // A project archive with an entry of `extra` bytes beside the project file.
    fs::path writeLargeProject(const std::string& name, std::size_t extra,
                               const ProjectSpec& project = sampleProject()) {
        std::map<std::string, std::string> entries = sampleExtraEntries();
        entries["unitpro.xef"] = crlfText(projectLines(project));
        entries["Extra/Recipes.bin"] = randomBytes(extra);
        EXPECT_TRUE(writeArchive(path(name), entries));
        return path(name);
    }

    // Files and folders of the run beside the archive: everything but the archive itself and
    // what the test made.
    std::vector<std::string> besideTheArchive(const std::vector<std::string>& before) const {
        std::vector<std::string> made;
        for (const std::string& name : tree()) {
            if (std::find(before.begin(), before.end(), name) == before.end()) {
                made.push_back(name);
            }
        }
        return made;
    }

    // What killed runs left in the temporary folder: work folders and their locks.
    std::vector<std::string> inTemporaryFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path("tmp"))) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("fennick-", 0) == 0) {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs the program's executable in batch mode through the shell line `run` ("$0" the
    // program, "$1" the archive); its wait status.
    int runKilled(const std::string& run, const fs::path& archive) {
        const std::string command = "CALVENTO_UI_TRANSCRIPT='" + path("tmp/ui.txt").string() +
                                    "' sh -c '" + run + "' '" + FENNICK_EXECUTABLE + "' '" +
                                    archive.string() + "' >/dev/null 2>&1";
        return std::system(command.c_str());
    }
};

struct Kill {
    const char* how;
    const char* run;  // the shell line that runs the program and ends it
};

// A run killed while it works leaves its work folder and what it was writing beside the
// archive; the next start of the program removes both, and a run still going is left alone.
TEST_F(Leftovers, KilledRunsAreSweptAtTheNextStart) {
    const Kill kills[] = {
        // The archive's copy for the new archive passes the limit: the kernel ends the run.
        {"a file-size limit", "ulimit -f 4096; exec \"$0\" \"$1\""},
        // Ended once its work folder is there, as the task manager ends a program.
        {"SIGTERM",
         "\"$0\" \"$1\" & child=$!; "
         "until ls -d \"$TMPDIR\"/fennick-*/ >/dev/null 2>&1; do sleep 0.01; done; "
         "kill -TERM $child; wait $child"},
    };
    // A project big enough that a run lasts well past the start of its work.
    ProjectSpec project = sampleProject();
    for (int i = 0; i < 15000; ++i) {
        project.sections[0].lines.push_back("Level := %IW0.3.0." + std::to_string(i % 200) +
                                            " + %MW0.3.MOD.2.1;");
    }
    for (const Kill& kill : kills) {
        SCOPED_TRACE(kill.how);
        const fs::path archive = writeLargeProject("Line.zef", 8 << 20, project);
        const std::vector<std::string> before = tree();
        const int status = runKilled(kill.run, archive);
        ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) > 128))
            << "the run was not killed: " << status;
        ASSERT_FALSE(inTemporaryFolder().empty()) << "a killed run leaves its work folder";
        // A run still going: its folder is held, and stays.
        toolshell::WorkFolder going("fennick");
        ASSERT_TRUE(going.made());

        // The next start, whatever it does.
        EXPECT_EQ(runFennick({}, "menu 101\n"), 0) << transcript();
        EXPECT_EQ(inTemporaryFolder(),
                  (std::vector<std::string>{going.path().filename().string(),
                                            going.path().filename().string() + ".lock"}));
        EXPECT_EQ(besideTheArchive(before), std::vector<std::string>{});
    }
}

struct PackFailure {
    const char* what;
    // Runs before the archive road packs; false skips the row (with the reason given).
    std::function<bool(Leftovers&, std::string& skip)> prepare;
    std::function<platform::ArchiveResult(const fs::path&, const fs::path&,
                                          const std::vector<std::string>&, const fs::path&)>
        repack;
    const char* boxText;  // a text the failure box holds besides the new archive's name
};

void PrintTo(const PackFailure& failure, std::ostream* out) {
    *out << failure.what;
}

class PackFailures : public Leftovers, public ::testing::WithParamInterface<PackFailure> {};

// The new archive that cannot be packed: the box names it, and nothing of the run is left
// beside the project (no new archive, census, results or intermediate folder).
TEST_P(PackFailures, AnArchiveThatCannotBePackedLeavesNothing) {
    const PackFailure& failure = GetParam();
    const fs::path archive = writeProject("Line.zef", sampleProject());
    const std::vector<std::string> before = tree();
    std::string skip;
    bool prepared = true;
    extractor::ConversionOptions options;
    options.fileName = archive.string();
    options.repack = [&](const fs::path& input, const fs::path& folder,
                         const std::vector<std::string>& entries, const fs::path& output) {
        prepared = failure.prepare(*this, skip);
        return failure.repack ? failure.repack(input, folder, entries, output)
                              : platform::RepackArchive(input, folder, entries, output);
    };
    platform::ui::headless::StartSession("");
    std::string report;
    const bool converted = extractor::convertProject(options, report);
    fs::permissions(folder(), fs::perms::owner_all, fs::perm_options::add);
    if (!prepared) {
        GTEST_SKIP() << skip;
    }
    EXPECT_FALSE(converted);
    const std::vector<std::string> shown = boxes();
    ASSERT_EQ(shown.size(), 1u) << transcript();
    EXPECT_EQ(shown[0].rfind("msgbox \"ERROR\" \"", 0), 0u) << shown[0];
    EXPECT_NE(shown[0].find(path("Line_IBY.zef").string()), std::string::npos) << shown[0];
    EXPECT_NE(shown[0].find(failure.boxText), std::string::npos) << shown[0];
    EXPECT_EQ(besideTheArchive(before), std::vector<std::string>{});
    EXPECT_TRUE(leftoverWorkFolders().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Leftovers, PackFailures,
    ::testing::Values(PackFailure{"AFullDisk", [](Leftovers&, std::string&) { return true; },
                                  [](const fs::path& input, const fs::path&,
                                     const std::vector<std::string>&, const fs::path& output) {
                                      // As the road fails when the disk fills: part of its copy is
                                      // written.
                                      fs::path part = output;
                                      part.replace_filename(".~" + output.filename().string() +
                                                            ".1234.tmp");
                                      std::ofstream(part, std::ios::binary)
                                          << "PK\x03\x04 cut short";
                                      return platform::ArchiveResult{
                                          false, "Can't copy " + input.string() + " to " +
                                                     output.string() + ": No space left on device"};
                                  },
                                  "No space left on device"},
                      PackFailure{"TheArchivesFolderMadeReadOnlyBetweenThePasses",
                                  [](Leftovers& test, std::string& skip) {
                                      fs::permissions(test.folder(),
                                                      fs::perms::owner_write |
                                                          fs::perms::group_write |
                                                          fs::perms::others_write,
                                                      fs::perm_options::remove);
                                      // Whoever may write anyway (root) cannot see this failure.
                                      const bool refused = !std::ofstream(test.path("probe.txt"));
                                      if (!refused) {
                                          fs::remove(test.path("probe.txt"));
                                          skip = "this user writes into a read-only folder (root)";
                                      }
                                      return refused;
                                  },
                                  nullptr, "Permission denied"}),
    [](const ::testing::TestParamInfo<PackFailure>& info) { return info.param.what; });

// A disk that fills up while the conversion writes: the box says the disk is full and names
// its folder, whatever the system called the failure, and nothing of the run is left. The
// disk is a small memory file system, which only a user who may mount one can make.
TEST_F(Leftovers, AFullDiskIsSaidSo) {
    struct Full {
        const char* what;
        bool temporaryFolder;  // the temporary folder on the full disk, else the archive's
    };
    const Full disks[] = {{"the temporary folder's disk", true}, {"the archive's disk", false}};
    for (const Full& disk : disks) {
        SCOPED_TRACE(disk.what);
        const fs::path mounted = path(std::string("full") + (disk.temporaryFolder ? "T" : "A"));
        fs::create_directories(mounted);
        const std::string mount =
            "mount -t tmpfs -o size=640k tmpfs '" + mounted.string() + "' 2>/dev/null";
        if (std::system(mount.c_str()) != 0) {
            GTEST_SKIP() << "this user cannot mount a small file system to fill";
        }
        const fs::path archive = disk.temporaryFolder ? path("Line.zef") : mounted / "Line.zef";
        ASSERT_TRUE(writeProjectArchive(archive, sampleProject()));
        if (disk.temporaryFolder) {
            ::setenv("TMPDIR", mounted.c_str(), 1);
        }
        // What the disk holds besides leaves room for the archive's copy, not for the outputs.
        const std::uintmax_t room = disk.temporaryFolder ? 40 << 10 : 100 << 10;
        std::ofstream(mounted / "filler", std::ios::binary)
            << std::string(fs::space(mounted).available - room, 'x');
        std::vector<std::string> before;
        for (const auto& entry : fs::directory_iterator(mounted)) {
            before.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(runFennick({archive.string()}), 1);
        ::setenv("TMPDIR", path("tmp").c_str(), 1);
        const std::vector<std::string> shown = boxes();
        ASSERT_EQ(shown.size(), 1u) << transcript();
        EXPECT_NE(shown[0].find("The disk holding " + mounted.string() + " is full."),
                  std::string::npos)
            << shown[0];
        EXPECT_EQ(shown[0].find("fennick-"), std::string::npos) << shown[0];
        std::vector<std::string> after;
        for (const auto& entry : fs::directory_iterator(mounted)) {
            after.push_back(entry.path().filename().string());
        }
        std::sort(before.begin(), before.end());
        std::sort(after.begin(), after.end());
        EXPECT_EQ(after, before);
        EXPECT_FALSE(fs::exists(path("Line_IBY_IntermediateFiles")));
        EXPECT_FALSE(fs::exists(path("Line_PCP.txt")));
        std::system(
            ("umount '" + mounted.string() + "' || umount -l '" + mounted.string() + "'").c_str());
    }
}

}  // namespace
}  // namespace fennick_test
