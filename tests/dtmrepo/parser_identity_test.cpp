// The parser's identity, product, group and assembly keywords, and its closing checks.

#include <gtest/gtest.h>

#include "tests/dtmrepo/description_fixture.h"

namespace {

using dtmrepo_test::Lines;
using dtmrepo_test::parseOnly;
using Messages = std::vector<std::string>;

struct MessageCase {
    Lines lines;
    Messages messages;  // the report after "Building", in order
};

// Each line's messages, exactly as the user reads them.
TEST(DtmParser, MessagesOfIdentityGroupAndAssemblyKeywords) {
    const MessageCase cases[] = {
        {{"vendorText, en, Acme"}, {}},
        {{"vendorText, de-de, X", "vendorText, en-us, Y"},
         {"   ERROR - 'vendorText' language in wrong order!  'en-us'   on line 2"}},
        {{"vendorText, nl-nl, X"},
         {"   ERROR - 'vendorText' language not supported!  'nl-nl'   on line 1"}},
        {{"productText, fr, X", "productText, EN, Y"},
         {"   ERROR - 'productText' language in wrong order!  'en-us'   on line 2"}},
        {{"productText, xx, X"},
         {"   ERROR - 'productText' language not supported!  'xx'   on line 1"}},
        {{"MinCompiler, 01JAN2020"},
         {"   ERROR - MinCompiler FAIL  Requires '01JAN2020'   on line 1"}},
        {{"MinCompiler, 16OCT2019", "MinCompiler, 01Jan2030", "MinCompiler, 15OCT2019"}, {}},
        // Too short to hold a date: refused instead of read past its end.
        {{"MinCompiler, 16OCT"},
         {"   ERROR - 'MinCompiler' must be a date such as 16OCT2019!  '16OCT'   on line 1"}},
        {{"ParGroup, A", "ParGAccess, GUIControl", "ParGAccess, Diagnosis", "endParGroup"},
         {"   ERROR - 'ParGAccess' already configured!  'Diagnosis'   on line 3"}},
        {{"ParGroup, A", "endParGroup", "endParGroup"},
         {"   ERROR - 'EndParGroup' too many times!  ' '   on line 3"}},
        {{"ParGAccess, GUIControl"},
         {"   ERROR - 'ParGAccess' outside a 'ParGroup'!  'GUIControl'   on line 1"}},
        {{"assemblyID, 03"},
         {"   ERROR - 'assemblyID' not a number!  '03' <> '3'   on line 1   assemblyID=03"}},
        {{"assemblyID, 9"},
         {"   ERROR - 'assemblyID' outside valid range (1-8)!     on line 1   assemblyID=9"}},
        {{"assemblyID, 1", "assemblyPath, 1o1"},
         {"   ERROR - 'assemblyPath' not a number!  '1o1' <> '1'   on line 2   assemblyPath=1"}},
        {{"assemblyID, 1", "assemblyPath, 109"},
         {"   ERROR - 'assemblyPathValue' outside valid range (101-108)!     on line 2   "
          "assemblyPathValue=109"}},
        {{"assemblyID, 3", "assemblyDefaultRPI, ten"},
         {"   ERROR - 'assemblyDefaultRPI' not a number!  'ten' <> '0'   on line 2   "
          "assemblyPath=3"}},
        {{"assemblyID, 3", "assemblyMinRPI, 501"},
         {"   ERROR - 'assemblyMinRPI' outside valid range (4-500)!     on line 2   "
          "assemblyMinRPI=501"}},
        {{"assemblyMaxRPI, 3"},
         {"   ERROR - 'assemblyMaxRPI' outside valid range (4-500)!     on line 1   "
          "assemblyMaxRPI=3"}},
        {{"Foo, 1"}, {"   ERROR - 'Unknown' command  'Foo'   on line 1"}},
        {{"Foo"},
         {"   ERROR - 'Unknown' command  'Foo'   on line 1",
          "   WARNING -  command  'Foo' has an empty value on line 1"}},
        {{"vendorName,"}, {"   WARNING -  command  'vendorName' has an empty value on line 1"}},
        // Comment lines count as lines.
        {{"# note", "", "Foo, 1"}, {"   ERROR - 'Unknown' command  'Foo'   on line 3"}},
    };
    for (const MessageCase& c : cases) {
        const auto run = parseOnly(c.lines);
        EXPECT_EQ(run.messages(), c.messages) << c.lines.front();
    }
}

TEST(DtmParser, SomeMessagesStartWithACarriageReturnAlone) {
    EXPECT_EQ(parseOnly({"deviceFamily, de, X", "deviceFamily, en, Y"}).report.text,
              "\r   ERROR - 'deviceFamily' language in wrong order!  'en-us'   on line 2");
    EXPECT_EQ(parseOnly({"ParGroup, A", "ParGAccess, Everyone"}).report.text,
              "\r   ERROR - 'varGAccess' not supported!  'Everyone'   on line 2   "
              "Currentstate=0");
    EXPECT_EQ(parseOnly({"ParGroup, A", "ParGLabl, de, X", "ParGLabl, en, Y", "ParGLabl, nl, Z"})
                  .report.text,
              "\r   ERROR - 'ParGLabl' language in wrong order!  'en-us'   on line 3"
              "\r   ERROR - 'ParGLabl' language not supported!  'nl'   on line 4");
}

TEST(DtmParser, ErrorsAndWarningsAreCounted) {
    const auto run = parseOnly({"Foo", "vendorName,", "assemblyID, 0"});
    EXPECT_EQ(run.report.errorCount, 2);
    EXPECT_EQ(run.report.warningCount, 2);
}

TEST(DtmParser, IdentityValuesReplaceTheDefaults) {
    const auto defaults = parseOnly({});
    EXPECT_EQ(defaults.record.pmeNumber, "PMEKRT0302");
    EXPECT_EQ(defaults.record.swVersion, "UNKNOWN");
    EXPECT_EQ(defaults.record.vendorText[1], "Calvento");
    EXPECT_EQ(defaults.record.deviceFamily[1], "Module");
    EXPECT_EQ(defaults.record.fileCreationDate, dtmrepo_test::kToday);
    EXPECT_EQ(defaults.record.profileFileName, "PME KRT 0302_Pump.XML");

    const auto run = parseOnly({
        "allowMultipleVersions,   no",
        "FileCreator, Jane",
        "fileCreationDate, now",
        "fileModifiedDate, 2020-01-02",
        "productName, PMEKRT0399",
        "ProductID, PMX_1_2",
        "SW, 2.10",
        "FW, 03.00",
        "vendorText, en, Acme",
        "vendorText, de, Acme GmbH",
        "deviceFamily, fr-fr, Module F",
        "FileName, other.XML",
    });
    EXPECT_TRUE(run.messages().empty()) << run.report.text;
    EXPECT_EQ(run.record.allowMultipleVersions, "NO");
    EXPECT_EQ(run.record.fileCreator, "Jane");
    EXPECT_EQ(run.record.authorName, "Jane");  // a creator is also the author
    EXPECT_EQ(run.record.fileCreationDate, dtmrepo_test::kToday);
    EXPECT_EQ(run.record.fileModificationDate, "2020-01-02");
    EXPECT_EQ(run.record.productName, "PMEKRT0399");
    EXPECT_EQ(run.record.productId, "PMX_1_2");
    EXPECT_EQ(run.record.profileName, "PME KRT 0302_Pump");  // no SWINCLUDE, YES
    EXPECT_EQ(run.record.swVersion, "2.10");
    EXPECT_EQ(run.record.fwVersion, "03.00");
    EXPECT_EQ(run.record.vendorText[1], "Acme");
    EXPECT_EQ(run.record.vendorText[2], "Acme GmbH");
    EXPECT_EQ(run.record.deviceFamily[3], "Module F");
    EXPECT_EQ(run.record.profileFileName, "other.XML");
    const std::array<bool, 7> used{false, true, true, true, false, false, false};
    EXPECT_EQ(run.record.languageUsed, used);
}

TEST(DtmParser, ProductIdNamesTheProfileWhenTheVersionIsIncluded) {
    const auto run = parseOnly({"SWINCLUDE, yes", "ProductID, PMX_1_2_v2_10"});
    EXPECT_TRUE(run.record.swIncludeFlag);
    EXPECT_EQ(run.record.profileName, "PMX_1_2_v2_10");
}

TEST(DtmParser, WrongLanguageOrderStillStoresBothTexts) {
    const auto run = parseOnly({"vendorText, de-de, X", "vendorText, en-us, Y"});
    EXPECT_EQ(run.record.vendorText[1], "Y");
    EXPECT_EQ(run.record.vendorText[2], "X");
    EXPECT_EQ(run.report.errorCount, 1);
}

TEST(DtmParser, AssemblyValuesAndTheirPairing) {
    const auto run = parseOnly({
        "assemblyID, 1",
        "assemblyPath, 101",
        "assemblyMinRPI, 4",
        "assemblyDefaultRPI, 20",
        "assemblyID, 3",
        "assemblyPath, 109",
        "assemblyMaxRPI, 501",
        "assemblyID, 4",
        "assemblyMaxRPI, 400",
    });
    EXPECT_EQ(run.record.assemblyPathValue[1], 101);
    EXPECT_EQ(run.record.assemblyPathHex[1], "65");
    EXPECT_EQ(run.record.assemblyPathValue[3], 109);  // reported, stored all the same
    EXPECT_EQ(run.record.assemblyPathHex[3], "6D");
    // An input assembly's interval goes to its output assembly too, until that gets its own.
    EXPECT_EQ(run.record.minRpi[1], 4);
    EXPECT_EQ(run.record.minRpi[2], 4);
    EXPECT_EQ(run.record.defaultRpi[2], 20);
    EXPECT_EQ(run.record.maxRpi[3], 501);
    EXPECT_EQ(run.record.maxRpi[4], 400);
    EXPECT_EQ(run.record.defaultRpi[5], 100);  // untouched defaults
    EXPECT_EQ(run.state.currentAssembly, 4);
    EXPECT_EQ(run.report.errorCount, 2);
}

TEST(DtmParser, RejectedAssemblyIdsSelectNothingOrKeepTheLastOne) {
    EXPECT_EQ(parseOnly({"assemblyID, 2", "assemblyID, 0"}).state.currentAssembly, 0);
    EXPECT_EQ(parseOnly({"assemblyID, 2", "assemblyID, 9"}).state.currentAssembly, 0);
    EXPECT_EQ(parseOnly({"assemblyID, 2", "assemblyID, 03"}).state.currentAssembly, 2);
}

TEST(DtmParser, NestedGroupsAreBookedAgainstTheNewestGroup) {
    const auto run = parseOnly({"ParGroup, A", "ParGroup, B", "endParGroup", "endParGroup"}, true);
    EXPECT_EQ(run.state.parGroupDepth, 0);
    ASSERT_EQ(run.record.parGroupCount(), 2);
    EXPECT_EQ(run.record.parGroups[0].endMarks.count(), 0u);
    EXPECT_TRUE(run.record.parGroups[1].endMarks.test(2));
    EXPECT_TRUE(run.record.parGroups[1].endMarks.test(1));
    EXPECT_EQ(run.record.parGroups[1].name, "B");
}

TEST(DtmParser, ClosingChecks) {
    const auto tooMany = parseOnly(
        {"ParGroup, A", "endParGroup", "endParGroup", "assemblyID, 1", "assemblyPath, 101"}, true);
    EXPECT_EQ(tooMany.messages().back(),
              "   ERROR - 'ParGroupNest' = -1  This must equal zero!     Check for matched sets "
              "of ParGroup and EndParGroup.");
    const auto nothing = parseOnly({}, true);
    EXPECT_EQ(nothing.messages(), (Messages{"   ERROR - 'AssmblyID = 0'  Not Defined!",
                                            "   ERROR - 'AssmblyPathValue(1) = 0'  Not Defined!"}));
    // A file whose last heading is configVars selects no assembly at its end.
    const auto config = parseOnly(
        {"assemblyID, 1", "assemblyPath, 101", "varHeading, configVars", "varName, A"}, true);
    EXPECT_EQ(config.messages(), Messages{"   ERROR - 'AssmblyID = 0'  Not Defined!"});
}

}  // namespace
