// Key lines of "_config.xsy", "_map.xsy", "_init.xst" and "_excel.csv".

#include <gtest/gtest.h>

#include <algorithm>

#include "svc_fixture.h"

namespace svc::testing {
namespace {

const std::string kConfigPrefix = "\tIBS_Manage_d0_s0.Config[IBS_Manage_d0_s0.Entry].";
const std::string kMapPrefix = "\tIBS_Manage_d0_s0.Map[IBS_Manage_d0_s0.Entry].";
const std::string kNextEntry = "\tIBS_Manage_d0_s0.Entry := IBS_Manage_d0_s0.Entry + 1;";
// The hexadecimal map assignments all end at column 77: seven blanks to the zone at 84.
const std::string kHexZone(7, ' ');
// The decimal Start_Bit and Data_Consistancy assignments end at column 71.
const std::string kDecimalZone(13, ' ');

const char* const kOutputSuffixes[] = {"_parse.txt", "_config.xsy", "_map.xsy", "_init.xst",
                                       "_excel.csv"};

// `expected` must follow `from` in `lines`, line after line.
void expectLinesAt(const std::vector<std::string>& lines, const std::string& from,
                   const std::vector<std::string>& expected) {
    const int at = indexOf(lines, from);
    ASSERT_GE(at, 0) << from;
    ASSERT_LE(static_cast<std::size_t>(at) + 1 + expected.size(), lines.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[static_cast<std::size_t>(at) + 1 + i], expected[i]) << "after " << from;
    }
}

std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines,
                                           const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

std::vector<std::string> memberValue(const std::string& member, const std::string& value) {
    return {"\t\t\t\t<instanceElementDesc name=\"" + member + "\">",
            "\t\t\t\t\t<value>" + value + "</value>", "\t\t\t\t</instanceElementDesc>"};
}

class SvcBusOutputs : public ::testing::Test {
  protected:
    void SetUp() override {
        decoded_ = decode(folder_, "bus", busRecords(), busModule);
        ASSERT_TRUE(decoded_.result.ok) << decoded_.result.errorText;
    }
    ScratchFolder folder_;
    Decoded decoded_;
};

TEST_F(SvcBusOutputs, ExchangeFilesAreWellFormedWithCrLfLines) {
    for (const char* suffix : {"_config.xsy", "_map.xsy", "_init.xst"}) {
        const std::string text = decoded_.output(suffix);
        EXPECT_EQ(xmlProblem(text), "") << suffix;
        crlfLines(text);
    }
    crlfLines(decoded_.output("_parse.txt"));
    crlfLines(decoded_.output("_excel.csv"));
}

TEST_F(SvcBusOutputs, ConfigVariableHasOneElementPerDevice) {
    const std::vector<std::string> lines = decoded_.lines("_config.xsy");
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>");
    EXPECT_EQ(lines[1], "<VariablesExchangeFile>");
    EXPECT_EQ(lines[4], "\t<dataBlock>");
    EXPECT_EQ(lines[5],
              "\t\t<variables name=\"IBS_Config_d0_s0\" typeName=\"ARRAY[0..511] OF "
              "IBS_Config_Node\">");
    EXPECT_EQ(linesStartingWith(lines, "\t\t\t<instanceElementDesc name=").size(), 4u);
    EXPECT_EQ(indexOf(lines, "\t\t\t<instanceElementDesc name=\"[4]\">"), -1);
    // Device 1.3 is element [2] and carries the PCP attributes of node 2.
    std::vector<std::string> element;
    for (const auto& [member, value] :
         std::vector<std::pair<std::string, std::string>>{{"Segment_Number", "1"},
                                                          {"Segment_Position", "3"},
                                                          {"Module_ID", "193"},
                                                          {"DP_Word_Count", "1"},
                                                          {"Device_Level", "0"},
                                                          {"Logical_Group", "0"},
                                                          {"Alternative", "0"},
                                                          {"PCP_TX_Max_PDU", "64"},
                                                          {"PCP_RX_Max_PDU", "0"}}) {
        const std::vector<std::string> lines3 = memberValue(member, value);
        element.insert(element.end(), lines3.begin(), lines3.end());
    }
    element.insert(element.end(),
                   {"\t\t\t\t<instanceElementDesc name=\"PCP_Services\">",
                    "\t\t\t\t\t<instanceElementDesc name=\"[0]\">",
                    "\t\t\t\t\t\t<value>144</value>", "\t\t\t\t\t</instanceElementDesc>"});
    expectLinesAt(lines, "\t\t\t<instanceElementDesc name=\"[2]\">", element);
    EXPECT_EQ(linesStartingWith(lines, "\t<DDTSource "),
              (std::vector<std::string>{"\t<DDTSource DDTName=\"IBS_Config_Node\" version=\"0.02\" "
                                        "dateTime=\"dt#12018-10-30-10:16:21\">",
                                        "\t<DDTSource DDTName=\"IBYchannel\" version=\"0.02\" "
                                        "dateTime=\"dt#12019-03-13-23:19:41\">",
                                        "\t<DDTSource DDTName=\"IBYmodule\" version=\"0.05\" "
                                        "dateTime=\"dt#12019-03-13-23:57:35\">",
                                        "\t<DDTSource DDTName=\"IBS_Map_Entry\" version=\"0.01\" "
                                        "dateTime=\"dt#12018-11-29-19:32:36\">",
                                        "\t<DDTSource DDTName=\"IBY_Manage\" version=\"0.03\" "
                                        "dateTime=\"dt#12019-03-25-12:16:35\">"}));
    EXPECT_EQ(countOf(lines, "\t\t\t<variables name=\"Name\" typeName=\"STRING[10]\"></variables>"),
              1);
    EXPECT_EQ(countOf(lines,
                      "\t\t\t<variables name=\"Map\" typeName=\"ARRAY[0..511] OF "
                      "IBY_Map_Entry\"></variables>"),
              1);
    EXPECT_EQ(lines.back(), "</VariablesExchangeFile>");
}

TEST_F(SvcBusOutputs, MapVariableHasOneElementPerEntryInHexadecimal) {
    const std::vector<std::string> lines = decoded_.lines("_map.xsy");
    EXPECT_EQ(lines[5],
              "\t\t<variables name=\"IBS_Map_d0_s0\" typeName=\"ARRAY[0..511] OF "
              "IBS_Map_Entry\">");
    EXPECT_EQ(linesStartingWith(lines, "\t\t\t<instanceElementDesc name=").size(), 3u);
    std::vector<std::string> element;
    for (const auto& [member, value] :
         std::vector<std::pair<std::string, std::string>>{{"PDR_Index", "16#8001"},
                                                          {"Source_Number", "16#0201"},
                                                          {"Source_Index", "16#6010"},
                                                          {"Destination_Number", "16#0102"},
                                                          {"Destination_Index", "16#6011"},
                                                          {"Start_Bit", "16#0000"},
                                                          {"Data_Consistancy", "0"}}) {
        const std::vector<std::string> lines3 = memberValue(member, value);
        element.insert(element.end(), lines3.begin(), lines3.end());
    }
    element.push_back("\t\t\t</instanceElementDesc>");
    element.push_back("\t\t</variables>");
    expectLinesAt(lines, "\t\t\t<instanceElementDesc name=\"[2]\">", element);
    const std::vector<std::string> types = linesStartingWith(lines, "\t<DDTSource DDTName=");
    ASSERT_EQ(types.size(), 5u);
    EXPECT_NE(types[1].find("\"IBS_Map_Entry\""), std::string::npos);
    EXPECT_NE(types[2].find("\"IBYchannel\""), std::string::npos);
    EXPECT_NE(types[4].find("\"IBY_Manage\" version=\"0.04\""), std::string::npos);
}

TEST_F(SvcBusOutputs, InitSectionLoadsDevicesAndMapEntries) {
    const std::vector<std::string> lines = decoded_.lines("_init.xst");
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[1], "<STExchangeFile>");
    EXPECT_EQ(lines[5],
              "\t\t<identProgram name=\"IBS_Init_d0_s0\" type=\"section\" "
              "task=\"MAST\"></identProgram>");
    EXPECT_EQ(lines[6], "\t<STSource>(* Configure PMEDWL Module *)");
    EXPECT_EQ(lines[7], "if %S21 or %S0 or %S1 then");
    EXPECT_EQ(lines[8], "\tIBS_Manage_d0_s0.Entry := 0;");
    EXPECT_EQ(lines[9], kConfigPrefix + "Segment_Number :=   1;");

    EXPECT_EQ(linesStartingWith(lines, kConfigPrefix + "Segment_Number :=   ").size(), 4u);
    EXPECT_EQ(countOf(lines, kConfigPrefix + "Module_ID :=        2;\t(*  Input *)"), 1);
    EXPECT_EQ(countOf(lines, kConfigPrefix + "Module_ID :=        193;\t(* PCP Input+Output *)"),
              1);
    EXPECT_EQ(countOf(lines, kConfigPrefix + "DP_Word_Count :=    16#0002;\t(* 2 Word *)"), 2);
    EXPECT_EQ(countOf(lines, kConfigPrefix + "PCP_TX_Max_PDU :=   64;"), 1);
    EXPECT_EQ(countOf(lines, kConfigPrefix + "PCP_Services[0] :=  16#90;"), 1);
    EXPECT_EQ(countOf(lines, kConfigPrefix + "Name :=             'Node_2.1';"), 1);
    EXPECT_EQ(countOf(lines, kNextEntry), 7);

    expectLinesAt(
        lines, "\tIBS_Manage_d0_s0.Entry := 0;",
        {kConfigPrefix + "Segment_Number :=   1;", kConfigPrefix + "Segment_Position := 1;"});
    expectLinesAt(lines,
                  "\tIBS_Manage_d0_s0.Config[IBS_Manage_d0_s0.Entry].Segment_Number := 0;\t(* End "
                  "of Config *)",
                  {"", "\t(*  Map PDR_Index Range for IBS INPUT: 16#0000-16#3FFF *)"});
    expectLinesAt(
        lines, "\t(*  Data_Consistancy for Output is 0=16bits, 1=32bits, 2=8bits *)",
        {"", "\tIBS_Manage_d0_s0.Entry := 0;",
         kMapPrefix + "PDR_Index :=           16#0001;" + kHexZone + "\t(* IBS Input *)",
         kMapPrefix + "Source_Number :=       16#0101;" + kHexZone +
             "\t(* Module = 1, Sub-Module = 1  *)",
         kMapPrefix + "Source_Index :=        16#6010;" + kHexZone +
             "\t(* Input always 16#6010  *)",
         kMapPrefix + "Destination_Number :=  16#0200;" + kHexZone +
             "\t(* Start DPM Word = 16#0200 + 0   Inputs.IW[0] - Inputs.IW[1]  *)",
         kMapPrefix + "Destination_Index :=   16#0000;" + kHexZone + "\t(* Input always 0 *)",
         kMapPrefix + "Start_Bit :=           0;",
         kMapPrefix + "Data_Consistancy :=    0;\t\t\t(* 0=16 bits, 1=32 bits, 2=8 bits *)", "",
         kNextEntry,
         kMapPrefix + "PDR_Index :=           16#4001;" + kHexZone + "\t(* IBS Output *)",
         kMapPrefix + "Source_Number :=       16#0000;" + kHexZone +
             "\t(* Start DPM Word = 16#0000 + 0   Outputs.QW[0] *)",
         kMapPrefix + "Source_Index :=        16#0000;" + kHexZone + "\t(* Output always 0 *)",
         kMapPrefix + "Destination_Number :=  16#0102;" + kHexZone +
             "\t(* Module = 1, Sub-Module = 2  *)",
         kMapPrefix + "Destination_Index :=   16#6011;" + kHexZone +
             "\t(* Output always 16#6011 *)"});
    EXPECT_EQ(countOf(lines, kMapPrefix + "Destination_Index :=   16#6011;" + kHexZone +
                                 "\t(* Direct Link *)"),
              1);
    const int endOfMap = indexOf(
        lines,
        "\tIBS_Manage_d0_s0.Map[IBS_Manage_d0_s0.Entry].PDR_Index := 16#0000;\t\t(* End of Map *)");
    ASSERT_GT(endOfMap, 0);
    EXPECT_EQ(lines[static_cast<std::size_t>(endOfMap) - 1], kNextEntry);
    EXPECT_EQ(indexOf(lines, "\t(* Start of Process Data Description *)"), -1);
    EXPECT_EQ(countOf(lines,
                      "IBS_Layout_Xfer_d0_s0 (IBS_d0_s0, IBS_Manage_d0_s0); \t\t(* Move Config and "
                      "Map to PMEDWL *)"),
              1);
    EXPECT_EQ(countOf(lines,
                      "(* PMEDWL_RR_SS.Outputs.PDWL_COMMAND.0 := TRUE;*)  \t\t(* TRUE = Allow OS "
                      "port (503) Modbus Server for all remote IP Addresses *)"),
              1);
    EXPECT_EQ(countOf(lines,
                      "(* PMEDWL_RR_SS.Outputs.PDWL_COMMAND.13 := TRUE;*) \t\t(* TRUE = Allow "
                      "Ethernet/IP Control (44818) for PLC Subnet IP Addresses *)"),
              1);
}

TEST_F(SvcBusOutputs, InitFileCarriesTheDataBlockAndTemplateSetInOrder) {
    const std::vector<std::string> lines = decoded_.lines("_init.xst");
    expectLinesAt(
        lines, "\t</program>",
        {"\t<dataBlock>",
         "\t\t<variables name=\"IBS_Manage_d0_s0\" typeName=\"IBS_Manage\"></variables>",
         "\t\t<variables name=\"IBS_d0_s0\" typeName=\"T_d0_s0\"></variables>",
         "\t\t<variables name=\"IBS_Layout_CRC_d0_s0\" typeName=\"IBS_Layout_CRC\"></variables>",
         "\t\t<variables name=\"IBS_Layout_Xfer_d0_s0\" typeName=\"IBS_Layout_Xfer\"></variables>",
         "\t</dataBlock>",
         "\t<FBSource nameOfFBType=\"IBS_Layout_CRC\" version=\"1.01\" "
         "dateTime=\"dt#2020-02-25-22:05:59\">"});
    std::vector<std::string> order;
    for (const std::string& line : lines) {
        for (const char* head : {"\t<DDTSource DDTName=\"", "\t<FBSource nameOfFBType=\""}) {
            if (line.rfind(head, 0) == 0) {
                const std::size_t start = std::string(head).size();
                order.push_back(line.substr(start, line.find('"', start) - start));
            }
        }
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"IBS_Layout_CRC", "IBS_Manage", "IBS_Config_Node",
                                        "IBS_Map_Entry", "IBS_Channel", "IBS_Module", "T_d0_s0",
                                        "T_d0_s0_IN", "T_d0_s0_OUT", "IBS_Layout_Xfer"}));
    // The CRC table of IBS_Layout_CRC, checked at its telling entries.
    for (const auto& [index, value] : std::vector<std::pair<int, std::string>>{
             {0, "0000"}, {1, "C0C1"}, {2, "C181"}, {128, "A001"}, {255, "4040"}}) {
        expectLinesAt(lines,
                      "\t\t\t\t<instanceElementDesc name=\"[" + std::to_string(index) + "]\">",
                      {"\t\t\t\t\t<value>16#" + value + "</value>"});
    }
    EXPECT_EQ(linesStartingWith(lines, "\t\t\t\t\t<value>16#").size(), 256u);
    EXPECT_EQ(countOf(lines, "\t\t\t<variables name=\"DIOiby\" typeName=\"T_d0_s0\">"), 1);
    EXPECT_EQ(lines.back(), "</STExchangeFile>");
}

TEST_F(SvcBusOutputs, SpreadsheetHasOneRowPerProcessDataWord) {
    EXPECT_EQ(decoded_.lines("_excel.csv"),
              (std::vector<std::string>{
                  "IBS_Main,IBS_Sub,Module_ID,Word_len,PCP_len,PDR(IN),DPM (IN),%IW,PDR(OUT),"
                  "DPM(OUT),%QW",
                  "1,1,2,2,0,x0001,x0200,0.3.0.0,,,",
                  ",,,,,,x0202,0.3.0.1,,,",
                  "1,2,1,1,0,,,,x4001,x0000,0.3.0.0",
                  // A PCP device and a device that no reference names: no dual-port address.
                  "1,3,193,1,4,,,,,,",
                  "2,1,3,2,0,,,,,,",
                  ",,,,,,,,,,",
              }));
}

TEST(SvcOutputs, DescriptionsAreFramedOnceAndCountOnAcrossRecords) {
    const Record descriptions{0x0321,
                              {0x0101, 0x0002, 0x0010, 0x0203, 0x0004, 0x0508, 0x0000, 0x0011,
                               0x0203, 0x0006, 0x0508, 0x0000},
                              {}};
    const Record reference{0x0325, {0x0001, 0x0001, 0x0101, 0x6010, 0x0201, 0x0100, 0x0000}, {}};
    const Record lateDescription{
        0x0321, {0x0101, 0x0001, 0x0012, 0x0203, 0x0008, 0x0508, 0x0000}, {}};
    ScratchFolder folder;
    const Decoded decoded = decode(
        folder, "pdd",
        {configurationRecord(1, {{0x0101, 0x0302}}), descriptions, reference, lateDescription});
    ASSERT_TRUE(decoded.result.ok);
    EXPECT_EQ(decoded.result.mapEntryCount, 4);

    const std::vector<std::string> listing = decoded.lines("_parse.txt");
    const std::string w6 = "      ";
    EXPECT_EQ(countOf(listing, "#0x0101#" + w6 + "  Device = 1.1"), 2);
    EXPECT_EQ(countOf(listing, "#0x0203#" + w6 + "  Data Direction = 2, Data Type = 3"), 3);
    EXPECT_EQ(countOf(listing, "#0x0508#" + w6 + "  Bit Position = 5, Length = 8"), 3);
    EXPECT_EQ(countOf(listing, "#0x0000#" + w6 + "  Extension,Length = 0"), 3);
    EXPECT_EQ(countOf(listing, "  \t\tTotal MAP Count = 4"), 1);
    EXPECT_EQ(countOf(listing, "#0x0201#" + w6 +
                                   "     Destination Address = 513  x201\t\tDPM Location = x0201 "
                                   "- x0205\t%IW0.0.0.0.5 - %IW0.0.0.2.5"),
              1);
    EXPECT_EQ(countOf(listing, "#0x0100#" + w6 +
                                   "     MAP_Start_Bit = 1  DataCons = 0\t\t(16 bit consistancy)"),
              1);

    const std::vector<std::string> init = decoded.lines("_init.xst");
    EXPECT_EQ(countOf(init, "\t(* Start of Process Data Description *)"), 1);
    EXPECT_EQ(countOf(init, "\t(* End of Process Data Description *)"), 1);
    expectLinesAt(
        init, "\t(* Start of Process Data Description *)",
        {kMapPrefix + "PDR_Index :=           16#0010;" + kHexZone + "\t(* PDD Index *)",
         kMapPrefix + "Source_Number :=       16#0101;" + kHexZone +
             "\t(* Module = 1, Submodule = 1 *)",
         kMapPrefix + "Source_Index :=        16#0203;" + kHexZone +
             "\t(* Data Direction = 2, Type = 3 *)",
         kMapPrefix + "Destination_Number :=  16#0004;" + kHexZone + "\t(* Byte Position *)",
         kMapPrefix + "Destination_Index :=   16#0508;" + kHexZone +
             "\t(* Bit Position = 5, Length = 8 *)",
         kMapPrefix + "Start_Bit :=           0;" + kDecimalZone + "\t(* (not used) *)",
         kMapPrefix + "Data_Consistancy :=    3;" + kDecimalZone +
             "\t(* 3 = Process Data Description *)"});
    expectLinesAt(
        init, "\t(* End of Process Data Description *)",
        {"", kMapPrefix + "PDR_Index :=           16#0001;" + kHexZone + "\t(* IBS Input *)"});
    // A 3-word device at the odd address 16#0201: offset 1 from the input area, three words.
    EXPECT_EQ(countOf(init, kMapPrefix + "Destination_Number :=  16#0201;" + kHexZone +
                                "\t(* Start DPM Word = 16#0200 + 1   Inputs.IW[1] - "
                                "Inputs.IW[3]  *)"),
              1);
    EXPECT_EQ(countOf(init, kMapPrefix + "PDR_Index :=           16#0012;" + kHexZone +
                                "\t(* PDD Index *)"),
              1);
    // Rounding: (513 - 512) / 2 = 0.5 goes to 0, the next word 1.5 to 2.
    const std::vector<std::string> csv = decoded.lines("_excel.csv");
    ASSERT_EQ(csv.size(), 4u);
    EXPECT_EQ(csv[1], "1,1,2,3,0,x0001,x0201,0.0.0.0,,,");
    EXPECT_EQ(csv[2], ",,,,,,x0203,0.0.0.2,,,");
    EXPECT_EQ(csv[3], ",,,,,,x0205,0.0.0.2,,,");
}

TEST(SvcOutputs, EmptyInputGivesEmptyTablesInEveryFile) {
    ScratchFolder folder;
    const Decoded decoded = decode(folder, "empty", {});
    ASSERT_TRUE(decoded.result.ok) << decoded.result.errorText;
    EXPECT_EQ(decoded.output("_parse.txt"), "");
    for (const char* suffix : {"_config.xsy", "_map.xsy", "_init.xst"}) {
        EXPECT_EQ(xmlProblem(decoded.output(suffix)), "") << suffix;
    }
    EXPECT_EQ(decoded.lines("_config.xsy")[6], "\t\t</variables>");
    EXPECT_EQ(decoded.lines("_map.xsy")[6], "\t\t</variables>");
    const std::vector<std::string> init = decoded.lines("_init.xst");
    expectLinesAt(init, "if %S21 or %S0 or %S1 then",
                  {"\tIBS_Manage_d0_s0.Entry := 0;",
                   "\tIBS_Manage_d0_s0.Config[IBS_Manage_d0_s0.Entry].Segment_Number := 0;\t(* "
                   "End of Config *)"});
    expectLinesAt(init, "\t(*  Data_Consistancy for Output is 0=16bits, 1=32bits, 2=8bits *)",
                  {"", "\tIBS_Manage_d0_s0.Entry := 0;",
                   "\tIBS_Manage_d0_s0.Map[IBS_Manage_d0_s0.Entry].PDR_Index := 16#0000;\t\t(* "
                   "End of Map *)"});
    EXPECT_EQ(decoded.lines("_excel.csv").size(), 1u);
}

}  // namespace
}  // namespace svc::testing
