// The parser's variable entries: headings, types and the assembly layout, names, labels,
// access, links and the values emitted only when given.

#include <gtest/gtest.h>

#include "tests/dtmrepo/description_fixture.h"

namespace {

using dtmrepo_test::Lines;
using dtmrepo_test::parseOnly;
using Messages = std::vector<std::string>;

struct MessageCase {
    Lines lines;
    Messages messages;
};

TEST(DtmParserVariables, MessagesOfTheVariableKeywords) {
    const MessageCase cases[] = {
        {{"assemblyID, 2", "varHeading, inputVars"},
         {"   ERROR - 'vVARS' not allowed on EVEN AssembyID!  'inputVars'   on line 2"}},
        {{"assemblyID, 1", "varHeading, outputVars"},
         {"   ERROR - 'OUTPUTVARS' not allowed on ODD AssembyID!  'outputVars'   on line 2"}},
        {{"varHeading, spareVars"},
         {"   ERROR - 'VarHeading' not supported!  'spareVars'   on line 1"}},
        {{"varHeading, configVars", "varLength, 16x"},
         {"   ERROR - 'VarLength' not a number!  '16x' <> '16'   on line 2   Currentstate=0"}},
        // A length of none or less would move every later offset back.
        {{"varHeading, configVars", "varLength, 0"},
         {"   ERROR - 'VarLength' must be greater than 0!  '0'   on line 2   Currentstate=0"}},
        {{"varHeading, configVars", "varLength, -4"},
         {"   ERROR - 'VarLength' must be greater than 0!  '-4'   on line 2   Currentstate=0"}},
        // The profile holds sizes and offsets in 16 bits.
        {{"assemblyID, 1", "varHeading, inputVars", "varLength, 60000", "varType, STRING",
          "varHeading, inputVars", "varLength, 6000", "varType, STRING"},
         {"   ERROR - Assembly 1 exceeds 65535 bytes (66000)   on line 7   Currentstate=1"}},
        {{"assemblyID, 2", "varHeading, outputVars", "varType, DWORD"},
         {"   WARNING - 'DWORD' is not on a 32-bit boundary - Changed to ARRAY of BYTES (0) "
          "AssemblyID=2 Mod4=2"}},
        {{"assemblyID, 1", "varHeading, inputVars", "varType, WORD", "varHeading, inputVars",
          "varType, dword"},
         {"   WARNING - 'dword' is not on a 32-bit boundary - Changed to ARRAY of BYTES (2) "
          "AssemblyID=1 Mod4=2"}},
        {{"assemblyID, 1", "varHeading, inputVars", "varType, BYTE", "varHeading, inputVars",
          "varType, WORD"},
         {"   WARNING - 'WORD' is not on a 16-bit boundary - Changed to ARRAY of BYTES (1) "
          "AssemblyID=1 Mod2=1"}},
        {{"varHeading, configVars", "varType, BYTE, 1, 9"},
         {"   ERROR - 'Array Start Index' must start at 0!  '1' <> '0' on line 2   "
          "Currentstate=0"}},
        {{"varHeading, configVars", "varType, BYTE, a, 9"},
         {"   ERROR - 'Array Start Index' not a number!  'a' <> '0'   on line 2   "
          "Currentstate=0"}},
        {{"varHeading, configVars", "varType, BYTE, 0, 9b"},
         {"   ERROR - 'Array Start Index' not a number!  '9b' <> '9' Currentstate=0"}},
        {{"varHeading, configVars", "varType, BYTE, 0, 0"},
         {"   ERROR - 'Array Start Index' must be greater than Array End Index!  '0' < '0'   "
          "on line 2   Currentstate=0"}},
        {{"varHeading, configVars", "varType, FLOAT"},
         {"   ERROR - 'varType' not supported!  'FLOAT'   on line 2   Currentstate=0"}},
        {{"varHeading, configVars", "varType, String"},
         {"   ERROR - 'varType' STRING requires varLength to be set first!  'String'   on line "
          "2   Currentstate=0"}},
        {{"varHeading, configVars", "varName, Speed", "varHeading, configVars", "varName, Speed",
          "varHeading, configVars", "varName, speed"},
         {"   ERROR - 'VarName' not unique!  'Speed'   on line 4"}},
        {{"varHeading, configVars", "varLabel, en-us, Speed, rpm"},
         {"   ERROR - 'varLabel' includes commas!  'varLabel, en-us, Speed, rpm'   on line 2",
          "   ERROR - 'varDesc' includes commas!  'varLabel, en-us, Speed, rpm'   on line 2"}},
        {{"varHeading, configVars", "varLabel, de, A", "varLabel, en, B"},
         {"   ERROR - 'varLabel' language in wrong order!  'en-us'   on line 3",
          "   ERROR - 'varDesc' language in wrong order!  'en-us'   on line 3"}},
        {{"varHeading, configVars", "varLabel, xx-xx, T"},
         {"   ERROR - 'varLabel' language not supported!  'xx-xx'   on line 2   Currentstate=0",
          "   ERROR - 'varDESC' language not supported!  'xx-xx'   on line 2   Currentstate=0"}},
        {{"varHeading, configVars", "varDesc, it, A", "varDesc, es, B, C"},
         {"   ERROR - 'varDesc' includes commas!  'varDesc, es, B, C'   on line 3",
          "   ERROR - 'varDesc' language in wrong order!  'es-es'   on line 3"}},
        {{"varHeading, configVars", "varENUMtype, DINT"},
         {"   ERROR - 'VarENUMtype' must be BYTE, WORD, or INT!  'DINT' <> '0'   on line 2   "
          "Currentstate=0"}},
        {{"varHeading, configVars", "varENUMValue, one"},
         {"   ERROR - 'VarENUMValue' not a number!  'one' <> '0'   on line 2   Currentstate=0"}},
        {{"varHeading, configVars", "varENUMValue, 1", "varENUMLabel, en, On, off"},
         {"   ERROR - 'varENUMLabel' includes commas!  'varENUMLabel, en, On, off'   on line 3"}},
        {{"varHeading, configVars", "varENUMValue, 1", "varENUMLabel, nl, Aan"},
         {"   ERROR - 'varENUMLabel' language not supported!  'nl'   on line 3   "
          "Currentstate=0"}},
        {{"varHeading, configVars", "varWarning, en, Careful", "varWarning, it, Attenzione",
          "varWarning, de, Achtung"},
         {"   ERROR - 'varWarning' language in wrong order!  'de-de'   on line 4"}},
        {{"varHeading, configVars", "varWarning, jp, X"},
         {"   ERROR - 'varWarning' language not supported!  'jp'   on line 2   Currentstate=0"}},
        {{"varHeading, configVars", "varAddress, 0x10"},
         {"   ERROR - 'VarAddress' not a number!  '0x10' <> '0'   on line 2   Currentstate=0"}},
        {{"varHeading, configVars", "varAccess, rw"},
         {"   ERROR - 'varAccess' not supported!  'rw'   on line 2   Currentstate=0"}},
        {{"assemblyID, 1", "varHeading, inputVars", "varAccessIN, Mode"},
         {"   ERROR - 'varAccessIN' only supported in confgVars!  'Mode'   on line 3   "
          "Currentstate=1"}},
        {{"varHeading, configVars", "varAccessIN, Mode", "varHeading, configVars",
          "varAccessIN, MODE"},
         {"   ERROR - 'varAccessIN' name not unique!  'MODE'   on line 4   Currentstate=0"}},
        {{"assemblyID, 2", "varHeading, outputVars", "varAccessOUT, Mode"},
         {"   ERROR - 'varAccessOUT' only supported in confgVars!  'Mode'   on line 3   "
          "Currentstate=2"}},
        {{"varHeading, configVars", "varAccessOUT, Other"},
         {"   ERROR - 'varAccessIN' name not matched!  'Other'   on line 2   Currentstate=0"}},
        {{"varHeading, configVars", "varType, INT", "varDefault, abc"},
         {"   ERROR - 'VarDefault' not a number!  'abc' <> '0'   on line 3   Currentstate=0"}},
        {{"varHeading, configVars", "varLength, 8", "varType, STRING", "varDefault, abc"}, {}},
        {{"varHeading, configVars", "varLowLimit, -1.5", "varHiLimit, 1k"},
         {"   ERROR - 'VarHiLimit' not a number!  '1k' <> '1'   on line 3   Currentstate=0"}},
        {{"varHeading, configVars", "varLowLimit, low"},
         {"   ERROR - 'VarLoLimit' not a number!  'low' <> '0'   on line 2   Currentstate=0"}},
        {{"varHeading, configVars", "varPersistent, maybe"},
         {"   ERROR - 'varPersistent' not supported!  'maybe'   on line 2   Currentstate=0"}},
        // Loops that reach the parser: written as text inside a loop body, or stray.
        {{"varLoopStart, 1, 2", "varLoopStart, 1, 2"},
         {"   ERROR - Missing 'varEndLoop' before next 'varStartLoop'!     on line 2"}},
        {{"varLoopStart, 1"}, {"   ERROR - 'varLoopStart' must have 3 fields!     on line 1"}},
        {{"varLoopStart, 3, 1"},
         {"   ERROR - varLoopStart must be smaller than varLoopEnd value!     on line 1"}},
        {{"varLoopStart, 1, 502"},
         {"   ERROR - varLoopEnd - varLoopStart must be < 500!     on line 1"}},
        {{"varLoopStart, 1, 501", "varLoopEnd"}, {}},
        {{"varLoopEnd"},
         {"   ERROR - Missing 'varStartLoop' before next 'varEndLoop'!     on line 1"}},
        {{"varLoopStart, 1, 2", "varHeading, configVars", "varName, Temp"},
         {"   ERROR - 'VarName' must include '%' for varLoop!  'Temp'   on line 3"}},
        // Faults that would otherwise read outside the record.
        {{"varHeading, configVars", "varName,"},
         {"   ERROR - 'VarName' is empty!   on line 2   Currentstate=0",
          "   WARNING -  command  'varName' has an empty value on line 2"}},
        {{"varName, Early"},
         {"   ERROR - 'varName' has no variable to describe, 'varHeading' missing!   on line 1"
          "   Currentstate=0"}},
        {{"varHeading, configVars", "varENUMLabel, en, On"},
         {"   ERROR - 'varENUMLabel' before any 'VarENUMValue'!  'en'   on line 2   "
          "Currentstate=0"}},
    };
    for (const MessageCase& c : cases) {
        const auto run = parseOnly(c.lines);
        EXPECT_EQ(run.messages(), c.messages) << c.lines.back();
    }
}

TEST(DtmParserVariables, HeadingsCreateEntriesInTheirSections) {
    const auto run = parseOnly({"varHeading, outputVars", "varName, BeforeAnyAssembly",
                                "assemblyID, 1", "varHeading, inputVars", "varName, In1",
                                "assemblyID, 2", "varHeading, inputVars", "varName, Lost",
                                "varHeading, outputVars", "varName, Out1"});
    ASSERT_EQ(run.record.entryCount(0), 1);  // outputVars with no assembly: a configuration
    EXPECT_EQ(run.record.sections[0][0].varName, "BeforeAnyAssembly");
    ASSERT_EQ(run.record.entryCount(1), 1);
    ASSERT_EQ(run.record.entryCount(2), 1);
    EXPECT_EQ(run.record.sections[2][0].varName, "Out1");
    // The refused heading made no entry, so its name went to the entry before it.
    EXPECT_EQ(run.record.sections[1][0].varName, "Lost");
}

TEST(DtmParserVariables, TypesLayOutTheAssemblyBytes) {
    const auto run = parseOnly({"assemblyID, 1", "varHeading, inputVars", "varType, BYTE, 0, 9",
                                "varHeading, inputVars", "varType, BYTE, , 9",
                                "varHeading, inputVars", "varLength, 16", "varType, STRING",
                                "varHeading, inputVars", "varType, STRING", "varHeading, inputVars",
                                "varType, FLOAT", "varHeading, inputVars", "varType, REAL, 0, 4"});
    const auto& in = run.record.sections[1];
    ASSERT_EQ(in.size(), 6u);
    EXPECT_EQ(in[0].varByteSize, 10);
    EXPECT_EQ(in[0].arrayEnd, 9);
    EXPECT_TRUE(in[1].isArray());
    EXPECT_EQ(in[1].arrayStart, 0);
    EXPECT_EQ(in[2].varByteSize, 16);
    EXPECT_EQ(in[3].varByteSize, 0);  // a STRING needs its own length
    EXPECT_EQ(in[4].varType, "FLOAT");
    EXPECT_EQ(in[5].varByteSize, 20);
    EXPECT_EQ(run.record.assemblyByteCount[1], 10 + 10 + 16 + 20);
    EXPECT_EQ(run.state.assemblyOffset, 56);
}

TEST(DtmParserVariables, LabelsGiveDefaultsAndAutomaticAddresses) {
    const auto run = parseOnly({
        "assemblyID, 1",          "varHeading, inputVars", "varName, Speed",
        "varLabel, en, Speed",    "varHeading, inputVars", "varType, BYTE, 0, 3",
        "varLabel, en, Bytes",    "varHeading, inputVars", "varLabel, en, Next",
        "varHeading, configVars", "varLabel, en-us, Mode", "varLabel, de-de, Modus",
        "varAddress, 17",         "varLabel, fr, Mode",    "varAccess, READWRITE",
        "varHeading, configVars", "varLabel, en, Other",   "varAccess, conditionalreadwrite",
        "varPersistent, TRUE",
    });
    ASSERT_TRUE(run.messages().empty()) << run.report.text;
    const auto& speed = run.record.sections[1][0];
    EXPECT_EQ(speed.varLabel[1], "Speed");
    EXPECT_EQ(speed.varDesc[1], "Speed");
    EXPECT_EQ(speed.varAccess, "read");
    EXPECT_EQ(speed.varPersistent, "true");
    EXPECT_EQ(speed.varAddress, "1000");
    EXPECT_EQ(run.record.sections[1][1].varAddress, "1001");  // four elements take four
    EXPECT_EQ(run.record.sections[1][2].varAddress, "1005");
    const auto& mode = run.record.sections[0][0];
    EXPECT_EQ(mode.varLabel[1], "Mode");
    EXPECT_EQ(mode.varLabel[2], "Modus");
    EXPECT_EQ(mode.varLabel[3], "Mode");
    EXPECT_EQ(mode.varAddress, "17");
    EXPECT_EQ(mode.varAccess, "readWrite");
    EXPECT_EQ(mode.varPersistent, "false");
    const auto& other = run.record.sections[0][1];
    EXPECT_EQ(other.varAccess, "conditionalReadWrite");
    EXPECT_EQ(other.varPersistent, "true");
    // The element count is that of the last type line, here the four bytes: every later
    // automatic address steps by four, the entries without a type of their own included.
    EXPECT_EQ(other.varAddress, "1013");
}

TEST(DtmParserVariables, EnumerationsAndGivenValues) {
    const auto run = parseOnly({
        "ParGroup, Options",
        "varHeading, configVars",
        "varType, ENUM",
        "varName, Mode",
        "varENUMtype, byte",
        "varENUMValue, 0",
        "varENUMLabel, en, Off",
        "varENUMLabel, de, Aus",
        "varENUMValue, 1",
        "varENUMLabel, en, On",
        "varDefault, 1",
        "varUnit, rpm",
        "varWarning, en, Restarts the pump",
        "endParGroup",
        "varHeading, configVars",
        "varName, Plain",
    });
    ASSERT_TRUE(run.messages().empty()) << run.report.text;
    const auto& mode = run.record.sections[0][0];
    EXPECT_EQ(mode.varGroup, 1);
    EXPECT_EQ(mode.enumType, "byte");
    ASSERT_EQ(mode.enumValues.size(), 2u);
    EXPECT_EQ(mode.enumValues[0].value, "0");
    EXPECT_EQ(mode.enumValues[0].label[2], "Aus");
    EXPECT_EQ(mode.enumValues[1].label[1], "On");
    EXPECT_TRUE(mode.varDefault.given);
    EXPECT_EQ(mode.varUnit.text, "rpm");
    EXPECT_FALSE(mode.varLoLimit.given);
    EXPECT_EQ(mode.varWarning[1], "Restarts the pump");
    EXPECT_EQ(run.record.enumValueTotal, 2);
    EXPECT_EQ(run.record.sections[0][1].varGroup, 0);  // declared after the group closed
}

TEST(DtmParserVariables, AccessLinksPairInputsWithOutputs) {
    const auto run = parseOnly({"varHeading, configVars", "varName, Mode", "varAccessIN, Mode",
                                "varHeading, configVars", "varName, Speed", "varAccessOUT, mode"});
    ASSERT_TRUE(run.messages().empty()) << run.report.text;
    EXPECT_EQ(run.record.accessInNames, std::vector<std::string>{"Mode"});
    EXPECT_EQ(run.record.sections[0][0].accessLink, dtmrepo::AccessLink::In);
    EXPECT_EQ(run.record.sections[0][1].accessLink, dtmrepo::AccessLink::Out);
    EXPECT_EQ(run.record.sections[0][1].accessLinkName, "mode");
}

TEST(DtmParserVariables, ALoopInTheParserRepeatsEveryKeywordPerIndex) {
    const auto run = parseOnly({"varLoopStart, 1, 3", "varHeading, configVars", "varName, Temp%",
                                "varLabel, xx-xx, T", "varLoopEnd", "varLoopStart, 9, 10",
                                "varHeading, configVars", "varName, T%", "varLoopEnd"});
    const auto& config = run.record.sections[0];
    ASSERT_EQ(config.size(), 5u);
    EXPECT_EQ(config[0].varName, "Temp001");
    EXPECT_EQ(config[2].varName, "Temp003");
    EXPECT_EQ(config[3].varName, "T009");
    EXPECT_EQ(config[4].varName, "T010");
    // One message per index.
    EXPECT_EQ(run.report.errorCount, 6);
}

}  // namespace
