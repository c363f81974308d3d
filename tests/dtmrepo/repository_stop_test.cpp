// A run stopped dead at any moment of a repository change (a kill, a power cut) leaves an index
// whose every entry has its files: the run is played in a child process that ends itself just
// before, or just after, each move of a finished file into the repository or Logics. The next
// run then sweeps every staging file the stopped one left.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dtmrepo/text_files.h"
#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/description_fixture.h"
#include "tests/dtmrepo/repository_workspace.h"

namespace {

namespace fs = std::filesystem;
using dtmrepo_test::BrondelHarness;
using dtmrepo_test::contains;
using dtmrepo_test::Lines;
using dtmrepo_test::Workspace;

const std::string kFull = "PME KRT 0302_Full";
const std::string kPump = "PME KRT 0302_Pump";

// The child's stopping point: the `stopAt`-th move below `watched`, before or after it.
std::string watched;
int stopAt = 0;
bool stopAfter = false;
int moves = 0;

void stopHere(const fs::path& target, bool moved) {
    if (moved != stopAfter || target.string().rfind(watched, 0) != 0) {
        return;
    }
    if (++moves == stopAt) {
        _exit(99);
    }
}

// Plays `script` in a child stopped at that point; true when it was stopped there, false when
// the run ended before reaching it.
bool playStopped(const BrondelHarness& harness, const std::string& script, const std::string& unity,
                 int at, bool after) {
    const pid_t child = fork();
    if (child == 0) {
        // The stopped run cannot remove its work folder: keep it inside the workspace, which
        // the test removes, rather than in the temporary folder everyone shares.
        const fs::path ownTemporary = fs::path(unity).parent_path() / "stopped-run-temp";
        fs::create_directories(ownTemporary);
        setenv("TMPDIR", ownTemporary.c_str(), 1);
        watched = unity;
        stopAt = at;
        stopAfter = after;
        dtmrepo::setFileMoveObserver(stopHere);
        harness.run(script);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 99;
}

std::string attribute(const std::string& line, const std::string& name) {
    const size_t at = line.find(" " + name + "=\"");
    if (at == std::string::npos) {
        return "";
    }
    const size_t start = at + name.size() + 3;
    return line.substr(start, line.find('"', start) - start);
}

// What an entry of the index needs: its profile, the behaviour source the profile names, and
// its pictures. Empty when all are there.
std::string missingFilesOf(const Workspace& w, const std::string& line) {
    std::string missing;
    const std::string profile = w.repository(attribute(line, "Filename"));
    if (!fs::is_regular_file(profile)) {
        return "profile " + profile;
    }
    const std::string text = dtmrepo_test::readFile(profile);
    const size_t uri = text.find("<conditionalBehavior ");
    if (uri != std::string::npos) {
        const std::string source = attribute(text.substr(uri, text.find('>', uri) - uri), "URI");
        if (!fs::is_regular_file(fs::path(w.unity) / "Logics" / source)) {
            missing += " source " + source;
        }
    }
    for (const char* picture :
         {"ImageLarge", "ImageSmall", "ImageIcon", "CompanyLogo", "ImageCompanyIcon", "CAPPLogo"}) {
        if (!fs::is_regular_file(w.repository(attribute(line, picture)))) {
            missing += std::string(" ") + picture;
        }
    }
    return missing;
}

// Staging files anywhere below the workspace: the repository, its backups, Logics, the sources.
std::string stagingFilesBelow(const std::string& folder) {
    std::string found;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("stg", 0) == 0 && name.ends_with(".tmp")) {
            found += " " + entry.path().string();
        }
    }
    return found;
}

// The pictures the DAV installation holds for the entries.
void addPictures(const Workspace& w) {
    for (const char* picture : {"pmekrt.jpg", "pmekrtsmall.ico", "pmekrt.ico", "tvqlogo.jpg",
                                "tvq.ico", "TechnologyApproved.jpg"}) {
        dtmrepo_test::writeFile(w.repository(std::string("pictures/") + picture), "picture");
    }
}

TEST(DtmRepositoryStop, AnInstallStoppedAtAnyMoveLeavesNoEntryWithoutItsFiles) {
    int stops = 0;
    for (const bool after : {false, true}) {
        for (int at = 1;; ++at) {
            const Workspace w("stop-install");
            addPictures(w);
            const std::string full = w.description(kFull, dtmrepo_test::fullDescription());
            BrondelHarness harness(w.root, w.unity);
            const std::string script = dtmrepo_test::installScript(full) + "menu 104\n";
            const std::string where =
                std::string(after ? "after" : "before") + " move " + std::to_string(at);
            if (!playStopped(harness, script, w.unity, at, after)) {
                break;
            }
            ++stops;
            for (const std::string& line : dtmrepo_test::indexLines(w.unity)) {
                if (contains(line, "DDXMLFile=")) {
                    EXPECT_EQ(missingFilesOf(w, line), "") << where;
                }
            }
            // The next run completes and sweeps what the stopped one left.
            const auto next = harness.run(script);
            EXPECT_TRUE(contains(next.lastReport(), "Succes")) << where << next.lastReport();
            EXPECT_EQ(stagingFilesBelow(w.root), "") << where;
        }
    }
    // Backup, description, profile and its copy, source and its copy, install copy, index.
    EXPECT_GE(stops, 16);
}

// A removal stopped between the install copy and the index: the index still lists the entry
// or neither does, so a later restore never brings back an entry that was removed.
TEST(DtmRepositoryStop, ARemovalStoppedAtAnyMoveIsNotUndoneByARestore) {
    int stops = 0;
    for (const bool after : {false, true}) {
        for (int at = 1;; ++at) {
            const Workspace w("stop-remove");
            addPictures(w);
            const std::string pump = w.description(kPump, dtmrepo_test::sampleDescription());
            const std::string full = w.description(kFull, dtmrepo_test::fullDescription());
            BrondelHarness harness(w.root, w.unity);
            harness.run(dtmrepo_test::installScript(pump) + dtmrepo_test::installScript(full) +
                        "menu 104\n");
            const std::string where =
                std::string(after ? "after" : "before") + " move " + std::to_string(at);
            // Item 1 is the version below the pump's entry.
            if (!playStopped(harness, "select 1001 1\nmenu 101\nanswer OK\nmenu 104\n", w.unity, at,
                             after)) {
                break;
            }
            ++stops;
            const auto listsPump = [&w] {
                for (const std::string& line : dtmrepo_test::indexLines(w.unity)) {
                    if (contains(line, "DDXMLFile=\"" + kPump + ".XML\"")) {
                        return true;
                    }
                }
                return false;
            };
            const bool removed = !listsPump();
            harness.run("menu 102\nanswer OK\nanswer OK\n");
            if (removed) {
                EXPECT_FALSE(listsPump()) << where;
            }
            EXPECT_EQ(stagingFilesBelow(w.root), "") << where;
        }
    }
    EXPECT_GE(stops, 6);
}

}  // namespace
