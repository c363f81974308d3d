#include "dtmrepo/writers/behaviour_source.h"

#include <gtest/gtest.h>

#include "dtmrepo/writers/profile_writer.h"
#include "tests/dtmrepo/description_fixture.h"

namespace {

using dtmrepo_test::Lines;
using dtmrepo_test::parseOnly;

Lines configVariable(const std::string& name, const std::string& link) {
    return {"varHeading, configVars", "varName, " + name, link};
}

Lines joined(std::initializer_list<Lines> parts) {
    Lines lines;
    for (const Lines& part : parts) {
        lines.insert(lines.end(), part.begin(), part.end());
    }
    return lines;
}

TEST(DtmBehaviourSource, OneInputGovernsItsOutputs) {
    auto run = parseOnly(joined({configVariable("Mode", "varAccessIN, Mode"),
                                 configVariable("Speed", "varAccessOUT, Mode"),
                                 configVariable("Gain", "varAccessOUT, MODE")}));
    run.record.productId = "PME KRT 0302_Pump";
    EXPECT_EQ(dtmrepo::behaviourSourceName(run.record), "PME_KRT_0302_Pump.cs");
    EXPECT_EQ(dtmrepo::behaviourSourceLines(run.record),
              (Lines{"using System;",
                     "namespace DDXML_V4._2",
                     "{",
                     "     public class PME_KRT_0302_Pump",
                     "     {",
                     "          public static bool DTM_Mode( string Mode, out string Speed, out "
                     "string Gain)",
                     "          {",
                     "               Speed = \"\";",
                     "               Gain = \"\";",
                     " ",
                     "               if (Mode.Equals(\"0\", "
                     "StringComparison.InvariantCultureIgnoreCase))",
                     "               {",
                     "                    Speed = \"read\";",
                     "                    Gain = \"read\";",
                     "               }",
                     "               else if (Mode.Equals(\"1\", "
                     "StringComparison.InvariantCultureIgnoreCase))",
                     "               {",
                     "                    Speed = \"readWrite\";",
                     "                    Gain = \"readWrite\";",
                     "               }",
                     "               return true;",
                     "          }",
                     "     }",
                     "}"}));
}

TEST(DtmBehaviourSource, EachMethodTestsItsOwnInput) {
    auto run = parseOnly(joined(
        {configVariable("InA", "varAccessIN, A"), configVariable("Out1", "varAccessOUT, A"),
         configVariable("InB", "varAccessIN, B"), configVariable("Out2", "varAccessOUT, B")}));
    ASSERT_EQ(run.report.errorCount, 0) << run.report.text;
    run.record.productId = "7up.v2";
    const Lines source = dtmrepo::behaviourSourceLines(run.record);
    // Two inputs: the list still reads as C#, one comma between parameters.
    const std::string parameters = "( string InA, out string Out1, string InB, out string Out2)";
    EXPECT_EQ(source[3], "     public class _7up_v2");
    EXPECT_EQ(source[5], "          public static bool DTM_A" + parameters);
    const auto second =
        std::find(source.begin(), source.end(), "          public static bool DTM_B" + parameters);
    ASSERT_NE(second, source.end());
    EXPECT_NE(std::find(source.begin(), second,
                        "               if (InA.Equals(\"0\", "
                        "StringComparison.InvariantCultureIgnoreCase))"),
              second);
    EXPECT_NE(std::find(second, source.end(),
                        "               if (InB.Equals(\"0\", "
                        "StringComparison.InvariantCultureIgnoreCase))"),
              source.end());
    // Each sets the outputs that name its input; every output starts empty in both.
    EXPECT_NE(std::find(source.begin(), second, "                    Out1 = \"read\";"), second);
    EXPECT_EQ(std::find(source.begin(), second, "                    Out2 = \"read\";"), second);
    EXPECT_NE(std::find(second, source.end(), "               Out1 = \"\";"), source.end());
}

TEST(DtmBehaviourSource, NoLinksNoSource) {
    EXPECT_TRUE(
        dtmrepo::behaviourSourceLines(parseOnly({"varHeading, configVars"}).record).empty());
}

TEST(DtmBehaviourSource, NamesMustBeIdentifiers) {
    EXPECT_FALSE(dtmrepo::checkBehaviourNames(
                     parseOnly(joined({configVariable("Mode", "varAccessIN, Mode")})).record)
                     .has_value());
    const auto badLink = dtmrepo::checkBehaviourNames(
        parseOnly(joined({configVariable("Mode", "varAccessIN, Mode 2")})).record);
    ASSERT_TRUE(badLink.has_value());
    EXPECT_EQ(*badLink, "'varAccessIN' name must be a C# identifier!  'Mode 2'");
    EXPECT_TRUE(dtmrepo::checkBehaviourNames(
                    parseOnly(joined({configVariable("string", "varAccessIN, M")})).record)
                    .has_value());
    EXPECT_EQ(dtmrepo::behaviourClassName("class.cs"), "class_");
}

}  // namespace
