// The second pass: the DTM device variables in the data block.

#include "converter/conversion/ioddt_match.h"

#include <gtest/gtest.h>

#include <sstream>

#include "converter/conversion/project_passes.h"

namespace {

using vornick::Inventory;
using vornick::IoddtFailure;
using vornick::IoddtMatch;

const std::string kXef = "/work/plant/unitpro.xef";
const std::string kDeleteLine =
    "\r\n       Delete the DTM entry for the PMEDWL and re-add it with a good name. ";

Inventory twoDtms(int modules) {
    Inventory inventory;
    inventory.moduleCount = modules;
    inventory.dtmCount = modules;
    inventory.dtmEntryName[1] = "PMEDWL_A";
    inventory.dtmId[1] = "1";
    if (modules == 2) {
        inventory.dtmEntryName[2] = "PMEDWL_B";
        inventory.dtmId[2] = "2";
    }
    return inventory;
}

struct Matched {
    IoddtMatch match;
    std::optional<IoddtFailure> failure;
    std::string report;
};

Matched run(const Inventory& inventory, const std::vector<std::string>& lines) {
    Matched result;
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    std::istringstream in(text);
    std::ostringstream console;
    vornick::ConversionLog log{result.report, console};
    result.failure = vornick::matchIoddtVariables(in, inventory, result.match, kXef, log);
    return result;
}

std::vector<std::string> variable(const std::string& name, const std::string& id) {
    return {"\t\t<variables name=\"" + name + "\" typeName=\"T_" + name + "\">",
            "\t\t\t<attribute name=\"DeviceId\" value=\"" + id + "\"></attribute>",
            "\t\t</variables>"};
}

std::vector<std::string> dataBlock(std::vector<std::vector<std::string>> variables) {
    std::vector<std::string> lines{"<FEFExchangeFile>", "\t<dataBlock>",
                                   "\t\t<variables name=\"Emis\" typeName=\"INT\"></variables>"};
    for (const auto& v : variables) {
        lines.insert(lines.end(), v.begin(), v.end());
    }
    lines.push_back("\t</dataBlock>");
    lines.push_back("</FEFExchangeFile>");
    return lines;
}

TEST(IoddtMatch, FindsEachDtmDeviceVariable) {
    const Matched result =
        run(twoDtms(2), dataBlock({variable("PMEDWL_A", "1"), variable("PMEDWL_B", "2")}));
    EXPECT_EQ(result.failure.has_value(), false);
    EXPECT_EQ(result.match.ioddtMatchCount[1], 1);
    EXPECT_EQ(result.match.ioddtMatchCount[2], 1);
    EXPECT_EQ(result.match.ioddtVarType[2], "T_PMEDWL_B");
    EXPECT_EQ(result.report,
              "\r\n       Found IODDT DeviceID(1)='1 on line number = 5"
              "\r\n       Found IODDT variable Name(1)='PMEDWL_A'    Type(1)='T_PMEDWL_A'"
              "\r\n       Found IODDT DeviceID(2)='2 on line number = 8"
              "\r\n       Found IODDT variable Name(2)='PMEDWL_B'    Type(2)='T_PMEDWL_B'");
}

TEST(IoddtMatch, EachCheckRefusesWithItsMessageAndReportLines) {
    const std::string file = "  ERROR: File '" + kXef + "'";
    const struct {
        const char* what;
        int modules;
        std::vector<std::vector<std::string>> variables;
        std::string box;
        std::string report;
    } cases[] = {
        {"no variable for DTM 1",
         1,
         {variable("PMEDWL_A", "7")},
         file + " Found no DTM variable TYPE to match IBS IODDT DTM(1)",
         "\r\n\n       ERROR: Found no DTM variable TYPE to match IBS IODDT DTM(1) for DeviceID=1"},
        {"two variables for DTM 1",
         1,
         {variable("PMEDWL_A", "1"), variable("Other", "1")},
         file + " Found more than one DTM variable TYPE to match IBS IODDT DTM(1)",
         "\r\n\n       ERROR: Found more than one DTM variable TYPE that matches the IBS IODDT "
         "DTM(1)" +
             kDeleteLine},
        {"other name for DTM 1",
         1,
         {variable("PMEDWL_X", "1")},
         file + " DTM variable Name does not match IBS IODDT DTM(1)",
         "\r\n\n       ERROR: DTM variable Name does not matches the IBS IODDT DTM(1)"
         "\r\n       PMEDWL_A <> PMEDWL_X" +
             kDeleteLine},
        {"no variable for DTM 2",
         2,
         {variable("PMEDWL_A", "1")},
         file + " Found no DTM variable TYPE to match IBS IODDT DTM(2)",
         "\r\n\n       ERROR: Found no DTM variable TYPE to match IBS IODDT DTM(2) "},
        {"two variables for DTM 2",
         2,
         {variable("PMEDWL_A", "1"), variable("PMEDWL_B", "2"), variable("Other", "2")},
         file + " Found more than one DTM variable TYPE to match IBS IODDT DTM(2)",
         "\r\n\n       ERROR: Found more than one DTM variable TYPE that matches the IBS IODDT "
         "DTM(2)" +
             kDeleteLine},
        {"other name for DTM 2",
         2,
         {variable("PMEDWL_A", "1"), variable("PMEDWL_Y", "2")},
         file + " DTM variable Name does not match IBS IODDT DTM(2)",
         "\r\n\n       ERROR: DTM variable Name does not matches the IBS IODDT DTM(2)"
         "\r\n       PMEDWL_B <> PMEDWL_Y" +
             kDeleteLine},
    };
    for (const auto& c : cases) {
        const Matched result = run(twoDtms(c.modules), dataBlock(c.variables));
        ASSERT_TRUE(result.failure.has_value()) << c.what;
        EXPECT_EQ(result.failure->boxText, c.box) << c.what;
        EXPECT_EQ(result.failure->reportLines, c.report) << c.what;
    }
}

TEST(IoddtMatch, AFollowingVariablesLineIsExaminedInTheNextTurn) {
    // The first variable's element goes on, but its next line is another declaration: that one
    // is examined in its own turn and matches.
    const Matched result =
        run(twoDtms(1), dataBlock({{"\t\t<variables name=\"Counter\" typeName=\"INT\">"},
                                   variable("PMEDWL_A", "1"),
                                   {"\t\t</variables>"}}));
    EXPECT_FALSE(result.failure.has_value());
    EXPECT_EQ(result.match.ioddtVarName[1], "PMEDWL_A");
}

TEST(IoddtMatch, ADeviceIdMatchesOnlyAsAWholeNumberOfTheVariablesOwnLines) {
    // Id 1 against a variable whose id line holds 12, and one-line declarations whose next
    // line happens to hold a 1 ("_s1", "IBY_SEND_REQ_1"): none of them is DTM 1's variable.
    const Matched result =
        run(twoDtms(2),
            dataBlock({{"\t\t<variables name=\"IBY_DIO_d0_s1\" typeName=\"T_IBY_DIO\">"
                        "</variables>",
                        "\t\t<variables name=\"IBY_Manage_d0_s1\" typeName=\"IBY_Manage\">"
                        "</variables>",
                        "\t\t<variables name=\"IBY_SEND_REQ_1\" typeName=\"IBY_SEND_REQ\"/>",
                        "\t\t<variables name=\"x\" typeName=\"INT\"><comment>1</comment>"
                        "</variables>"},
                       variable("PMEDWL_A", "1"),
                       variable("PMEDWL_B", "12")}));
    EXPECT_EQ(result.match.ioddtMatchCount[1], 1);
    EXPECT_EQ(result.match.ioddtMatchCount[2], 0);
}

TEST(IoddtMatch, ADeviceIdIsNeverTakenFromACommentOrAnInitialValue) {
    // Variables the Premium conversion made unlocated keep their old address in a comment, and
    // a user's counter starts at 2: DTM 1 and DTM 2 still have one device variable each.
    const Matched result =
        run(twoDtms(2),
            dataBlock({{"\t\t<variables name=\"Level\" typeName=\"INT\">",
                        "\t\t\t<comment>%IW0.3.0.1 (Interbus-S)</comment>", "\t\t</variables>",
                        "\t\t<variables name=\"Count\" typeName=\"INT\">",
                        "\t\t\t\t<variableInit value=\"2\"></variableInit>", "\t\t</variables>"},
                       variable("PMEDWL_A", "1"),
                       variable("PMEDWL_B", "2")}));
    EXPECT_FALSE(result.failure.has_value()) << result.failure->boxText;
    EXPECT_EQ(result.match.ioddtMatchCount[1], 1);
    EXPECT_EQ(result.match.ioddtMatchCount[2], 1);
    EXPECT_EQ(result.match.ioddtVarName[1], "PMEDWL_A");
    EXPECT_EQ(result.match.ioddtVarName[2], "PMEDWL_B");
}

TEST(IoddtMatch, OnlyTheIdAttributeAmongTheVariablesChildLinesCarriesTheDeviceId) {
    // The DTM's own variable and a user's variable whose comment or initial values hold the
    // DTM's id: only the id attribute, wherever it stands among the child lines, names a DTM.
    const std::string id = "\t\t\t<attribute name=\"DeviceId\" value=\"1\"></attribute>";
    const std::vector<std::string> arrayInit{"\t\t\t<instanceElementDesc name=\"[1]\">",
                                             "\t\t\t\t<value>1</value>",
                                             "\t\t\t</instanceElementDesc>"};
    const struct {
        const char* what;
        std::vector<std::string> children;
        int matches;
        int idLine;  // the line the report names
    } cases[] = {
        {"id attribute", {id}, 1, 5},
        {"comment", {"\t\t\t<comment>DTM 1 of rack 0</comment>"}, 0, 0},
        {"comment over two lines",
         {"\t\t\t<comment>Station 1", "<attribute name=\"DeviceId\" value=\"1\"></comment>"},
         0,
         0},
        {"variableInit", {"\t\t\t<variableInit value=\"1\"></variableInit>"}, 0, 0},
        {"instanceElementDesc [1]", arrayInit, 0, 0},
        {"member Speed1",
         {"\t\t\t<instanceElementDesc name=\"Speed1\">", "\t\t\t\t<value>0</value>",
          "\t\t\t</instanceElementDesc>"},
         0,
         0},
        {"comment, then id attribute", {"\t\t\t<comment>Pump station</comment>", id}, 1, 6},
        {"initial values, then id attribute", {arrayInit[0], arrayInit[1], arrayInit[2], id}, 1, 8},
    };
    for (const auto& c : cases) {
        std::vector<std::string> variable{
            "\t\t<variables name=\"PMEDWL_A\" typeName=\"T_PMEDWL_A\">"};
        variable.insert(variable.end(), c.children.begin(), c.children.end());
        variable.push_back("\t\t</variables>");
        const Matched result = run(twoDtms(1), dataBlock({variable}));
        EXPECT_EQ(result.match.ioddtMatchCount[1], c.matches) << c.what;
        if (c.matches == 1) {
            EXPECT_FALSE(result.failure.has_value()) << c.what;
            EXPECT_NE(result.report.find(
                          "DeviceID(1)='1 on line number = " + std::to_string(c.idLine) + "\r\n"),
                      std::string::npos)
                << c.what << result.report;
        } else if (result.failure.has_value()) {
            EXPECT_EQ(
                result.failure->boxText,
                "  ERROR: File '" + kXef + "' Found no DTM variable TYPE to match IBS IODDT DTM(1)")
                << c.what;
        } else {
            ADD_FAILURE() << c.what << ": no refusal";
        }
    }
}

// The DTM's device variable: its declaration line, the child lines given, its closing line.
std::vector<std::string> deviceVariable(const std::string& name,
                                        const std::vector<std::string>& children) {
    std::vector<std::string> lines{"\t\t<variables name=\"" + name + "\" typeName=\"T_" + name +
                                   "\">"};
    lines.insert(lines.end(), children.begin(), children.end());
    lines.push_back("\t\t</variables>");
    return lines;
}

Inventory oneDtmWithId(const std::string& id) {
    Inventory inventory = twoDtms(1);
    inventory.dtmId[1] = id;
    return inventory;
}

TEST(IoddtMatch, AnyAttributeElementWhoseValueIsTheIdCarriesIt) {
    // The id's attribute as projects write it: under another name, with its two attributes in
    // either order, either quote, blanks around "=", closed at once or by a closing tag.
    const struct {
        const char* what;
        std::string child;
    } cases[] = {
        {"DeviceID", "\t\t\t<attribute name=\"DeviceID\" value=\"DTM7781\"></attribute>"},
        {"value first", "\t\t\t<attribute value=\"DTM7781\" name=\"DeviceId\"></attribute>"},
        {"another name", "\t\t\t<attribute name=\"DeviceDTM\" value=\"DTM7781\"></attribute>"},
        {"single quotes", "\t\t\t<attribute name='DeviceId' value='DTM7781'></attribute>"},
        {"blanks around =", "\t\t\t<attribute name = \"DeviceId\" value = \"DTM7781\" />"},
        {"self-closing, value first", "\t\t\t<attribute value=\"DTM7781\" name=\"DeviceDTM\"/>"},
        {"tabs between", "\t\t\t<attribute\tname=\"DeviceId\"\tvalue=\"DTM7781\"\t/>"},
        {"second element of the line",
         "\t\t\t<attribute name=\"Note\" value=\"DTM\"/><attribute name=\"DeviceDTM\" "
         "value=\"DTM7781\"/>"},
        {"lower case name", "\t\t\t<attribute name=\"deviceid\" value=\"DTM7781\"></attribute>"},
    };
    for (const auto& c : cases) {
        const Matched result =
            run(oneDtmWithId("DTM7781"), dataBlock({deviceVariable("PMEDWL_A", {c.child})}));
        EXPECT_FALSE(result.failure.has_value()) << c.what << ": " << result.failure->boxText;
        EXPECT_EQ(result.match.ioddtMatchCount[1], 1) << c.what;
        EXPECT_EQ(result.match.ioddtVarName[1], "PMEDWL_A") << c.what;
        EXPECT_EQ(result.match.ioddtVarType[1], "T_PMEDWL_A") << c.what;
        EXPECT_EQ(result.report,
                  "\r\n       Found IODDT DeviceID(1)='DTM7781 on line number = 5"
                  "\r\n       Found IODDT variable Name(1)='PMEDWL_A'    Type(1)='T_PMEDWL_A'")
            << c.what;
    }
}

TEST(IoddtMatch, TextThatOnlyLooksLikeTheIdCarriesNothing) {
    // Beside the DTM's variable (its id under another attribute name), a variable whose
    // comment, initial values or attributes hold the id's text without carrying it: the DTM
    // still has exactly one device variable.
    const struct {
        const char* what;
        std::string id;
        std::vector<std::string> children;
    } cases[] = {
        {"comment", "1", {"\t\t\t<comment>DTM 1 of rack 0</comment>"}},
        {"comment over two lines",
         "1",
         {"\t\t\t<comment>Station 1", "<attribute name=\"DeviceId\" value=\"1\"></comment>"}},
        {"variableInit", "1", {"\t\t\t<variableInit value=\"1\"></variableInit>"}},
        {"instanceElementDesc [1]",
         "1",
         {"\t\t\t<instanceElementDesc name=\"[1]\">", "\t\t\t\t<value>1</value>",
          "\t\t\t</instanceElementDesc>"}},
        {"member Speed1",
         "1",
         {"\t\t\t<instanceElementDesc name=\"Speed1\">", "\t\t\t\t<value>0</value>",
          "\t\t\t</instanceElementDesc>"}},
        {"value that contains the id",
         "DTM7781",
         {"\t\t\t<attribute name=\"DeviceDTM\" value=\"DTM77810\"></attribute>"}},
        {"the id as the attribute's name",
         "DTM7781",
         {"\t\t\t<attribute name=\"DTM7781\" value=\"Pump\"></attribute>"}},
        {"another element's value", "DTM7781", {"\t\t\t<variableInit value=\"DTM7781\"/>"}},
    };
    for (const auto& c : cases) {
        const Matched result = run(
            oneDtmWithId(c.id),
            dataBlock({deviceVariable("Decoy", c.children),
                       deviceVariable("PMEDWL_A", {"\t\t\t<attribute name=\"DeviceDTM\" value=\"" +
                                                   c.id + "\"></attribute>"})}));
        EXPECT_FALSE(result.failure.has_value()) << c.what << ": " << result.failure->boxText;
        EXPECT_EQ(result.match.ioddtMatchCount[1], 1) << c.what;
        EXPECT_EQ(result.match.ioddtVarName[1], "PMEDWL_A") << c.what;
    }
}

TEST(IoddtMatch, TheDeviceIdAttributeOutranksAnotherAttributeWithTheSameValue) {
    // A project whose DTM variable carries its id as "DeviceId" keeps converting when another
    // variable has an attribute of its own that happens to hold the same value; without a
    // "DeviceId" anywhere, that other attribute is what names the variable, and two such are
    // too many.
    const std::vector<std::string> deviceId{
        "\t\t\t<attribute name=\"DeviceId\" value=\"7\"></attribute>"};
    const std::vector<std::string> other{"\t\t\t<attribute name=\"Station\" value=\"7\"/>"};
    const struct {
        const char* what;
        std::vector<std::vector<std::string>> variables;
        std::string name;  // empty: refused as more than one
        int idLine;
    } cases[] = {
        {"other first",
         {deviceVariable("Pump", other), deviceVariable("PMEDWL_A", deviceId)},
         "PMEDWL_A",
         8},
        {"DeviceId first",
         {deviceVariable("PMEDWL_A", deviceId), deviceVariable("Pump", other)},
         "PMEDWL_A",
         5},
        {"two others", {deviceVariable("Pump", other), deviceVariable("PMEDWL_A", other)}, "", 0},
    };
    for (const auto& c : cases) {
        const Matched result = run(oneDtmWithId("7"), dataBlock(c.variables));
        if (c.name.empty()) {
            ASSERT_TRUE(result.failure.has_value()) << c.what;
            EXPECT_NE(result.failure->boxText.find("Found more than one DTM variable TYPE"),
                      std::string::npos)
                << c.what;
            continue;
        }
        EXPECT_FALSE(result.failure.has_value()) << c.what;
        EXPECT_EQ(result.match.ioddtMatchCount[1], 1) << c.what;
        EXPECT_EQ(result.match.ioddtVarName[1], c.name) << c.what;
        // The report names the variable that counts, and only that one.
        EXPECT_EQ(result.report, "\r\n       Found IODDT DeviceID(1)='7 on line number = " +
                                     std::to_string(c.idLine) +
                                     "\r\n       Found IODDT variable Name(1)='" + c.name +
                                     "'    Type(1)='T_" + c.name + "'")
            << c.what;
    }
}

TEST(IoddtMatch, WithoutAClosingDataBlockLineTheChecksRunAtTheEnd) {
    // A data block that never closes, or no data block at all: the checks run once, at the end
    // of the file, rather than not at all.
    std::vector<std::string> unclosed = dataBlock({variable("PMEDWL_X", "1")});
    unclosed.erase(unclosed.end() - 2);
    const std::vector<std::string> none{"<FEFExchangeFile>", "</FEFExchangeFile>"};
    const std::string file = "  ERROR: File '" + kXef + "'";
    const struct {
        const char* what;
        std::vector<std::string> lines;
        std::string box;
    } cases[] = {
        {"unclosed", unclosed, file + " DTM variable Name does not match IBS IODDT DTM(1)"},
        {"no data block", none, file + " Found no DTM variable TYPE to match IBS IODDT DTM(1)"},
    };
    for (const auto& c : cases) {
        const Matched result = run(twoDtms(1), c.lines);
        ASSERT_TRUE(result.failure.has_value()) << c.what;
        EXPECT_EQ(result.failure->boxText, c.box) << c.what;
    }
    std::vector<std::string> good = dataBlock({variable("PMEDWL_A", "1")});
    good.erase(good.end() - 2);
    EXPECT_FALSE(run(twoDtms(1), good).failure.has_value());
}

TEST(IoddtMatch, EveryClosingDataBlockLineChecksWhatWasFoundUpToIt) {
    std::vector<std::string> lines = dataBlock({});
    const std::vector<std::string> second = dataBlock({variable("PMEDWL_A", "1")});
    lines.insert(lines.end() - 1, second.begin() + 1, second.end() - 1);
    const Matched result = run(twoDtms(1), lines);
    ASSERT_TRUE(result.failure.has_value());
    EXPECT_NE(result.failure->boxText.find("Found no DTM variable TYPE"), std::string::npos);
}

}  // namespace
