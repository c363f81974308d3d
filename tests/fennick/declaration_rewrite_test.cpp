// The declaration pass over data-block lines: what each declaration becomes and which
// assignment it leaves for the IN or OUT section.

#include "extractor/rewrite/declaration_rewrite.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Declared {
    std::vector<std::string> project, inputs, outputs, results;
    int inputCount = 0, outputCount = 0, channelCount = 0;
};

Declared declare(const std::vector<std::string>& lines, int slot = 3, int wordCount = 242) {
    extractor::ModuleContext module;
    module.rack = 0;
    module.slot = slot;
    module.kw0 = 0x11;
    module.kw1 = 242;
    module.kw2 = 7;
    module.wordCount = wordCount;
    extractor::DerivedTypeCatalogue types;
    for (const char* line :
         {"<DDTSource DDTName=\"T_Level\">", "<variables name=\"Raw\" typeName=\"WORD\">",
          "</variables>", "</DDTSource>", "<DDTSource DDTName=\"T_Pair\">",
          "<variables name=\"Lo\" typeName=\"INT\"></variables>",
          "<variables name=\"Hi\" typeName=\"INT\"></variables>", "</DDTSource>",
          "<DDTSource DDTName=\"T_Flags\">", "<variables name=\"F\" typeName=\"BOOL\"></variables>",
          "</DDTSource>"}) {
        types.line(line);
    }
    Declared out;
    const auto into = [](std::vector<std::string>& list) {
        return [&list](std::string_view line) { list.emplace_back(line); };
    };
    extractor::DeclarationPass pass(
        module, types, {into(out.project), into(out.inputs), into(out.outputs), into(out.results)});
    for (const std::string& line : lines) {
        pass.line(line);
    }
    out.inputCount = pass.inputVariables();
    out.outputCount = pass.outputVariables();
    out.channelCount = pass.channelVariables();
    return out;
}

std::string located(const char* name, const char* type, const char* address,
                    const char* end = "></variables>") {
    return std::string("\t\t<variables name=\"") + name + "\" typeName=\"" + type +
           "\" topologicalAddress=\"" + address + "\"" + end;
}

struct Case {
    std::string line;
    std::vector<std::string> project;
    std::vector<std::string> inputs;
    std::vector<std::string> outputs;
};

TEST(DeclarationRewrite, LocatedDeclarations) {
    const std::string comment = "\t\t\t<comment>";
    const std::vector<Case> cases = {
        {located("Speed", "WORD", "%IW0.3.0.5"),
         {"\t\t<variables name=\"Speed\" typeName=\"WORD\">",
          comment + "%IW0.3.0.5 (Interbus-S)</comment>", "\t\t</variables>"},
         {"Speed := INT_TO_WORD(IBY_DIO_d0_s3.Inputs.IW[5]);    (*  WARNING:  NOT an INT *)"},
         {}},
        {located("Ok", "BOOL", "%IW0.3.0.5.2"),
         {"\t\t<variables name=\"Ok\" typeName=\"BOOL\">",
          comment + "%IW0.3.0.5.2 (Interbus-S)</comment>", "\t\t</variables>"},
         {"Ok := IBY_DIO_d0_s3.Inputs.IW[5].2;"},
         {}},
        {located("Eb", "EBOOL", "%IW0.3.0.5.2"),
         {},
         {"Eb := IBY_DIO_d0_s3.Inputs.IW[5].2;    (*  WARNING:  NOT a BOOL *)"},
         {}},
        {located("St", "INT", "%IW0.3.0.242"),
         {},
         {"St := IBY_DIO_d0_s3.Inputs.IBS_Status[0];"},
         {}},
        {located("Cmd", "UINT", "%QW0.3.0.242"),
         {},
         {},
         {"IBY_DIO_d0_s3.Outputs.IBS_Command[0] := UINT_TO_INT(Cmd);    (*  WARNING:  NOT an INT "
          "*)"}},
        {located("Out", "INT", "%QW0.3.0.2.7"),
         {},
         {},
         {"IBY_DIO_d0_s3.Outputs.QW[2].7 := Out;    "
          "(*  WARNING:  NOT a BOOL *)"}},
        {located("Err", "BOOL", "%I0.3.MOD.ERR"),
         {"\t\t<variables name=\"Err\" typeName=\"BOOL\">", "", "\t\t</variables>"},
         {"Err := IBY_Manage_d0_s3.Channel.MOD_ERROR;"},
         {}},
        {located("Lvl", "T_Level", "%IW0.3.0.9"),
         {},
         {"Lvl.Raw := INT_TO_WORD(IBY_DIO_d0_s3.Inputs.IW[9]);"},
         {}},
        {located("Lvl", "T_Level", "%QW0.3.0.9"),
         {},
         {},
         {"IBY_DIO_d0_s3.Outputs.QW[9] := WORD_TO_INT(Lvl.Raw);"}},
        {located("Fl", "T_Flags", "%IW0.3.0.9"),
         {},
         {"Fl := IBY_DIO_d0_s3.Inputs.IW[9];    (*  ERROR:  T_Flags is not a standard INT, UINT, "
          "or WORD type.  Conversion not possible! *)"},
         {}},
        // A type whose name only contains a known type's name is not that type.
        {located("Fl", "T_Lev", "%IW0.3.0.9"),
         {},
         {"Fl := IBY_DIO_d0_s3.Inputs.IW[9];    (*  ERROR:  T_Lev is not a standard INT, UINT, or "
          "WORD type.  Conversion not possible! *)"},
         {}},
        {located("R", "REAL", "%IW0.3.0.9"),
         {},
         {"R := IBY_DIO_d0_s3.Inputs.IW[9];    (*  ERROR:  REAL is not an INT, UINT, or WORD "
          "type.  Conversion not possible! *)"},
         {}},
        {located("Cfg", "INT", "%KW0.3.0.1"),
         {"\t\t<variables name=\"Cfg\" typeName=\"INT\">",
          "\t\t\t<variableInit value=\"242\"></variableInit>",
          comment + "%KW0.3.0.1 (Interbus-S)</comment>", "\t\t</variables>"},
         {},
         {}},
        {located("Mod", "T_COM_IBS_242", "%CH0.3.0"),
         {"\t\t<variables name=\"Mod\" typeName=\"IBY_Module\"></variables>"},
         {},
         {}},
        {located("Ch", "T_GEN_MOD", "%CH0.3.MOD"),
         {"\t\t<variables name=\"Ch\" typeName=\"IBY_channel\"></variables>"},
         {},
         {}},
        // Other attributes stay; a comment of its own takes the address.
        {"\t\t<variables name=\"A\" typeName=\"INT\" topologicalAddress=\"%IW0.3.0.1\" "
         "initialised=\"no\"><comment>Flow</comment></variables>",
         {"\t\t<variables name=\"A\" typeName=\"INT\" initialised=\"no\">",
          comment + "Flow - %IW0.3.0.1 (Interbus-S)</comment>", "\t\t</variables>"},
         {"A := IBY_DIO_d0_s3.Inputs.IW[1];"},
         {}},
        // What a one-line declaration holds besides its comment stays; a configuration word
        // takes the configured value in place of its own.
        {located("Sp", "INT", "%IW0.3.0.4",
                 "><attribute name=\"Alias\" value=\"spd\"></attribute></variables>"),
         {"\t\t<variables name=\"Sp\" typeName=\"INT\">",
          comment + "%IW0.3.0.4 (Interbus-S)</comment>",
          "\t\t<attribute name=\"Alias\" value=\"spd\"></attribute></variables>"},
         {"Sp := IBY_DIO_d0_s3.Inputs.IW[4];"},
         {}},
        {located("K2", "INT", "%KW0.3.0.2",
                 "><comment>limit</comment><variableInit value=\"5\"></variableInit>"
                 "</variables>"),
         {"\t\t<variables name=\"K2\" typeName=\"INT\">",
          "\t\t\t<variableInit value=\"7\"></variableInit>",
          comment + "limit - %KW0.3.0.2 (Interbus-S)</comment>", "\t\t</variables>"},
         {},
         {}},
        {located("E2", "BOOL", "%I0.3.MOD.ERR", "><comment>bus</comment></variables>"),
         {"\t\t<variables name=\"E2\" typeName=\"BOOL\">", comment + "bus</comment>",
          "\t\t</variables>"},
         {"E2 := IBY_Manage_d0_s3.Channel.MOD_ERROR;"},
         {}},
        // Another module's addresses stay as they are.
        {located("Other", "INT", "%IW0.30.0.5"), {located("Other", "INT", "%IW0.30.0.5")}, {}, {}},
        // The addresses the code pass converts get its members in declarations too: the
        // channel's error bit and the channel IODDT's words and bits.
        {located("Err0", "BOOL", "%I0.3.0.ERR"),
         {"\t\t<variables name=\"Err0\" typeName=\"BOOL\">", "", "\t\t</variables>"},
         {"Err0 := IBY_Manage_d0_s3.Channel.MOD_ERROR;"},
         {}},
        {located("Faults", "INT", "%MW0.3.MOD.2"),
         {"\t\t<variables name=\"Faults\" typeName=\"INT\">",
          comment + "%MW0.3.MOD.2 (Interbus-S)</comment>", "\t\t</variables>"},
         {"Faults := IBY_Manage_d0_s3.Channel.MOD_FLT;"},
         {}},
        {located("FaultW", "WORD", "%mw0.3.mod.2"),
         {},
         {"FaultW := INT_TO_WORD(IBY_Manage_d0_s3.Channel.MOD_FLT);    (*  WARNING:  NOT an INT "
          "*)"},
         {}},
        {located("ChFlt", "BOOL", "%MW0.3.MOD.2.1"),
         {},
         {"ChFlt := IBY_Manage_d0_s3.Channel.CH_FLT;"},
         {}},
        {located("Blk", "EBOOL", "%MW0.3.MOD.2.10"),
         {},
         {"Blk := IBY_Manage_d0_s3.Channel.BLK_EXT;    (*  WARNING:  NOT a BOOL *)"},
         {}},
        // Without a rule it stays located (and is named among the references left).
        {located("Bit3", "BOOL", "%MW0.3.MOD.2.3"),
         {located("Bit3", "BOOL", "%MW0.3.MOD.2.3")},
         {},
         {}},
        {located("Bit1", "BOOL", "%I0.3.0.1"), {located("Bit1", "BOOL", "%I0.3.0.1")}, {}, {}},
        // Attributes are read by their names, in whatever order they stand.
        {"\t\t<variables typeName=\"INT\" topologicalAddress=\"%IW0.3.0.6\" name=\"Rev\">"
         "</variables>",
         {"\t\t<variables typeName=\"INT\" name=\"Rev\">",
          comment + "%IW0.3.0.6 (Interbus-S)</comment>", "\t\t</variables>"},
         {"Rev := IBY_DIO_d0_s3.Inputs.IW[6];"},
         {}},
        {"\t\t<variables\ttopologicalAddress=\"%QW0.3.0.6\"\ttypeName=\"INT\" name=\"Tab\"/>",
         {"\t\t<variables\ttypeName=\"INT\" name=\"Tab\">",
          comment + "%QW0.3.0.6 (Interbus-S)</comment>", "\t\t</variables>"},
         {},
         {"IBY_DIO_d0_s3.Outputs.QW[6] := Tab;"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Declared out = declare({c.line});
        if (!c.project.empty()) {
            EXPECT_EQ(out.project, c.project);
        }
        EXPECT_EQ(out.inputs, c.inputs);
        EXPECT_EQ(out.outputs, c.outputs);
    }
}

TEST(DeclarationRewrite, Counters) {
    const Declared out = declare({
        located("A", "INT", "%IW0.3.0.1"),
        located("B", "INT", "%QW0.3.0.1"),
        located("C", "T_GEN_MOD", "%CH0.3.0"),
        located("E", "BOOL", "%I0.3.MOD.ERR"),
        located("K", "INT", "%KW0.3.0.0"),
    });
    EXPECT_EQ(out.inputCount, 2);
    EXPECT_EQ(out.outputCount, 1);
    EXPECT_EQ(out.channelCount, 1);
}

TEST(DeclarationRewrite, SpreadOverSeveralLines) {
    const Declared out = declare({
        located("A", "INT", "%IW0.3.0.1", ">"),
        "\t\t\t<comment>Flow</comment>",
        "\t\t</variables>",
        located("B", "INT", "%IW0.3.0.2", ">"),
        "\t\t\t<variableInit value=\"3\"></variableInit>",
        "\t\t</variables>",
        // The comment line may close the declaration too.
        located("C", "INT", "%IW0.3.0.3", ">"),
        "\t\t\t<comment>Level</comment></variables>",
        // The initial value first and the comment after it: still one comment.
        located("D", "INT", "%IW0.3.0.4", ">"),
        "\t\t\t<variableInit value=\"3\"></variableInit>",
        "\t\t\t<comment>Pressure</comment>",
        "\t\t</variables>",
    });
    EXPECT_EQ(out.project,
              (std::vector<std::string>{
                  "\t\t<variables name=\"A\" typeName=\"INT\">",
                  "\t\t\t<comment>Flow - %IW0.3.0.1 (Interbus-S)</comment>",
                  "\t\t</variables>",
                  "\t\t<variables name=\"B\" typeName=\"INT\">",
                  "\t\t\t<comment>%IW0.3.0.2 (Interbus-S)</comment>",
                  "\t\t\t<variableInit value=\"3\"></variableInit>",
                  "\t\t</variables>",
                  "\t\t<variables name=\"C\" typeName=\"INT\">",
                  "\t\t\t<comment>Level - %IW0.3.0.3 (Interbus-S)</comment></variables>",
                  "\t\t<variables name=\"D\" typeName=\"INT\">",
                  "\t\t\t<variableInit value=\"3\"></variableInit>",
                  "\t\t\t<comment>Pressure - %IW0.3.0.4 (Interbus-S)</comment>",
                  "\t\t</variables>",
              }));
}

// A %KW declaration with a comment is exported over several lines; it keeps the configured
// value all the same, in place of any it held, and a comment over several lines stays one.
TEST(DeclarationRewrite, SpreadDeclarationsKeepTheirValueAndComment) {
    const Case cases[] = {
        {located("Limit", "INT", "%KW0.3.0.1", ">") + "\n\t\t\t<comment>Max load</comment>\n"
                                                      "\t\t</variables>",
         {"\t\t<variables name=\"Limit\" typeName=\"INT\">",
          "\t\t\t<variableInit value=\"242\"></variableInit>",
          "\t\t\t<comment>Max load - %KW0.3.0.1 (Interbus-S)</comment>", "\t\t</variables>"},
         {},
         {}},
        {located("Mode", "INT", "%KW0.3.0.2", ">") +
             "\n\t\t\t<variableInit value=\"5\"></variableInit>"
             "\n\t\t</variables>",
         {"\t\t<variables name=\"Mode\" typeName=\"INT\">",
          "\t\t\t<variableInit value=\"7\"></variableInit>",
          "\t\t\t<comment>%KW0.3.0.2 (Interbus-S)</comment>", "\t\t</variables>"},
         {},
         {}},
        {located("Flow", "INT", "%IW0.3.0.1", ">") +
             "\n\t\t\t<comment>Flow of line 1\nmeasured at the pump</comment>"
             "\n\t\t</variables>",
         {"\t\t<variables name=\"Flow\" typeName=\"INT\">", "\t\t\t<comment>Flow of line 1",
          "measured at the pump - %IW0.3.0.1 (Interbus-S)</comment>", "\t\t</variables>"},
         {"Flow := IBY_DIO_d0_s3.Inputs.IW[1];"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::string> lines;
        for (std::size_t from = 0;;) {
            const std::size_t end = c.line.find('\n', from);
            lines.push_back(c.line.substr(from, end - from));
            if (end == std::string::npos) {
                break;
            }
            from = end + 1;
        }
        const Declared out = declare(lines);
        EXPECT_EQ(out.project, c.project);
        EXPECT_EQ(out.inputs, c.inputs);
        EXPECT_EQ(out.outputs, c.outputs);
    }
}

// An address past the generated arrays names an element the module's data lacks: said, with
// the variable, in the results.
TEST(DeclarationRewrite, ElementsPastTheArraysAreReported) {
    const struct {
        std::string line;
        int wordCount;
        const char* element;  // nullptr: within range
    } cases[] = {
        {located("Cmd", "INT", "%QW0.3.0.260"), 242, "IBY_DIO_d0_s3.Outputs.IBS_Command[18]"},
        {located("Cmd", "INT", "%QW0.3.0.253"), 242, nullptr},
        {located("Stat", "INT", "%IW0.3.0.141"), 128, "IBY_DIO_d0_s3.Inputs.IBS_Status[13]"},
        {located("Stat", "INT", "%IW0.3.0.140"), 128, nullptr},
        {located("Bit", "BOOL", "%IW0.3.0.150.2"), 128, "IBY_DIO_d0_s3.Inputs.IBS_Status[22]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const Declared out = declare({c.line}, 3, c.wordCount);
        if (c.element == nullptr) {
            EXPECT_TRUE(out.results.empty());
            continue;
        }
        ASSERT_EQ(out.results.size(), 1u);
        const std::string name = c.line.substr(c.line.find('"') + 1);
        EXPECT_NE(out.results[0].find("'" + name.substr(0, name.find('"')) + "'"),
                  std::string::npos)
            << out.results[0];
        EXPECT_NE(out.results[0].find(c.element), std::string::npos) << out.results[0];
        EXPECT_EQ(out.results[0].rfind("  WARNING!!!!  ", 0), 0u);
    }
}

TEST(DeclarationRewrite, KwInitialValueFollowsTheWordNumber) {
    // Rack 0 slot 12: the word digit is not the tenth character of the address.
    const Declared out = declare({located("K", "INT", "%KW0.12.0.2")}, 12);
    EXPECT_EQ(out.project[1], "\t\t\t<variableInit value=\"7\"></variableInit>");
}

TEST(DeclarationRewrite, TypeOfSeveralMembersIsReported) {
    const Declared out = declare({located("P", "T_Pair", "%IW0.3.0.4")});
    EXPECT_EQ(out.inputs, (std::vector<std::string>{"P.Lo := IBY_DIO_d0_s3.Inputs.IW[4];"}));
    ASSERT_EQ(out.results.size(), 1u);
    EXPECT_NE(out.results[0].find("WARNING"), std::string::npos);
    EXPECT_NE(out.results[0].find("'P'"), std::string::npos);
}

TEST(DeclarationRewrite, OtherSlotWithAPrefixOfTheAddress) {
    const Declared out = declare({located("X", "INT", "%IW0.10.0.5")}, 1);
    EXPECT_EQ(out.project, (std::vector<std::string>{located("X", "INT", "%IW0.10.0.5")}));
    EXPECT_TRUE(out.inputs.empty());
}

}  // namespace
