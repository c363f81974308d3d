// The flat profile: its elements from the description record, and the document a real XML
// parser reads back.

#include "dtmrepo/writers/profile_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "dtmrepo/text_files.h"
#include "dtmrepo/writers/profile_layout.h"
#include "tests/dtmrepo/description_fixture.h"
#include "tests/dtmrepo/xml_check.h"

namespace {

namespace fs = std::filesystem;
using dtmrepo_test::Lines;

Lines profileOf(const Lines& description) {
    const auto outcome = dtmrepo_test::parseDescription(description);
    EXPECT_EQ(outcome.report.errorCount, 0) << outcome.report.text;
    return dtmrepo::flatProfileLines(outcome.record);
}

bool has(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The line after the first `line`, or an empty text.
std::string after(const Lines& lines, const std::string& line) {
    const auto it = std::find(lines.begin(), lines.end(), line);
    return it == lines.end() || it + 1 == lines.end() ? std::string() : *(it + 1);
}

// The record of a description with the given variable lines after the identity.
dtmrepo::DescriptionRecord recordOf(const Lines& lines) {
    return dtmrepo_test::parseOnly(lines).record;
}

std::string writeIndented(const Lines& flat, const std::string& name) {
    const std::string path = (fs::path(dtmrepo_test::freshFolder(name)) / "profile.XML").string();
    dtmrepo::Trace quiet(0);
    EXPECT_TRUE(dtmrepo::writeTextFileLines(path, dtmrepo::indentProfile(flat, quiet).lines));
    return path;
}

TEST(DtmProfileWriter, APrimaryConnectionForAssembliesOneAndTwo) {
    const Lines flat = profileOf(dtmrepo_test::sampleDescription());
    EXPECT_EQ(flat.front(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    EXPECT_TRUE(has(flat,
                    "<cipConnection connectionID=\"PTK_PrimaryConnection\" name=\"Primary "
                    "Read/Write Data Connection\" help=\"Exclusive Owner Connection\" "
                    "type=\"connection\" selected=\"1\">"));
    EXPECT_TRUE(has(flat,
                    "<cipAssembly assemblyID=\"Assem01\" name=\"Standard Input Assembly\" "
                    "type=\"assembly\">"));
    EXPECT_EQ(after(flat,
                    "<cipAssembly assemblyID=\"Assem01\" name=\"Standard Input Assembly\" "
                    "type=\"assembly\">"),
              "<assemblySize size=\"74\"/>");
    EXPECT_EQ(after(flat,
                    "<cipAssembly assemblyID=\"Assem02\" name=\"Standard Output Assembly\" "
                    "type=\"assembly\">"),
              "<assemblySize size=\"28\"/>");
    EXPECT_TRUE(has(flat, "<ePath pathType=\"padded\" value=\"20 04 24 64 2C 66 2C 65\"/>"));
    EXPECT_EQ(after(flat, "<O2T_size>"), "<size value=\"28\"/>");
    EXPECT_EQ(after(flat, "<T2O_size>"), "<size value=\"74\"/>");
    EXPECT_EQ(
        std::count_if(flat.begin(), flat.end(),
                      [](const std::string& l) { return l.rfind("<cipConnection ", 0) == 0; }),
        1);
    EXPECT_EQ(after(flat, "<parameter uniqueID=\"P_RPI_OT_PrimaryConnection\">"),
              "<label lang=\"en-us\">RPI OT for Primary Connection</label>");
}

TEST(DtmProfileWriter, FurtherConnectionsAreNumberedByAssembly) {
    const Lines flat = profileOf(dtmrepo_test::fullDescription());
    EXPECT_TRUE(has(flat,
                    "<cipConnection connectionID=\"PTK_SecondaryConnection2\" name=\"Read/Write "
                    "Data Connection2\" help=\"Exclusive Owner Connection\" type=\"connection\" "
                    "selected=\"1\">"));
    EXPECT_TRUE(has(flat, "<cipParameter parameterIDRef=\"P_RPI_OT_Connection2\"/>"));
    EXPECT_TRUE(has(flat, "<parameter uniqueID=\"P_RPI_OT_Connection2\">"));
    EXPECT_TRUE(has(flat, "<parameter uniqueID=\"P_RPI_TO_Connection2\">"));
    EXPECT_TRUE(has(flat,
                    "<cipAssembly assemblyID=\"Assem03\" name=\"Standard Input Assembly2\" "
                    "type=\"assembly\">"));
    // Assemblies 3 and 4 give their byte counts unchanged.
    EXPECT_EQ(after(flat,
                    "<cipAssembly assemblyID=\"Assem04\" name=\"Standard Output Assembly2\" "
                    "type=\"assembly\">"),
              "<assemblySize size=\"16\"/>");
    EXPECT_TRUE(has(flat, "<ePath pathType=\"padded\" value=\"20 04 24 64 2C 68 2C 67\"/>"));
}

TEST(DtmProfileWriter, AnOddAssemblyWithoutVariablesHasNoConnection) {
    const auto record =
        recordOf({"assemblyID, 1", "assemblyPath, 101", "assemblyID, 2", "assemblyPath, 102",
                  "varHeading, outputVars", "varType, INT", "varName, Out", "varLabel, en, Out"});
    const Lines flat = dtmrepo::flatProfileLines(record);
    EXPECT_FALSE(has(flat,
                     "<cipAssembly assemblyID=\"Assem01\" name=\"Standard Input Assembly\" "
                     "type=\"assembly\">"));
    EXPECT_TRUE(has(flat,
                    "<cipAssembly assemblyID=\"Assem02\" name=\"Standard Output Assembly\" "
                    "type=\"assembly\">"));
    EXPECT_EQ(after(flat, "<cipConnectionList>"), "</cipConnectionList>");
    // No configuration variables: no mapping list; assembly 2 but not 1: no inputVars.
    EXPECT_FALSE(has(flat, "<cipMappingList>"));
    EXPECT_FALSE(has(flat, "<inputVars>"));
    EXPECT_TRUE(has(flat, "<outputVars>"));
}

TEST(DtmProfileWriter, OneAssemblyWithoutItsPairHasAnEmptyList) {
    const auto record =
        recordOf({"assemblyID, 1", "varHeading, inputVars", "varType, WORD", "varName, In"});
    const Lines flat = dtmrepo::flatProfileLines(record);
    EXPECT_EQ(after(flat, "<inputVars>"), "</inputVars>");
    EXPECT_FALSE(has(flat, "<outputVars>"));
}

TEST(DtmProfileWriter, EmptyListsStayInPlace) {
    const Lines flat = dtmrepo::flatProfileLines(recordOf({}));
    EXPECT_EQ(after(flat, "<configVars>"),
              "<varDeclaration name=\"V_Generic_UINT\" "
              "uniqueID=\"V_Generic_UINT_ID\">");  // first body's
    const auto second = std::find(flat.begin(), flat.end(),
                                  "<functionType name=\"FT_PMEKRT_PTR\" "
                                  "uniqueID=\"FT_PMEKRT_PTR_ID\">");
    ASSERT_NE(second, flat.end());
    const Lines rest(second, flat.end());
    EXPECT_EQ(after(rest, "<configVars>"), "</configVars>");
    EXPECT_EQ(after(rest, "<parameterList>"), "</parameterList>");
    EXPECT_EQ(after(flat, "<vendorText>"), "<label lang=\"en-us\">Calvento</label>");
    EXPECT_EQ(after(flat, "<productText>"), "</productText>");
    EXPECT_FALSE(has(flat, "<parameterGroupList>"));
    EXPECT_FALSE(has(flat, "<conditionalBehaviorList>"));
    EXPECT_NE(std::find_if(flat.begin(), flat.end(),
                           [](const std::string& l) {
                               return l.find("supportedLanguages=\"en-us\" name=\"PTK\"") !=
                                      std::string::npos;
                           }),
              flat.end());
}

TEST(DtmProfileWriter, VariablesTheirTypesAndParameters) {
    const auto record = recordOf({
        "varHeading, configVars",
        "varLength, 32",
        "varType, STRING",
        "varName, Tag",
        "varLabel, en, Tag",
        "varDefault, none",
        "varHeading, configVars",
        "varType, ENUM",
        "varName, Mode",
        "varLabel, en, Mode",
        "varENUMtype, word",
        "varENUMValue, 0",
        "varENUMLabel, en, Off",
        "varWarning, de, Achtung",
        "varHeading, configVars",
        "varType, ENUM",
        "varName, Other",
        "assemblyID, 1",
        "varHeading, inputVars",
        "varType, WORD",
        "varName, First",
        "varHeading, inputVars",
        "varType, BYTE, 0, 3",
        "varName, Bytes",
        "varLabel, en, Four bytes",
        "varLowLimit, 1",
        "varUnit, m",
        "assemblyID, 2",
        "varHeading, outputVars",
        "varType, INT",
        "varName, Out",
    });
    const Lines flat = dtmrepo::flatProfileLines(record);
    EXPECT_EQ(after(flat, "<varDeclaration name=\"V_Tag\" uniqueID=\"V_Tag_ID\" size=\"32\">"),
              "<STRING/>");
    EXPECT_TRUE(
        has(flat, "<array name=\"DT_ArrayType_BYTE_1_2\" uniqueID=\"DT_ArrayType_BYTE_1_2_ID\">"));
    EXPECT_TRUE(has(flat, "<subrange lowerLimit=\"0\" upperLimit=\"3\"/>"));
    EXPECT_EQ(after(flat, "<varDeclaration name=\"V_Bytes\" uniqueID=\"V_Bytes_ID\">"),
              "<dataTypeIDRef uniqueIDRef=\"DT_ArrayType_BYTE_1_2_ID\"/>");
    // Both enumerations get a type, the list being written because a value exists.
    EXPECT_EQ(after(flat, "<enum name=\"DT_Mode\" uniqueID=\"DT_Mode_ID\">"),
              "<label lang=\"en-us\">Mode</label>");
    // An enumeration without values or type still makes a well-formed element.
    EXPECT_EQ(after(flat, "<enum name=\"DT_Other\" uniqueID=\"DT_Other_ID\">"), "<UNKNOWN/>");
    EXPECT_TRUE(has(flat, "<WORD/>"));
    EXPECT_TRUE(has(flat, "<enumValue value=\"0\">"));
    EXPECT_EQ(after(flat, "<varDeclaration name=\"V_Mode\" uniqueID=\"V_Mode_ID\">"),
              "<dataTypeIDRef uniqueIDRef=\"DT_Mode_ID\"/>");
    EXPECT_TRUE(
        has(flat,
            "<confirmationMessage type=\"Warning\" lang=\"de-de\">Achtung</confirmationMessage>"));
    EXPECT_TRUE(has(flat, "<property name=\"lowLimit\" value=\"1\"/>"));
    EXPECT_TRUE(has(flat, "<property name=\"unit\" value=\"m\"/>"));
    EXPECT_TRUE(has(flat, "<property name=\"defaultValue\" value=\"none\"/>"));
    EXPECT_TRUE(
        has(flat, "<parameter uniqueID=\"P_Bytes_ID\" access=\"read\" persistent=\"true\">"));
    // Assembly 1 holds variables and no even assembly does; the odd ones are listed as the
    // controller's outputs.
    EXPECT_EQ(after(flat, "<inputVars>"), "<varDeclaration name=\"V_Out\" uniqueID=\"V_Out_ID\">");
    EXPECT_EQ(after(flat, "<outputVars>"),
              "<varDeclaration name=\"V_First\" uniqueID=\"V_First_ID\">");
}

TEST(DtmProfileWriter, NestedGroupsCloseInnerFirst) {
    const auto record = recordOf(
        {"ParGroup, Outer", "ParGAccess, Configuration", "varHeading, configVars", "varName, A",
         "ParGroup, Inner", "varHeading, configVars", "varName, B", "endParGroup", "endParGroup"});
    const Lines flat = dtmrepo::flatProfileLines(record);
    const auto list = std::find(flat.begin(), flat.end(), "<parameterGroupList>");
    ASSERT_NE(list, flat.end());
    EXPECT_EQ(Lines(list, list + 8),
              (Lines{"<parameterGroupList>",
                     "<parameterGroup uniqueID=\"G_Outer_ID\" kindOfAccess=\"Configuration\">",
                     "<parameterRef uniqueIDRef=\"P_A_ID\"/>",
                     "<parameterGroup uniqueID=\"G_Inner_ID\" kindOfAccess=\"\">",
                     "<parameterRef uniqueIDRef=\"P_B_ID\"/>", "</parameterGroup>",
                     "</parameterGroup>", "</parameterGroupList>"}));
    EXPECT_TRUE(has(flat, "<cipMapping parameterRef=\"P_A_ID\">"));
}

TEST(DtmProfileWriter, ValuesAreEscapedAndReadBackByAParser) {
    Lines lines = dtmrepo_test::fullDescription();
    std::replace(lines.begin(), lines.end(), std::string("vendorText, en-us, Calvento"),
                 std::string("vendorText, en, 5 < 6 & 7 > 3"));
    lines.insert(lines.begin() + 1, "vendorName, A&B <Automation> \"Quoted\"");
    const Lines flat = profileOf(lines);
    EXPECT_TRUE(
        has(flat, "<vendorName>A&amp;B &lt;Automation&gt; &quot;Quoted&quot;</vendorName>"));
    const std::string path = writeIndented(flat, "escaped");
    EXPECT_EQ(dtmrepo_test::xmlProblems(path), "");
    EXPECT_EQ(dtmrepo_test::xmlQuery(path, "root.find('.//DeviceIdentity/vendorName').text"),
              "A&B <Automation> \"Quoted\"");
    EXPECT_EQ(dtmrepo_test::xmlQuery(path, "root.find('.//vendorText/label').text"),
              "5 < 6 & 7 > 3");
    // The second body's function type names the vendor as its organization.
    EXPECT_EQ(dtmrepo_test::xmlQuery(path, "root.findall('.//versionInfo')[1].get('organization')"),
              "A&B <Automation> \"Quoted\"");
    EXPECT_EQ(dtmrepo_test::xmlQuery(path, "root.tag"), "ISO15745Profile");
    EXPECT_EQ(dtmrepo_test::xmlQuery(path, "len(root.findall('.//cipConnection'))"), "2");
    EXPECT_EQ(dtmrepo_test::xmlQuery(path, "root.find('.//conditionalBehavior').get('URI')"),
              "PMX_1_2_v2.10.cs");
}

TEST(DtmProfileLayout, IndentsFiveBlanksPerLevel) {
    dtmrepo::Trace quiet(0);
    const auto layout =
        dtmrepo::indentProfile({"<?xml version=\"1.0\"?>", "<a x=\"1\">", "  <b>text</b>", "<c/>",
                                "<d>", "</d>", "<e>UNKNOWN and UNKNOWN</e>", "</a>"},
                               quiet);
    EXPECT_EQ(layout.lines,
              (Lines{"<?xml version=\"1.0\"?>", "<a x=\"1\">", "     <b>text</b>", "     <c/>",
                     "     <d>", "     </d>", "     <e>UNKNOWN and UNKNOWN</e>", "</a>"}));
    EXPECT_EQ(layout.unknownCount, 2);
}

TEST(DtmProfileLayout, AWholeProfileComesOutWellFormedAndBalanced) {
    const Lines flat = profileOf(dtmrepo_test::fullDescription());
    dtmrepo::Trace quiet(0);
    const auto layout = dtmrepo::indentProfile(flat, quiet);
    EXPECT_EQ(layout.lines.back(), "</ISO15745Profile>");  // back at the left margin
    EXPECT_EQ(layout.lines[1].rfind("<ISO15745Profile ", 0), 0u);
    EXPECT_EQ(layout.lines[2], "     <ProfileHeader>");
    EXPECT_EQ(layout.unknownCount, 0);
    EXPECT_EQ(dtmrepo_test::xmlProblems(writeIndented(flat, "balanced")), "");
}

}  // namespace
