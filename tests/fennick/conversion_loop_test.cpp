#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "extractor/iby_template_set.h"
#include "loop_fixture.h"
#include "project_builder.h"

namespace fennick_test {
namespace {

const std::string templateHead =
    "\t<DDTSource DDTName=\"T_IBY_DIO_OUT\" version=\"1.00\" dateTime=\"dt#2018-12-21-15:49:35\">";

std::string desc(const std::string& name, int order) {
    return "\t\t\t\t<sectionDesc name=\"" + name + "\" SectionOrder=\"" + std::to_string(order) +
           "\"></sectionDesc>";
}

TEST(ConversionLoop, WritesTheModulePartsOnceInTheirPlaces) {
    for (int dataBlocks : {1, 2}) {
        SCOPED_TRACE(dataBlocks);
        ProjectSpec project = sampleProject();
        project.dataBlocks = dataBlocks;
        const LoopRun run = runLoop(projectLines(project));
        ASSERT_FALSE(run.failure) << run.failure->text;
        // The template set stands once, in front of the first data block.
        EXPECT_EQ(run.count(templateHead), 1);
        const int setStart = run.indexOf(templateHead);
        const int dataBlock = run.indexOf("\t<dataBlock>");
        int elements = 0;
        for (int i = setStart; i < dataBlock; ++i) {
            elements += run.project[i].rfind("\t<DDTSource DDTName=", 0) == 0 ||
                        run.project[i].rfind("\t<FBSource nameOfFBType=", 0) == 0;
        }
        EXPECT_EQ(elements, 20);
        EXPECT_EQ(run.project[dataBlock - 1], "\t</FBSource>");
        // The dynamic blocks start with the module table's racks and slots.
        const int slot = run.indexOf("\t\t\t<variables name=\"IBY_Slot_1\" typeName=\"INT\">");
        ASSERT_GT(slot, setStart);
        EXPECT_EQ(run.project[slot + 1], "\t\t\t\t<variableInit value=\"3\"></variableInit>");
        // The module's variables and the section instances end the first data block.
        const int dio = run.indexOf(
            "\t\t<variables name=\"IBY_DIO_d0_s3\" typeName=\"T_IBY_DIO\"></variables>");
        EXPECT_EQ(run.count(run.project[dio]), 1);
        const std::vector<std::string> declared(run.project.begin() + dio,
                                                run.project.begin() + dio + 10);
        const std::vector<std::string> expected = {
            "\t\t<variables name=\"IBY_DIO_d0_s3\" typeName=\"T_IBY_DIO\"></variables>",
            "\t\t<variables name=\"IBY_Manage_d0_s3\" typeName=\"IBY_Manage\"></variables>",
            "\t\t<variables name=\"IBY_Layout_Xfer_d0_s3\" typeName=\"IBY_Layout_Xfer\">"
            "</variables>",
            "\t\t<variables name=\"IBY_Layout_CRC_d0_s3\" typeName=\"IBY_Layout_CRC\">"
            "</variables>",
            "\t\t<variables name=\"IBY_IODDT_IN_d0_s3\" typeName=\"IBY_IODDT_IN\"></variables>",
            "\t\t<variables name=\"IBY_IODDT_OUT_d0_s3\" typeName=\"IBY_IODDT_OUT\"></variables>",
            "\t\t<variables name=\"IBY_SEND_REQ_1\" typeName=\"IBY_SEND_REQ\"></variables>",
            "\t\t<variables name=\"IBY_READ_VAR_1\" typeName=\"IBY_READ_VAR\"></variables>",
            "\t\t<variables name=\"IBY_WRITE_VAR_DYNAMIC_1\" typeName=\"IBY_WRITE_VAR_DYNAMIC\">"
            "</variables>",
            "\t</dataBlock>",
        };
        EXPECT_EQ(declared, expected);
        EXPECT_EQ(std::count(run.project.begin(), run.project.end(), "\t<dataBlock>"), dataBlocks);
        // The DFB declares its own instance before its private variables end.
        const int dfbEnd = run.indexOf("\t\t</privateLocalVariables>");
        EXPECT_EQ(run.project[dfbEnd - 1],
                  "\t\t<variables name=\"IBY_SEND_REQ_1\" typeName=\"IBY_SEND_REQ\"></variables>");
        // The MAST task runs IN, LOAD, the application's sections, OUT.
        const int task =
            run.indexOf("\t\t<taskDesc task=\"MAST\" cycleType=\"cyclic\" period=\"20\">");
        const std::vector<std::string> descs(run.project.begin() + task + 1,
                                             run.project.begin() + task + 7);
        EXPECT_EQ(descs, (std::vector<std::string>{
                             desc("IBY_IN_d0_s3", 1), desc("IBY_LOAD_d0_s3", 2), desc("Main", 3),
                             desc("Rungs", 4), desc("IBY_OUT_d0_s3", 5), "\t\t</taskDesc>"}));
        // No module block of the converted module is left; the other module stays.
        EXPECT_EQ(run.indexOf("\t\t\t<moduleATS moduleName=\"IBY100\">"), -1);
        EXPECT_EQ(run.count("\t\t\t</moduleATS>"), 1);
        ASSERT_EQ(run.decoded.size(), 1u);
        EXPECT_EQ(run.decoded[0].storedName, "D:\\Svc\\Line1.svc");
        EXPECT_EQ(run.decoded[0].words, sampleServiceWords());
    }
}

TEST(ConversionLoop, SectionsOfTheModule) {
    const LoopRun run = runLoop(projectLines(sampleProject()));
    ASSERT_FALSE(run.failure);
    const int in = run.indexOf(
        "\t\t<identProgram name=\"IBY_IN_d0_s3\" type=\"section\" task=\"MAST\"></identProgram>");
    ASSERT_GT(in, 0);
    EXPECT_EQ(run.project[in - 2], "\t</logicConf>");
    const std::vector<std::string> expected = {
        "\t<program>",
        "\t\t<identProgram name=\"IBY_IN_d0_s3\" type=\"section\" task=\"MAST\"></identProgram>",
        "<STSource>(* Copy data to variables that were topologically located in the Premium IBY "
        "rack 0 slot 3. *)",
        "IF IBY_DIO_d0_s3.Freshness THEN",
        "\tSpeed := INT_TO_WORD(IBY_DIO_d0_s3.Inputs.IW[5]);    (*  WARNING:  NOT an INT *)",
        "END_IF;",
        "",
        "IBY_IODDT_IN_d0_s3 (IBY_DIO_d0_s3, IBY_Manage_d0_s3);",
        "",
        "</STSource>",
        "\t</program>",
        "\t<program>",
        "\t\t<identProgram name=\"IBY_LOAD_d0_s3\" type=\"section\" task=\"MAST\"></identProgram>",
        "\t<STSource>(* Configure *)",
        "\tIBY_Manage_d0_s3.Entry := 0;",
        "\tIBY_Layout_CRC_d0_s3 (IBY_Manage_d0_s3);",
        "IBY_Layout_Xfer_d0_s3 (IBY_DIO_d0_s3, IBY_Manage_d0_s3); (* IBY_DIO_d0_s3 *)",
        "</STSource>",
        "\t</program>",
    };
    EXPECT_EQ(std::vector<std::string>(run.project.begin() + in - 1,
                                       run.project.begin() + in - 1 + expected.size()),
              expected);
    // The OUT section follows the last program.
    const int out = run.indexOf(
        "\t\t<identProgram name=\"IBY_OUT_d0_s3\" type=\"section\" task=\"MAST\"></identProgram>");
    EXPECT_EQ(run.project[out - 2], "\t</program>");
    EXPECT_EQ(
        std::vector<std::string>(run.project.begin() + out + 5, run.project.begin() + out + 8),
        (std::vector<std::string>{"IF IBY_DIO_d0_s3.Freshness THEN",
                                  "\tIBY_DIO_d0_s3.Outputs.QW[2] := Valve;", "END_IF;"}));
    EXPECT_EQ(run.project.back(), "</FEFExchangeFile>");
}

TEST(ConversionLoop, TheLineAfterTheLastProgramGoesThroughEveryStep) {
    // A data block after the programs still gets the template set and the declarations.
    ProjectSpec project = sampleProject();
    std::vector<std::string> lines = projectLines(project);
    lines.insert(lines.end() - 1, {"\t<dataBlock>", "\t</dataBlock>"});
    ProjectSpec early = project;
    early.dataBlocks = 0;
    lines = projectLines(early);
    lines.insert(lines.end() - 1, {"\t<dataBlock>", "\t</dataBlock>"});
    const LoopRun run = runLoop(lines);
    ASSERT_FALSE(run.failure) << run.failure->text;
    EXPECT_EQ(run.count(templateHead), 1);
    const int out = run.indexOf(
        "\t\t<identProgram name=\"IBY_OUT_d0_s3\" type=\"section\" "
        "task=\"MAST\"></identProgram>");
    EXPECT_LT(out, run.indexOf(templateHead));
    EXPECT_EQ(run.count("\t\t<variables name=\"IBY_DIO_d0_s3\" typeName=\"T_IBY_DIO\">"
                        "</variables>"),
              1);
}

TEST(ConversionLoop, MastTaskForms) {
    struct Case {
        const char* what;
        std::vector<std::string> task;
        std::vector<std::string> expected;
    } cases[] = {
        {"one-line form",
         {"\t\t<taskDesc task=\"MAST\" period=\"20\"></taskDesc>"},
         {"\t\t<taskDesc task=\"MAST\" period=\"20\">", desc("IBY_IN_d0_s3", 1),
          desc("IBY_LOAD_d0_s3", 2), desc("IBY_OUT_d0_s3", 3), "\t\t</taskDesc>"}},
        {"attributes and other lines",
         {"\t\t<taskDesc task=\"MAST\">", "\t\t\t<comment>Main task</comment>",
          "\t\t\t\t<sectionDesc name=\"A\" protect=\"x\" SectionOrder=\"7\" kind=\"ST\">"
          "</sectionDesc>",
          "\t\t\t\t<sectionDesc name=\"B\" SectionOrder=\"8\">", "\t\t\t\t</sectionDesc>",
          "\t\t</taskDesc>"},
         {"\t\t<taskDesc task=\"MAST\">", desc("IBY_IN_d0_s3", 1), desc("IBY_LOAD_d0_s3", 2),
          "\t\t\t<comment>Main task</comment>",
          "\t\t\t\t<sectionDesc name=\"A\" protect=\"x\" SectionOrder=\"3\" kind=\"ST\">"
          "</sectionDesc>",
          "\t\t\t\t<sectionDesc name=\"B\" SectionOrder=\"4\">", "\t\t\t\t</sectionDesc>",
          desc("IBY_OUT_d0_s3", 5), "\t\t</taskDesc>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectSpec project = sampleProject();
        project.mastTask = false;
        std::vector<std::string> lines = projectLines(project);
        const auto at = std::find(lines.begin(), lines.end(), "\t</logicConf>");
        lines.insert(at, c.task.begin(), c.task.end());
        const LoopRun run = runLoop(lines);
        ASSERT_FALSE(run.failure) << run.failure->text;
        const int start = run.indexOf(c.expected.front());
        ASSERT_GE(start, 0);
        EXPECT_EQ(std::vector<std::string>(run.project.begin() + start,
                                           run.project.begin() + start + c.expected.size()),
                  c.expected);
    }
}

// A sequential chart may be the last program, or the only one: the OUT section follows it.
TEST(ConversionLoop, SequentialChartsAreProgramsToo) {
    const std::vector<std::string> chart = {
        "\t<SFCProgram>",
        "\t\t<identProgram name=\"Steps\" type=\"section\" task=\"MAST\"></identProgram>",
        "\t\t<transitionSource name=\"T1\"><STSource>%IW0.3.0.7 &gt; 3</STSource>"
        "</transitionSource>",
        "\t</SFCProgram>"};
    for (const bool alone : {false, true}) {
        SCOPED_TRACE(alone ? "the only program" : "after the others");
        ProjectSpec project = sampleProject();
        if (alone) {
            project.sections.clear();
        }
        std::vector<std::string> lines = projectLines(project);
        auto last = std::find(lines.rbegin(), lines.rend(), "\t</program>");
        const auto at = last == lines.rend()
                            ? std::find(lines.begin(), lines.end(), "\t</logicConf>") + 1
                            : last.base();
        lines.insert(at, chart.begin(), chart.end());
        const LoopRun run = runLoop(lines);
        ASSERT_FALSE(run.failure) << run.failure->text;
        const int end = run.indexOf("\t</SFCProgram>");
        const int out = run.indexOf(
            "\t\t<identProgram name=\"IBY_OUT_d0_s3\" type=\"section\" task=\"MAST\">"
            "</identProgram>");
        ASSERT_GE(end, 0);
        EXPECT_GT(out, end);
        EXPECT_EQ(
            run.count("\t\t<transitionSource name=\"T1\"><STSource>IBY_DIO_d0_s3.Inputs.IW[7] "
                      "&gt; 3</STSource></transitionSource>"),
            1);
    }
}

TEST(ConversionLoop, ProjectsThatLackAPartEndWithAnError) {
    struct Case {
        const char* what;
        std::function<void(ProjectSpec&)> edit;
        const char* names;
    } cases[] = {
        {"no data block", [](ProjectSpec& p) { p.dataBlocks = 0; }, "<dataBlock>"},
        {"no MAST task", [](ProjectSpec& p) { p.mastTask = false; }, "MAST"},
        {"no logic configuration", [](ProjectSpec& p) { p.logicConf = false; }, "</logicConf>"},
        {"no program", [](ProjectSpec& p) { p.sections.clear(); }, "program"},
        {"service file name of no characters", [](ProjectSpec& p) { p.modules[0].svcName.clear(); },
         "no characters"},
        {"service file of no words",
         [](ProjectSpec& p) { p.modules[0].serviceWords = std::vector<uint16_t>{}; }, "no words"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectSpec project = sampleProject();
        c.edit(project);
        const LoopRun run = runLoop(projectLines(project));
        ASSERT_TRUE(run.failure);
        EXPECT_NE(run.failure->text.find(c.names), std::string::npos) << run.failure->text;
    }
}

TEST(ConversionLoop, SecondModuleStaysAndAsksForAnotherPass) {
    ProjectSpec project = sampleProject();
    project.modules = {moduleAt(0, 3), moduleAt(1, 4)};
    const LoopRun run = runLoop(projectLines(project));
    ASSERT_FALSE(run.failure);
    EXPECT_TRUE(run.furtherModule);
    EXPECT_EQ(run.count("\t\t\t<moduleATS moduleName=\"IBY100\">"), 1);
    EXPECT_EQ(run.count("\t\t\t\t<equipInfo topoAddress=\"\\1\\1.4\" familyName=\"BUS\">"
                        "</equipInfo>"),
              1);
    EXPECT_EQ(run.module.rack, 0);
    EXPECT_EQ(run.module.slot, 3);
    EXPECT_EQ(run.decoded.size(), 1u);
}

// At debug level 1 the loop tells on the console which module it converts and where.
TEST(ConversionLoop, TraceNamesTheModuleItConverts) {
    ProjectSpec project = sampleProject();
    project.modules = {moduleAt(0, 3), moduleAt(1, 4)};
    std::ostringstream trace;
    const LoopRun run = runLoop(projectLines(project), "0", &trace);
    ASSERT_FALSE(run.failure);
    const std::string text = trace.str();
    for (const char* line : {
             " ----------------  Found an IBY100 to parse  ---------------------\n",
             "----------------------\nIBYtopoaddress = '0.3.0.'\n----------------------\n",
             "Original filename = 'D:\\Svc\\Line1.svc'\n",
             " ----------------  Found an IBY100 to skip  ---------------------\n",
             " Outputs.2\n",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
}

TEST(ConversionLoop, ProjectCarryingTheSetGetsNoSecondCopy) {
    ProjectSpec project = sampleProject();
    project.dataTypes.push_back(templateHead);
    project.dataTypes.push_back("\t</DDTSource>");
    const LoopRun run = runLoop(projectLines(project));
    ASSERT_FALSE(run.failure);
    EXPECT_EQ(run.count(templateHead), 1);
    EXPECT_LT(run.indexOf(templateHead), run.indexOf("\t<FBSource nameOfFBType=\"Pump_Ctrl\" "
                                                     "version=\"0.01\" dateTime=\"dt#2021-09-"
                                                     "07-10:00:00\">"));
}

// The generated set is written where the project lacks its names, compared whole: a type whose
// name holds a generated name is another type; a generated name the project defines itself is
// said, and only the rest is written; a project with the whole set gets none.
TEST(ConversionLoop, GeneratedNamesAreComparedWhole) {
    std::vector<std::string> wholeSet;
    extractor::writeIbyTemplateSet([&](std::string_view line) { wholeSet.emplace_back(line); });
    const std::vector<std::string_view> names = extractor::ibyTemplateNames();
    struct NameCase {
        const char* what;
        std::vector<std::string> definitions;
        std::vector<std::string> saidDefined;  // the warnings' names
    };
    const NameCase cases[] = {
        {"a longer name",
         {"\t<DDTSource DDTName=\"T_IBY_DIO_OUTPUTS\" version=\"0.01\">", "\t</DDTSource>"},
         {}},
        {"a generated type",
         {"\t<DDTSource DDTName=\"IBY_Config_Node\" version=\"0.01\">", "\t</DDTSource>"},
         {"IBY_Config_Node"}},
        {"a generated block in another case, attributes in another order",
         {"\t<FBSource version=\"0.01\" nameOfFBType=\"iby_layout_crc\">", "\t</FBSource>"},
         {"IBY_Layout_CRC"}},
        {"the whole set", wholeSet, {}},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.what);
        ProjectSpec project = sampleProject();
        project.dataTypes.insert(project.dataTypes.end(), c.definitions.begin(),
                                 c.definitions.end());
        const LoopRun run = runLoop(projectLines(project));
        ASSERT_FALSE(run.failure) << run.failure->text;
        for (std::string_view name : names) {
            SCOPED_TRACE(std::string(name));
            int defined = 0;
            for (const std::string& line : run.project) {
                defined +=
                    line.find("DDTName=\"" + std::string(name) + "\"") != std::string::npos ||
                    line.find("nameOfFBType=\"" + std::string(name) + "\"") != std::string::npos;
            }
            const bool own =
                std::find(c.saidDefined.begin(), c.saidDefined.end(), name) != c.saidDefined.end();
            // Once: generated, or the project's own (which a case other than the generated
            // one's does not show here).
            EXPECT_EQ(defined, own && name == "IBY_Layout_CRC" ? 0 : 1);
        }
        std::vector<std::string> warnings;
        for (const std::string& line : run.results) {
            if (line.find("The project defines") != std::string::npos) {
                warnings.push_back(line);
            }
        }
        ASSERT_EQ(warnings.size(), c.saidDefined.size());
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_EQ(warnings[i], "  WARNING!!!!  The project defines " + c.saidDefined[i] +
                                       " itself: the generated " + c.saidDefined[i] +
                                       " is not written, and the generated types and blocks use "
                                       "the project's.");
        }
    }
}

TEST(ConversionLoop, DfbWithoutPrivateVariablesGetsItsInstances) {
    ProjectSpec project = sampleProject();
    project.dfbs[0].privateVariables.clear();
    const LoopRun run = runLoop(projectLines(project));
    ASSERT_FALSE(run.failure);
    const int program = run.indexOf("\t\t<FBProgram name=\"Logic\">");
    EXPECT_EQ(run.project[program - 3], "\t\t<privateLocalVariables>");
    EXPECT_EQ(run.project[program - 2],
              "\t\t<variables name=\"IBY_SEND_REQ_1\" typeName=\"IBY_SEND_REQ\"></variables>");
    EXPECT_EQ(run.project[program - 1], "\t\t</privateLocalVariables>");
}

// An empty private section written on one line, as two tags or as one, takes the instances
// inside: the DFB gets no second private section.
TEST(ConversionLoop, DfbWithAnEmptyOneLinePrivateSectionGetsItsInstancesInside) {
    for (const char* section : {"\t\t<privateLocalVariables></privateLocalVariables>",
                                "\t\t<privateLocalVariables/>", "\t\t<privateLocalVariables />"}) {
        SCOPED_TRACE(section);
        ProjectSpec project = sampleProject();
        project.dfbs[0].privateVariables.clear();
        std::vector<std::string> lines = projectLines(project);
        const auto program =
            std::find(lines.begin(), lines.end(), "\t\t<FBProgram name=\"Logic\">");
        ASSERT_NE(program, lines.end());
        lines.insert(program, section);
        const LoopRun run = runLoop(lines);
        ASSERT_FALSE(run.failure);
        const int at = run.indexOf("\t\t<FBProgram name=\"Logic\">");
        EXPECT_EQ(run.project[at - 3], "\t\t<privateLocalVariables>");
        EXPECT_EQ(run.project[at - 2],
                  "\t\t<variables name=\"IBY_SEND_REQ_1\" typeName=\"IBY_SEND_REQ\"></variables>");
        EXPECT_EQ(run.project[at - 1], "\t\t</privateLocalVariables>");
        // The DFB's lines, from its head to its program.
        int sections = 0;
        for (int i = at; i >= 0 && run.project[static_cast<std::size_t>(i)].find(
                                       "<FBSource nameOfFBType=\"Pump_Ctrl\"") == std::string::npos;
             --i) {
            sections += run.project[static_cast<std::size_t>(i)].find("<privateLocalVariables") !=
                        std::string::npos;
        }
        EXPECT_EQ(sections, 1);
    }
}

// An empty data block written on one line takes the module's variables inside it, with the
// template set in front of it, whichever way it is written.
TEST(ConversionLoop, EmptyOneLineDataBlockTakesTheModulesVariablesInside) {
    for (const char* block : {"\t<dataBlock></dataBlock>", "\t<dataBlock/>", "\t<dataBlock />"}) {
        SCOPED_TRACE(block);
        ProjectSpec project = sampleProject();
        project.declarations.clear();
        std::vector<std::string> lines = projectLines(project);
        const auto open = std::find(lines.begin(), lines.end(), "\t<dataBlock>");
        ASSERT_NE(open, lines.end());
        ASSERT_EQ(*(open + 1), "\t</dataBlock>");
        *open = block;
        lines.erase(open + 1);
        const LoopRun run = runLoop(lines);
        ASSERT_FALSE(run.failure) << run.failure->text;
        const int start = run.indexOf("\t<dataBlock>");
        const int end = run.indexOf("\t</dataBlock>");
        ASSERT_GE(start, 0);
        const int device = run.indexOf(
            "\t\t<variables name=\"IBY_DIO_d0_s3\" typeName=\"T_IBY_DIO\"></variables>");
        EXPECT_LT(start, device);
        EXPECT_LT(device, end);
        EXPECT_LT(run.indexOf(templateHead), start);
        EXPECT_EQ(run.count("\t<dataBlock>"), 1);
        EXPECT_EQ(run.count("\t</dataBlock>"), 1);
    }
}

TEST(ConversionLoop, CodePastTheModulesWordsIsReported) {
    ProjectSpec project = sampleProject();
    project.sections[0].lines.push_back("Level := %IW0.3.0.300 + %IW0.3.0.241;");
    const LoopRun run = runLoop(projectLines(project));
    ASSERT_FALSE(run.failure);
    std::vector<std::string> warnings;
    for (const std::string& line : run.results) {
        if (line.find("IBY_DIO_d0_s3.Inputs.IW[") != std::string::npos) {
            warnings.push_back(line);
        }
    }
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].rfind("  WARNING!!!!  IBY_DIO_d0_s3.Inputs.IW[300] in 'Main'", 0), 0u)
        << warnings[0];
}

}  // namespace
}  // namespace fennick_test
