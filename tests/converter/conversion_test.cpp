// Whole conversions of M580 project archives: the "_IBS.zef" written beside the input, its
// project file rewritten and still well-formed XML, every other entry kept byte for byte, and
// failures that leave the user's files as they were.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>

#include "extractor/iby_template_set.h"
#include "platform/ui_headless.h"
#include "tests/converter/conversion_fixture.h"
#include "tests/converter/m580_project.h"

namespace {

namespace fs = std::filesystem;
using converter_test::ConversionTest;
using m580_test::Module;
using m580_test::ProjectOptions;
using m580_test::secondModule;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool holdsLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool holdsText(const std::vector<std::string>& lines, const std::string& text) {
    return m580_test::findLine(lines, text) >= 0;
}

class Conversion : public ConversionTest {
  protected:
    fs::path writeProject(const ProjectOptions& options, const std::string& name = "plant.zef") {
        const fs::path archive = folder() / name;
        m580_test::writeZef(archive, m580_test::joinLines(m580_test::projectLines(options)));
        return archive;
    }

    fs::path writeProject(const std::vector<std::string>& lines,
                          const std::string& name = "plant.zef") {
        const fs::path archive = folder() / name;
        m580_test::writeZef(archive, m580_test::joinLines(lines));
        return archive;
    }

    // The converted project file, checked to be well-formed and to keep the other entries.
    std::vector<std::string> convertedProject(const fs::path& input, const fs::path& output) {
        const auto in = converter_test::rawZipEntries(input);
        const auto out = converter_test::rawZipEntries(output);
        EXPECT_EQ(in.size(), out.size());
        for (const auto& [name, raw] : in) {
            if (name != "unitpro.xef") {
                EXPECT_EQ(out.count(name) ? out.at(name) : "", raw) << name;
            }
        }
        const std::string text = converter_test::zipEntries(output)["unitpro.xef"];
        EXPECT_EQ(converter_test::xmlProblems(text, folder()), "");
        return converter_test::splitCrLf(text);
    }
};

TEST_F(Conversion, OneModuleBecomesTheIbsProject) {
    const fs::path input = writeProject(ProjectOptions{});
    // A killed run's work folder, a day old: swept at this start.
    const fs::path stale = tempFolder() / "vornick-123456";
    fs::create_directories(stale / "project");
    fs::last_write_time(stale, fs::file_time_type::clock::now() - std::chrono::hours(25));
    const std::string before = readFile(input);
    ASSERT_TRUE(convert(input));

    const fs::path output = folder() / "plant_IBS.zef";
    const std::string stem = (folder() / "plant").string();
    // The box names the count the report ends with.
    const std::string replaced = converter_test::splitCrLf(report).back().substr(2);
    EXPECT_EQ(replaced.rfind("Replaced ", 0), 0u);
    EXPECT_EQ(boxes(),
              std::vector<std::string>{"Success| Created: " + stem + "_IBS.zef\r\n " + replaced});
    EXPECT_EQ(shownBoxes()[0].icon, "information");
    EXPECT_EQ(readFile(input), before);
    const std::vector<std::string> lines = convertedProject(input, output);

    // Fennick's device types and device variable are gone; the DTM's stay.
    EXPECT_FALSE(holdsText(lines, "T_IBY_DIO"));
    // Every IBY_ name has its IBS_ name; only the rack and slot variables of the dynamic
    // communication blocks keep theirs.
    for (const std::string& line : lines) {
        if (line.find("IBY_") != std::string::npos) {
            EXPECT_TRUE(line.find("IBY_Rack_") != std::string::npos ||
                        line.find("IBY_Slot_") != std::string::npos)
                << line;
        }
    }
    EXPECT_FALSE(holdsText(lines, "_d0_s3"));
    EXPECT_TRUE(holdsText(lines, "<DDTSource DDTName=\"T_PMEDWL_A\""));
    EXPECT_TRUE(holdsText(lines, "<variables name=\"PMEDWL_A\" typeName=\"T_PMEDWL_A\">"));
    // The code is named after the DTM, and its parameters take the DTM's device type.
    EXPECT_TRUE(holdsLine(lines,
                          "\t\t<variables name=\"IBS_Manage_PMEDWL_A\" typeName=\"IBS_Manage\">"
                          "</variables>"));
    EXPECT_TRUE(holdsLine(lines, "\t\t\t<variables name=\"DIOibs\" typeName=\"T_PMEDWL_A\">"));
    EXPECT_TRUE(holdsLine(lines, "IBS_IODDT_IN_PMEDWL_A (PMEDWL_A, IBS_Manage_PMEDWL_A);"));
    EXPECT_TRUE(holdsLine(lines,
                          "\t\t\t\t<sectionDesc name=\"IBS_IN_PMEDWL_A\" SectionOrder=\"1\">"
                          "</sectionDesc>"));
    // The IP addresses are filled in.
    EXPECT_TRUE(holdsText(lines, "IBS_SEND_REQ_1(254,'192.168.10.3', 16#31, Emis, Gest, Recp);"));
    EXPECT_TRUE(holdsLine(lines, "\t\t\t\t<variableInit value=\"192.168.10.3\"></variableInit>"));
    EXPECT_FALSE(holdsText(lines, "PMEDWLIP"));
    // The exchange call stands in front of each marker.
    const int marker = m580_test::findLine(lines, "(* READ_VAR_DATA_EXCH  *)");
    ASSERT_GT(marker, 5);
    EXPECT_EQ(lines[static_cast<std::size_t>(marker - 5)],
              "\tDATA_EXCH (ADR := ADDM(ADDMstring) (*ANY_ARRAY_INT*),");

    // The report ends with the archive made and the number of replacements.
    const std::vector<std::string> report = converter_test::splitCrLf(this->report);
    ASSERT_GE(report.size(), 2u);
    EXPECT_EQ(report[report.size() - 2], "  Created: " + stem + "_IBS.zef");
    EXPECT_EQ(report.back().rfind("  Replaced ", 0), 0u);
    EXPECT_EQ(report.back().substr(report.back().size() - 11), " variables.");
    EXPECT_TRUE(holdsLine(report, " Found PMEDWL(1)  at rack = 0   slot = 3"));
    EXPECT_TRUE(holdsLine(report,
                          "       Found IODDT variable Name(1)='PMEDWL_A'    "
                          "Type(1)='T_PMEDWL_A'"));

    // Beside the archive: the output and the folder with the rewritten project's copy; no work
    // files anywhere.
    EXPECT_EQ(converter_test::folderContent(folder()),
              (std::set<std::string>{"plant.zef", "plant_IBS.zef", "plant_IntermediateFiles",
                                     "plant_IntermediateFiles/unitpro_IBS.xef"}));
    EXPECT_EQ(readFile(folder() / "plant_IntermediateFiles/unitpro_IBS.xef"),
              converter_test::zipEntries(output)["unitpro.xef"]);
    EXPECT_TRUE(converter_test::folderContent(tempFolder()).empty());
    // The archive and file work is the program's own: no command was started for it.
    EXPECT_EQ(transcript().find("run \""), std::string::npos) << transcript();
}

TEST_F(Conversion, TheReplacementCountCoversThePass) {
    // One replacement more in the input gives one more in the closing line.
    std::vector<std::string> lines = m580_test::projectLines();
    ASSERT_TRUE(convert(writeProject(lines)));
    const std::string first = converter_test::splitCrLf(report).back();
    lines.insert(lines.end() - 1, "\t<!-- IBY_Manage -->");
    ASSERT_TRUE(convert(writeProject(lines, "plant2.zef")));
    const std::string second = converter_test::splitCrLf(report).back();
    const int n = std::stoi(first.substr(11));
    EXPECT_GT(n, 40);
    EXPECT_EQ(second, "  Replaced " + std::to_string(n + 1) + " variables.");
}

TEST_F(Conversion, TwoModulesEachTakeTheirDtmName) {
    ProjectOptions options;
    options.modules.push_back(secondModule());
    const fs::path input = writeProject(options);
    ASSERT_TRUE(convert(input));
    const std::vector<std::string> lines = convertedProject(input, folder() / "plant_IBS.zef");
    EXPECT_FALSE(holdsText(lines, "T_IBY_DIO"));
    EXPECT_TRUE(holdsText(lines, "name=\"IBS_Manage_PMEDWL_A\""));
    EXPECT_TRUE(holdsText(lines, "name=\"IBS_Manage_PMEDWL_B\""));
    EXPECT_TRUE(holdsLine(lines, "IBS_IODDT_OUT_PMEDWL_B (PMEDWL_B, IBS_Manage_PMEDWL_B);"));
    EXPECT_TRUE(holdsLine(lines, "\t\t\t\t<variableInit value=\"192.168.10.5\"></variableInit>"));
    // The second module's sections keep their rack and slot.
    EXPECT_TRUE(holdsText(lines, "<identProgram name=\"IBS_IN_d0_s5\""));
    EXPECT_TRUE(holdsText(lines, "<identProgram name=\"IBS_IN_PMEDWL_A\""));
}

TEST_F(Conversion, EachIpAddressGoesToTheModuleItsBlocksName) {
    // The dynamic blocks test a route against IBY_Rack_k and IBY_Slot_k and then send to
    // IBS_IPk; the module table names slot 3 first. The data block declares the modules in
    // either order.
    std::vector<std::string> templateSet;
    extractor::writeIbyTemplateSet([&](std::string_view line) { templateSet.emplace_back(line); },
                                   {0, 3, 0, 5});
    const struct {
        const char* what;
        std::vector<Module> modules;
    } cases[] = {{"slot 3 declared first", {Module{}, secondModule()}},
                 {"slot 5 declared first", {secondModule(), Module{}}}};
    for (const auto& c : cases) {
        ProjectOptions options;
        options.modules = c.modules;
        options.templateSet = templateSet;
        const std::string name = c.modules.front().slot == 3 ? "plant3.zef" : "plant5.zef";
        const fs::path input = writeProject(options, name);
        ASSERT_TRUE(convert(input)) << c.what << transcript();
        const std::vector<std::string> lines = converter_test::splitCrLf(converter_test::zipEntries(
            folder() / (input.stem().string() + "_IBS.zef"))["unitpro.xef"]);
        int found = 0;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            for (const auto& [variable, address] :
                 {std::pair{"IBS_IP1", "192.168.10.3"}, std::pair{"IBS_IP2", "192.168.10.5"}}) {
                if (lines[i].find(std::string("<variables name=\"") + variable + "\"") !=
                    std::string::npos) {
                    ++found;
                    EXPECT_EQ(lines[i + 1], std::string("\t\t\t\t<variableInit value=\"") +
                                                address + "\"></variableInit>")
                        << c.what << ": " << variable;
                }
            }
        }
        EXPECT_EQ(found, 6) << c.what;
    }
}

TEST_F(Conversion, TwoDtmDeviceTypesAreReportedAsNeedingAHandFix) {
    // The shared blocks' device parameter takes the first DTM's type; the second module's
    // calls pass a variable of its own type, unless both DTMs share one.
    ProjectOptions options;
    options.modules.push_back(secondModule());
    const std::vector<std::string> differing = m580_test::projectLines(options);
    std::vector<std::string> shared = differing;
    const int second = m580_test::findLine(shared, "<variables name=\"PMEDWL_B\"");
    shared[static_cast<std::size_t>(second)] =
        "\t\t<variables name=\"PMEDWL_B\" typeName=\"T_PMEDWL_A\">";
    const std::string warning =
        "WARNING: The two PMEDWL DTMs have different device types: PMEDWL_A is T_PMEDWL_A, "
        "PMEDWL_B is T_PMEDWL_B. The device parameter of IBS_Layout_Xfer and IBS_IODDT_IN is of "
        "type T_PMEDWL_A, so the calls for PMEDWL_B do not build: fix these blocks by hand.";
    const struct {
        const char* what;
        const std::vector<std::string>& lines;
        bool warned;
    } cases[] = {{"differing types", differing, true}, {"one type", shared, false}};
    for (const auto& c : cases) {
        platform::ui::headless::StartSession("");
        const fs::path input = writeProject(c.lines, std::string(c.what) + ".zef");
        ASSERT_TRUE(convert(input)) << c.what;
        ASSERT_EQ(boxes().size(), 1u) << c.what;
        const std::size_t replaced = report.find("Replaced ");
        ASSERT_NE(replaced, std::string::npos) << c.what;
        const std::string created =
            "Success| Created: " + (folder() / c.what).string() + "_IBS.zef\r\n " +
            report.substr(replaced, report.find('.', replaced) + 1 - replaced);
        EXPECT_EQ(boxes()[0], c.warned ? created + "\r\n\r\n " + warning : created) << c.what;
        EXPECT_EQ(shownBoxes()[0].icon, c.warned ? "warning" : "information") << c.what;
        EXPECT_EQ(report.find("\r\n  " + warning) != std::string::npos, c.warned) << c.what;
    }
}

TEST_F(Conversion, TheUsersNotYetSetTextStaysWhileTheUnusedPlaceholderIsFilled) {
    // With one module the second IP placeholder takes the first DTM's name, as it always has;
    // the same words in the user's comment and string stay as written.
    std::vector<std::string> lines = m580_test::projectLines();
    const int marker = m580_test::findLine(lines, "IF NOT DIOiby.Freshness THEN");
    ASSERT_GT(marker, 0);
    const std::vector<std::string> users{"(* value not yet set by the HMI *)",
                                         "\tManage.errorstring := 'NOT YET SET';"};
    lines.insert(lines.begin() + marker, users.begin(), users.end());
    const fs::path input = writeProject(lines);
    ASSERT_TRUE(convert(input)) << transcript();
    const std::vector<std::string> out = convertedProject(input, folder() / "plant_IBS.zef");
    for (const std::string& line : users) {
        EXPECT_TRUE(holdsLine(out, line)) << line;
    }
    const int ip2 = m580_test::findLine(out, "<variables name=\"IBS_IP2\"");
    ASSERT_GT(ip2, 0);
    EXPECT_EQ(out[static_cast<std::size_t>(ip2 + 1)],
              "\t\t\t\t<variableInit value=\"PMEDWL_A\"></variableInit>");
}

TEST_F(Conversion, MultiLineDeviceVariablesLeaveWhole) {
    ProjectOptions options;
    options.modules.push_back(secondModule());
    options.multiLineDeviceVariables = true;
    const fs::path input = writeProject(options);
    ASSERT_TRUE(convert(input));
    const std::vector<std::string> lines = convertedProject(input, folder() / "plant_IBS.zef");
    EXPECT_FALSE(holdsText(lines, "Device of the Premium IBY100"));
}

TEST_F(Conversion, AFailedCheckShowsItsBoxAndChangesNothing) {
    std::vector<std::string> lines = m580_test::projectLines();
    const int dtm = m580_test::findLine(lines, "M58B_XX_PMEDWL01");
    lines.erase(lines.begin() + dtm);
    const fs::path input = writeProject(lines);
    const std::string before = readFile(input);
    EXPECT_FALSE(convert(input));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].rfind("ERROR|  ERROR: File '", 0), 0u);
    EXPECT_NE(boxes()[0].find(input.string() + "' found 1 PMEDWL but only  0 DTM entries!"),
              std::string::npos);
    EXPECT_EQ(readFile(input), before);
    EXPECT_EQ(converter_test::folderContent(folder()), std::set<std::string>{"plant.zef"});
    EXPECT_TRUE(converter_test::folderContent(tempFolder()).empty());
}

TEST_F(Conversion, ItsOwnOutputIsRefusedAsConvertedAlready) {
    ProjectOptions options;
    options.modules.push_back(secondModule());
    ASSERT_TRUE(convert(writeProject(options)));
    platform::ui::headless::StartSession("");
    const fs::path output = folder() / "plant_IBS.zef";
    const std::string before = readFile(output);
    EXPECT_FALSE(convert(output));
    EXPECT_EQ(boxes(), std::vector<std::string>{"ERROR|  ERROR: File '" + output.string() +
                                                "' has been converted already: it declares "
                                                "IBS_IODDT_IN_PMEDWL_A and no IBY module!"});
    EXPECT_EQ(readFile(output), before);
    EXPECT_FALSE(fs::exists(folder() / "plant_IBS_IBS.zef"));
}

TEST_F(Conversion, AFailedMatchAddsItsReportLines) {
    std::vector<std::string> lines = m580_test::projectLines();
    const int variable = m580_test::findLine(lines, "<variables name=\"PMEDWL_A\"");
    lines[static_cast<std::size_t>(variable)] =
        "\t\t<variables name=\"PMEDWL_X\" typeName=\"T_PMEDWL_A\">";
    EXPECT_FALSE(convert(writeProject(lines)));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].find("' DTM variable Name does not match IBS IODDT DTM(1)"),
              std::string::npos);
    EXPECT_NE(report.find("\r\n       PMEDWL_A <> PMEDWL_X"), std::string::npos);
    EXPECT_EQ(converter_test::folderContent(folder()), std::set<std::string>{"plant.zef"});
}

TEST_F(Conversion, TheUsersFilesWithDerivedNamesAreLeftAlone) {
    const fs::path input = writeProject(ProjectOptions{});
    // Files and folders the old command road would have overwritten, unpacked into or deleted.
    std::ofstream(folder() / "plant.zip") << "the user's own zip";
    std::ofstream(folder() / "plant_IBS.zip") << "another zip";
    fs::create_directories(folder() / "plant");
    std::ofstream(folder() / "plant" / "unitpro.xef") << "notes";
    fs::create_directories(folder() / "plant_IntermediateFiles");
    std::ofstream(folder() / "plant_IntermediateFiles" / "unitpro.xef") << "Fennick's copy";
    ASSERT_TRUE(convert(input));
    EXPECT_EQ(readFile(folder() / "plant.zip"), "the user's own zip");
    EXPECT_EQ(readFile(folder() / "plant_IBS.zip"), "another zip");
    EXPECT_EQ(readFile(folder() / "plant" / "unitpro.xef"), "notes");
    EXPECT_EQ(readFile(folder() / "plant_IntermediateFiles" / "unitpro.xef"), "Fennick's copy");
    EXPECT_TRUE(fs::exists(folder() / "plant_IBS.zef"));
}

TEST_F(Conversion, AnArchiveNameWithFullStopsKeepsThem) {
    fs::create_directories(folder() / "M580 v1.2");
    const fs::path input = folder() / "M580 v1.2" / "plant.v2.zef";
    m580_test::writeZef(input, m580_test::joinLines(m580_test::projectLines()));
    ASSERT_TRUE(convert(input));
    EXPECT_TRUE(fs::exists(folder() / "M580 v1.2" / "plant.v2_IBS.zef"));
    EXPECT_TRUE(fs::exists(folder() / "M580 v1.2" / "plant.v2_IntermediateFiles"));
}

TEST_F(Conversion, AFileThatIsNoArchiveIsRefused) {
    const fs::path input = folder() / "plant.zef";
    std::ofstream(input) << "not a zip";
    EXPECT_FALSE(convert(input));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].rfind("ERROR|  ERROR: Can't open archive ", 0), 0u);
    EXPECT_EQ(readFile(input), "not a zip");
    EXPECT_EQ(converter_test::folderContent(folder()), std::set<std::string>{"plant.zef"});
    EXPECT_TRUE(converter_test::folderContent(tempFolder()).empty());
}

TEST_F(Conversion, EachFailureBoxNamesTheChosenArchiveAndWhatItLacks) {
    // The conversion works in a private folder that is gone when the box is read: the box
    // names the archive the user chose.
    std::vector<std::string> noModule = m580_test::projectLines();
    noModule.erase(noModule.begin() + m580_test::findLine(noModule, "BMX PMEDWL0111"),
                   noModule.begin() + m580_test::findLine(noModule, "BMX PMEDWL0111") + 3);
    std::vector<std::string> noVariable = m580_test::projectLines();
    noVariable.erase(noVariable.begin() +
                     m580_test::findLine(noVariable, "<attribute name=\"DeviceId\""));
    const std::string project = m580_test::joinLines(m580_test::projectLines());
    std::vector<m580_test::Entry> folderTyped{{"unitpro.xef/", "", true}};
    for (const m580_test::Entry& entry : m580_test::otherEntries()) {
        folderTyped.push_back(entry);
    }
    const struct {
        const char* what;
        std::vector<m580_test::Entry> entries;
        std::string lack;
    } cases[] = {
        {"no project file", m580_test::otherEntries(),
         " does not contain the project file unitpro.xef!"},
        {"a folder for a project file", folderTyped,
         " does not contain the project file unitpro.xef!"},
        {"no module",
         {{"unitpro.xef", m580_test::joinLines(noModule), false}},
         " does not contain at least one PMEDWL Module!"},
        {"no device variable",
         {{"unitpro.xef", m580_test::joinLines(noVariable), false}},
         " Found no DTM variable TYPE to match IBS IODDT DTM(1)"},
    };
    for (const auto& c : cases) {
        platform::ui::headless::StartSession("");
        const fs::path input = folder() / (std::string(c.what) + ".zef");
        m580_test::writeArchive(input, c.entries);
        EXPECT_FALSE(convert(input)) << c.what;
        ASSERT_EQ(boxes().size(), 1u) << c.what;
        EXPECT_EQ(boxes()[0], "ERROR|  ERROR: File '" + input.string() + "'" + c.lack) << c.what;
        EXPECT_FALSE(fs::exists(folder() / (std::string(c.what) + "_IBS.zef"))) << c.what;
    }
    EXPECT_TRUE(converter_test::folderContent(tempFolder()).empty());
}

TEST_F(Conversion, AFailedFirstCopyOfTheArchiveLeavesNoPartBesideIt) {
    // The new archive starts as a copy of the old one under a hidden name beside it; a copy cut
    // short (here by a file size limit, as by a full disk) must not stay there. The archive is
    // larger than any file the conversion writes before.
    std::vector<m580_test::Entry> entries = m580_test::otherEntries();
    for (int e = 0; e < 50; ++e) {
        std::string noise;
        for (int i = 0; i < 4000; ++i) {
            noise.push_back(static_cast<char>(((e * 4000 + i) * 2654435761u) >> 13));
        }
        entries.push_back({"Noise/" + std::to_string(e) + ".bin", noise, true});
    }
    const fs::path input = folder() / "plant.zef";
    m580_test::writeZef(input, m580_test::joinLines(m580_test::projectLines()), entries);
    ASSERT_GT(fs::file_size(input), 200000u);

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 100000;
    void (*savedSignal)(int) = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool created = convert(input);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, savedSignal);

    EXPECT_FALSE(created);
    ASSERT_FALSE(boxes().empty());
    EXPECT_EQ(boxes().back().rfind("ERROR|", 0), 0u) << boxes().back();
    EXPECT_EQ(boxes().back().find(".~"), std::string::npos) << boxes().back();
    EXPECT_NE(boxes().back().find(input.string()), std::string::npos) << boxes().back();
    for (const std::string& name : converter_test::folderContent(folder())) {
        EXPECT_EQ(name.find(".~"), std::string::npos) << name;
    }
    EXPECT_FALSE(fs::exists(folder() / "plant_IBS.zef"));
    EXPECT_EQ(report.find("Created:"), std::string::npos);
}

TEST_F(Conversion, ALineTheRenamesWouldOvergrowRefusesTheProject) {
    // A DTM named with the very names the later renames look for would multiply a line that
    // holds many of them: the project is refused, naming that line, and nothing is created.
    Module module;
    module.dtmName.clear();
    for (int i = 0; i < 4; ++i) {
        module.dtmName +=
            "IBS_READ_VAR_d0_s3IBS_SEND_REQ_d0_s3IBS_WRITE_VAR_d0_s3IBS_Layout_CRC_d0_s3";
    }
    ProjectOptions options;
    options.modules = {module};
    std::vector<std::string> lines = m580_test::projectLines(options);
    std::string many = "\t<!--";
    for (int i = 0; i < 1000; ++i) {
        many += " IBY_Manage_d0_s3";
    }
    many += " -->";
    lines.insert(lines.end() - 1, many);
    const fs::path input = writeProject(lines);
    EXPECT_FALSE(convert(input));
    ASSERT_EQ(boxes().size(), 1u) << transcript();
    EXPECT_EQ(boxes()[0], "ERROR|  ERROR: File '" + input.string() + "': unitpro.xef line " +
                              std::to_string(lines.size() - 1) +
                              " grows beyond bounds under the renames: a DTM name or IP "
                              "address holds the names it replaces!");
    EXPECT_FALSE(fs::exists(folder() / "plant_IBS.zef"));
    EXPECT_EQ(report.find("Created:"), std::string::npos);
}

TEST_F(Conversion, AnOutputThatCannotBeWrittenIsNoSuccess) {
    const fs::path input = writeProject(ProjectOptions{});
    // A folder holds the output's name: the archive cannot be put there.
    fs::create_directories(folder() / "plant_IBS.zef" / "inside");
    EXPECT_FALSE(convert(input));
    ASSERT_FALSE(boxes().empty());
    EXPECT_EQ(boxes().back().rfind("ERROR|", 0), 0u);
    EXPECT_TRUE(fs::is_directory(folder() / "plant_IBS.zef" / "inside"));
    EXPECT_EQ(report.find("Created:"), std::string::npos);
}

}  // namespace
