// The communication block rewrite, as tables of source lines and their rewritten forms.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "extractor/rewrite/comm_block_rewrite.h"
#include "loop_fixture.h"
#include "project_builder.h"

namespace fennick_test {
namespace {

using extractor::CommBlock;

struct CallCase {
    const char* line;
    int language;
    bool dfb;
    const char* expected;
};

std::string rewriteAll(const std::string& line, int language, bool dfb,
                       std::vector<std::string>* warnings = nullptr) {
    extractor::ModuleContext module;
    module.rack = 0;
    module.slot = 2;
    extractor::KindCounts sections{}, dfbs{};
    extractor::ConversionCounters counters;
    extractor::CommRewriteContext context{module,
                                          language,
                                          dfb,
                                          sections,
                                          dfbs,
                                          counters,
                                          [&](std::string_view text) {
                                              if (warnings != nullptr) {
                                                  warnings->emplace_back(text);
                                              }
                                          },
                                          "Main"};
    std::string text = line;
    for (CommBlock block : {CommBlock::SendReq, CommBlock::ReadVar, CommBlock::WriteVar}) {
        text = extractor::rewriteCommBlocks(text, block, context);
    }
    return text;
}

TEST(CommBlockRewrite, StructuredTextAndLadderCalls) {
    const CallCase cases[] = {
        {"SEND_REQ(ADDR('0.2.0.SYS'), 16#31, Emis, Gest, Recp);", 1, false,
         "IBY_SEND_REQ_1(254,'IBYSENDREQIPd0_s2', 16#31, Emis, Gest, Recp);"},
        {"SEND_REQ(ADDR('0.3.0.5'), 16#31, Emis, Gest, Recp);", 1, false,
         "SEND_REQ(ADDR('0.3.0.5'), 16#31, Emis, Gest, Recp);"},
        {"SEND_REQ(ADDR('0.2.1.5'), 16#31, Emis, Gest, Recp);", 1, false,
         "SEND_REQ(ADDR('0.2.1.5'), 16#31, Emis, Gest, Recp);"},
        {"READ_VAR(ADDR('0.2.0.7'), 'PMS', 3, 1, Gest, Tab);", 1, false,
         "IBY_READ_VAR_1(7, 'IBYREADVARIPd0_s2', 3, 1, GEST, TAB);"},
        {"WRITE_VAR(AdrVar, 'PMS', 3, 1, Data, Gest);", 1, false,
         "IBY_WRITE_VAR_DYNAMIC_1(AdrVar,  3, 1, Data, Gest);"},
        {"write_var(AdrVar, 'pms', 3, 1, Data, Gest);", 1, false,
         "IBY_WRITE_VAR_DYNAMIC_1(AdrVar,  3, 1, Data, Gest);"},
        {"READ_VAR(ADDR('0.2.0.7'), 3, 1, Gest, Tab);", 1, false,
         "READ_VAR(ADDR('0.2.0.7'), 3, 1, Gest, Tab);"},
        {"READ_VAR(MyAddrVar, 'PMS', 3, 1, Gest, Tab);", 1, false,
         "READ_VAR(MyAddrVar, 'PMS', 3, 1, Gest, Tab);"},
        // Only the call changes case; the text around it and other strings keep theirs.
        {"<STSource>IF Go THEN READ_VAR(ADDR('0.2.0.7'), 'PMS', 3, 1, Gest, Tab); Msg := 'ok';", 1,
         false,
         "<STSource>IF Go THEN IBY_READ_VAR_1(7, 'IBYREADVARIPd0_s2', 3, 1, GEST, TAB); Msg := "
         "'ok';"},
        // Every call on the line, each with its own address.
        {"SEND_REQ(ADDR('0.2.0.1'), 1, E, G, R); SEND_REQ(ADDR('0.2.0.2'), 2, E, G, R);", 1, false,
         "IBY_SEND_REQ_1(1,'IBYSENDREQIPd0_s2', 1, E, G, R); IBY_SEND_REQ_2(2,"
         "'IBYSENDREQIPd0_s2', 2, E, G, R);"},
        {"A := ADDR('0.2.0.9'); SEND_REQ(ADDR('0.2.0.4'), 2, E, G, R);", 1, false,
         "A := ADDR('0.2.0.9'); IBY_SEND_REQ_1(4,'IBYSENDREQIPd0_s2', 2, E, G, R);"},
        // Ladder keeps the case of static READ_VAR calls.
        {"READ_VAR(ADDR('0.2.0.7'), 'PMS', 3, 1, Gest, Tab);", 2, false,
         "IBY_READ_VAR_1(7, 'IBYREADVARIPd0_s2', 3, 1, Gest, Tab);"},
        {"SEND_REQ(ADDR('0.2.0.SYS'), 16#31, Emis, Gest, Recp);", 0, false,
         "SEND_REQ(ADDR('0.2.0.SYS'), 16#31, Emis, Gest, Recp);"},
        {"IBY_SEND_REQ_1(254,'IBYSENDREQIPd0_s2', 16#31, Emis, Gest, Recp);", 1, false,
         "IBY_SEND_REQ_1(254,'IBYSENDREQIPd0_s2', 16#31, Emis, Gest, Recp);"},
    };
    for (const CallCase& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(rewriteAll(c.line, c.language, c.dfb), c.expected);
    }
}

TEST(CommBlockRewrite, DynamicCallsAreReported) {
    std::vector<std::string> warnings;
    rewriteAll("SEND_REQ(Route, 16#31, Emis, Gest, Recp);", 1, false, &warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("IBY_SEND_REQ_DYNAMIC_1"), std::string::npos);
    EXPECT_NE(warnings[0].find("'Main'"), std::string::npos);
}

TEST(CommBlockRewrite, AddressFields) {
    const extractor::CommAddress a = extractor::parseCommAddress("0.2.0.SYS");
    EXPECT_EQ(a.node, 254);
    const extractor::CommAddress b = extractor::parseCommAddress("1.4");
    EXPECT_EQ(b.rack, 1);
    EXPECT_EQ(b.slot, 4);
    EXPECT_EQ(b.channel, 999);
}

TEST(CommBlockRewrite, CountsAndInstancesOfAWholeProject) {
    ProjectSpec project = sampleProject();
    std::vector<std::string> many;
    for (int i = 0; i < 120; ++i) {
        many.push_back("SEND_REQ(ADDR('0.3.0." + std::to_string(i) + "'), 1, E, G, R);");
    }
    project.sections.push_back(SectionSpec{"Many", "ST", many});
    project.sections.push_back(SectionSpec{
        "Blocks",
        "FBD",
        {"\t\t\t<FFBBlock instanceName=\"FBI_7\" typeName=\"SEND_REQ(\">",
         "\t\t\t\t<descriptionFFB><inputVariable formalParameter=\"ADR\" "
         "effectiveParameter=\"ADDR('0.3.0.SYS')\"></inputVariable>",
         "\t\t\t</FFBBlock>", "\t\t\t<FFBBlock instanceName=\"FBI_8\" typeName=\"SEND_REQ(\">",
         "\t\t\t\t<inputVariable formalParameter=\"ADR\" "
         "effectiveParameter=\"Route\"></inputVariable>",
         "\t\t\t</FFBBlock>"}});
    // A call before the first section, and a ladder call in a DFB.
    project.dfbs[0].code.push_back("READ_VAR(ADDR('0.3.0.4'), 'PMS', 1, 1, G, T);");
    const LoopRun run = runLoop(projectLines(project));
    ASSERT_FALSE(run.failure) << run.failure->text;
    const auto& sections = run.counters.inSections;
    EXPECT_EQ(sections[extractor::kindIndex(extractor::InstanceKind::StaticSendReq)], 122);
    EXPECT_EQ(run.counters.inDfbs[extractor::kindIndex(extractor::InstanceKind::StaticSendReq)], 1);
    // Every instance the rewrite used is declared once.
    EXPECT_EQ(run.count("\t\t<variables name=\"IBY_SEND_REQ_1\" typeName=\"IBY_SEND_REQ\">"
                        "</variables>"),
              2);  // one in the DFB, one in the data block
    for (int n : {2, 100, 121, 122}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(run.count("\t\t<variables name=\"IBY_SEND_REQ_" + std::to_string(n) +
                            "\" typeName=\"IBY_SEND_REQ\"></variables>"),
                  1);
    }
    EXPECT_EQ(run.count("\t\t<variables name=\"IBY_READ_VAR_1\" typeName=\"IBY_READ_VAR\">"
                        "</variables>"),
              2);  // one in the DFB, one in the data block
    EXPECT_EQ(run.count("IBY_SEND_REQ_121(119,'IBYSENDREQIPd0_s3', 1, E, G, R);"), 1);
    EXPECT_EQ(run.count("\t\t\t<FFBBlock instanceName=\"IBY_SEND_REQ_122\" "
                        "typeName=\"IBY_SEND_REQ\">"),
              1);
    EXPECT_EQ(run.count("\t\t\t\t<descriptionFFB><inputVariable formalParameter=\"Target\" "
                        "effectiveParameter=\"254\"></inputVariable>"),
              1);
    EXPECT_EQ(run.count("\t\t\t\t<inputVariable formalParameter=\"IBSIP\" "
                        "effectiveParameter=\"'IBYSENDREQIPd0_s3'\"></inputVariable>"),
              1);
    int warned = 0;
    for (const std::string& line : run.results) {
        warned += line.find("with no direct ADDR entry") != std::string::npos;
    }
    EXPECT_EQ(warned, 1);
}

// The lines of a block-diagram block are program code: the module's words on its other pins
// are rewritten like those of any other line.
TEST(CommBlockRewrite, BlockDiagramPinsGetTheCodeRewrite) {
    ProjectSpec project = sampleProject();
    project.sections.push_back(
        SectionSpec{"Blocks",
                    "FBD",
                    {"\t\t\t<FFBBlock instanceName=\"FBI_7\" typeName=\"SEND_REQ(\">",
                     "\t\t\t\t<inputVariable formalParameter=\"CODE\" "
                     "effectiveParameter=\"%IW0.3.0.5\"></inputVariable>",
                     "\t\t\t\t<inputVariable formalParameter=\"EN\" "
                     "effectiveParameter=\"%MW0.3.MOD.2.1\"></inputVariable>",
                     "\t\t\t\t<inputVariable formalParameter=\"ADR\" "
                     "effectiveParameter=\"ADDR('0.3.0.SYS')\"></inputVariable>",
                     "\t\t\t</FFBBlock>"}});
    const LoopRun run = runLoop(projectLines(project));
    ASSERT_FALSE(run.failure) << run.failure->text;
    EXPECT_EQ(run.count("\t\t\t\t<inputVariable formalParameter=\"Request_Code\" "
                        "effectiveParameter=\"IBY_DIO_d0_s3.Inputs.IW[5]\"></inputVariable>"),
              1);
    EXPECT_EQ(run.count("\t\t\t\t<inputVariable formalParameter=\"EN\" "
                        "effectiveParameter=\"IBY_Manage_d0_s3.Channel.CH_FLT\"></inputVariable>"),
              1);
    EXPECT_EQ(run.count("\t\t\t\t<inputVariable formalParameter=\"Target\" "
                        "effectiveParameter=\"254\"></inputVariable>"),
              1);
}

// A block-diagram block is read no further than its diagram, and a DFB's diagram ends with the
// DFB: what follows is converted as usual, whatever text it holds.
TEST(CommBlockRewrite, BlockDiagramsEndWithTheirSource) {
    ProjectSpec project = sampleProject();
    // A block without address pin or end, then the sections as before.
    project.sections.insert(
        project.sections.begin(),
        SectionSpec{
            "Broken", "FBD", {"\t\t\t<FFBBlock instanceName=\"FBI_9\" typeName=\"SEND_REQ(\">"}});
    project.declarations.push_back(
        "\t\t<variables name=\"Note\" typeName=\"INT\"><comment>feeds SEND_REQ(</comment>"
        "</variables>");
    std::vector<std::string> lines = projectLines(project);
    // A DFB written in a block diagram, last before the data block.
    const auto dataBlock = std::find(lines.begin(), lines.end(), "\t<dataBlock>");
    ASSERT_NE(dataBlock, lines.end());
    lines.insert(dataBlock, {"\t<FBSource nameOfFBType=\"Drawn\" version=\"0.01\">",
                             "\t\t<FBProgram name=\"Logic\">", "\t\t\t<FBDSource>",
                             "\t\t\t</FBDSource>", "\t\t</FBProgram>", "\t</FBSource>"});
    const LoopRun run = runLoop(lines);
    ASSERT_FALSE(run.failure) << run.failure->text;
    EXPECT_EQ(run.count("\t\t<variables name=\"Note\" typeName=\"INT\"><comment>feeds "
                        "SEND_REQ(</comment></variables>"),
              1);
    EXPECT_EQ(run.count("\t\t<variables name=\"Speed\" typeName=\"WORD\">"), 1);
    EXPECT_EQ(run.count("IF IBY_DIO_d0_s3.Inputs.IW[7] &gt; 3 THEN Running := TRUE; END_IF;"), 1);
    EXPECT_EQ(run.count("IBY_SEND_REQ_1(254,'IBYSENDREQIPd0_s3', 16#31, Emis, Gest, Recp);"), 1);
}

// Pin lines of a drawn block, written as Control Expert writes them.
std::string pin(const char* element, const char* formal, const char* actual) {
    std::string line = std::string("\t\t\t\t\t<") + element +
                       " invertedPin=\"false\" formalParameter=\"" + formal + "\"";
    if (actual != nullptr) {
        line += std::string(" effectiveParameter=\"") + actual + "\"";
    }
    return line + "></" + element + ">";
}

struct DrawnCase {
    const char* what;
    const char* language;
    std::vector<std::string> block;     // the element's lines
    std::vector<std::string> expected;  // as written; empty: as they were
    const char* warning;                // a text of the warning; null: none
};

// A SEND_REQ, READ_VAR or WRITE_VAR drawn in a block diagram or a ladder rung becomes the
// generated block the structured-text call becomes, its pins in the places the call's
// arguments take; a block with a pin that has no such place stays as it is, said and uncounted.
TEST(CommBlockRewrite, DrawnBlocksBecomeTheGeneratedBlocks) {
    const std::string head = "\t\t\t<FFBBlock instanceName=\"FBI_3\" typeName=\"";
    const std::string tail = "\" additionnalPinNumber=\"0\" enEnO=\"false\" width=\"11\">";
    const std::string description = "\t\t\t\t<descriptionFFB execAfter=\"\">";
    const std::string end = "\t\t\t\t</descriptionFFB>";
    const std::string close = "\t\t\t</FFBBlock>";
    const auto readVar = [&](const char* language) {
        return DrawnCase{
            "READ_VAR",
            language,
            {head + "READ_VAR" + tail, description, pin("inputVariable", "ADR", "ADDR('0.3.0.7')"),
             pin("inputVariable", "OBJ", "'PMS'"), pin("inputVariable", "NUM", "3"),
             pin("inputVariable", "NB", "1"), pin("inOutVariable", "GEST", "Gest"),
             pin("outputVariable", "RECP", "Tab"), end, close},
            {"\t\t\t<FFBBlock instanceName=\"IBY_READ_VAR_1\" typeName=\"IBY_READ_VAR" + tail,
             description, pin("inputVariable", "Target", "7"),
             pin("inputVariable", "IBSIP", "'IBYREADVARIPd0_s3'"),
             pin("inputVariable", "Index", "3"), pin("inputVariable", "SubIndex", "1"),
             pin("inOutVariable", "GEST", "Gest"), pin("outputVariable", "RECP", "Tab"), end,
             close},
            nullptr};
    };
    const auto sendReq = [&](const char* language) {
        return DrawnCase{
            "SEND_REQ",
            language,
            {head + "SEND_REQ" + tail, description,
             pin("inputVariable", "ADR", "ADDR('0.3.0.SYS')"),
             pin("inputVariable", "CODE", "16#31"), pin("inputVariable", "EMIS", "Emis"),
             pin("inOutVariable", "GEST", "Gest"), pin("outputVariable", "RECP", "Recp"), end,
             close},
            {"\t\t\t<FFBBlock instanceName=\"IBY_SEND_REQ_1\" typeName=\"IBY_SEND_REQ" + tail,
             description, pin("inputVariable", "Target", "254"),
             "\t\t\t\t\t<inputVariable formalParameter=\"IBSIP\" "
             "effectiveParameter=\"'IBYSENDREQIPd0_s3'\"></inputVariable>",
             pin("inputVariable", "Request_Code", "16#31"),
             pin("inputVariable", "SendData", "Emis"), pin("inOutVariable", "GEST", "Gest"),
             pin("inOutVariable", "RECP", "Recp"), end, close},
            nullptr};
    };
    std::vector<DrawnCase> cases = {readVar("FBD"), readVar("LD"), sendReq("FBD"), sendReq("LD")};
    cases.push_back(DrawnCase{
        "WRITE_VAR",
        "FBD",
        {head + "WRITE_VAR" + tail, description, pin("inputVariable", "ADR", "ADDR('0.3.0.4')"),
         pin("inputVariable", "OBJ", "'PMS'"), pin("inputVariable", "NUM", "16#2000"),
         pin("inputVariable", "NB", "0"), pin("inputVariable", "EMIS", "Data"),
         pin("inOutVariable", "GEST", "Gest"), end, close},
        {"\t\t\t<FFBBlock instanceName=\"IBY_WRITE_VAR_1\" typeName=\"IBY_WRITE_VAR" + tail,
         description, pin("inputVariable", "Target", "4"),
         pin("inputVariable", "IBSIP", "'IBYWRITEVARIPd0_s3'"),
         pin("inputVariable", "Index", "16#2000"), pin("inputVariable", "SubIndex", "0"),
         pin("inputVariable", "EMIS", "Data"), pin("inOutVariable", "GEST", "Gest"), end, close},
        nullptr});
    // Attributes in another order, apostrophes escaped, the enable pins wired.
    cases.push_back(DrawnCase{
        "another spelling",
        "FBD",
        {"\t\t\t<FFBBlock typeName=\"READ_VAR\" enEnO=\"true\" instanceName=\"FBI_9\">",
         "\t\t\t\t<inputVariable effectiveParameter=\"Go\" formalParameter=\"EN\"></inputVariable>",
         "\t\t\t\t<inputVariable effectiveParameter=\"ADDR(&apos;0.3.0.2&apos;)\" "
         "formalParameter=\"ADR\"/>",
         "\t\t\t\t<inputVariable effectiveParameter=\"&apos;pms&apos;\" formalParameter=\"OBJ\"/>",
         "\t\t\t\t<outputVariable formalParameter=\"ENO\"></outputVariable>", close},
        {"\t\t\t<FFBBlock typeName=\"IBY_READ_VAR\" enEnO=\"true\" "
         "instanceName=\"IBY_READ_VAR_1\">",
         "\t\t\t\t<inputVariable effectiveParameter=\"Go\" formalParameter=\"EN\"></inputVariable>",
         "\t\t\t\t<inputVariable effectiveParameter=\"2\" formalParameter=\"Target\"/>",
         "\t\t\t\t<inputVariable effectiveParameter=\"&apos;IBYREADVARIPd0_s3&apos;\" "
         "formalParameter=\"IBSIP\"/>",
         "\t\t\t\t<outputVariable formalParameter=\"ENO\"></outputVariable>", close},
        nullptr});
    const auto unchanged = [&](const char* what, std::vector<std::string> pins,
                               const char* warning) {
        std::vector<std::string> block{head + "READ_VAR" + tail};
        block.insert(block.end(), pins.begin(), pins.end());
        block.push_back(close);
        return DrawnCase{what, "FBD", block, {}, warning};
    };
    cases.push_back(
        unchanged("a pin wired by a link",
                  {pin("inputVariable", "ADR", "ADDR('0.3.0.7')"),
                   pin("inputVariable", "OBJ", "'PMS'"), pin("inputVariable", "NUM", nullptr)},
                  "pin NUM is wired by a link"));
    cases.push_back(unchanged(
        "another object",
        {pin("inputVariable", "ADR", "ADDR('0.3.0.7')"), pin("inputVariable", "OBJ", "'MW'")},
        "pin OBJ names 'MW', not 'PMS'"));
    cases.push_back(
        unchanged("a pin of its own",
                  {pin("inputVariable", "ADR", "ADDR('0.3.0.7')"),
                   pin("inputVariable", "OBJ", "'PMS'"), pin("inputVariable", "TIMEOUT", "5")},
                  "pin TIMEOUT has no place on IBY_READ_VAR"));
    cases.push_back(unchanged("no object", {pin("inputVariable", "ADR", "ADDR('0.3.0.7')")},
                              "has no OBJ pin naming 'PMS'"));
    cases.push_back(
        unchanged("address in a variable",
                  {pin("inputVariable", "ADR", "Route"), pin("inputVariable", "OBJ", "'PMS'")},
                  "found with no direct ADDR entry"));
    cases.push_back(unchanged(
        "another module",
        {pin("inputVariable", "ADR", "ADDR('0.4.0.7')"), pin("inputVariable", "OBJ", "'PMS'")},
        nullptr));
    for (const DrawnCase& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " in " + c.language);
        ProjectSpec project = sampleProject();
        project.sections = {SectionSpec{"Drawn", c.language, c.block}};
        const LoopRun run = runLoop(projectLines(project));
        ASSERT_FALSE(run.failure) << run.failure->text;
        const std::vector<std::string>& expected = c.expected.empty() ? c.block : c.expected;
        const int at = run.indexOf(expected.front());
        ASSERT_GE(at, 0) << expected.front();
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(run.project[static_cast<std::size_t>(at) + i], expected[i]);
        }
        int converted = 0;
        for (int count : run.counters.inSections) {
            converted += count;
        }
        // The sample's structured text has none of these blocks.
        EXPECT_EQ(converted, c.expected.empty() ? 0 : 1);
        std::vector<std::string> warnings;
        for (const std::string& line : run.results) {
            if (line.find("FBI_") != std::string::npos) {
                warnings.push_back(line);
            }
        }
        if (c.warning == nullptr) {
            EXPECT_TRUE(warnings.empty()) << warnings.front();
        } else {
            ASSERT_EQ(warnings.size(), 1u);
            EXPECT_NE(warnings[0].find(c.warning), std::string::npos) << warnings[0];
            EXPECT_NE(warnings[0].find("Section = 'Drawn'    Instance = 'FBI_3'"),
                      std::string::npos)
                << warnings[0];
            EXPECT_EQ(warnings[0].rfind("  WARNING!!!!  READ_VAR function block ", 0), 0u);
        }
    }
}

TEST(CommBlockRewrite, SecondPassNumbersAfterTheExistingInstances) {
    ProjectSpec project = sampleProject();
    // Not in ascending order: the new instances follow the highest.
    project.declarations.push_back(
        "\t\t<variables name=\"IBY_SEND_REQ_7\" typeName=\"IBY_SEND_REQ\"></variables>");
    project.declarations.push_back(
        "\t\t<variables name=\"IBY_SEND_REQ_3\" typeName=\"IBY_SEND_REQ\"></variables>");
    project.dfbs[0].privateVariables.push_back(
        "\t\t\t<variables name=\"IBY_SEND_REQ_1\" typeName=\"IBY_SEND_REQ\"></variables>");
    const LoopRun run = runLoop(projectLines(project));
    ASSERT_FALSE(run.failure);
    EXPECT_EQ(run.count("IBY_SEND_REQ_8(254,'IBYSENDREQIPd0_s3', 16#31, Emis, Gest, Recp);"), 1);
    EXPECT_EQ(run.count("\t\t<variables name=\"IBY_SEND_REQ_8\" typeName=\"IBY_SEND_REQ\">"
                        "</variables>"),
              1);
    EXPECT_EQ(run.count("  IBY_SEND_REQ_2(5,'IBYSENDREQIPd0_s3', 16#31, Emis, Gest, Recp);"), 1);
    EXPECT_EQ(run.count("\t\t<variables name=\"IBY_SEND_REQ_2\" typeName=\"IBY_SEND_REQ\">"
                        "</variables>"),
              1);
}

}  // namespace
}  // namespace fennick_test
