// Whole description files through the intake and the parser.

#include <gtest/gtest.h>

#include "tests/dtmrepo/description_fixture.h"

namespace {

using dtmrepo_test::fullDescription;
using dtmrepo_test::Lines;
using dtmrepo_test::parseDescription;
using dtmrepo_test::reportMessages;

TEST(DtmDescription, TheSampleParsesWithoutMessages) {
    const auto outcome = parseDescription(dtmrepo_test::sampleDescription());
    EXPECT_EQ(outcome.result, dtmrepo::IntakeOutcome::Result::Parsed);
    EXPECT_EQ(outcome.report.errorCount, 0) << outcome.report.text;
    EXPECT_EQ(outcome.report.warningCount, 0) << outcome.report.text;
}

TEST(DtmDescription, AFullDescriptionFillsTheRecord) {
    const auto outcome = parseDescription(fullDescription());
    ASSERT_EQ(outcome.result, dtmrepo::IntakeOutcome::Result::Parsed);
    EXPECT_EQ(outcome.report.errorCount, 0) << outcome.report.text;
    EXPECT_EQ(outcome.report.warningCount, 0) << outcome.report.text;
    const dtmrepo::DescriptionRecord& r = outcome.record;

    EXPECT_EQ(outcome.productIdentifier, "PMX_1_2_v2.10");
    EXPECT_EQ(r.productId, "PMX_1_2_v2.10");
    EXPECT_EQ(r.profileName, "PMX_1_2_v2.10");
    EXPECT_EQ(r.profileFileName, "PMX_1_2_v2.10.XML");
    EXPECT_EQ(r.swVersion, "02.10");  // the record keeps the line as written
    EXPECT_EQ(r.fwVersion, "01.02");
    EXPECT_EQ(r.vendorText[2], "Calvento GmbH");
    EXPECT_EQ(r.productText[3], "Controleur de pompe");
    EXPECT_EQ(r.languageUsed, (std::array<bool, 7>{false, true, true, true, false, false, false}));
    EXPECT_EQ(r.fileCreationDate, dtmrepo_test::kToday);

    // Groups: the generated information and I/O structure groups come with the file's two.
    ASSERT_EQ(r.parGroupCount(), 4);
    EXPECT_EQ(r.parGroups[0].name, "Application");
    EXPECT_EQ(r.parGroups[0].label[1], "Application Configuration");
    EXPECT_EQ(r.parGroups[2].label[2], "Optionen");
    EXPECT_EQ(r.parGroups[1].name, "Info_Setting");
    EXPECT_EQ(r.parGroups[2].name, "Options");
    EXPECT_EQ(r.parGroups[2].access, "GUIControl");
    EXPECT_EQ(r.parGroups[3].name, "IO_Setting");

    // Configuration variables: four information values, the file's two, one string per I/O
    // variable.
    const auto& config = r.sections[0];
    ASSERT_EQ(config.size(), 4u + 2u + 8u);
    EXPECT_EQ(config[0].varName, "DTM_FileName");
    EXPECT_EQ(config[0].varDefault.text, "PMX_1_2_v2.10");
    EXPECT_EQ(config[1].varDefault.text, "2.10");
    EXPECT_EQ(config[4].varName, "Mode");
    EXPECT_EQ(config[4].varGroup, 3);
    ASSERT_EQ(config[4].enumValues.size(), 2u);
    EXPECT_EQ(config[4].enumValues[1].label[1], "Automatic");
    EXPECT_EQ(config[5].varHiLimit.text, "3000");
    EXPECT_EQ(config[5].accessLink, dtmrepo::AccessLink::Out);
    EXPECT_EQ(config[6].varName, "IO_0");
    EXPECT_EQ(config[6].varDefault.text, "101;WORD:Status");
    EXPECT_EQ(config[13].varDefault.text, "104;STRING;16:Message");
    EXPECT_EQ(r.accessInNames, std::vector<std::string>{"Mode"});
    EXPECT_EQ(r.enumValueTotal, 2);

    // Assemblies.
    EXPECT_EQ(r.sections[1].size(), 4u);
    EXPECT_EQ(r.sections[1][3].varName, "In_3");  // expanded by the intake
    EXPECT_EQ(r.assemblyByteCount[1], 2 + 3 * 2);
    EXPECT_EQ(r.assemblyByteCount[2], 22);
    EXPECT_EQ(r.assemblyByteCount[3], 4);
    EXPECT_EQ(r.assemblyByteCount[4], 16);
    EXPECT_EQ(r.inputByteCount(), 12);
    EXPECT_EQ(r.outputByteCount(), 38);
    EXPECT_EQ(r.assemblyPathHex[4], "68");
    EXPECT_EQ(r.defaultRpi[1], 20);
    EXPECT_EQ(r.defaultRpi[2], 20);
    EXPECT_EQ(r.defaultRpi[3], 50);
    EXPECT_TRUE(r.sections[2][1].isArray());
    EXPECT_EQ(r.sections[2][1].arrayEnd, 4);
}

TEST(DtmDescription, FaultsAreCountedAcrossTheWholeFile) {
    Lines lines = dtmrepo_test::sampleDescription();
    lines.insert(lines.begin() + 1, "Foo, 1");
    lines.insert(lines.end(), {"varHeading, outputVars", "varType, BYTE", "varName, Flags",
                               "varHeading, outputVars", "varType, INT", "varName, Status"});
    const auto outcome = parseDescription(lines);
    const auto messages = reportMessages(outcome.report.text);
    EXPECT_EQ(outcome.report.errorCount, 2) << outcome.report.text;
    EXPECT_EQ(outcome.report.warningCount, 1);
    // Lines are those of the configuration copy: the comment line is gone.
    EXPECT_EQ(messages.at(0), "   ERROR - 'Unknown' command  'Foo'   on line 1");
    EXPECT_EQ(messages.at(1),
              "   WARNING - 'INT' is not on a 16-bit boundary - Changed to ARRAY of BYTES (3) "
              "AssemblyID=2 Mod2=1");
    EXPECT_EQ(messages.at(2).rfind("   ERROR - 'VarName' not unique!  'Status'   on line ", 0), 0u);
}

}  // namespace
