// The load file of the sample: its section with the DTM name in every generated name, its
// configuration and map lines with their zones, the data block and the template set, read by a
// real XML parser.

#include <gtest/gtest.h>

#include <cstdlib>

#include "svc/svc_exchange_text.h"
#include "tamsel_fixture.h"
#include "tamsel_sample.h"

namespace loadcode::testing {
namespace {

using svc::testing::countOf;
using svc::testing::indexOf;

const std::string kConfig = "\tIBS_Manage_PMEDWL.Config[IBS_Manage_PMEDWL.Entry].";
const std::string kMap = "\tIBS_Manage_PMEDWL.Map[IBS_Manage_PMEDWL.Entry].";
const std::string kNext = "\tIBS_Manage_PMEDWL.Entry := IBS_Manage_PMEDWL.Entry + 1;";

std::string blanks(int count) {
    return std::string(static_cast<std::size_t>(count), ' ');
}

// `expected` must stand in `lines` from the line at `first` on.
void expectRun(const std::vector<std::string>& lines, int first,
               const std::vector<std::string>& expected) {
    ASSERT_GE(first, 0) << expected.front();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_LT(first + i, lines.size());
        EXPECT_EQ(lines[first + i], expected[i]) << "line " << first + i;
    }
}

class TamselLoadFile : public TamselTest {
  protected:
    void SetUp() override {
        TamselTest::SetUp();
        converted_ = convert("plant", tamselSampleRecords());
        ASSERT_TRUE(converted_.result.finished) << converted_.transcript;
        lines_ = converted_.lines("_LOAD.xst");
    }
    Converted converted_;
    std::vector<std::string> lines_;
};

TEST_F(TamselLoadFile, HeadNamesTheSectionAfterTheDtmName) {
    expectRun(lines_, 0,
              {std::string(svc::svcXmlDeclaration), "<STExchangeFile>",
               "\t<fileHeader company=\"Schneider Automation\" product=\"Unity Pro XL V13.0 - "
               "170914B\" dateTime=\"date_and_time#2020-02-25-22:05:59\" content=\"Structured "
               "source file\" DTDVersion=\"41\"></fileHeader>",
               "\t<contentHeader name=\"Project\" version=\"0.1.01\" "
               "dateTime=\"date_and_time#2020-02-25-22:05:59\"></contentHeader>",
               "\t<program>",
               "\t\t<identProgram name=\"IBS_LOAD_PMEDWL\" type=\"section\" "
               "task=\"MAST\"></identProgram>",
               "\t<STSource>(* Configure PMEDWL Module *)", "if %S21 or %S0 or %S1 then",
               "\tIBS_Manage_PMEDWL.Entry := 0;", kConfig + "Segment_Number :=   1;"});
    EXPECT_EQ(lines_.back(), "</STExchangeFile>");
}

TEST_F(TamselLoadFile, EveryDeviceIsOneConfigurationEntry) {
    EXPECT_EQ(countOf(lines_, kNext), 5 + 6);
    // The PCP device, whole.
    expectRun(lines_, indexOf(lines_, kConfig + "Segment_Position := 3;") - 1,
              {kConfig + "Segment_Number :=   1;", kConfig + "Segment_Position := 3;",
               kConfig + "Module_ID :=        193;\t(* PCP Input+Output *)",
               kConfig + "DP_Word_Count :=    16#0001;", kConfig + "Device_Level :=     2;",
               kConfig + "Logical_Group :=    0;", kConfig + "Alternative :=      0;",
               kConfig + "PCP_TX_Max_PDU :=   64;", kConfig + "PCP_RX_Max_PDU :=   128;",
               kConfig + "PCP_Services[0] :=  16#90;", kConfig + "PCP_Services[1] :=  16#00;",
               kConfig + "PCP_Services[2] :=  16#00;", kConfig + "Name :=             'Node_1.3';",
               "", kNext});
    for (const std::string& line :
         {kConfig + "Module_ID :=        2;\t(*  Input *)",
          kConfig + "Module_ID :=        1;\t(*  Output *)",
          kConfig + "Module_ID :=        3;\t(*  Input+Output *)",
          kConfig + "Module_ID :=        0;\t(*  Bus Term *)", kConfig + "Logical_Group :=    2;",
          kConfig + "Alternative :=      3;", kConfig + "Name :=             'Node_2.2';"}) {
        EXPECT_EQ(countOf(lines_, line), 1) << line;
    }
    expectRun(lines_, indexOf(lines_, kConfig + "Name :=             'Node_2.2';"),
              {kConfig + "Name :=             'Node_2.2';", "", kNext,
               kConfig + "Segment_Number := 0;\t(* End of Config *)", "",
               "\t(*  Map PDR_Index Range for IBS INPUT: 16#0000-16#3FFF *)"});
}

TEST_F(TamselLoadFile, MapEntriesCarryTheirCommentsInTheNextZone) {
    const int first = indexOf(lines_, "\t(* Start of Process Data Description *)");
    expectRun(
        lines_, first - 2,
        {"\tIBS_Manage_PMEDWL.Entry := 0;",
         "",
         "\t(* Start of Process Data Description *)",
         kMap + "PDR_Index :=           16#0010;" + blanks(5) + "\t(* PDD Index *)",
         kMap + "Source_Number :=       16#0103;" + blanks(5) + "\t(* Module = 1, Submodule = 3 *)",
         kMap + "Source_Index :=        16#0203;" + blanks(5) +
             "\t(* Data Direction = 2, Type = 3 *)",
         kMap + "Destination_Number :=  16#0004;" + blanks(5) + "\t(* Byte Position *)",
         kMap + "Destination_Index :=   16#0508;" + blanks(5) +
             "\t(* Bit Position = 5, Length = 8 *)",
         kMap + "Start_Bit :=            0;" + blanks(10) + "\t(* (not used) *)",
         kMap + "Data_Consistancy :=    3;" + blanks(11) + "\t(* 3 = Process Data Description *)",
         "",
         kNext,
         "\t(* End of Process Data Description *)",
         "",
         kMap + "PDR_Index :=           16#0001;" + blanks(5) + "\t(* Input *)",
         kMap + "Source_Number :=       16#0101;" + blanks(5) +
             "\t(* Module = 1, Sub-Module = 1 *)",
         kMap + "Source_Index :=        16#6010;" + blanks(5) + "\t(* Always 16#6010 *)",
         kMap + "Destination_Number :=  16#0200;" + blanks(5) +
             "\t(* DPM Start Byte = 16#0200 + 0   Inputs.IW[0] *)",
         kMap + "Destination_Index :=   16#0000;" + blanks(5) + "\t(* Always 0 *)",
         kMap + "Start_Bit :=           0;",
         kMap + "Data_Consistancy :=    0;" + "\t\t\t(* 0=16 bits, 1=32 bits, 2=8 bits *)",
         "",
         kNext});
    for (const std::string& line : {
             // An odd input byte: the word index has the fraction .5.
             kMap + "Destination_Number :=  16#0205;" + blanks(5) +
                 "\t(* DPM Start Byte = 16#0200 + 5   Inputs.IW[2.5] *)",
             // One word: the start only; two words starting at byte 4: up to the last byte.
             kMap + "Source_Number :=       16#0000;" + blanks(5) +
                 "\t(* DPM Start Byte = 16#0000 + 0   Outputs.QW[0] *)",
             kMap + "Source_Number :=       16#0004;" + blanks(5) +
                 "\t(* DPM Start Byte = 16#0000 + 4   Outputs.QW[2] - Outputs.QW[3.5]  *)",
             kMap + "Destination_Number :=  16#0201;" + blanks(5) +
                 "\t(* Module = 2, Sub-Module = 1  *)",
             kMap + "Destination_Index :=   16#6011;" + blanks(5) + "\t(* Always 16#6011 *)",
             kMap + "PDR_Index :=           16#8001;" + blanks(5) + "\t(* Direct Link *)",
             kMap + "Destination_Index :=   16#6011;" + blanks(5) + "\t(* Direct Link *)",
         }) {
        EXPECT_GE(countOf(lines_, line), 1) << line;
    }
    // The word that opened no entry is not in the map: six entries, the last one the link.
    EXPECT_EQ(countOf(lines_, kMap + "Start_Bit :=           0;") +
                  countOf(lines_,
                          kMap + "Start_Bit :=            0;" + blanks(10) + "\t(* (not used) *)"),
              6);
    EXPECT_EQ(lines_[indexOf(lines_, kMap + "PDR_Index := 16#0000;\t\t(* End of Map *)") - 3],
              kMap + "Data_Consistancy :=    0;\t\t\t(* 0=16 bits, 1=32 bits, 2=8 bits *)");
}

TEST_F(TamselLoadFile, SectionEndsWithChecksumTransferAndDataBlock) {
    const int end = indexOf(lines_, kMap + "PDR_Index := 16#0000;\t\t(* End of Map *)");
    expectRun(
        lines_, end,
        {kMap + "PDR_Index := 16#0000;\t\t(* End of Map *)", " ",
         "\tIBS_Layout_CRC_PMEDWL (IBS_Manage_PMEDWL);\t\t\t(* Calculate checksum on Config "
         "and Map *)",
         " ", "END_IF;", " ",
         "(* IBS_Manage_PMEDWL.Module.AUTO_START := TRUE;*)\t(* Turn on IBS Auto_start *)", "",
         "(* WARNING: PDWL_COMMAND bits 0-3 bypass the normal ACL to allow full access from "
         "any remote IP Address. *)",
         "",
         "(* PMEDWL.Outputs.PDWL_COMMAND.0 := TRUE;*)  \t\t(* TRUE = Allow OS port (503) "
         "Modbus Server for all remote IP Addresses *)"});
    const int transfer = indexOf(lines_,
                                 "IBS_Layout_Xfer_PMEDWL (PMEDWL, IBS_Manage_PMEDWL); \t\t(* Move "
                                 "Config and Map to PMEDWL *)");
    expectRun(lines_, transfer - 2,
              {"(* PMEDWL.Outputs.PDWL_COMMAND.13 := TRUE;*) \t\t(* TRUE = Allow Ethernet/IP "
               "Control (44818) for PLC Subnet IP Addresses *)",
               "",
               "IBS_Layout_Xfer_PMEDWL (PMEDWL, IBS_Manage_PMEDWL); \t\t(* Move Config and Map to "
               "PMEDWL *)",
               "", "</STSource>", "\t</program>", "\t<dataBlock>",
               "\t\t<variables name=\"IBS_Layout_CRC_PMEDWL\" "
               "typeName=\"IBS_Layout_CRC\"></variables>",
               "\t\t<variables name=\"PMEDWL\" typeName=\"T_PMEDWL\"></variables>",
               "\t\t<variables name=\"IBS_Layout_Xfer_PMEDWL\" "
               "typeName=\"IBS_Layout_Xfer\"></variables>",
               "\t\t<variables name=\"IBS_Manage_PMEDWL\" typeName=\"IBS_Manage\"></variables>",
               "\t</dataBlock>",
               "\t<FBSource nameOfFBType=\"IBS_Layout_CRC\" version=\"1.01\" "
               "dateTime=\"dt#2020-02-25-22:05:59\">"});
}

TEST_F(TamselLoadFile, TemplateSetNamesTheDeviceTypesAfterTheDtmName) {
    for (const auto& [first, value] : {std::pair<int, const char*>{0, "16#0000"},
                                       {1, "16#C0C1"},
                                       {2, "16#C181"},
                                       {255, "16#4040"}}) {
        expectRun(lines_,
                  indexOf(lines_,
                          "\t\t\t\t<instanceElementDesc name=\"[" + std::to_string(first) + "]\">"),
                  {"\t\t\t\t<instanceElementDesc name=\"[" + std::to_string(first) + "]\">",
                   std::string("\t\t\t\t\t<value>") + value + "</value>",
                   "\t\t\t\t</instanceElementDesc>"});
    }
    for (const char* type : {"T_PMEDWL", "T_PMEDWL_IN", "T_PMEDWL_OUT"}) {
        EXPECT_EQ(countOf(lines_, std::string("\t<DDTSource DDTName=\"") + type +
                                      "\" version=\"1.01\" dateTime=\"dt#2020-02-25-22:05:59\">"),
                  1)
            << type;
    }
    EXPECT_EQ(countOf(lines_, "\t\t\t<variables name=\"DIOibs\" typeName=\"T_PMEDWL\">"), 1);
    EXPECT_EQ(countOf(lines_, "\tManage.errorstring := 'DIOibs not Fresh';"), 1);
    const std::string file = converted_.output("_LOAD.xst");
    EXPECT_EQ(file.find("DIOiby"), std::string::npos);
    EXPECT_EQ(file.find("d0_s0"), std::string::npos);
}

TEST_F(TamselLoadFile, RealXmlParserReadsTheFile) {
    std::filesystem::path path = converted_.root;
    path += "_LOAD.xst";
    const std::string command = "xmllint --noout '" + path.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

// Another DTM name renames every generated name and nothing else; a name of another length
// moves the comments to other zones.
TEST_F(TamselLoadFile, SecondDtmNameChangesEveryGeneratedName) {
    const std::string first = converted_.output("_LOAD.xst");
    const Converted second = convert("plant", tamselSampleRecords(), "Line_2");
    ASSERT_TRUE(second.result.finished);
    // The module's own name stays in the fixed comments ("Configure PMEDWL Module").
    std::string renamed = first;
    for (const auto& [from, to] : {std::pair<const char*, const char*>{"_PMEDWL", "_Line_2"},
                                   {"PMEDWL.", "Line_2."},
                                   {"\"PMEDWL\"", "\"Line_2\""},
                                   {"(PMEDWL, ", "(Line_2, "}}) {
        renamed = svc::replacedEverywhere(renamed, from, to);
    }
    EXPECT_TRUE(renamed == second.output("_LOAD.xst"));
    for (const char* name : {"IBS_LOAD_Line_2", "IBS_Manage_Line_2", "IBS_Layout_CRC_Line_2",
                             "IBS_Layout_Xfer_Line_2", "T_Line_2_IN", "T_Line_2_OUT",
                             "(Line_2, IBS_Manage_Line_2)", "(* Line_2.Outputs.PDWL_COMMAND.0"}) {
        EXPECT_NE(second.output("_LOAD.xst").find(name), std::string::npos) << name;
    }
    const Converted shorter = convert("plant", tamselSampleRecords(), "X");
    EXPECT_EQ(countOf(shorter.lines("_LOAD.xst"),
                      "\tIBS_Manage_X.Map[IBS_Manage_X.Entry].PDR_Index :=           16#0001; "
                      "\t(* Input *)"),
              1);
}

}  // namespace
}  // namespace loadcode::testing
