#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extractor/passes/comm_call_census.h"

namespace {

using extractor::CensusPass;
using extractor::InstanceKind;
using extractor::kindIndex;

struct Census {
    std::vector<std::string> file;
    extractor::CommCallCensus tables;
};

Census take(const std::vector<std::string>& lines) {
    Census census;
    CensusPass pass([&](std::string_view line) { census.file.emplace_back(line); });
    for (const std::string& line : lines) {
        pass.line(line);
    }
    census.tables = pass.census();
    return census;
}

TEST(CommCallCensus, CallInTheThirdDfbOnLine812) {
    std::vector<std::string> lines(811,
                                   "\t\t\t<variables name=\"x\" typeName=\"INT\"></variables>");
    lines[10] = "\t<FBSource nameOfFBType=\"First\" version=\"0.01\">";
    lines[20] = "\t<FBSource nameOfFBType=\"Second\" version=\"0.01\">";
    lines[30] = "\t<FBSource nameOfFBType=\"Pump_Ctrl\" version=\"0.01\">";
    lines.push_back("  SEND_REQ(ADDR('0.3.0.5'), 16#31, Emis, Gest, Recp);");
    const Census census = take(lines);
    ASSERT_EQ(census.file.size(), 1u);
    EXPECT_EQ(census.file[0], "DFB: Pump_Ctrl (static1) dfb_send_req_count(3) =  1  line = 812");
    EXPECT_EQ(census.tables.dfbs.size(), 3u);
    EXPECT_EQ(census.tables.dfbs[2].calls[kindIndex(InstanceKind::StaticSendReq)], 1);
}

TEST(CommCallCensus, EveryKindInSectionsAndDfbs) {
    const Census census = take({
        "send_req(Route, 16#31, Emis, Gest, Recp);",  // before the first section: section 0
        "\t\t<identProgram name=\"Main\" type=\"section\" task=\"MAST\"></identProgram>",
        "SEND_REQ(ADDR('0.3.0.SYS'), 16#31, Emis, Gest, Recp);",
        "READ_VAR(ADDR('0.3.0.7'), 'PMS', 3, 1, Gest, Tab);",
        "READ_VAR(Route, 'PMS', 3, 1, Gest, Tab);",
        "WRITE_VAR(ADDR('0.3.0.7'), 'PMS', 3, 1, Data, Gest);",
        "write_var(Route, 'pms', 3, 1, Data, Gest);",
        "\t\t<identProgram name=\"Second\" type=\"section\" task=\"MAST\"></identProgram>",
        "READ_VAR(MyAddrVar, 'PMS', 3, 1, Gest, Tab);",
        "\t<FBSource nameOfFBType=\"Comms\" version=\"0.01\">",
        "READ_VAR(Route, 'PMS', 3, 1, Gest, Tab);",
        "WRITE_VAR(Route, 'PMS', 3, 1, Data, Gest);",
        "READ_VAR(ADDR('0.3.0.2'), 'PMS', 3, 1, Gest, Tab);",
        "SEND_REQ(Route, 16#31, Emis, Gest, Recp);",
    });
    const std::vector<std::string> expected = {
        "Section:  (dynamic4) sec_Send_Req_Instance(1) =  0  line = 1",
        "Section: Main (static2) sec_Send_Req_Instance(1) =  1  line = 3",
        "Section: Main (static6) sec_Read_Var_Instance(1) =  1  line = 4",
        "Section: Main (dynamic8) sec_read_var_count(1) =  1  line = 5",
        "Section: Main (static10) sec_WRITE_VAR_Instance(1) =  1  line = 6",
        "Section: Main (dynamic12) sec_write_var_count(1) =  1  line = 7",
        // ADDR anywhere on the line makes a call static, even inside a variable name.
        "Section: Second (static6) sec_Read_Var_Instance(2) =  2  line = 9",
        "DFB: Comms (dynamic7) dfb_read_var_count(1) =  1  line = 11",
        "DFB: Comms (dynamic11) dfb_write_var_count(1) =  1  line = 12",
        "DFB: Comms (static5) dfb_Read_Var_count(1) =  1  line = 13",
        "DFB: Comms (dynamic3) dfb_send_req_count(1) =  1  line = 14",
    };
    EXPECT_EQ(census.file, expected);
    EXPECT_EQ(census.tables.sectionCount(), 2);
    EXPECT_EQ(census.tables.sectionCalls[kindIndex(InstanceKind::StaticReadVar)],
              (std::vector<int>{1, 2}));
    EXPECT_EQ(census.tables.sectionCalls[kindIndex(InstanceKind::DynamicSendReq)],
              (std::vector<int>{0}));
}

// A block drawn by its type alone counts once a pin of it wires ADDR(...), as the rewrite
// replaces it; a one-line element or one wired to a variable does not.
TEST(CommCallCensus, BlocksNamedByTheirTypeAlone) {
    const Census census = take({
        "\t\t<identProgram name=\"Drawn\" type=\"section\" task=\"MAST\"></identProgram>",
        "\t\t<FBDSource>",
        "\t\t\t<FFBBlock instanceName=\"FBI_1\" typeName=\"READ_VAR\"></FFBBlock>",
        "\t\t\t<FFBBlock instanceName=\"FBI_2\" typeName=\"WRITE_VAR\">",
        "\t\t\t\t<inputVariable formalParameter=\"ADR\" "
        "effectiveParameter=\"ADDR('0.3.0.5')\"></inputVariable>",
        "\t\t\t</FFBBlock>",
        "\t\t\t<FFBBlock instanceName=\"FBI_3\" typeName=\"READ_VAR\">",
        "\t\t\t\t<inputVariable formalParameter=\"ADR\" "
        "effectiveParameter=\"Route\"></inputVariable>",
        "\t\t\t</FFBBlock>",
        "\t\t</FBDSource>",
    });
    ASSERT_EQ(census.file.size(), 1u);
    EXPECT_EQ(census.file[0], "Section: Drawn (static10) sec_WRITE_VAR_Instance(1) =  1  line = 5");
    EXPECT_TRUE(census.tables.sectionCalls[kindIndex(InstanceKind::StaticReadVar)].empty());
}

TEST(CommCallCensus, LinesThatAreNoCalls) {
    const Census census = take({
        "\t\t<identprogram name=\"Other\"></identprogram>",  // another case: no section start
        "READ_VAR(ADDR('0.3.0.7'), 3, 1, Gest, Tab);",       // no 'PMS': not counted
        "<EFSource name=\"SEND_REQ(\"></EFSource>",          // the block's own declaration
        "SEND_REQ (ADDR('0.3.0.1'));",                       // a blank before the bracket
    });
    EXPECT_TRUE(census.file.empty());
    EXPECT_EQ(census.tables.sectionCount(), 0);
}

TEST(CommCallCensus, TablesGrowBeyondAHundred) {
    std::vector<std::string> lines;
    for (int section = 1; section <= 150; ++section) {
        lines.push_back("<identProgram name=\"S" + std::to_string(section) + "\">");
        lines.push_back("SEND_REQ(ADDR('0.3.0.1'), 1, E, G, R);");
        lines.push_back("SEND_REQ(ADDR('0.3.0.2'), 1, E, G, R);");
        lines.push_back("<FBSource nameOfFBType=\"D" + std::to_string(section) + "\">");
    }
    const Census census = take(lines);
    EXPECT_EQ(census.tables.sectionCount(), 150);
    EXPECT_EQ(census.tables.dfbs.size(), 150u);
    const auto& calls = census.tables.sectionCalls[kindIndex(InstanceKind::StaticSendReq)];
    ASSERT_EQ(calls.size(), 300u);
    EXPECT_EQ(calls[299], 150);
    EXPECT_EQ(census.file.back(),
              "Section: S150 (static2) sec_Send_Req_Instance(300) =  150  "
              "line = 599");
    EXPECT_EQ(census.tables.dfbNumber("D77"), 77);
    EXPECT_EQ(census.tables.dfbNumber("D"), 0);
}

}  // namespace
