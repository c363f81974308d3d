// The files around the index: the conditional-behaviour sources in Logics, which entries of
// several descriptions or makers may share by name, and the profiles a restore after a DTM
// upgrade needs before it lists an entry again.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/description_fixture.h"
#include "tests/dtmrepo/repository_workspace.h"

namespace {

namespace fs = std::filesystem;
using dtmrepo_test::BrondelHarness;
using dtmrepo_test::contains;
using dtmrepo_test::indexLine;
using dtmrepo_test::Lines;
using dtmrepo_test::Workspace;

const std::string kFull = "PME KRT 0302_Full";
const std::string kPump = "PME KRT 0302_Pump";
// The full description's ProductID, with its version, names its source.
const std::string kSource = "PMX_1_2_v2.10.cs";

std::string logics(const Workspace& w, const std::string& name) {
    return (fs::path(w.unity) / "Logics" / name).string();
}

// A profile as another program writes it: the one line that names its behaviour source.
std::string profileNaming(const std::string& source) {
    return "<ISO15745Profile>\r\n <conditionalBehaviorList>\r\n  <conditionalBehavior "
           "uniqueID=\"CB_1\" URI=\"" +
           source + "\">\r\n  </conditionalBehavior>\r\n </conditionalBehaviorList>\r\n";
}

TEST(DtmRepositoryLogics, ABehaviourSourceThatIsNotTheEntrysOwnIsNotReplaced) {
    struct Case {
        std::string name;
        std::function<void(const Workspace&, BrondelHarness&)> before;
        std::string description;  // the root of the description installed last
        std::string refusal;      // part of the refusal; empty: the install goes on
    };
    const std::string theirs = "using System; // ACME's own\r\n";
    const std::vector<Case> cases = {
        // A new description made from a copy of an installed one keeps its ProductID.
        {"same ProductID",
         [](const Workspace& w, BrondelHarness& harness) {
             const std::string first = w.description(kFull, dtmrepo_test::fullDescription());
             harness.run(dtmrepo_test::installScript(first) + "menu 104\n");
         },
         "PME KRT 0302_Copy", "is the conditional-behaviour source of the entry " + kFull + ".XML"},
        // Another maker's source, with no entry of the index naming it.
        {"another maker's file",
         [&theirs](const Workspace& w, BrondelHarness&) {
             dtmrepo_test::writeFile(logics(w, kSource), theirs);
         },
         kFull, "was not written by this program for this entry"},
        // Another maker's source that its entry's profile names.
        {"another maker's entry",
         [&theirs](const Workspace& w, BrondelHarness&) {
             dtmrepo_test::writeFile(logics(w, kSource), theirs);
             dtmrepo_test::makeRepository(w.unity, {indexLine("ACMEValve.XML", "1", "ACMEValve")});
             dtmrepo_test::writeFile(w.repository("ACMEValve.XML"), profileNaming(kSource));
         },
         kFull, "is the conditional-behaviour source of the entry ACMEValve.XML"},
        // The entry's own source, installed before copies were kept: its profile names it.
        {"own, installed earlier",
         [](const Workspace& w, BrondelHarness&) {
             dtmrepo_test::writeFile(logics(w, kSource), "using System; // older\r\n");
             dtmrepo_test::makeRepository(w.unity, {indexLine(kFull + ".XML", "1", kFull)});
             dtmrepo_test::writeFile(w.repository(kFull + ".XML"), profileNaming(kSource));
         },
         kFull, ""},
        // The entry's own source, installed by this program with its copy.
        {"own reinstall",
         [](const Workspace& w, BrondelHarness& harness) {
             const std::string first = w.description(kFull, dtmrepo_test::fullDescription());
             harness.run(dtmrepo_test::installScript(first) + "menu 104\n");
         },
         kFull, ""},
    };
    for (const Case& c : cases) {
        const Workspace w("logics-" + std::to_string(&c - cases.data()));
        BrondelHarness harness(w.root, w.unity);
        c.before(w, harness);
        const std::string path = w.description(c.description, dtmrepo_test::fullDescription());
        const auto before = dtmrepo_test::folderSnapshot(w.unity);
        const auto run = harness.run(dtmrepo_test::installScript(path) + "menu 104\n");
        const std::string report = run.lastReport();
        if (!c.refusal.empty()) {
            EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before) << c.name;
            EXPECT_TRUE(contains(report, "Installation of " + c.description + ".XML Canceled."))
                << c.name << ": " << report;
            EXPECT_TRUE(contains(report, "'" + logics(w, kSource) + "' " + c.refusal))
                << c.name << ": " << report;
            EXPECT_TRUE(contains(report, "Nothing was written.")) << c.name;
            EXPECT_FALSE(contains(report, "Succesfully")) << c.name;
            continue;
        }
        EXPECT_TRUE(contains(report, "DTM Successfully Updated.")) << c.name << ": " << report;
        // Replaced by the new source, whose copy is kept beside the profiles' copies.
        const std::string installed = dtmrepo_test::readFile(logics(w, kSource));
        EXPECT_TRUE(contains(installed, "public static bool DTM_Mode(")) << c.name;
        EXPECT_EQ(dtmrepo_test::readFile(w.backup("Logics/" + kSource)), installed) << c.name;
    }
}

// After a DTM upgrade, an entry of the install copy comes back only with its profile: the one
// in the repository, or this program's copy of one it installed. Another maker's entry whose
// profile the upgrade removed stays out, and the box names it instead of saying "Done".
TEST(DtmRepositoryLogics, RestoreBringsBackOnlyEntriesWhoseProfileIsThere) {
    struct Case {
        std::string name;
        std::function<void(const Workspace&)> upgrade;  // besides writing its own index
        Lines restored;                                 // DDXMLFile values back in the index
        std::string box;                                // the box after the confirmation
    };
    const std::string venLine = indexLine("VEN_Device.XML", "3", "VEN_Device");
    const std::vector<Case> cases = {
        {"removed ours",
         [](const Workspace& w) {
             fs::remove(w.repository(kFull + ".XML"));
             fs::remove(logics(w, kSource));
         },
         {"VEN_Device.XML", kPump + ".XML", kFull + ".XML"},
         "Done"},
        {"removed another maker's",
         [](const Workspace& w) { fs::remove(w.repository("VEN_Device.XML")); },
         {kPump + ".XML", kFull + ".XML"},
         "The other entries of the install copy were restored, but not these:\r\n   "
         "VEN_Device.XML\r\nTheir profile is neither in the repository nor among the copies "
         "this program keeps in TVQbackup."},
        {"removed both",
         [](const Workspace& w) {
             fs::remove(w.repository("VEN_Device.XML"));
             fs::remove(w.repository(kFull + ".XML"));
             fs::remove(w.repository(kPump + ".XML"));
             fs::remove(logics(w, kSource));
         },
         {kPump + ".XML", kFull + ".XML"},
         "VEN_Device.XML"},
    };
    for (const Case& c : cases) {
        const Workspace w("restore-" + std::to_string(&c - cases.data()));
        dtmrepo_test::makeRepository(w.unity, {venLine});
        dtmrepo_test::writeFile(w.repository("VEN_Device.XML"), "the other maker's profile\r\n");
        const std::string pump = w.description(kPump, dtmrepo_test::sampleDescription());
        const std::string full = w.description(kFull, dtmrepo_test::fullDescription());
        BrondelHarness harness(w.root, w.unity);
        harness.run(dtmrepo_test::installScript(pump) + dtmrepo_test::installScript(full) +
                    "menu 104\n");
        const std::string fullProfile = dtmrepo_test::readFile(w.repository(kFull + ".XML"));
        const std::string source = dtmrepo_test::readFile(logics(w, kSource));
        ASSERT_FALSE(source.empty()) << c.name;
        // The upgrade writes an index of its own and removes files.
        dtmrepo_test::writeIndex(w.unity, {indexLine("Generic.XML", "4", "Generic")});
        dtmrepo_test::writeFile(w.repository("Generic.XML"), "");
        c.upgrade(w);
        const auto run = harness.run("menu 102\nanswer OK\nanswer OK\n");
        const auto boxes = run.linesStartingWith("msgbox \"OK\"");
        ASSERT_EQ(boxes.size(), 1u) << c.name << ": " << boxes.front();
        EXPECT_TRUE(contains(
            dtmrepo_test::unquote(boxes[0].substr(12, boxes[0].find("\" icon") - 12 + 1)), c.box))
            << c.name << ": " << boxes[0];
        Lines files;
        for (const std::string& line : dtmrepo_test::indexLines(w.unity)) {
            const size_t at = line.find("DDXMLFile=\"");
            if (at != std::string::npos && !contains(line, "Generic.XML")) {
                files.push_back(line.substr(at + 11, line.find('"', at + 11) - at - 11));
            }
        }
        EXPECT_EQ(files, c.restored) << c.name;
        // What comes back has its files: the profile, and the behaviour source it names.
        EXPECT_EQ(dtmrepo_test::readFile(w.repository(kFull + ".XML")), fullProfile) << c.name;
        EXPECT_EQ(dtmrepo_test::readFile(logics(w, kSource)), source) << c.name;
        EXPECT_TRUE(fs::exists(w.repository(kPump + ".XML"))) << c.name;
    }
}

}  // namespace
