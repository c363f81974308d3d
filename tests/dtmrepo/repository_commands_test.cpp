// Install, re-install, removal and restore on repository folders made by the tests, driven
// through Brondel's window; every failure leaves the repository byte for byte as it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/description_fixture.h"
#include "tests/dtmrepo/repository_workspace.h"
#include "tests/dtmrepo/xml_check.h"
#include "tests/dtmrepo/xsy_fixture.h"

namespace {

namespace fs = std::filesystem;
using dtmrepo_test::BrondelHarness;
using dtmrepo_test::indexLine;
using dtmrepo_test::Lines;

const std::string kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

using dtmrepo_test::contains;
using dtmrepo_test::Workspace;

std::string install(const std::string& path) {
    return dtmrepo_test::installScript(path);
}

const std::string kPump = "PME KRT 0302_Pump";
const std::string kFull = "PME KRT 0302_Full";

TEST(DtmRepositoryCommands, InstallingTwoDescriptions) {
    const Workspace w("install-two");
    const std::string pump = w.description(kPump, dtmrepo_test::sampleDescription());
    const std::string full = w.description(kFull, dtmrepo_test::fullDescription());
    BrondelHarness harness(w.root, w.unity);
    const auto first = harness.run(install(pump) + "menu 104\n");
    const std::string afterFirst = dtmrepo_test::readFile(w.repository("DDXMLRepository.XML"));
    const auto second = harness.run(install(full) + "menu 104\n");

    EXPECT_EQ(first.linesStartingWith("msgbox"), Lines{});
    EXPECT_TRUE(contains(first.lastReport(),
                         "\r\n Success!\r\n  INPUT Byte Count = 2  ( 74 )\r\n  "
                         "OUTPUT Byte Count = 2  ( 28 )\r\n Inserting: " +
                             w.repository(kPump + ".XML") +
                             "    \n\r\r\n New DTM Succesfully Added."))
        << first.lastReport();
    EXPECT_TRUE(contains(second.lastReport(), "New DTM Succesfully Added.")) << second.lastReport();

    // The index: both entries above its last line, readable by an XML parser.
    const Lines index = dtmrepo_test::indexLines(w.unity);
    ASSERT_EQ(index.size(), 5u);
    EXPECT_EQ(index[0], kHead);
    EXPECT_EQ(index[2].rfind("  <File DDXMLFile=\"" + kPump + ".XML\" Filename=\"" + kPump +
                                 ".XML\" Fileversion=\"01.00\"",
                             0),
              0u);
    EXPECT_EQ(index[3].rfind("  <File DDXMLFile=\"" + kFull + ".XML\"", 0), 0u);
    EXPECT_TRUE(contains(index[3], " ProductID=\"" + kFull + "\" "));
    EXPECT_EQ(index[4], "</DDXMLRepository>");
    EXPECT_EQ(dtmrepo_test::xmlProblems(w.repository("DDXMLRepository.XML")), "");

    // The profiles in the repository, read back by a parser.
    const std::string profile = w.repository(kFull + ".XML");
    EXPECT_EQ(dtmrepo_test::xmlProblems(profile), "");
    EXPECT_EQ(dtmrepo_test::xmlQuery(profile, "root.find('.//DeviceIdentity/productID').text"),
              "PMX_1_2_v2.10");
    EXPECT_EQ(dtmrepo_test::xmlQuery(profile, "[a.get('size') for a in root.iter('assemblySize')]"),
              "['80', '48', '4', '16']");
    EXPECT_EQ(dtmrepo_test::xmlQuery(profile, "[e.get('value') for e in root.iter('ePath')]"),
              "['20 04 24 64 2C 66 2C 65', '20 04 24 64 2C 68 2C 67']");
    // A copy of each installed profile is kept, for a restore after a DTM upgrade.
    EXPECT_EQ(dtmrepo_test::readFile(profile), dtmrepo_test::readFile(w.backup(kFull + ".XML")));

    // The conditional-behaviour source, under the name the profile gives it.
    EXPECT_EQ(dtmrepo_test::xmlQuery(profile, "root.find('.//conditionalBehavior').get('URI')"),
              "PMX_1_2_v2.10.cs");
    const std::string source =
        dtmrepo_test::readFile((fs::path(w.unity) / "Logics" / "PMX_1_2_v2.10.cs").string());
    EXPECT_EQ(dtmrepo_test::readFile(w.backup("Logics/PMX_1_2_v2.10.cs")), source);
    EXPECT_TRUE(contains(source, "     public class PMX_1_2_v2_10\r\n"));
    EXPECT_TRUE(contains(source, "public static bool DTM_Mode( string Mode, out string Speed)"));
    EXPECT_FALSE(fs::exists(fs::path(w.unity) / "Logics" / (kPump + ".cs")));

    // The backups: before the second install, after it, and both descriptions.
    EXPECT_EQ(dtmrepo_test::readFile(w.backup("DDXMLRepository_backup1.XML")), afterFirst);
    EXPECT_EQ(dtmrepo_test::readFile(w.backup("DDXMLRepository_backup2.XML")),
              dtmrepo_test::readFile(w.repository("DDXMLRepository.XML")));
    EXPECT_EQ(dtmrepo_test::readFile(w.backup(kPump + ".txt")), dtmrepo_test::readFile(pump));
    EXPECT_EQ(dtmrepo_test::readFile(w.backup(kFull + ".txt")), dtmrepo_test::readFile(full));

    // Nothing but the user's descriptions beside them: the work files stayed in the program's
    // own work folder.
    std::vector<std::string> besideDescriptions;
    for (const auto& entry : fs::directory_iterator(w.sources)) {
        besideDescriptions.push_back(entry.path().filename().string());
    }
    std::sort(besideDescriptions.begin(), besideDescriptions.end());
    EXPECT_EQ(besideDescriptions, (Lines{kFull + ".txt", kPump + ".txt"}));

    // The tree of the second run: the first entry from the index, the new one added.
    const Lines tree = second.linesStartingWith("tree ");
    // The first entry is read back from its installed profile.
    ASSERT_GE(tree.size(), 8u);
    EXPECT_EQ(Lines(tree.begin(), tree.begin() + 4),
              (Lines{"tree 1001 0 \"" + kPump + "\"", "tree 1001 1 under 0 \"Ver 01.00\"",
                     "tree 1001 2 under 0 \"Input Byte Count = 2 (74)\"",
                     "tree 1001 3 under 2 \"assemblyID = 1, Path = 101, Instance = x271B, File = "
                     "58100, RPI = 10, Byte Count = 2 (74)\""}));
    EXPECT_EQ(tree[4].rfind("tree 1001 4 under 3 \"Status,  WORD,  10", 0), 0u) << tree[4];
    EXPECT_NE(std::find(tree.begin(), tree.end(), "tree 1001 8 \"" + kFull + "\""), tree.end());
    EXPECT_NE(std::find(tree.begin(), tree.end(), "tree 1001 9 under 8 \"Ver. 02.10\""),
              tree.end());
    EXPECT_NE(
        std::find(tree.begin(), tree.end(), "tree 1001 10 under 8 \"Input Byte Count = 12 (84)\""),
        tree.end());
    EXPECT_NE(std::find(tree.begin(), tree.end(),
                        "tree 1001 11 under 10 \"assemblyID = 1, Path = 101, Instance = x271B, "
                        "File = 58100, RPI = 20, Byte Count = 8 (80)\""),
              tree.end());
    EXPECT_NE(std::find_if(tree.begin(), tree.end(),
                           [](const std::string& l) {
                               return contains(l, "\"Message,  STRING[16],  N/A,  0\"");
                           }),
              tree.end());
}

TEST(DtmRepositoryCommands, AReinstallReplacesItsEntry) {
    const Workspace w("reinstall");
    Lines lines = dtmrepo_test::sampleDescription();
    const std::string pump = w.description(kPump, lines);
    BrondelHarness harness(w.root, w.unity);
    harness.run(install(pump) + "menu 104\n");
    std::replace(lines.begin(), lines.end(), std::string("SW,\t\t01.00"),
                 std::string("SW,\t\t01.10"));
    w.description(kPump, lines);
    const auto again = harness.run(install(pump) + "menu 104\n");
    EXPECT_TRUE(contains(again.lastReport(), "\r\n DTM Successfully Updated."))
        << again.lastReport();
    const Lines index = dtmrepo_test::indexLines(w.unity);
    ASSERT_EQ(index.size(), 4u);
    EXPECT_TRUE(contains(index[2], "Fileversion=\"01.10\""));
    // The entry's items are replaced at the end of the tree.
    EXPECT_NE(std::find(again.transcript.begin(), again.transcript.end(), "tree 1001 delete 0"),
              again.transcript.end());
    EXPECT_NE(std::find(again.transcript.begin(), again.transcript.end(),
                        "tree 1001 8 \"" + kPump + "\""),
              again.transcript.end());
}

// The file system does not tell the two names apart, so neither do the index and the tree.
TEST(DtmRepositoryCommands, AReinstallUnderOtherLetterCaseReplacesTheSameEntry) {
    const Workspace w("reinstall-case");
    dtmrepo_test::makeRepository(w.unity, {indexLine("pme krt 0302_pump.XML", "1", "pme")});
    const std::string pump = w.description(kPump, dtmrepo_test::sampleDescription());
    BrondelHarness harness(w.root, w.unity);
    const auto run = harness.run(install(pump) + "menu 104\n");
    EXPECT_TRUE(contains(run.lastReport(), "\r\n DTM Successfully Updated.")) << run.lastReport();
    EXPECT_EQ(dtmrepo_test::indexLines(w.unity).size(), 4u);
    EXPECT_EQ(run.linesStartingWith("tree 1001 0 "), Lines{"tree 1001 0 \"pme krt 0302_pump\""});
    EXPECT_EQ(run.linesStartingWith("tree 1001 delete"), Lines{"tree 1001 delete 0"});
}

TEST(DtmRepositoryCommands, RemovalTakesOnlyTheSelectedEntry) {
    const Workspace w("remove");
    dtmrepo_test::makeRepository(w.unity, {indexLine(kPump + ".XML", "1", kPump),
                                           indexLine(kPump + "2.XML", "1", kPump + "2")});
    dtmrepo_test::writeFile(w.repository(kPump + ".XML"), "profile bytes\r\n");
    dtmrepo_test::writeFile(w.repository(kPump + "2.XML"), "");
    const std::string before = dtmrepo_test::readFile(w.repository("DDXMLRepository.XML"));
    BrondelHarness harness(w.root, w.unity);
    // Item 1 is the version below the first entry.
    const auto run = harness.run("select 1001 1\nmenu 101\nanswer OK\nmenu 104\n");
    EXPECT_EQ(run.linesStartingWith("msgbox"),
              Lines{"msgbox \"Confirm Remove\" \"'OK' to Remove " + kPump + ".XML\"" +
                    dtmrepo_test::kQuestion + " -> OK"});
    EXPECT_EQ(run.lastReport(), "Removing: " + kPump +
                                    ".XML    \n\r\r\n Match, Removed.\r\n \r\n "
                                    "Remember to Update the Unity Pro Hardware DTM Catalog.");
    const Lines index = dtmrepo_test::indexLines(w.unity);
    ASSERT_EQ(index.size(), 4u);
    EXPECT_TRUE(contains(index[2], kPump + "2.XML"));
    EXPECT_EQ(dtmrepo_test::readFile(w.backup("DDXMLRepository_backup1.XML")), before);
    // The profile is backed up from the repository folder and stays in it.
    EXPECT_EQ(dtmrepo_test::readFile(w.backup(kPump + ".XML")), "profile bytes\r\n");
    EXPECT_TRUE(fs::exists(w.repository(kPump + ".XML")));
    EXPECT_NE(std::find(run.transcript.begin(), run.transcript.end(), "tree 1001 delete 0"),
              run.transcript.end());
}

TEST(DtmRepositoryCommands, RemovalRefusalsAndCancel) {
    const Workspace w("remove-refused");
    dtmrepo_test::makeRepository(
        w.unity, {indexLine("A_v1_00.XML", "1", "A_v1_00"), indexLine(kPump + ".XML", "1", kPump)});
    const std::string before = dtmrepo_test::readFile(w.repository("DDXMLRepository.XML"));
    BrondelHarness harness(w.root, w.unity);
    const auto run = harness.run(
        "menu 101\nselect 1001 0\nmenu 101\nselect 1001 1\nmenu 101\nselect 1001 5\nmenu "
        "101\nanswer Cancel\nmenu 104\n");
    const std::string report = run.lastReport();
    // Nothing selected, another maker's entry by its top item and by its version, and a
    // cancel: each one appended to what was shown.
    const std::string otherMakers =
        "\r\n \r\n Removal of A_v1_00.XML "
        "Canceled.\r\n\r\nThis program may only remove 'PME KRT', "
        "'PME DWL' or 'PME HVN' entries.\r\n \r\n ( 0 )";
    EXPECT_TRUE(contains(report,
                         "\r\n \r\n Please select a filename from the tree to Remove.\r\n "
                         "\r\n ( 0 )" +
                             otherMakers + otherMakers + "\r\n \r\n Removal of " + kPump +
                             ".XML Canceled.\r\n \r\n ( 2 )"))
        << report;
    EXPECT_EQ(dtmrepo_test::readFile(w.repository("DDXMLRepository.XML")), before);
    EXPECT_FALSE(fs::exists(w.backup("DDXMLRepository_backup1.XML")));
}

TEST(DtmRepositoryCommands, RestoreBringsBackTheInstalledEntriesAndEnds) {
    const Workspace w("restore");
    const std::string pump = w.description(kPump, dtmrepo_test::sampleDescription());
    BrondelHarness harness(w.root, w.unity);
    harness.run(install(pump) + "menu 104\n");
    const Lines installed = dtmrepo_test::indexLines(w.unity);
    // The upgrade writes an index of its own, without the installed entry.
    dtmrepo_test::writeIndex(w.unity, {indexLine("Generic.XML", "4", "Generic")});
    const std::string upgraded = dtmrepo_test::readFile(w.repository("DDXMLRepository.XML"));
    dtmrepo_test::writeFile(w.repository("Generic.XML"), "");
    const auto run = harness.run("menu 102\nanswer OK\nanswer OK\n");
    EXPECT_EQ(run.linesStartingWith("msgbox"),
              (Lines{"msgbox \"Confirm Remove\" \"'OK' to RESTORE DDXMLRepository.XML and then "
                     "EXIT\"" +
                         dtmrepo_test::kQuestion + " -> OK",
                     "msgbox \"OK\" \"Done\"" + dtmrepo_test::kInformation + " -> OK"}));
    EXPECT_EQ(run.transcript.back(), "end window");  // ended by the command, not the script
    // The upgrade's entry stays, the installed one comes back above the closing line.
    EXPECT_EQ(dtmrepo_test::indexLines(w.unity),
              (Lines{kHead, "<DDXMLRepository>", indexLine("Generic.XML", "4", "Generic"),
                     installed[2], "</DDXMLRepository>"}));
    EXPECT_EQ(dtmrepo_test::readFile(w.backup("RestoredDDXMLRepository.XML")),
              dtmrepo_test::readFile(w.repository("DDXMLRepository.XML")));
    EXPECT_EQ(dtmrepo_test::readFile(w.backup("DDXMLRepository_beforeRestore.XML")), upgraded);
}

// A removed entry stays removed: the install copy a restore reads no longer lists it.
TEST(DtmRepositoryCommands, AnEntryRemovedAfterItsInstallDoesNotComeBack) {
    const Workspace w("remove-restore");
    const std::string pump = w.description(kPump, dtmrepo_test::sampleDescription());
    const std::string full = w.description(kFull, dtmrepo_test::fullDescription());
    BrondelHarness harness(w.root, w.unity);
    harness.run(install(pump) + install(full) + "menu 104\n");
    harness.run("select 1001 1\nmenu 101\nanswer OK\nmenu 104\n");  // the pump's version item
    const Lines afterRemoval = dtmrepo_test::indexLines(w.unity);
    ASSERT_EQ(afterRemoval.size(), 4u);
    const auto run = harness.run("menu 102\nanswer OK\nanswer OK\n");
    EXPECT_EQ(run.linesStartingWith("msgbox \"OK\""),
              Lines{"msgbox \"OK\" \"Nothing was restored: every entry of the install copy is in "
                    "DDXMLRepository.XML.\"" +
                    dtmrepo_test::kInformation + " -> OK"});
    EXPECT_EQ(dtmrepo_test::indexLines(w.unity), afterRemoval);
}

TEST(DtmRepositoryCommands, RestoreWithoutAnInstallCopyChangesNothing) {
    const Workspace w("restore-none");
    const auto before = dtmrepo_test::folderSnapshot(w.unity);
    BrondelHarness harness(w.root, w.unity);
    const auto run = harness.run("menu 102\nanswer OK\nmenu 102\nanswer Cancel\nmenu 104\n");
    EXPECT_EQ(
        run.linesStartingWith("msgbox \"OK\""),
        Lines{"msgbox \"OK\" \"(5) Unable to open " + w.backup("DDXMLRepository_backup2.XML") +
              " For INPUT as 2\"" + dtmrepo_test::kStop + " -> OK"});
    EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before);
}

// Each case breaks one step of an install; the repository must come out as it went in.
TEST(DtmRepositoryCommands, AFailedInstallLeavesTheRepositoryAsItWas) {
    struct FailureCase {
        std::string name;
        std::function<void(const Workspace&)> breakIt;
        std::string report;  // part of the report
        Lines description = dtmrepo_test::fullDescription();
    };
    const std::vector<FailureCase> cases = {
        {"no-logics", [](const Workspace& w) { fs::remove_all(fs::path(w.unity) / "Logics"); },
         "Unable to copy"},
        {"backup-blocked",
         [](const Workspace& w) {
             fs::remove_all(w.backup(""));
             dtmrepo_test::writeFile(w.repository("TVQbackup"), "a file");
         },
         "Unable to MD"},
        {"late-backup",
         [](const Workspace& w) {
             fs::create_directories(w.backup("DDXMLRepository_backup2.XML"));
         },
         "DDXMLRepository_backup2.XML"},
        {"profile-blocked",
         [](const Workspace& w) { fs::create_directories(w.repository(kFull + ".XML")); },
         kFull + ".XML"},
        {"read-only-index",
         [](const Workspace& w) {
             fs::remove_all(fs::path(w.unity) / "Logics");
             fs::permissions(w.repository("DDXMLRepository.XML"), fs::perms::owner_read);
         },
         "Unable to copy"},
        {"no-index", [](const Workspace& w) { fs::remove(w.repository("DDXMLRepository.XML")); },
         "Unable to read the repository index"},
        {"empty-index",
         [](const Workspace& w) {
             dtmrepo_test::writeFile(w.repository("DDXMLRepository.XML"), "");
         },
         "holds no lines"},
    };
    for (const FailureCase& c : cases) {
        const Workspace w("fail-" + c.name);
        dtmrepo_test::writeFile(w.backup("DDXMLRepository_backup1.XML"), "old backup\r\n");
        c.breakIt(w);
        const auto before = dtmrepo_test::folderSnapshot(w.unity);
        const std::string path = w.description(kFull, c.description);
        BrondelHarness harness(w.root, w.unity);
        const auto run = harness.run(install(path) + "menu 104\n");
        EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before) << c.name;
        EXPECT_TRUE(contains(run.lastReport(), c.report)) << c.name << ": " << run.lastReport();
        EXPECT_TRUE(contains(run.lastReport(), "\r\n Failure!\r\n DDXML not Installed / Updated!"))
            << c.name;
        EXPECT_EQ(run.linesStartingWith("tree 1001 0 \"" + kFull).size(), 0u) << c.name;
    }
}

TEST(DtmRepositoryCommands, NamesWithPathOrCommandCharactersAreRefused) {
    const Workspace w("bad-name");
    Lines lines = dtmrepo_test::sampleDescription();
    lines.insert(lines.begin() + 1, "ProductID, ..\\..\\Windows&del");
    const std::string path = w.description(kPump, lines);
    const auto before = dtmrepo_test::folderSnapshot(w.unity);
    BrondelHarness harness(w.root, w.unity);
    const auto run = harness.run(install(path) + "menu 104\n");
    EXPECT_TRUE(contains(run.lastReport(),
                         "\r\n   ERROR - the product identifier '_.\\..\\Windows&del' "
                         "cannot name a repository file"))
        << run.lastReport();
    EXPECT_TRUE(contains(run.lastReport(), "Failure!"));
    EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before);
}

// The identifier names the conditional-behaviour source and the entry line file beside the
// description, and the source's copy in Logics; one that leads out of those folders is refused
// and no file is made under it, wherever in the description it stands.
TEST(DtmRepositoryCommands, AnIdentifierThatLeadsOutOfItsFolderNamesNoFile) {
    const Workspace w("identifier-path");
    const fs::path outside = fs::path(w.root) / "outside";
    struct Case {
        std::string name;
        std::function<void(Lines&)> change;
        std::string refused;  // the identifier the report names
    };
    // The intake appends the version and makes the identifier's first point an underscore,
    // wherever it stands: the temporary folder's name may hold one too.
    std::string absolute = (outside / "abs").string() + "_v2.10";
    absolute[absolute.find('.')] = '_';
    const std::vector<Case> cases = {
        {"absolute",
         [&](Lines& lines) {
             std::replace(lines.begin(), lines.end(), std::string("ProductID, PMX_1.2"),
                          "ProductID, " + (outside / "abs").string());
         },
         absolute},
        // After the first group a ProductID line is not rewritten by the intake.
        {"late", [](Lines& lines) { lines.push_back("ProductID, ../outside/late"); },
         "../outside/late"},
    };
    for (const Case& c : cases) {
        fs::remove_all(outside);
        fs::create_directories(outside);
        Lines lines = dtmrepo_test::fullDescription();
        c.change(lines);
        const std::string path = w.description(kFull, lines);
        const auto before = dtmrepo_test::folderSnapshot(w.unity);
        BrondelHarness harness(w.root, w.unity);
        const auto run = harness.run(install(path) + "menu 104\n");
        EXPECT_TRUE(contains(run.lastReport(), "\r\n   ERROR - the product identifier '" +
                                                   c.refused + "' cannot name a repository file"))
            << c.name << run.lastReport();
        EXPECT_TRUE(contains(run.lastReport(), "Failure!")) << c.name;
        EXPECT_TRUE(fs::is_empty(outside)) << c.name;
        EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before) << c.name;
    }
}

TEST(DtmRepositoryCommands, AFailedRemovalLeavesTheRepositoryAsItWas) {
    const Workspace w("remove-fail");
    dtmrepo_test::makeRepository(w.unity, {indexLine(kPump + ".XML", "1", kPump)});
    dtmrepo_test::writeFile(w.repository(kPump + ".XML"), "profile\r\n");
    fs::create_directories(w.backup(kPump + ".XML"));  // the profile's backup has no place
    const auto before = dtmrepo_test::folderSnapshot(w.unity);
    BrondelHarness harness(w.root, w.unity);
    const auto run = harness.run("select 1001 1\nmenu 101\nanswer OK\nmenu 104\n");
    EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before);
    EXPECT_TRUE(contains(run.lastReport(), "The repository is as it was.")) << run.lastReport();
    EXPECT_EQ(run.linesStartingWith("msgbox \"OK\" \"err=").size(), 1u);
}

TEST(DtmRepositoryCommands, AFailedRestoreLeavesTheRepositoryAsItWas) {
    const Workspace w("restore-fail");
    dtmrepo_test::writeFile(
        w.backup("DDXMLRepository_backup2.XML"),
        dtmrepo_test::fileText({kHead, "<Old>", indexLine("A.XML", "1", "A"), "</Old>"}));
    dtmrepo_test::writeFile(w.repository("A.XML"), "A's profile\r\n");
    fs::create_directories(w.backup("RestoredDDXMLRepository.XML"));
    dtmrepo_test::writeIndex(w.unity, {indexLine("B.XML", "1", "B")});
    const auto before = dtmrepo_test::folderSnapshot(w.unity);
    BrondelHarness harness(w.root, w.unity);
    const auto run = harness.run("menu 102\nanswer OK\nmenu 104\n");
    EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before);
    EXPECT_TRUE(contains(run.lastReport(), "The repository is as it was.")) << run.lastReport();
}

}  // namespace

namespace {

// Description files saved in the Windows code page install; the profile, declared UTF-8, holds
// the accented label in UTF-8.
TEST(DtmRepositoryCommands, ADescriptionInTheWindowsCodePageInstalls) {
    const Workspace w("cp1252");
    Lines lines = dtmrepo_test::sampleDescription();
    std::replace(lines.begin(), lines.end(), std::string("  varLabel, en-us, Pump speed"),
                 std::string("  varLabel, en-us, D\xE9"
                             "bit \x80"));
    const std::string pump = w.description(kPump, lines);
    BrondelHarness harness(w.root, w.unity);
    const auto run = harness.run(install(pump) + "menu 104\n");
    EXPECT_TRUE(contains(run.lastReport(), "New DTM Succesfully Added.")) << run.lastReport();
    const std::string profile = w.repository(kPump + ".XML");
    EXPECT_EQ(dtmrepo_test::xmlProblems(profile), "");
    EXPECT_TRUE(contains(dtmrepo_test::readFile(profile),
                         "D\xC3\xA9"
                         "bit \xE2\x82\xAC"));
}

}  // namespace

namespace {

// Remove undoes what Install did: the entry is found by its top item as by its other items,
// whatever the order of the index line's attributes or the references in its name, and an
// entry this program installed goes whatever its name.
TEST(DtmRepositoryCommands, RemovalFindsEveryEntryItInstalled) {
    struct Case {
        std::string name;
        std::string line;      // the entry's index line
        std::string shown;     // the entry's top item
        std::string select;    // the tree item selected
        std::string archived;  // a description this program archived, or empty
    };
    const std::vector<Case> cases = {
        {"top item", indexLine(kPump + ".XML", "1", kPump), kPump, "0", ""},
        {"file second",
         "  <File Vendorname=\"243\" DDXMLFile=\"" + kPump + ".XML\" Filename=\"" + kPump +
             ".XML\" Fileversion=\"1\"/>",
         kPump, "1", ""},
        {"entity", indexLine("PME KRT O&apos;Neil.XML", "1", "n"), "PME KRT O'Neil", "1", ""},
        {"not a family name", indexLine("VEN_Device.XML", "1", "VEN_Device"), "VEN_Device", "0",
         "VEN_Device.txt"},
    };
    for (const Case& c : cases) {
        const Workspace w("remove-" + c.name);
        dtmrepo_test::makeRepository(w.unity, {indexLine("Other.XML", "1", "Other"), c.line});
        if (!c.archived.empty()) {
            dtmrepo_test::writeFile(w.backup(c.archived), "the description\r\n");
        }
        BrondelHarness harness(w.root, w.unity);
        // The second entry's items follow the first one's four.
        const std::string item = std::to_string(4 + std::stoi(c.select));
        const auto run = harness.run("select 1001 " + item + "\nmenu 101\nanswer OK\nmenu 104\n");
        EXPECT_TRUE(contains(run.lastReport(), "Match, Removed.")) << c.name << run.lastReport();
        EXPECT_EQ(dtmrepo_test::indexLines(w.unity),
                  (Lines{kHead, "<DDXMLRepository>", indexLine("Other.XML", "1", "Other"),
                         "</DDXMLRepository>"}))
            << c.name;
        EXPECT_EQ(run.linesStartingWith("tree 1001 4 "), Lines{"tree 1001 4 \"" + c.shown + "\""})
            << c.name;
        EXPECT_NE(std::find(run.transcript.begin(), run.transcript.end(), "tree 1001 delete 4"),
                  run.transcript.end())
            << c.name;
    }
}

}  // namespace

namespace {

// Staging files left by a run killed before its move go at the next change; nothing else does.
TEST(DtmRepositoryCommands, StagingFilesOfAKilledRunAreSweptAtTheNextChange) {
    const Workspace w("staging");
    // Every folder a change writes: the repository, its backups, Logics, the description's.
    const std::vector<std::string> stale = {
        w.repository("stg1A2B3C.tmp"), w.backup("STG9F.TMP"),
        (fs::path(w.unity) / "Logics" / "stg00A1F2.tmp").string(),
        (fs::path(w.sources) / "stgBEEF.tmp").string()};
    const std::vector<std::string> kept = {
        w.repository("stg1A2B3C.txt"), w.repository("stage.tmp"),
        (fs::path(w.sources) / "stg_draft.tmp").string(),
        (fs::path(w.unity) / "Logics" / "stgnotes.tmp").string()};
    for (const std::string& file : stale) {
        dtmrepo_test::writeFile(file, "half an index");
    }
    for (const std::string& file : kept) {
        dtmrepo_test::writeFile(file, "the user's");
    }
    const std::string pump = w.description(kPump, dtmrepo_test::sampleDescription());
    BrondelHarness harness(w.root, w.unity);
    const auto run = harness.run(install(pump) + "menu 104\n");
    EXPECT_TRUE(contains(run.lastReport(), "New DTM Succesfully Added.")) << run.lastReport();
    for (const std::string& file : stale) {
        EXPECT_FALSE(fs::exists(file)) << file;
    }
    for (const std::string& file : kept) {
        EXPECT_EQ(dtmrepo_test::readFile(file), "the user's") << file;
    }
}

}  // namespace

namespace {

// A character the ANSI conversion best-fits to a separator or a point (the yen and won signs
// under the Japanese and Korean code pages, the acute accent under the Greek one, the Armenian
// full stop under the Western ones, the fullwidth forms under all) leads out of the folder on
// such a system: refused as a product identifier and as the name a rebuild takes, whatever the
// code page of the machine the check runs on.
TEST(DtmRepositoryCommands, NamesTheCodePageWouldTurnIntoSeparatorsAreRefused) {
    for (const std::string c :
         {"\u00A5", "\u20A9", "\u00B4", "\u0589", "\uFF0E", "\uFF3C", "\u2215", "\u00A6"}) {
        const Workspace w("lookalike");
        Lines lines = dtmrepo_test::sampleDescription();
        lines.insert(lines.begin() + 1, "ProductID, .." + c + ".." + c + "evil");
        const std::string path = w.description(kPump, lines);
        const auto before = dtmrepo_test::folderSnapshot(w.unity);
        BrondelHarness harness(w.root, w.unity);
        const auto install = harness.run(dtmrepo_test::installScript(path) + "menu 104\n");
        EXPECT_TRUE(contains(install.lastReport(), "\r\n   ERROR - the product identifier '_." + c +
                                                       ".." + c +
                                                       "evil' cannot name a repository file"))
            << c << install.lastReport();
        EXPECT_TRUE(contains(install.lastReport(), "Failure!")) << c;
        EXPECT_EQ(dtmrepo_test::folderSnapshot(w.unity), before) << c;

        // A device variable of the export names the rebuilt description.
        const std::string xsy = (fs::path(w.sources) / "pump.xsy").string();
        dtmrepo_test::writeFile(
            xsy, dtmrepo_test::xsyExport("PME_KRT_0300_.." + c + ".." + c + "evil", "1.0",
                                         dtmrepo_test::pumpInputs(), dtmrepo_test::pumpOutputs()));
        const auto files = dtmrepo_test::folderSnapshot(w.root);
        const auto rebuild = harness.run("menu 103\nfile \"" + xsy + "\"\nmenu 104\n");
        EXPECT_TRUE(contains(rebuild.lastReport(),
                             "ERROR - the device variable's name 'PME KRT 0300_.." + c + ".." + c +
                                 "evil' cannot name a repository file"))
            << c << rebuild.lastReport();
        EXPECT_EQ(dtmrepo_test::folderSnapshot(w.root), files) << c;
    }
}

}  // namespace
