// The listing of the sample service file, line by line, and the summary rows on the console.

#include <gtest/gtest.h>

#include "tamsel_fixture.h"
#include "tamsel_sample.h"

namespace loadcode::testing {
namespace {

using svc::testing::lfLines;

// An echoed data line ("#0x" + four digits + "#") and the blanks to column 14.
std::string W(const char* echo) {
    return std::string(echo) + "      ";
}

std::string blanks(int count) {
    return std::string(static_cast<std::size_t>(count), ' ');
}

const std::string kSeparator = blanks(14);
const std::string kRecordStart = "#CMD#" + blanks(9);

std::vector<std::string> recordHead(const char* code, const char* name, const char* count,
                                    int words) {
    return {kSeparator, kSeparator, kRecordStart,
            W(code) + "Command = " + std::string(code).substr(3, 4) + blanks(14) + name,
            W(count) + "Word Count = " + std::to_string(words)};
}

std::vector<std::string> expectedListing() {
    std::vector<std::vector<std::string>> parts = {
        recordHead("#0x0152#", "Set_Indication", "#0x0003#", 3),
        {W("#0x0002#") + "  Indication Ability = 2 (Disable)",
         W("#0x0005#") + "  Distribution = x5", "                   bit 0 - Front Panel Display",
         "                   bit 2 - MXI",
         W("#0x0711#") + "  Indication_Code = 711" + blanks(5) + "Activate_Configuration"},
        recordHead("#0x0306#", "Initiate_Load_Configuration", "#0x0004#", 4),
        {W("#0x0001#") + "  New Config = 1", W("#0x0000#") + "  Frame Reference = 0",
         W("#0x0005#") + "  Device Count = 5",
         W("#0x0102#") + "  Extension Length = 1    Extension = 2"},
        recordHead("#0x0307#", "Load_Configuration", "#0x001C#", 28),
        {W("#0x003B#") + "  Used Atributes:",
         "                   bit 0 - Device Number Present",
         "                   bit 1 - Device Code Present",
         "                   bit 3 - Device Level Present",
         "                   bit 4 - Logical Group Number Present",
         "                   bit 5 - Error Characteristic Present",
         W("#0x0001#") + "  Start Entry Number = 1",
         W("#0x0005#") + "  Entry Count = 5   vwordcount = 5",
         W("#0x0101#") + "    --- Bus_Segment_Number = 1  Position = 1 Devicenumber(1) = x101",
         W("#0x0202#") +
             "               length_code = x2 (Word 2)    ID_Code = 2  StationClass = 0  (Input)   "
             "PCP_true = 0   PCP_Node = 0   PCP_Length = 0",
         W("#0x0001#") + "              Device_Level = 1",
         W("#0x0000#") + "             Logical_Group = 0   Alternative = 0",
         W("#0x0000#") + "      Error_Characteristic = 0",
         W("#0x0102#") + "    --- Bus_Segment_Number = 1  Position = 2 Devicenumber(2) = x102",
         W("#0x0101#") + "               length_code = x1 (Word 1)    ID_Code = 1  StationClass = "
                         "0  (Output)   "
                         "PCP_true = 0   PCP_Node = 0   PCP_Length = 0",
         W("#0x0001#") + "              Device_Level = 1",
         W("#0x0100#") + "             Logical_Group = 1   Alternative = 0",
         W("#0x0000#") + "      Error_Characteristic = 0",
         W("#0x0103#") + "    --- Bus_Segment_Number = 1  Position = 3 Devicenumber(3) = x103",
         W("#0x01C1#") +
             "               length_code = x1 (Word 1)    ID_Code = 193  StationClass = 12  "
             "(Input+Output)   PCP_true = 1   PCP_Node = 2   PCP_Length = 4",
         W("#0x0002#") + "              Device_Level = 2",
         W("#0x0000#") + "             Logical_Group = 0   Alternative = 0",
         W("#0x0000#") + "      Error_Characteristic = 0",
         W("#0x0201#") + "    --- Bus_Segment_Number = 2  Position = 1 Devicenumber(4) = x201",
         W("#0x0203#") +
             "               length_code = x2 (Word 2)    ID_Code = 3  StationClass = 0  "
             "(Input+Output)   PCP_true = 0   PCP_Node = 0   PCP_Length = 0",
         W("#0x0001#") + "              Device_Level = 1",
         W("#0x0203#") + "             Logical_Group = 2   Alternative = 3",
         W("#0x0004#") + "      Error_Characteristic = 4",
         W("#0x0202#") + "    --- Bus_Segment_Number = 2  Position = 2 Devicenumber(5) = x202",
         W("#0x0000#") +
             "               length_code = x0 (Word 0)    ID_Code = 0  StationClass = 0  (Bus "
             "Term)   PCP_true = 0   PCP_Node = 0   PCP_Length = 0",
         W("#0x0001#") + "              Device_Level = 1",
         W("#0x0000#") + "             Logical_Group = 0   Alternative = 0",
         W("#0x0000#") + "      Error_Characteristic = 0"},
        recordHead("#0x0264#", "Load_CRL_Attributes_Loc", "#0x0004#", 4),
        {W("#0x000E#") + "  Attribute Code = xE" + blanks(7) + "(Max PDU Sending Low)",
         W("#0x0001#") + "  Entry Count = 1", W("#0x0002#") + "  Communication Reference = 2",
         W("#0x0040#") + "     Attribute Value = x40" + blanks(2)},
        recordHead("#0x0264#", "Load_CRL_Attributes_Loc", "#0x0004#", 4),
        {W("#0x0010#") + "  Attribute Code = x10" + blanks(6) + "(Max PDU Receiving Low)",
         W("#0x0001#") + "  Entry Count = 1", W("#0x0002#") + "  Communication Reference = 2",
         W("#0x0080#") + "     Attribute Value = x80" + blanks(2)},
        recordHead("#0x0264#", "Load_CRL_Attributes_Loc", "#0x0004#", 4),
        {W("#0x0012#") + "  Attribute Code = x12" + blanks(6) +
             "(Services Supported - Client byte 0)",
         W("#0x0001#") + "  Entry Count = 1", W("#0x0002#") + "  Communication Reference = 2",
         W("#0x0090#") + "     Attribute Value = x90" + blanks(2),
         "                      bit 0 - (Client - Get_OD)",
         "                      bit 3 - (Client - Download Sequence)"},
        recordHead("#0x0321#", "Put_Process_Data_Description_List", "#0x0007#", 7),
        {W("#0x0103#") + "  Device = 1.3", W("#0x0001#") + "  MAP Count = 1",
         "  \t\tTotal MAP Count = 1", W("#0x0010#") + "  PDD Index = 10",
         W("#0x0203#") + "  Data Direction = 2, Data Type = 3",
         W("#0x0004#") + "  Byte Position = 4", W("#0x0508#") + "  Bit Position = 5, Length = 8",
         W("#0x0000#") + "  Extension,Length (not used) = 0"},
        recordHead("#0x0325#", "Load_Process_Data_Reference_List", "#0x0021#", 33),
        {W("#0x0005#") + "  MAP Count = 5", "  \t\tTotal MAP Count = 6",
         W("#0x0001#") + "  ----- MAP_PDR_Index = x1  (MAP_Index = 2) " + blanks(12) +
             "(Input)\tPDR Index =  x0001 (Input)",
         W("#0x0101#") + "     Source Device Number = 257  x101\t\tDevice 1.1",
         W("#0x6010#") + "     Source PDD Index = 24592  x6010\t\t(Input)",
         W("#0x0200#") +
             "     Destination Address = 512  x200\t\tDPM Location = x0200 - x0202\t%IW0.0.0.0 - "
             "%IW0.0.0.1",
         W("#0x0000#") + "     MAP_Start_Bit = 0  DataCons = 0\t\t(16 bit consistancy)",
         W("#0x0000#") + "     MAP_Extension = 0  Extension = x0",
         W("#0x0002#") + "  ----- MAP_PDR_Index = x2  (MAP_Index = 3) " + blanks(12) +
             "(Input)\tPDR Index =  x0002 (Input)",
         W("#0x0201#") + "     Source Device Number = 513  x201\t\tDevice 2.1",
         W("#0x6010#") + "     Source PDD Index = 24592  x6010\t\t(Input)",
         W("#0x0205#") +
             "     Destination Address = 517  x205\t\tDPM Location = x0205 - x0207\t%IW0.0.0.2.5 - "
             "%IW0.0.0.3.5",
         W("#0x0001#") + "     MAP_Start_Bit = 0  DataCons = 1\t\t(32 bit consistancy)",
         W("#0x0000#") + "     MAP_Extension = 0  Extension = x0",
         W("#0x4001#") + "  ----- MAP_PDR_Index = x4001  (MAP_Index = 4) " + blanks(9) +
             "(Output)\tPDR Index =  x4001 (Output)",
         W("#0x0000#") + "     MAP_Source_Number = 0  x0\t\t\t\tDPM Location = x0000",
         W("#0x0000#") + "     MAP_Start_Bit = 0  DataCons = 0\t\t\t(16 bit consistancy)",
         W("#0x0102#") +
             "     MAP_Destination_Number = 258  x0102\t\t\tDevice 1.2  DPM Location = x0000 - "
             "x0000\t%QW0.0.0.0 - %QW0.0.0.0",
         W("#0x6011#") + "     MAP_Destination_Index = 6011  x6011\t\t\t(Output)",
         W("#0x0000#") + "     MAP_Extension_Length = x0, x0",
         W("#0x4002#") + "  ----- MAP_PDR_Index = x4002  (MAP_Index = 5) " + blanks(9) +
             "(Output)\tPDR Index =  x4002 (Output)",
         W("#0x0004#") + "     MAP_Source_Number = 4  x4\t\t\t\tDPM Location = x0004",
         W("#0x0002#") + "     MAP_Start_Bit = 0  DataCons = 2\t\t\t(8 bit consistancy)",
         W("#0x0201#") +
             "     MAP_Destination_Number = 513  x0201\t\t\tDevice 2.1  DPM Location = x0004 - "
             "x0006\t%QW0.0.0.2 - %QW0.0.0.3",
         W("#0x6011#") + "     MAP_Destination_Index = 6011  x6011\t\t\t(Output)",
         W("#0x0000#") + "     MAP_Extension_Length = x0, x0",
         // A word that opens no entry takes a MAP_Index number and leaves the line open.
         W("#0xC000#") + "  ----- MAP_PDR_Index = xC000  (MAP_Index = 6) " + blanks(9) +
             W("#0x8001#") + "  ----- MAP_PDR_Index = x8001  (MAP_Index = 7) " + blanks(9) +
             "(Direct_Link)\tPDR Index =  x8001 (Direct Link)",
         W("#0x0103#") + "     MAP_Source_Number = 259  x103",
         W("#0x6010#") + "     MAP_Source_Index = 24592  x6010",
         W("#0x0102#") + "     MAP_Destination_Number = 258  x102",
         W("#0x6011#") + "     MAP_Destination_Index = 24593  x6011",
         W("#0x0302#") + "     MAP_Extension_Length = 3  Extension = x2",
         W("#0x4142#") + "     Extension = x41, x42"},
        recordHead("#0x0750#", "Set_Value", "#0x000A#", 10),
        {W("#0x0003#") + "  Variable Count = 3",
         W("#0x0103#") + "  Variable ID = 0103  Varible Word Count = 1" + blanks(12) +
             "Address of the Diagnostic Parameter Register",
         W("#0x0064#") + "    data[5] = 100" + blanks(11) + " longdata = 100",
         W("#0x2211#") + "  Variable ID = 2211  Varible Word Count = 2" + blanks(12) +
             "Bus Timeout in uS (32-bit)",
         W("#0x8000#") + "    data[7] = 32768" + blanks(9),
         W("#0x0000#") + "    data[8] = 0" + blanks(13) + " longdata = -2147483648",
         W("#0x0310#") + "  Variable ID = 0310  Varible Word Count = 3" + blanks(12) + "Unknown",
         W("#0x0001#") + "    data[10] = 1" + blanks(12),
         W("#0x0000#") + "    data[11] = 0" + blanks(12),
         // Three words keep only the last 32 bits: 16#0001_0000_0005 becomes 5.
         W("#0x0005#") + "    data[12] = 5" + blanks(12) + " longdata = 5"},
        recordHead("#0x0711#", "Activate_Configuration", "#0x0001#", 1),
        {W("#0x0001#") + "  Frame = 1"},
        recordHead("#0x0701#", "Start_Data_Transfer", "#0x0001#", 1),
        {W("#0x0005#") + "data[3] = 5"},
    };
    std::vector<std::string> lines;
    for (const auto& part : parts) {
        lines.insert(lines.end(), part.begin(), part.end());
    }
    return lines;
}

class TamselListing : public TamselTest {};

TEST_F(TamselListing, EveryLineOfTheSampleIsEchoedAndDecoded) {
    const Converted converted = convert("plant", tamselSampleRecords());
    ASSERT_TRUE(converted.result.finished) << converted.transcript;
    const std::vector<std::string> listing = converted.lines("_parse.txt");
    const std::vector<std::string> expected = expectedListing();
    for (std::size_t i = 0; i < std::max(listing.size(), expected.size()); ++i) {
        ASSERT_LT(i, listing.size()) << "missing from line " << i << ": " << expected[i];
        ASSERT_LT(i, expected.size()) << "extra line " << i << ": " << listing[i];
        EXPECT_EQ(listing[i], expected[i]) << "line " << i;
    }
}

// The console copy differs where the listing holds the total count, the MAP_Index or the unused
// extension; the summary rows follow it.
TEST_F(TamselListing, ConsoleCopyEndsWithTheSummaryRows) {
    const Converted converted = convert("plant", tamselSampleRecords());
    const std::vector<std::string> console = lfLines(converted.console);
    const std::vector<std::string> summary = {
        "",
        "IBS_Main,IBS_Sub,Module_ID,Word_len,PCP_len,PDR(IN),DPM (IN),%IW,PDR(OUT),DPM(OUT),%QW",
        "1,1,2,2,0,x0001,x0200,0.0.0.0,,,",
        ",,,,,,x0202,0.0.0.1,,,",
        "1,2,1,1,0,,,,x4001,x0000,0.0.0.0",
        // The PCP device has no reference entry, hence no dual-port address.
        "1,3,193,1,4,,,,,,",
        "2,1,3,2,0,x0002,x0205,0.0.0.2,x4002,x0004,0.0.0.2",
        ",,,,,,x0207,0.0.0.4,,x0006,0.0.0.3",
    };
    ASSERT_GE(console.size(), summary.size());
    const std::vector<std::string> tail(console.end() - static_cast<long>(summary.size()),
                                        console.end());
    EXPECT_EQ(tail, summary);
    // The MAP_Index is the listing's only; a direct link's console copy has two TABs.
    for (const std::string& line : {
             W("#0x0001#") + "  ----- MAP_PDR_Index = x1" + blanks(2) +
                 "(Input)\tPDR Index =  x0001 (Input)",
             W("#0xC000#") + "  ----- MAP_PDR_Index = xC000" + blanks(13) + W("#0x8001#") +
                 "  ----- MAP_PDR_Index = x8001" + blanks(13) +
                 "(Direct_Link)\t\tPDR Index =  x8001 (Direct Link)",
             W("#0x0000#") + "  Extension,Length = 0",
             W("#0x0005#") + "  MAP Count = 6",
         }) {
        EXPECT_EQ(std::count(console.begin(), console.end(), line), 1) << line;
    }
    // Everything else reads as in the listing.
    for (const std::string& line : expectedListing()) {
        if (line.find("MAP_PDR_Index") == std::string::npos &&
            line.find("MAP Count") == std::string::npos &&
            line.find("(not used)") == std::string::npos) {
            EXPECT_NE(std::find(console.begin(), console.end(), line), console.end()) << line;
        }
    }
}

}  // namespace
}  // namespace loadcode::testing
