// The intake's first pass: loops, the product identifier, the generated groups, and the
// faults that end it.

#include "dtmrepo/intake/preprocess.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/dtmrepo/description_fixture.h"

namespace {

using dtmrepo_test::fileText;
using dtmrepo_test::Lines;

struct Pass {
    dtmrepo::PreprocessResult result;
    dtmrepo::CheckReport report;
};

Pass preprocessText(const std::string& text, const std::string& root = "PME KRT 0302_Pump") {
    Pass pass;
    std::istringstream in(text);
    static const dtmrepo::Trace quiet(0);
    pass.result = dtmrepo::preprocessDescription(in, root, "16OCT2019", pass.report, quiet);
    return pass;
}

Pass preprocess(const Lines& lines) {
    return preprocessText(fileText(lines));
}

// The configuration copy's lines before the generated I/O structure group.
Lines leadingLines(const Pass& pass) {
    Lines lines;
    for (const std::string& line : pass.result.configurationLines) {
        if (line == "\tParGroup, IO_Setting") {
            lines.pop_back();  // its leading blank line
            break;
        }
        lines.push_back(line);
    }
    return lines;
}

TEST(DtmPreprocess, VariableLoopsRepeatTheirBodyPerIndex) {
    const Pass pass =
        preprocess({"# comment dropped", "varLoopStart,1,3", "varHeading, configVars", "# kept",
                    "varName, Temp%", "varLabel, en, Sensor % of 3", "varLoopEnd", "after"});
    EXPECT_FALSE(pass.result.stopped);
    Lines expected = {"#  tpline = varLoopStart,1,3", "#  firstcomma = 13", "#  secondcomma = 15",
                      "#  ploopstart = 1", "#  ploopend = 3"};
    for (int i = 1; i <= 3; ++i) {
        const std::string n = std::to_string(i);
        expected.insert(expected.end(), {"varHeading, configVars", "# kept", "varName, Temp" + n,
                                         "varLabel, en, Sensor " + n});
    }
    expected.push_back("after");
    EXPECT_EQ(leadingLines(pass), expected);
}

TEST(DtmPreprocess, ALoopWithStartAboveEndWritesOnlyItsComments) {
    const Pass pass = preprocess({"parLoopStart, 5, 2", "varName, x%", "PARLOOPEND"});
    EXPECT_EQ(leadingLines(pass),
              (Lines{"#  tpline = parLoopStart, 5, 2", "#  firstcomma = 13", "#  secondcomma = 16",
                     "#  ploopstart = 5", "#  ploopend = 2"}));
}

TEST(DtmPreprocess, LoopFaultsEndThePassAndCountAsErrors) {
    struct FaultCase {
        Lines lines;
        std::string message;
    };
    const FaultCase cases[] = {
        {{"varLoopStart,1,2", "varName, a%"}, "ERROR - Missing VARLOOPEND "},
        {{"parLoopStart,1,2", "varName, a%", "# parLoopEnd in a comment"},
         "ERROR - Missing PARLOOPEND "},
        {{"varLoopStart,1", "varName, a%", "varLoopEnd"},
         "ERROR - 'varLoopStart' must have 3 fields!"},
        {{"varLoopStart,1,1000", "varName, a%", "varLoopEnd"},
         "ERROR - varLoopEnd - varLoopStart must be < 500!"},
        {{"SW, 1.0", "SWINCLUDE, YES"}, "ERROR - SWINCLUDE must be above ProductID and SW"},
        {{"ProductID, X", "SWINCLUDE, YES"}, "ERROR - SWINCLUDE must be above ProductID and SW"},
    };
    for (const FaultCase& c : cases) {
        const Pass pass = preprocess(c.lines);
        EXPECT_TRUE(pass.result.stopped) << c.message;
        EXPECT_EQ(pass.report.text, "\r\n" + c.message);
        EXPECT_EQ(pass.report.errorCount, 1);
    }
}

TEST(DtmPreprocess, ADescriptionExpandsToABoundedNumberOfLines) {
    // 501 indexes of a 400-line body: more than a description may hold.
    Lines lines = {"varLoopStart,0,500"};
    lines.insert(lines.end(), 400, "varName, x%");
    lines.push_back("varLoopEnd");
    const Pass pass = preprocess(lines);
    EXPECT_TRUE(pass.result.stopped);
    EXPECT_EQ(pass.report.text, "\r\nERROR - the description expands to more than 200000 lines");
    lines.erase(lines.begin() + 1, lines.begin() + 101);  // 300 lines: within bounds
    EXPECT_FALSE(preprocess(lines).result.stopped);
}

TEST(DtmPreprocess, ProductIdentifierTakesTheVersionOnce) {
    const Pass pass =
        preprocess({"SWINCLUDE, YES", "SW, 02.10", "ProductID, PMX_1.2", "varName, x"});
    EXPECT_EQ(pass.result.productIdentifier, "PMX_1_2_v2.10");
    EXPECT_EQ(pass.result.swValue, "2.10");
    EXPECT_EQ(leadingLines(pass),
              (Lines{"SWINCLUDE, YES", "SW, 02.10", "ProductID,\t\tPMX_1_2_v2.10", "varName, x"}));
    // Without SWINCLUDE the identifier only loses its first point.
    EXPECT_EQ(preprocess({"SW, 0.5", "ProductID, A.B.C  "}).result.productIdentifier, "A_B.C");
    EXPECT_EQ(preprocess({"SW, 0.5"}).result.swValue, "0.5");
    EXPECT_EQ(preprocess({"SW, 000"}).result.swValue, "0");
    EXPECT_EQ(preprocess({"varName, x"}).result.productIdentifier, "PME KRT 0302_Pump");
}

TEST(DtmPreprocess, TheApplicationConfigurationGetsTheInformationGroup) {
    const Pass pass =
        preprocess({"SW, 1.5", "ProductID, PMX", "ParGroup, Application Configuration"});
    const Lines lines = leadingLines(pass);
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(Lines(lines.begin() + 2, lines.begin() + 16),
              (Lines{"ParGroup, Application Configuration", " ", "\tParGroup, Info_Setting",
                     "\tParGAccess, GUIControl", "\tParGLabl,en-us, Information Only", "\t ",
                     "\t\tvarHeading, configVars", "\t\tvarLength, 3", "\t\tvarType, string",
                     "\t\tvarName, DTM_FileName", "\t\tvarLabel,en-us, DTM File Name",
                     "\t\tvardefault, PMX", "\t\tvarAccess, read", "\t\t "}));
    EXPECT_EQ(Lines(lines.end() - 10, lines.end()),
              (Lines{"\t\tvarHeading, configVars", "\t\tvarLength, 3", "\t\tvarType, string",
                     "\t\tvarName, DTM_DLLVersion", "\t\tvarLabel,en-us, DTM DLL Version",
                     "\t\tvardefault, N/A", "\t\tvarAccess, read", "\t ", "\tendParGroup", " "}));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\t\tvardefault, 1.5"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\t\tvardefault, 16OCT2019"), lines.end());
}

TEST(DtmPreprocess, TheIoPartIsListedInTheIoStructureGroup) {
    const Pass pass = preprocess({
        "ParGroup, Top",
        "ParGAccess, Configuration",
        "varName, Cfg",
        "endParGroup",
        "assemblyID, 1",
        "assemblyPath,\t101",
        "varHeading, inputVars",
        "varType,\tREAL,0,4",
        "varName, Temps",
        "varLoopStart,1,2",
        "varHeading, inputVars",
        "varLength, 8",
        "varType, string",
        "varName, S%",
        "varLoopEnd",
    });
    EXPECT_EQ(leadingLines(pass),
              (Lines{"ParGroup, Top", "ParGAccess, Configuration", "varName, Cfg"}));
    const Lines& config = pass.result.configurationLines;
    const auto group = std::find(config.begin(), config.end(), "\tParGroup, IO_Setting");
    ASSERT_NE(group, config.end());
    const Lines generated(group + 3, group + 3 + 28);
    EXPECT_EQ(generated, (Lines{" ",
                                " ",
                                "\t\tvarHeading, configVars",
                                "\t\tvarLength, 19",
                                "\t\tvarType, String",
                                "\t\tvarName, IO_0",
                                "\t\tvarLabel,en-us, IO_0",
                                "\t\tvarDefault, 101;REAL;0;4:Temps",
                                "\t\tvarAccess, Read",
                                " ",
                                "\t\tvarHeading, configVars",
                                "\t\tvarLength, 16",
                                "\t\tvarType, String",
                                "\t\tvarName, IO_1",
                                "\t\tvarLabel,en-us, IO_1",
                                "\t\tvarDefault, 101;STRING;8:S1",
                                "\t\tvarAccess, Read",
                                " ",
                                "\t\tvarHeading, configVars",
                                "\t\tvarLength, 16",
                                "\t\tvarType, String",
                                "\t\tvarName, IO_2",
                                "\t\tvarLabel,en-us, IO_2",
                                "\t\tvarDefault, 101;STRING;8:S2",
                                "\t\tvarAccess, Read",
                                "\tendParGroup",
                                "",
                                "endParGroup"}));
    // Then the I/O part itself, the loop expanded.
    EXPECT_EQ(config.back(), "varName, S2");
    EXPECT_EQ(pass.result.ioLines.front(), "assemblyID, 1");
}

TEST(DtmPreprocess, AGroupThatNeverClosesLeavesNoIoPart) {
    const Pass pass = preprocess({"ParGroup, Top", "ParGAccess, Configuration", "assemblyID, 1"});
    EXPECT_TRUE(pass.result.ioLines.empty());
    const Lines& config = pass.result.configurationLines;
    EXPECT_EQ(Lines(config.end() - 3, config.end()), (Lines{" ", "endParGroup", ""}));
}

// A line that is not well-formed UTF-8 was saved in the Windows code page: it is read as such
// and kept, every byte one character.
TEST(DtmPreprocess, LinesThatAreNotUtf8AreReadAsWindows1252) {
    struct Case {
        std::string name, line, expected;
    };
    const std::vector<Case> cases = {
        {"utf-8 stays", "varName, caf\xC3\xA9", "varName, caf\xC3\xA9"},
        {"accented label", "varName, caf\xE9", "varName, caf\xC3\xA9"},
        {"euro and quotes", "varName, \x80\x93\x94",
         "varName, \xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D"},
        {"encoded surrogate", "varName, \xED\xA0\x80", "varName, \xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"overlong slash", "varName, \xC0\xAF", "varName, \xC3\x80\xC2\xAF"},
        {"truncated sequence", "varName, \xE2\x82", "varName, \xC3\xA2\xE2\x80\x9A"},
        {"above U+10FFFF", "varName, \xF4\x90\x80\x80",
         "varName, \xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
    };
    for (const Case& c : cases) {
        const Pass pass = preprocessText("\xEF\xBB\xBF" + c.line + "\r\nvarName, ok\r\n");
        EXPECT_EQ(leadingLines(pass), (Lines{c.expected, "varName, ok"})) << c.name;
        EXPECT_EQ(pass.report.errorCount, 0) << c.name;
    }
}

}  // namespace
