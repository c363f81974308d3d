// The repository tree built from a repository folder: index entries, their profiles'
// assemblies and members, and the faults of missing files.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/description_fixture.h"
#include "tests/dtmrepo/profile_fixture.h"

namespace {

namespace fs = std::filesystem;
using dtmrepo_test::BrondelHarness;
using dtmrepo_test::indexLine;
using dtmrepo_test::Lines;
using dtmrepo_test::ProfileMember;

std::string profilePath(const std::string& unity, const std::string& name) {
    return (fs::path(unity) / "DDXMLRepository" / name).string();
}

TEST(DtmRepositoryTree, EntriesShowAssembliesAndMembers) {
    const std::string unity = dtmrepo_test::freshFolder("tree");
    dtmrepo_test::writeIndex(
        unity, {indexLine("PME KRT 0302_Pump.XML", "2.10", "PME KRT 0302_Pump"),
                "  <!-- a line without an entry -->", indexLine("A_v1_00.XML", "1.00", "A_v1_00")});
    const std::vector<ProfileMember> members = {
        {"Status", 1, "WORD", 0, 0, 0, "1000"}, {"Pad", 1, "WORD", 0, 0, 0, "1001"},
        {"Temp", 1, "REAL", 0, 0, 0, ""},       {"Status2", 3, "WORD", 0, 0, 0, "1003"},
        {"Count", 3, "DINT", 0, 0, 0, "1004"},  {"Flag", 2, "BYTE", 0, 0, 0, "1005"},
        {"Small", 2, "INT", 0, 0, 0, "1006"},   {"Arr", 2, "WORD", 0, 1, 4, "1007"},
        {"Str", 2, "STRING", 8, 0, 0, "1011"},
    };
    dtmrepo_test::writeFile(profilePath(unity, "PME KRT 0302_Pump.XML"),
                            dtmrepo_test::fileText(dtmrepo_test::profileLines(
                                {{101, 102, "10", "20"}, {103, 104, "50", "60"}}, members)));
    dtmrepo_test::writeFile(profilePath(unity, "A_v1_00.XML"),
                            dtmrepo_test::fileText(dtmrepo_test::profileLines({{}}, {})));

    BrondelHarness harness(unity, unity + "/");
    const auto run = harness.run("close\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.linesStartingWith("msgbox"), Lines{});
    EXPECT_EQ(run.linesStartingWith("tree "),
              (Lines{
                  "tree 1001 0 \"PME KRT 0302_Pump\"",
                  "tree 1001 1 under 0 \"Ver 2.10\"",
                  "tree 1001 2 under 0 \"Input Byte Count = 14 (86)\"",
                  "tree 1001 3 under 2 \"assemblyID = 1, Path = 101, Instance = x271B, File = "
                  "58100, RPI = 10, Byte Count = 8 (80)\"",
                  "tree 1001 4 under 3 \"Status,  WORD,  1000,  0\"",
                  "tree 1001 5 under 3 \"Pad,  WORD,  1001,  2\"",
                  "tree 1001 6 under 3 \"Temp,  REAL,  N/A,  4\"",
                  "tree 1001 7 under 2 \"assemblyID = 3, Path = 103, Instance = x271D, File = "
                  "58102, RPI = 50, Byte Count = 6\"",
                  "tree 1001 8 under 7 \"Status2,  WORD,  1003,  0\"",
                  "tree 1001 9 under 7 \"Count,  ARRAY[0..3] of BYTE,  1004,  2\"",
                  "tree 1001 10 under 0 \"Output Byte Count = 19 (45)\"",
                  "tree 1001 11 under 10 \"assemblyID = 2, Path = 102, Instance = x271C, File = "
                  "58101, RPI = 20, Byte Count = 19 (45)\"",
                  "tree 1001 12 under 11 \"Flag,  BYTE,  1005,  0\"",
                  "tree 1001 13 under 11 \"Small,  ARRAY[0..1] of BYTE,  1006,  1\"",
                  // Subrange 1 to 4 of WORD counts (4 + 1) x 2 bytes.
                  "tree 1001 14 under 11 \"Arr,  ARRAY[0..9] of BYTE,  1007,  3\"",
                  "tree 1001 15 under 11 \"Str,  STRING[8],  1011,  13\"",
                  "tree 1001 16 \"A_v1_00\"",
                  "tree 1001 17 under 16 \"Ver 1.00\"",
                  "tree 1001 18 under 16 \"Input Byte Count = 0 (72)\"",
                  "tree 1001 19 under 16 \"Output Byte Count = 0 (26)\"",
              }));
}

TEST(DtmRepositoryTree, TheIndexIsFoundWhateverTheCaseOfItsName) {
    for (const std::string name :
         {"DDXMLRepository.XML", "DDXMLRepository.xml", "ddxmlrepository.Xml"}) {
        const std::string unity = dtmrepo_test::freshFolder("case");
        dtmrepo_test::writeIndex(unity, {indexLine("B.XML", "1", "B")}, name);
        dtmrepo_test::writeFile(profilePath(unity, "b.xml"),
                                dtmrepo_test::fileText(dtmrepo_test::profileLines({{}}, {})));
        BrondelHarness harness(unity, unity);
        const auto run = harness.run("close\n");
        EXPECT_EQ(run.linesStartingWith("msgbox"), Lines{}) << name;
        EXPECT_EQ(run.linesStartingWith("tree 1001 0 ").size(), 1u) << name;
    }
}

TEST(DtmRepositoryTree, MissingFilesAreReportedAndTheTreeGoesOn) {
    const std::string unity = dtmrepo_test::freshFolder("missing");
    BrondelHarness noIndex(unity, unity + "/");
    const auto empty = noIndex.run("close\n");
    const std::string index =
        (fs::path(unity) / "DDXMLRepository" / "DDXMLRepository.XML").string();
    // The first start on a machine whose DAV lies elsewhere: the box says which setting names
    // the folder, under which key, and what the folder must hold. It comes while the window is
    // made, before it is shown: it stands on its own, with no hidden window owning it.
    const Lines boxes = empty.linesStartingWith("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    const std::string box = boxes[0];
    EXPECT_EQ(box.rfind("msgbox \"OK\" \"(28) Unable to open " + index + " For INPUT as 1", 0), 0u)
        << box;
    for (const std::string& part :
         Lines{"setting UnityPath under HKEY_CURRENT_USER", "VADADOZAVOZAVOZ", "(now \\\"" + unity,
               "DDXMLRepository.XML and the Logics folder.\" icon stop -> OK"}) {
        EXPECT_NE(box.find(part), std::string::npos) << part << "\n" << box;
    }
    EXPECT_EQ(empty.linesStartingWith("tree "), Lines{});

    dtmrepo_test::writeIndex(unity, {indexLine("Gone.XML", "3.0", "Gone")});
    const auto gone = noIndex.run("close\n");
    EXPECT_EQ(gone.linesStartingWith("msgbox"),
              Lines{"msgbox \"OK\" \"(29) Unable to open " + profilePath(unity, "Gone.XML") +
                    " For INPUT as 2\" icon stop -> OK"});
    EXPECT_EQ(gone.linesStartingWith("tree "),
              (Lines{"tree 1001 0 \"Gone\"", "tree 1001 1 under 0 \"Ver 3.0\"",
                     "tree 1001 2 under 0 \"Input Byte Count = 0 (72)\"",
                     "tree 1001 3 under 0 \"Output Byte Count = 0 (26)\""}));
}

TEST(DtmRepositoryTree, ShortAndOddValuesAreShownNotReadPastTheirEnd) {
    const std::string unity = dtmrepo_test::freshFolder("short");
    dtmrepo_test::writeIndex(unity, {"<File DDXMLFile=\"X\" Filename=\"X\" Fileversion=\"\"/>"});
    dtmrepo_test::writeFile(profilePath(unity, "X"),
                            "<cipAssemblyList>\r\n<cipAssembly assemblyID=\"Assem01\">\r\n"
                            "<assemblySize size=\"76\"/>\r\n<cipParameter parameterIDRef=\"P\">\r\n"
                            "</cipAssemblyList>\r\n<ePath value=\"20 04\"/>\r\n");
    BrondelHarness harness(unity, unity);
    const auto run = harness.run("close\n");
    EXPECT_EQ(run.linesStartingWith("tree "),
              (Lines{"tree 1001 0 \"X\"", "tree 1001 1 under 0 \"Ver \"",
                     "tree 1001 2 under 0 \"Input Byte Count = 4 (76)\"",
                     "tree 1001 3 under 2 \"assemblyID = 1, Path = 0, Instance = x26B6, File = "
                     "57999, RPI = , Byte Count = 4 (76)\"",
                     "tree 1001 4 under 3 \"P,  ,  N/A,  0\"",
                     "tree 1001 5 under 0 \"Output Byte Count = 0 (26)\""}));
}

}  // namespace
