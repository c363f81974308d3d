// Whole conversions in batch mode, as "fennick <archive>" runs them.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>

#include "fennick_fixture.h"

namespace fennick_test {
namespace {

namespace fs = std::filesystem;

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class BatchConversion : public FennickTest {};

TEST_F(BatchConversion, NewArchiveKeepsTheOtherEntriesByteForByte) {
    const fs::path input = writeProject("Line.ZEF", sampleProject());
    const std::string before = readFile(input);
    ASSERT_EQ(runFennick({input.string()}), 0) << transcript();

    const auto original = readArchive(input);
    const auto converted = readArchive(path("Line_IBY.zef"));
    ASSERT_EQ(converted.size(), original.size());
    for (const auto& [name, entry] : original) {
        SCOPED_TRACE(name);
        ASSERT_EQ(converted.count(name), 1u);
        if (name == "unitpro.xef") {
            continue;
        }
        EXPECT_EQ(converted.at(name).rawBytes, entry.rawBytes);
        EXPECT_EQ(converted.at(name).crc, entry.crc);
        EXPECT_EQ(converted.at(name).method, entry.method);
    }
    const std::string project = converted.at("unitpro.xef").data;
    EXPECT_EQ(xmlProblem(project, path("tmp")), "");
    // The converted module's configuration leaves the project; the other module stays.
    EXPECT_EQ(project.find("TSXIBY100"), std::string::npos);
    EXPECT_NE(project.find("TSXDEY16D2"), std::string::npos);
    // The input archive is as it was, and no box asked anything in batch mode.
    EXPECT_EQ(readFile(input), before);
    EXPECT_TRUE(boxes().empty()) << transcript();
    EXPECT_TRUE(leftoverWorkFolders().empty());
}

TEST_F(BatchConversion, ResultsCensusAndIntermediateFiles) {
    const fs::path input = writeProject("Line.ZEF", sampleProject());
    ASSERT_EQ(runFennick({input.string()}), 0) << transcript();

    const fs::path intermediate = path("Line_IBY_IntermediateFiles");
    ASSERT_TRUE(fs::is_directory(intermediate));
    EXPECT_TRUE(fs::exists(intermediate / "unitpro.xef"));
    const std::vector<std::string> results = crlfLines(readFile(intermediate / "Line_Results.txt"));
    ASSERT_GE(results.size(), 3u);
    EXPECT_EQ(results[0], " ");
    EXPECT_EQ(results[1], " Found a TSXIBY100 (1) at rack = 0   slot = 3");
    EXPECT_TRUE(hasLine(results, "Created: " + (folder() / "Line").string() + "_IBY.zef"));
    EXPECT_TRUE(hasLine(results, "---- IBY100 in Rack 0 Slot 3 ----- "));
    EXPECT_TRUE(hasLine(results, "Replaced 0 READ_STS Module function blocks."));
    EXPECT_EQ(results.back(), " ");

    // The census stays beside the archive.
    const std::vector<std::string> census = crlfLines(readFile(path("Line_PCP.txt")));
    ASSERT_EQ(census.size(), 4u);
    EXPECT_EQ(census[0].rfind("DFB: Pump_Ctrl (static1) dfb_send_req_count(1) =  1  line = ", 0),
              0u);
    EXPECT_EQ(census[1].rfind("Section: Main (static2) sec_Send_Req_Instance(1) =  1", 0), 0u);
}

// Names Windows takes place the service file's copy under its own name; none stops the run.
TEST_F(BatchConversion, ServiceFileNamesWindowsTakes) {
    for (const std::string name : {"Line$1.svc", "O'Brien.svc", "100%.svc", "a`b.svc"}) {
        SCOPED_TRACE(name);
        ProjectSpec project = sampleProject();
        project.modules[0].svcName = "D:\\Svc\\" + name;
        const std::string root = "Named" + std::to_string(name.size()) + name.substr(0, 1);
        const fs::path input = writeProject(root + ".zef", project);
        ASSERT_EQ(runFennick({input.string()}), 0) << transcript();
        EXPECT_TRUE(fs::exists(path(root + "_IBY.zef")));
        EXPECT_TRUE(fs::exists(path(root + "_IBY_IntermediateFiles") / name));
    }
}

TEST_F(BatchConversion, WholeConversionRewritesTheProject) {
    const fs::path input = writeProject("Line.zef", sampleProject());
    ASSERT_EQ(runFennick({input.string()}), 0) << transcript();
    const std::string project = readArchive(path("Line_IBY.zef")).at("unitpro.xef").data;
    EXPECT_EQ(xmlProblem(project, path("tmp")), "");
    const std::vector<std::string> lines = crlfLines(project);
    for (const char* line : {
             "\t\t<variables name=\"Speed\" typeName=\"WORD\">",
             "\t\t\t<comment>%IW0.3.0.5 (Interbus-S)</comment>",
             "\tSpeed := INT_TO_WORD(IBY_DIO_d0_s3.Inputs.IW[5]);    (*  WARNING:  NOT an INT *)",
             "\tIBY_DIO_d0_s3.Outputs.QW[2] := Valve;",
             "IF IBY_DIO_d0_s3.Inputs.IW[7] &gt; 3 THEN Running := TRUE; END_IF;",
             "IBY_SEND_REQ_1(254,'IBYSENDREQIPd0_s3', 16#31, Emis, Gest, Recp);",
             "IBY_READ_VAR_1(7, 'IBYREADVARIPd0_s3', 3, 1, GEST, TAB);",
             "IBY_WRITE_VAR_DYNAMIC_1(AdrVar,  3, 1, Data, Gest);",
             "  IBY_SEND_REQ_1(5,'IBYSENDREQIPd0_s3', 16#31, Emis, Gest, Recp);",
         }) {
        EXPECT_TRUE(hasLine(lines, line)) << line;
    }
    EXPECT_EQ(project.find("topologicalAddress"), std::string::npos);
    EXPECT_EQ(projectProblems(path("Line_IBY.zef"), input, 0, 3,
                              path("Line_IBY_IntermediateFiles") / "Line_Results.txt"),
              "");
    const std::vector<std::string> results =
        crlfLines(readFile(path("Line_IBY_IntermediateFiles") / "Line_Results.txt"));
    for (const char* line : {
             "Converted 1 Topological INPUT variables to unlocated variables.",
             "Converted 1 Topological OUTPUT variables to unlocated variables.",
             "Converted 0 Topological CHANNEL variables.",
             "Replaced 1 direct Topological References.",
             "Replaced 1 Static SEND_REQ function blocks in main sections.",
             "Replaced 1 Static SEND_REQ function blocks in DFBs.",
             "Replaced 1 READ_VAR function blocks.",
             "Replaced 1 Dynamic WRITE_VAR function blocks in main sections.",
         }) {
        EXPECT_TRUE(hasLine(results, line)) << line;
    }
    const std::vector<std::string> inputs =
        crlfLines(readFile(path("Line_IBY_IntermediateFiles") / "Line_INvars_Sort.txt"));
    EXPECT_EQ(inputs, (std::vector<std::string>{
                          "Speed := INT_TO_WORD(IBY_DIO_d0_s3.Inputs.IW[5]);    (*  WARNING:  "
                          "NOT an INT *)"}));
}

TEST_F(BatchConversion, SecondModuleGetsTheSecondPass) {
    ProjectSpec project = sampleProject();
    project.modules = {moduleAt(0, 3), moduleAt(0, 5)};
    project.sections[0].lines.push_back("SEND_REQ(ADDR('0.5.0.2'), 1, E, G, R);");
    const fs::path input = writeProject("Two.zef", project);
    ASSERT_EQ(runFennick({input.string()}), 0) << transcript();

    const std::string first = readArchive(path("Two_IBY.zef")).at("unitpro.xef").data;
    const std::string second = readArchive(path("Two_IBY_IBY.zef")).at("unitpro.xef").data;
    EXPECT_EQ(first.find("\\1\\0.3"), std::string::npos);
    EXPECT_NE(first.find("\\1\\0.5"), std::string::npos);
    EXPECT_EQ(second.find("TSXIBY100"), std::string::npos);
    EXPECT_EQ(xmlProblem(second, path("tmp")), "");
    // Each pass's call has an instance of its own, each declared once.
    const std::vector<std::string> lines = crlfLines(second);
    EXPECT_TRUE(
        hasLine(lines, "IBY_SEND_REQ_1(254,'IBYSENDREQIPd0_s3', 16#31, Emis, Gest, Recp);"));
    EXPECT_TRUE(hasLine(lines, "IBY_SEND_REQ_3(2,'IBYSENDREQIPd0_s5', 1, E, G, R);"));
    for (const char* name :
         {"IBY_SEND_REQ_1", "IBY_SEND_REQ_3", "IBY_DIO_d0_s3", "IBY_DIO_d0_s5"}) {
        const std::string declaration = std::string("<variables name=\"") + name + "\"";
        int count = 0;
        bool inDataBlock = false;
        for (const std::string& line : lines) {
            inDataBlock = (inDataBlock || line == "\t<dataBlock>") && line != "\t</dataBlock>";
            count += inDataBlock && line.find(declaration) != std::string::npos;
        }
        EXPECT_EQ(count, 1) << name;
    }
    EXPECT_EQ(projectProblems(path("Two_IBY.zef"), input, 0, 3,
                              path("Two_IBY_IntermediateFiles") / "Two_Results.txt"),
              "");
    EXPECT_EQ(projectProblems(path("Two_IBY_IBY.zef"), path("Two_IBY.zef"), 0, 5,
                              path("Two_IBY_IBY_IntermediateFiles") / "Two_IBY_Results.txt"),
              "");
    const std::vector<std::string> secondResults =
        crlfLines(readFile(path("Two_IBY_IBY_IntermediateFiles") / "Two_IBY_Results.txt"));
    EXPECT_TRUE(hasLine(secondResults, " Found a TSXIBY100 (1) at rack = 0   slot = 5"));
    const std::vector<std::string> shown = boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "msgbox \"Finished\" \" Created: " + (folder() / "Two").string() +
                            "_IBY_IBY.zef\" icon information -> OK");
    EXPECT_TRUE(leftoverWorkFolders().empty());
}

// The results file of a conversion of "<root>.zef" in the test's folder.
std::vector<std::string> resultsOf(const FennickTest& test, const std::string& root) {
    return crlfLines(
        readFile(test.path(root + "_IBY_IntermediateFiles") / (root + "_Results.txt")));
}

std::string pinLine(const char* element, const char* formal, const char* actual) {
    return std::string("\t\t\t\t\t<") + element + " invertedPin=\"false\" formalParameter=\"" +
           formal + "\" effectiveParameter=\"" + actual + "\"></" + element + ">";
}

// A data type of one member defined by the project.
void defineType(ProjectSpec& project, const std::string& name, const std::string& member,
                const std::string& type) {
    project.dataTypes.insert(
        project.dataTypes.end(),
        {"\t<DDTSource DDTName=\"" + name + "\" version=\"0.01\">", "\t\t<structure>",
         "\t\t\t<variables name=\"" + member + "\" typeName=\"" + type + "\"></variables>",
         "\t\t</structure>", "\t</DDTSource>"});
}

struct BuildCase {
    const char* what;
    std::function<void(ProjectSpec&)> change;
    std::vector<std::string> resultLines;  // ends of lines the results file holds
    std::vector<std::string> boxTexts;     // texts the final box holds
};

// Projects of shapes the generators do not write convert into projects that build: every type
// used is defined once, every instance declared once, and every reference left to the module
// is named in the results and counted in the final box.
TEST_F(BatchConversion, ConvertedProjectsBuild) {
    const std::vector<BuildCase> cases = {
        {"blocks drawn in a diagram and a rung",
         [](ProjectSpec& project) {
             project.sections.push_back(SectionSpec{
                 "Drawn",
                 "FBD",
                 {"\t\t\t<FFBBlock instanceName=\"FBI_4_1\" typeName=\"READ_VAR\" "
                  "additionnalPinNumber=\"0\" enEnO=\"false\" width=\"11\" height=\"9\">",
                  "\t\t\t\t<descriptionFFB execAfter=\"\">",
                  pinLine("inputVariable", "ADR", "ADDR('0.3.0.7')"),
                  pinLine("inputVariable", "OBJ", "'PMS'"), pinLine("inputVariable", "NUM", "3"),
                  pinLine("inputVariable", "NB", "1"), pinLine("inOutVariable", "GEST", "Gest"),
                  pinLine("outputVariable", "RECP", "Tab"), "\t\t\t\t</descriptionFFB>",
                  "\t\t\t</FFBBlock>"}});
             project.sections[1].lines = {
                 "\t\t\t<FFBBlock instanceName=\"FBI_2_1\" typeName=\"SEND_REQ\" "
                 "additionnalPinNumber=\"0\" enEnO=\"true\" width=\"11\" height=\"9\">",
                 "\t\t\t\t<descriptionFFB execAfter=\"\">",
                 pinLine("inputVariable", "EN", "Go"),
                 pinLine("inputVariable", "ADR", "ADDR('0.3.0.SYS')"),
                 pinLine("inputVariable", "CODE", "16#31"),
                 pinLine("inputVariable", "EMIS", "Emis"),
                 pinLine("inOutVariable", "GEST", "Gest"),
                 pinLine("outputVariable", "RECP", "Recp"),
                 "\t\t\t\t</descriptionFFB>",
                 "\t\t\t</FFBBlock>"};
         },
         {"Replaced 2 READ_VAR function blocks.",
          "Replaced 2 Static SEND_REQ function blocks in main sections."},
         {}},
        {"references no rule converted",
         [](ProjectSpec& project) {
             for (const char* declaration :
                  {"\t\t<variables name=\"Err0\" typeName=\"BOOL\" "
                   "topologicalAddress=\"%I0.3.0.ERR\"></variables>",
                   "\t\t<variables name=\"Faults\" typeName=\"INT\" "
                   "topologicalAddress=\"%MW0.3.MOD.2\"></variables>",
                   "\t\t<variables name=\"ChFlt\" typeName=\"BOOL\" "
                   "topologicalAddress=\"%MW0.3.MOD.2.1\"></variables>",
                   "\t\t<variables name=\"Bit3\" typeName=\"BOOL\" "
                   "topologicalAddress=\"%MW0.3.MOD.2.3\"></variables>"}) {
                 project.declarations.push_back(declaration);
             }
             project.sections[0].lines.push_back(
                 "A := %MW0.3.MOD.2.3 OR %I0.3.0.1; %Q0.3.0.2 := %MD0.3.MOD.4 &gt; 0;");
             project.sections[0].lines.push_back("(* %IW0.30.0.5 is another module's *)");
         },
         {"Converted 4 Topological INPUT variables to unlocated variables.",
          " of the converted unitpro.xef still refers to the removed IBY100: %MW0.3.MOD.2.3",
          " of the converted unitpro.xef still refers to the removed IBY100: %I0.3.0.1",
          " of the converted unitpro.xef still refers to the removed IBY100: %Q0.3.0.2",
          " of the converted unitpro.xef still refers to the removed IBY100: %MD0.3.MOD.4"},
         {"WARNING: 5 references to the IBY100 in rack 0 slot 3 are left in the project; the "
          "results file names each one (WARNING!!!!)."}},
        {"a type whose name holds a generated name",
         [](ProjectSpec& project) { defineType(project, "T_IBY_DIO_OUTPUTS", "Q", "WORD"); },
         {},
         {}},
        {"a generated name the project defines",
         [](ProjectSpec& project) {
             defineType(project, "IBY_Config_Node", "Segment_Number", "BYTE");
         },
         {"  WARNING!!!!  The project defines IBY_Config_Node itself: the generated "
          "IBY_Config_Node is not written, and the generated types and blocks use the project's."},
         {"WARNING: The project defines IBY_Config_Node itself; the generated types and blocks use "
          "the project's."}},
    };
    for (const BuildCase& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectSpec project = sampleProject();
        c.change(project);
        fs::remove_all(path("Line_IBY_IntermediateFiles"));
        const fs::path input = writeProject("Line.zef", project);
        ASSERT_EQ(runFennick({}, "menu 100\nfile \"" + input.string() + "\"\n"), 0) << transcript();
        const fs::path results = path("Line_IBY_IntermediateFiles") / "Line_Results.txt";
        EXPECT_EQ(projectProblems(path("Line_IBY.zef"), input, 0, 3, results), "");
        const std::vector<std::string> lines = resultsOf(*this, "Line");
        for (const std::string& end : c.resultLines) {
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
                return line.size() >= end.size() &&
                       line.compare(line.size() - end.size(), end.size(), end) == 0;
            })) << end;
        }
        const std::vector<std::string> shown = boxes();
        ASSERT_EQ(shown.size(), 1u) << transcript();
        EXPECT_EQ(shown[0].rfind("msgbox \"Success\" \" Created: ", 0), 0u) << shown[0];
        for (const std::string& text : c.boxTexts) {
            EXPECT_NE(shown[0].find("\\r\\n\\r\\n " + text), std::string::npos) << shown[0];
        }
        EXPECT_NE(shown[0].find(c.boxTexts.empty() ? "icon information" : "icon warning"),
                  std::string::npos)
            << shown[0];
    }
}

struct Refusal {
    const char* what;
    std::function<void(FennickTest&, const fs::path&)> prepare;
    const char* caption;
    const char* textStart;
};

TEST_F(BatchConversion, FailuresEndWithAClearErrorAndTouchNothing) {
    const fs::path input = path("Line.zef");
    const std::vector<Refusal> refusals = {
        {"three modules",
         [](FennickTest&, const fs::path& archive) {
             ProjectSpec project = sampleProject();
             project.modules = {moduleAt(0, 3), moduleAt(0, 4), moduleAt(0, 5)};
             writeProjectArchive(archive, project);
         },
         "Too many IBY100", "ERROR: File '"},
        {"no module",
         [](FennickTest&, const fs::path& archive) {
             ProjectSpec project = sampleProject();
             project.modules.clear();
             writeProjectArchive(archive, project);
         },
         "Missing IBY100", "ERROR: File '"},
        {"no unitpro.xef",
         [](FennickTest&, const fs::path& archive) { writeArchive(archive, sampleExtraEntries()); },
         "ERROR", ""},
        {"not an archive",
         [](FennickTest&, const fs::path& archive) { std::ofstream(archive) << "plain text"; },
         "ERROR", "Can't open archive "},
        {"output held by a folder",
         [](FennickTest& test, const fs::path& archive) {
             writeProjectArchive(archive, sampleProject());
             fs::create_directories(test.path("Line_IBY.zef") / "held");
         },
         "ERROR", "Can't write "},
        // The intermediate folder goes in place before the new archive: when it cannot, no
        // new archive appears either.
        {"intermediate folder blocked",
         [](FennickTest& test, const fs::path& archive) {
             writeProjectArchive(archive, sampleProject());
             std::ofstream(test.path("Line_IBY_IntermediateFiles")) << "a file of mine";
         },
         "ERROR", "Can't create folder "},
        // The last step fails after some outputs are in place: they are taken back.
        {"an output's place held by a folder",
         [](FennickTest& test, const fs::path& archive) {
             writeProjectArchive(archive, sampleProject());
             fs::create_directories(test.path("Line_IBY_IntermediateFiles") / "Line_Results.txt" /
                                    "held");
         },
         "ERROR", "Can't write "},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        fs::remove_all(path("Line_IBY.zef"));
        refusal.prepare(*this, input);
        // The user's own folder and zip of the derived names are never used or removed.
        fs::create_directories(path("Line"));
        std::ofstream(path("Line") / "notes.txt") << "mine";
        std::ofstream(path("Line.zip")) << "my zip";
        const std::vector<std::string> before = tree();
        const std::string archiveBefore = readFile(input);

        EXPECT_EQ(runFennick({input.string()}), 1);
        const std::vector<std::string> shown = boxes();
        ASSERT_EQ(shown.size(), 1u) << transcript();
        const std::string head =
            std::string("msgbox \"") + refusal.caption + "\" \"" + refusal.textStart;
        EXPECT_EQ(shown[0].rfind(head, 0), 0u) << shown[0];
        EXPECT_EQ(tree(), before);
        EXPECT_EQ(readFile(input), archiveBefore);
        EXPECT_EQ(readFile(path("Line") / "notes.txt"), "mine");
        EXPECT_TRUE(leftoverWorkFolders().empty());
        fs::remove_all(path("Line_IBY_IntermediateFiles"));
    }
}

// The boxes and the report name the files where the user finds them: the archive, its entry,
// the outputs in their folders; never the program's work folder, whose random name is gone by
// the time the user reads it, nor a place where a file never is.
TEST_F(BatchConversion, MessagesNameFilesWhereTheUserFindsThem) {
    const std::string archive = path("Line.zef").string();
    const std::string workFolders = path("tmp").string() + "/fennick-";
    ProjectSpec noModule = sampleProject();
    noModule.modules.clear();
    writeProject("Line.zef", noModule);
    EXPECT_EQ(runFennick({archive}), 1);
    EXPECT_EQ(boxes(),
              std::vector<std::string>{"msgbox \"Missing IBY100\" \"ERROR: File '" + archive +
                                       "' does not contain at least one TSXIBY100 "
                                       "Module!\" icon stop -> OK"});

    // The module is there, but not in the form the conversion takes: the box says where.
    std::vector<std::string> lines = projectLines(sampleProject());
    const auto header =
        std::find(lines.begin(), lines.end(), "\t\t\t<moduleATS moduleName=\"IBY100\">");
    ASSERT_NE(header, lines.end());
    const long named = static_cast<long>(header - lines.begin()) + 1;
    *header += (header + 1)->substr(3);
    lines.erase(header + 1);
    std::map<std::string, std::string> entries = sampleExtraEntries();
    entries["unitpro.xef"] = crlfText(lines);
    ASSERT_TRUE(writeArchive(path("Line.zef"), entries));
    EXPECT_EQ(runFennick({archive}), 1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].rfind("msgbox \"Missing IBY100\" \"ERROR: File '" + archive + "': line " +
                                   std::to_string(named) +
                                   " of its unitpro.xef names a TSXIBY100, but no module",
                               0),
              0u)
        << boxes()[0];

    writeArchive(path("Line.zef"), sampleExtraEntries());
    EXPECT_EQ(runFennick({archive}), 1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0],
              "msgbox \"ERROR\" \"" + archive + " has no entry unitpro.xef\" icon stop -> OK");

    writeProject("Line.zef", sampleProject());
    EXPECT_EQ(runFennick({}, "menu 100\nfile \"" + archive + "\"\n"), 0);
    const std::string text = transcript();
    const std::string intermediate = path("Line_IBY_IntermediateFiles").string();
    for (const std::string& named : {
             "\\r\\n xefReadFilename = 'unitpro.xef of " + archive + "'",
             "\\r\\n xefWriteFilename = '" + intermediate + "/unitpro.xef'",
             "\\r\\n INvarfilename = '" + intermediate + "/Line_INvars.txt'",
             "\\r\\n Resultsfilename = '" + intermediate + "/Line_Results.txt'",
         }) {
        EXPECT_NE(text.find(named), std::string::npos) << named << "\n" << text;
    }
    // Every file the report names in the archive's folder is there (zeffilename is the stem
    // of the names, no file).
    int checked = 0;
    for (std::size_t at = text.find(" = '" + folder().string()); at != std::string::npos;
         at = text.find(" = '" + folder().string(), at + 1)) {
        const std::size_t start = at + 4;
        const std::string named = text.substr(start, text.find('\'', start) - start);
        if (named != path("Line").string()) {
            EXPECT_TRUE(fs::exists(named)) << named;
            ++checked;
        }
    }
    EXPECT_GE(checked, 7);
    EXPECT_EQ(text.find(workFolders), std::string::npos) << text;
}

TEST_F(BatchConversion, NoWorkFolderEndsTheConversionNotTheProgram) {
    const fs::path input = writeProject("Line.zef", sampleProject());
    std::ofstream(path("tmp/not-a-folder")) << "x";
    ::setenv("TMPDIR", path("tmp/not-a-folder").c_str(), 1);
    const int code = runFennick({input.string()});
    ::setenv("TMPDIR", path("tmp").c_str(), 1);
    EXPECT_EQ(code, 1);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_FALSE(fs::exists(path("Line_IBY.zef")));
    // The same process converts the next archive as usual.
    EXPECT_EQ(runFennick({input.string()}), 0) << transcript();
}

TEST_F(BatchConversion, ExitCodesOfTheProgram) {
    const fs::path input = writeProject("Plant Line.zef", sampleProject());
    const std::string program = FENNICK_EXECUTABLE;
    const std::string environment = "CALVENTO_UI_TRANSCRIPT='" + path("tmp/ui.txt").string() + "' ";
    // A path with a blank arrives as one argument or as several: both name the same archive.
    EXPECT_EQ(std::system(
                  (environment + "'" + program + "' '" + input.string() + "' >/dev/null").c_str()),
              0);
    EXPECT_TRUE(fs::exists(path("Plant Line_IBY.zef")));
    EXPECT_EQ(std::system((environment + "'" + program + "' " + (folder() / "Plant").string() +
                           " Line.zef >/dev/null")
                              .c_str()),
              0);
    const int failed = std::system(
        (environment + "'" + program + "' '" + path("missing.zef").string() + "' >/dev/null")
            .c_str());
    EXPECT_TRUE(WIFEXITED(failed));
    EXPECT_EQ(WEXITSTATUS(failed), 1);
}

}  // namespace
}  // namespace fennick_test
