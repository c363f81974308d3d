// The third pass, the IBY-to-IBS rewrite, line by line.

#include "converter/conversion/rewrite_line.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using vornick::Inventory;
using vornick::RewriteState;
using Lines = std::vector<std::string>;

Inventory inventoryOf(int modules) {
    Inventory inventory;
    inventory.moduleCount = inventory.ibyCount = inventory.dtmCount = modules;
    inventory.IBYrack[1] = 0;
    inventory.IBYslot[1] = 3;
    inventory.ibySuffix[1] = "_d0_s3";
    inventory.dtmEntryName[1] = "PMEDWL_A";
    inventory.dtmIpAddress[1] = "192.168.10.3";
    if (modules == 2) {
        inventory.IBYrack[2] = 1;
        inventory.IBYslot[2] = 5;
        inventory.ibySuffix[2] = "_d1_s5";
        inventory.dtmEntryName[2] = "PMEDWL_B";
        inventory.dtmIpAddress[2] = "192.168.10.5";
    }
    return inventory;
}

struct Pass {
    explicit Pass(int modules = 1)
        : inventory(inventoryOf(modules)), state(vornick::startRewrite(inventory)) {}

    Lines feed(const Lines& lines) {
        Lines out;
        for (const std::string& line : lines) {
            vornick::rewriteProjectLine(state, inventory, line, out, log);
        }
        return out;
    }

    Inventory inventory;
    RewriteState state;
    std::string report;
    std::ostringstream console;
    vornick::ConversionLog log{report, console};
};

TEST(RewriteLine, RenamesTheIbyCodeAfterTheDtmEntry) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"IF IBY_DIO_d0_s3.Freshness THEN", "IF PMEDWL_A.Freshness THEN"},
        {"IBY_IODDT_IN_d0_s3 (IBY_DIO_d0_s3, IBY_Manage_d0_s3);",
         "IBS_IODDT_IN_PMEDWL_A (PMEDWL_A, IBS_Manage_PMEDWL_A);"},
        {"IBY_Layout_Xfer_d0_s3 (DIOiby := IBY_DIO_d0_s3, Manage := IBY_Manage_d0_s3);",
         "IBS_Layout_Xfer_PMEDWL_A (DIOibs := PMEDWL_A, Manage := IBS_Manage_PMEDWL_A);"},
        {"\t\t<variables name=\"IBY_Layout_CRC_d0_s3\" typeName=\"IBY_Layout_CRC\"></variables>",
         "\t\t<variables name=\"IBS_Layout_CRC_PMEDWL_A\" "
         "typeName=\"IBS_Layout_CRC\"></variables>"},
        {"\t<FBSource nameOfFBType=\"IBY_Layout_Xfer\" version=\"0.22\">",
         "\t<FBSource nameOfFBType=\"IBS_Layout_Xfer\" version=\"0.22\">"},
        {"\t\t\t<variables name=\"Channel\" typeName=\"IBY_channel\"></variables>",
         "\t\t\t<variables name=\"Channel\" typeName=\"IBS_Channel\"></variables>"},
        {"x := IBY_Data_IN;", "x := IBS_IODDT_IN;"},
        {"IBY_Update_Module_d0_s3();", "IBS_Manage_PMEDWL_A();"},
        // The communication calls: instance names and the module's IP address.
        {"IBY_SEND_REQ_1(254,'IBYSENDREQIPd0_s3', 16#31, Emis, Gest, Recp);",
         "IBS_SEND_REQ_1(254,'192.168.10.3', 16#31, Emis, Gest, Recp);"},
        {"IBY_READ_VAR_1(7, 'IBYREADVARIPd0_s3', 3, 1, GEST, TAB);",
         "IBS_READ_VAR_1(7, '192.168.10.3', 3, 1, GEST, TAB);"},
        {"IBY_WRITE_VAR_2(7, 'IBYWRITEVARIPd0_s3', 3, 1, Data, GEST);",
         "IBS_WRITE_VAR_2(7, '192.168.10.3', 3, 1, Data, GEST);"},
        // The first module's sections.
        {"\t\t<identProgram name=\"IBY_IN_d0_s3\" type=\"section\" task=\"MAST\"></identProgram>",
         "\t\t<identProgram name=\"IBS_IN_PMEDWL_A\" type=\"section\" "
         "task=\"MAST\"></identProgram>"},
        {"\t\t\t\t<sectionDesc name=\"IBY_LOAD_d0_s3\" SectionOrder=\"2\"></sectionDesc>",
         "\t\t\t\t<sectionDesc name=\"IBS_LOAD_PMEDWL_A\" SectionOrder=\"2\"></sectionDesc>"},
        {"\t\t\t\t<sectionDesc name=\"IBS_Config_0_3\" SectionOrder=\"3\"></sectionDesc>",
         "\t\t\t\t<sectionDesc name=\"IBS_Config_PMEDWL_A\" SectionOrder=\"3\"></sectionDesc>"},
        // Letter case does not matter to a rename.
        {"iby_in_x := 1;", "IBS_IN_x := 1;"},
        // A suffix that merely begins like the module's stays.
        {"IBY_Manage_d0_s31.Active", "IBS_Manage_d0_s31.Active"},
        // The IP placeholders of the dynamic blocks.
        {"\t\t\t\t<variableInit value=\"PMEDWLIP1\"></variableInit>",
         "\t\t\t\t<variableInit value=\"192.168.10.3\"></variableInit>"},
        // Outside a data block, a T_IBY_DIO parameter takes the DTM's device type.
        {"\t\t\t<variables name=\"DIOiby\" typeName=\"T_IBY_DIO\">",
         "\t\t\t<variables name=\"DIOibs\" typeName=\"T_PMEDWL_A\">"},
    };
    for (const auto& c : cases) {
        Pass pass;
        EXPECT_EQ(pass.feed({c.in}), Lines{c.out}) << c.in;
    }
}

TEST(RewriteLine, TheSecondModuleKeepsItsSectionSuffixes) {
    Pass pass(2);
    EXPECT_EQ(pass.feed({"IBY_IN_d1_s5 IBY_LOAD_d1_s5 IBY_OUT_d1_s5 IBY_IN_d0_s3",
                         "IBY_Manage_d1_s5 IBY_DIO_d1_s5 'IBYREADVARIPd1_s5'"}),
              (Lines{"IBS_IN_d1_s5 IBS_LOAD_d1_s5 IBS_OUT_d1_s5 IBS_IN_PMEDWL_A",
                     "IBS_Manage_PMEDWL_B PMEDWL_B '192.168.10.5'"}));
}

TEST(RewriteLine, EachIpPlaceholderTakesTheAddressOfTheModuleItNames) {
    // The Premium conversion met the module at rack 1 slot 5 first: its placeholder is
    // "PMEDWLIP1", though its DTM entry is the second.
    Pass pass(2);
    pass.inventory.placeholderDtm = {0, 2, 1};
    EXPECT_EQ(pass.feed({"\t\t\t\t<variableInit value=\"PMEDWLIP1\"></variableInit>",
                         "\t\t\t\t<variableInit value=\"PMEDWLIP2\"></variableInit>"}),
              (Lines{"\t\t\t\t<variableInit value=\"192.168.10.5\"></variableInit>",
                     "\t\t\t\t<variableInit value=\"192.168.10.3\"></variableInit>"}));
}

TEST(RewriteLine, WithOneModuleTheSecondPlaceholderBecomesTheFirstDtmName) {
    // "PMEDWLIP2" takes the second module's address, "Not yet set"; until the first module's
    // device variable has been met, that text is its variable's name and so turns into the
    // first DTM's name.
    Pass pass;
    EXPECT_EQ(pass.feed({"\t\t\t\t<variableInit value=\"PMEDWLIP2\"></variableInit>"}),
              Lines{"\t\t\t\t<variableInit value=\"PMEDWL_A\"></variableInit>"});
}

TEST(RewriteLine, TheExchangeCallGoesInFrontOfEachMarker) {
    const Lines readCall{
        "\tDATA_EXCH (ADR := ADDM(ADDMstring) (*ANY_ARRAY_INT*),", "       \t\tTYP := 1 (*INT*),",
        "       \t\tEMIS := EMIS (*ANY_ARRAY_INT*),", "       \t\tGEST := GEST (*ANY_ARRAY_INT*),",
        "       \t\tRECP =&gt; RECP (*ANY_ARRAY_INT*));"};
    const Lines outputCall{"\tDATA_EXCH (ADR := ADDM(ADDMstring) (*ANY_ARRAY_INT*),",
                           "\t\tTYP := 1 (*INT*),", "\t\tEMIS := Output_Data (*ANY_ARRAY_INT*),",
                           "\t\tGEST := GEST (*ANY_ARRAY_INT*),",
                           "\t\tRECP =&gt; RECP (*ANY_ARRAY_INT*));"};
    const auto followedBy = [](Lines call, const std::string& marker) {
        call.push_back(marker);
        return call;
    };
    for (const char* marker : {"(* READ_VAR_DATA_EXCH  *)"}) {
        EXPECT_EQ(Pass().feed({marker}), followedBy(readCall, marker));
    }
    for (const char* marker : {"(* WRITE_VAR_DATA_EXCH  *)", "(* SEND_REQ_DATA_EXCH  *)",
                               "(* DYNAMIC_SEND_REQ_DATA_EXCH  *)"}) {
        EXPECT_EQ(Pass().feed({marker}), followedBy(outputCall, marker)) << marker;
    }
}

TEST(RewriteLine, TheDeviceTypesLeaveTheProjectWhole) {
    Pass pass;
    const Lines out = pass.feed({
        "\t<DDTSource DDTName=\"T_IBY_DIO\" version=\"1.00\">",
        "\t\t<structure>",
        "\t\t\t<variables name=\"Inputs\" typeName=\"T_IBY_DIO_IN\">",
        "\t\t\t</variables>",
        "\t\t</structure>",
        "\t</DDTSource>",
        "\t<DDTSource DDTName=\"T_PMEDWL_A\" version=\"1.00\">",
        "\t</DDTSource>",
    });
    EXPECT_EQ(out,
              (Lines{"\t<DDTSource DDTName=\"T_PMEDWL_A\" version=\"1.00\">", "\t</DDTSource>"}));
    EXPECT_EQ(pass.state.skipState, vornick::Skip::None);
}

TEST(RewriteLine, TheDeviceVariableLeavesTheDataBlockAndItsNameTakesTheDtmName) {
    for (const Lines& declaration :
         {Lines{"\t\t<variables name=\"IBY_DIO_d0_s3\" typeName=\"T_IBY_DIO\"></variables>"},
          Lines{"\t\t<variables name=\"IBY_DIO_d0_s3\" typeName=\"T_IBY_DIO\">",
                "\t\t\t<comment>Device of the Premium IBY100</comment>",
                "\t\t\t<variableInit value=\"0\"></variableInit>", "\t\t</variables>"}}) {
        Pass pass;
        Lines in{"\t<dataBlock>"};
        in.insert(in.end(), declaration.begin(), declaration.end());
        in.push_back(
            "\t\t<variables name=\"IBY_Manage_d0_s3\" typeName=\"IBY_Manage\"></variables>");
        in.push_back("\t</dataBlock>");
        EXPECT_EQ(pass.feed(in),
                  (Lines{"\t<dataBlock>",
                         "\t\t<variables name=\"IBS_Manage_PMEDWL_A\" typeName=\"IBS_Manage\">"
                         "</variables>",
                         "\t</dataBlock>"}));
        EXPECT_EQ(pass.state.ibyDioVarName[1], "IBY_DIO_d0_s3");
    }
}

TEST(RewriteLine, ADeviceVariableOfAnotherNameIsRenamedWhereverItIsUsed) {
    Pass pass;
    const Lines out = pass.feed({
        "\t<dataBlock>",
        "\t\t<variables name=\"Rack0Slot3_d0_s3\" typeName=\"T_IBY_DIO\"></variables>",
        "\t</dataBlock>",
        "IF rack0slot3_d0_s3.Freshness THEN",
    });
    EXPECT_EQ(out, (Lines{"\t<dataBlock>", "\t</dataBlock>", "IF PMEDWL_A.Freshness THEN"}));
}

TEST(RewriteLine, TheCountHoldsEveryReplacementEvenOnDroppedLines) {
    Pass pass;
    pass.feed({"IBY_SEND_REQ_1(254,'IBYSENDREQIPd0_s3');",  // 2
               "\t<DDTSource DDTName=\"T_IBY_DIO\">",       // 1: IBY_DIO
               "\t</DDTSource>"});
    EXPECT_EQ(pass.state.replacementCount, 3);
}

TEST(RewriteLine, AMarkerInADroppedStretchTakesItsCallWithIt) {
    Pass pass;
    EXPECT_EQ(pass.feed({"\t<DDTSource DDTName=\"T_IBY_DIO\">", "(* READ_VAR_DATA_EXCH  *)",
                         "\t</DDTSource>", "end"}),
              Lines{"end"});
}

}  // namespace

namespace {

TEST(RewriteLine, ADtmNameHoldingTheNamesItReplacesCannotMultiplyALine) {
    Pass pass;
    std::string name;
    for (int i = 0; i < 4; ++i) {
        name += "IBS_READ_VAR_d0_s3IBS_SEND_REQ_d0_s3IBS_WRITE_VAR_d0_s3IBS_Layout_CRC_d0_s3";
    }
    pass.inventory.dtmEntryName[1] = name;
    pass.state = vornick::startRewrite(pass.inventory);
    std::string line;
    for (int i = 0; i < 1000; ++i) {
        line += "IBY_Manage_d0_s3 ";
    }
    const Lines out = pass.feed({"first", line});
    EXPECT_EQ(pass.state.overgrownLine, 2);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_LT(out[1].size(), line.size() * 16 + (1u << 20));
}

}  // namespace
