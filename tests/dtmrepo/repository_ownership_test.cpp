// An install writes only files that are its own: never another maker's profile or index line,
// nor the repository's index or backups, wherever the description lies.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/file_lock.h"
#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/repository_workspace.h"

namespace {

namespace fs = std::filesystem;
using dtmrepo_test::BrondelHarness;
using dtmrepo_test::contains;
using dtmrepo_test::indexLine;
using dtmrepo_test::Lines;
using dtmrepo_test::Workspace;

const std::string kPumpRoot = "PME KRT 0302_Pump";

TEST(DtmRepositoryOwnership, AnInstallOverAFileThatIsNotItsOwnIsRefused) {
    enum class Folder { Sources, Repository, Backup };
    struct Case {
        std::string root;  // of the description file
        Folder folder;
        std::string named;  // the refusal names this
    };
    const std::vector<Case> cases = {
        {"VEN_Device", Folder::Sources, "another maker's entry"},
        {"ven_device", Folder::Repository, "another maker's entry"},
        {"DDXMLRepository", Folder::Repository, "a file of the repository itself"},
        {"ddxmlrepository", Folder::Sources, "a file of the repository itself"},
        {"TDDXMLRepository", Folder::Repository, "a file of the repository itself"},
        {"DDXMLRepository_backup1", Folder::Backup, "a file of the repository itself"},
        {"DDXMLRepository_backup2", Folder::Sources, "a file of the repository itself"},
    };
    for (const Case& c : cases) {
        const Workspace w("own-" + c.root + std::to_string(static_cast<int>(c.folder)));
        dtmrepo_test::makeRepository(w.unity,
                                     {indexLine("PME KRT 0302_Pump.XML", "1", "PME KRT 0302_Pump"),
                                      indexLine("VEN_Device.XML", "3", "VEN_Device")});
        dtmrepo_test::writeFile(w.repository("VEN_Device.XML"), "the other maker's profile\r\n");
        dtmrepo_test::writeFile(w.backup("DDXMLRepository_backup1.XML"), "backup one\r\n");
        dtmrepo_test::writeFile(w.backup("DDXMLRepository_backup2.XML"), "backup two\r\n");
        const std::string folder = c.folder == Folder::Sources      ? w.sources
                                   : c.folder == Folder::Repository ? w.repository()
                                                                    : w.backup("");
        const std::string path = w.description(c.root, dtmrepo_test::sampleDescription(), folder);
        const auto before = dtmrepo_test::folderSnapshot(w.unity);
        BrondelHarness harness(w.root, w.unity);
        const auto run = harness.run(dtmrepo_test::installScript(path) + "menu 104\n");
        EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before) << c.root;
        EXPECT_TRUE(contains(run.lastReport(), "Installation of " + c.root + ".XML Canceled."))
            << c.root << ": " << run.lastReport();
        EXPECT_TRUE(contains(run.lastReport(), c.named)) << c.root << ": " << run.lastReport();
        EXPECT_FALSE(contains(run.lastReport(), "Succesfully")) << c.root;
    }
}

// An entry this program installed stays its own to replace, whatever its name.
TEST(DtmRepositoryOwnership, AReinstallOfAnEntryItInstalledGoesOn) {
    const Workspace w("own-reinstall");
    const std::string path = w.description("VEN_Device", dtmrepo_test::sampleDescription());
    BrondelHarness harness(w.root, w.unity);
    const auto first = harness.run(dtmrepo_test::installScript(path) + "menu 104\n");
    EXPECT_TRUE(contains(first.lastReport(), "New DTM Succesfully Added.")) << first.lastReport();
    const auto again = harness.run(dtmrepo_test::installScript(path) + "menu 104\n");
    EXPECT_TRUE(contains(again.lastReport(), "DTM Successfully Updated.")) << again.lastReport();
    EXPECT_EQ(dtmrepo_test::indexLines(w.unity).size(), 4u);
}

}  // namespace

namespace {

// Another program changing the repository holds its lock: an install waits for it, and is
// refused as busy, the repository untouched, when it is not let go.
TEST(DtmRepositoryLock, AnInstallWaitsForAnotherChangeOrIsRefusedAsBusy) {
    struct Case {
        std::string name;
        int holdMilliseconds;  // -1: for the whole run
        bool installed;
    };
    for (const Case& c : {Case{"released", 400, true}, Case{"held", -1, false}}) {
        const Workspace w("lock-" + c.name);
        const std::string path = w.description(kPumpRoot, dtmrepo_test::sampleDescription());
        const std::string lockFile = w.repository("DDXMLRepository.lock");
        platform::FileLock::Result result = platform::FileLock::Result::Failed;
        auto lock = platform::FileLock::Acquire(lockFile, 0, result);
        ASSERT_EQ(result, platform::FileLock::Result::Held);
        const auto before = dtmrepo_test::folderSnapshot(w.unity);
        std::thread release;
        if (c.holdMilliseconds >= 0) {
            release = std::thread([&lock, &c] {
                std::this_thread::sleep_for(std::chrono::milliseconds(c.holdMilliseconds));
                lock.reset();
            });
        }
        BrondelHarness harness(w.root, w.unity);
        const auto run = harness.run(dtmrepo_test::installScript(path) + "menu 104\n");
        if (release.joinable()) {
            release.join();
        }
        if (c.installed) {
            EXPECT_TRUE(contains(run.lastReport(), "New DTM Succesfully Added."))
                << c.name << ": " << run.lastReport();
            EXPECT_EQ(dtmrepo_test::indexLines(w.unity).size(), 4u);
        } else {
            EXPECT_TRUE(contains(run.lastReport(), "The repository is busy"))
                << c.name << ": " << run.lastReport();
            EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before) << c.name;
        }
        lock.reset();
        // The lock goes with its holder: a repository at rest holds no lock file.
        EXPECT_FALSE(fs::exists(lockFile)) << c.name;
    }
}

}  // namespace
