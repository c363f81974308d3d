// The "_parse.txt" listing and its console copy, line by line.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "svc/svc_spreadsheet.h"
#include "svc_fixture.h"

namespace svc::testing {
namespace {

const std::string kZone(14, ' ');

// A word line echoed and padded to the next print zone: eight characters and six blanks.
std::string W(const std::string& wordText) {
    return wordText + "      ";
}

std::string blanks(int count) {
    return std::string(static_cast<std::size_t>(count), ' ');
}

std::vector<std::string> recordStart(const std::string& code, const std::string& name,
                                     int wordCount) {
    return {kZone, kZone, "#CMD#" + blanks(9),
            W("#0x" + code + "#") + "Command = " + code + kZone + name,
            W(wordLine(static_cast<uint16_t>(wordCount))) +
                "Word Count = " + std::to_string(wordCount)};
}

void append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

std::vector<std::string> expectedBusListing() {
    std::vector<std::string> lines;
    append(lines, recordStart("0307", "Load_Configuration", 11));
    append(lines,
           {W("#0x0003#") + "  Used Atributes:", "                   bit 0 - Device Number Present",
            "                   bit 1 - Device Code Present",
            W("#0x0001#") + "  Start Entry Number = 1",
            W("#0x0004#") + "  Entry Count = 4   vwordcount = 2",
            W("#0x0101#") + "    --- Bus_Segment_Number = 1  Position = 1 Devicenumber(1) = x101",
            W("#0x0202#") + "               length_code = x2 (Word 2)    ID_Code = 2  "
                            "StationClass = 0  (Input)   PCP_true = 0   PCP_Node = 0   "
                            "PCP_Length = 0",
            W("#0x0102#") + "    --- Bus_Segment_Number = 1  Position = 2 Devicenumber(2) = x102",
            W("#0x0101#") + "               length_code = x1 (Word 1)    ID_Code = 1  "
                            "StationClass = 0  (Output)   PCP_true = 0   PCP_Node = 0   "
                            "PCP_Length = 0",
            W("#0x0103#") + "    --- Bus_Segment_Number = 1  Position = 3 Devicenumber(3) = x103",
            W("#0x01C1#") + "               length_code = x1 (Word 1)    ID_Code = 193  "
                            "StationClass = 12  (Input+Output)   PCP_true = 1   PCP_Node = 2   "
                            "PCP_Length = 4",
            W("#0x0201#") + "    --- Bus_Segment_Number = 2  Position = 1 Devicenumber(4) = x201",
            W("#0x0203#") + "               length_code = x2 (Word 2)    ID_Code = 3  "
                            "StationClass = 0  (Input+Output)   PCP_true = 0   PCP_Node = 0   "
                            "PCP_Length = 0"});
    append(lines, recordStart("0264", "Load_CRL_Attributes_Loc", 4));
    append(lines,
           {W("#0x000E#") + "  Attribute Code = xE" + blanks(7) + "(Max PDU Sending Low)",
            W("#0x0001#") + "  Entry Count = 1", W("#0x0002#") + "  Communication Reference = 2",
            W("#0x0040#") + "     Attribute Value = x40" + blanks(2)});
    append(lines, recordStart("0264", "Load_CRL_Attributes_Loc", 4));
    append(lines,
           {W("#0x0012#") + "  Attribute Code = x12" + blanks(6) +
                "(Services Supported - Client byte 0)",
            W("#0x0001#") + "  Entry Count = 1", W("#0x0002#") + "  Communication Reference = 2",
            W("#0x0090#") + "     Attribute Value = x90" + blanks(2),
            "                      bit 0 - (Client - Get_OD)",
            "                      bit 3 - (Client - Download Sequence)"});
    append(lines, recordStart("0325", "Load_Process_Data_Reference_List", 20));
    append(lines, {W("#0x0003#") + "  MAP Count = 3",
                   "  \t\tTotal MAP Count = 3",
                   W("#0x0001#") + "  ----- MAP_PDR_Index = x1  (MAP_Index = 1) " + blanks(12) +
                       "(Input)\tPDR Index =  x0001 (Input)",
                   W("#0x0101#") + "     Source Device Number = 257  x101\t\tDevice 1.1",
                   W("#0x6010#") + "     Source PDD Index = 24592  x6010\t\t(Input)",
                   W("#0x0200#") + "     Destination Address = 512  x200\t\tDPM Location = x0200 - "
                                   "x0202\t%IW0.3.0.0 - %IW0.3.0.1",
                   W("#0x0000#") + "     MAP_Start_Bit = 0  DataCons = 0\t\t(16 bit consistancy)",
                   W("#0x0000#") + "     MAP_Extension = 0  Extension = x0",
                   W("#0x4001#") + "  ----- MAP_PDR_Index = x4001  (MAP_Index = 2) " + blanks(9) +
                       "(Output)\tPDR Index =  x4001 (Output)",
                   W("#0x0000#") + "     MAP_Source_Number = 0  x0\t\t\t\tDPM Location = x0000",
                   W("#0x0000#") + "     MAP_Start_Bit = 0  DataCons = 0\t\t(16 bit consistancy)",
                   W("#0x0102#") + "     MAP_Destination_Number = 258  x0102\t\t\tDevice 1.2  DPM "
                                   "Location = x0000 - x0000\t%QW0.3.0.0 - %QW0.3.0.0",
                   W("#0x6011#") + "     MAP_Destination_Index = 6011  x6011\t\t(Output)",
                   W("#0x0000#") + "     MAP_Extension_Length = x0, x0",
                   W("#0x8001#") + "  ----- MAP_PDR_Index = x8001  (MAP_Index = 3) " + blanks(9) +
                       "(Direct_Link)\tPDR Index =  x8001 (Direct Link)",
                   W("#0x0201#") + "     MAP_Source_Number = 513  x201",
                   W("#0x6010#") + "     MAP_Source_Index = 24592  x6010",
                   W("#0x0102#") + "     MAP_Destination_Number = 258  x102",
                   W("#0x6011#") + "     MAP_Destination_Index = 24593  x6011",
                   W("#0x0302#") + "     MAP_Extension = 3  Extension = x2",
                   W("#0x4142#") + "     (else) Extension = x41, x42"});
    append(lines, recordStart("0750", "Set_Value", 4));
    append(lines, {W("#0x0001#") + "  Variable Count = 1",
                   W("#0x2210#") + "  Variable ID = 2210  Varible Word Count = 2" + blanks(12) +
                       "Process Data Cycle Time in uS (32-bit)",
                   W("#0x0001#") + "    data[5] = 1" + blanks(13),
                   W("#0x86A0#") + "    data[6] = 34464" + blanks(9) + " longdata = 100000"});
    append(lines, recordStart("0701", "Start_Data_Transfer", 1));
    append(lines, {W("#0x0005#") + "data[3] = 5"});
    return lines;
}

TEST(SvcListing, ListsEveryLineOfTheBusFileAsDecoded) {
    ScratchFolder folder;
    const Decoded decoded = decode(folder, "bus", busRecords(), busModule);
    ASSERT_TRUE(decoded.result.ok) << decoded.result.errorText;
    const std::vector<std::string> listing = decoded.lines("_parse.txt");
    const std::vector<std::string> expected = expectedBusListing();
    ASSERT_EQ(listing.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(listing[i], expected[i]) << "listing line " << i + 1;
    }
}

// The console shows the listing line by line, with its own forms of a few texts.
TEST(SvcListing, ConsoleCopyFollowsTheListingWithItsOwnTexts) {
    ScratchFolder folder;
    const Decoded decoded = decode(folder, "bus", busRecords(), busModule);
    std::vector<std::string> expected = expectedBusListing();
    const auto replace = [&expected](const std::string& listingLine, const std::string& console) {
        const int at = indexOf(expected, listingLine);
        ASSERT_GE(at, 0) << listingLine;
        expected[static_cast<std::size_t>(at)] = console;
    };
    expected.erase(expected.begin() + indexOf(expected, "  \t\tTotal MAP Count = 3"));
    replace(W("#0x0001#") + "  ----- MAP_PDR_Index = x1  (MAP_Index = 1) " + blanks(12) +
                "(Input)\tPDR Index =  x0001 (Input)",
            W("#0x0001#") + "  ----- MAP_PDR_Index = x1" + blanks(2) +
                "(Input)\tPDR Index =  x0001 (Input)");
    replace(W("#0x4001#") + "  ----- MAP_PDR_Index = x4001  (MAP_Index = 2) " + blanks(9) +
                "(Output)\tPDR Index =  x4001 (Output)",
            W("#0x4001#") + "  ----- MAP_PDR_Index = x4001" + blanks(13) +
                "(Output)\tPDR Index =  x4001 (Output)");
    replace(W("#0x8001#") + "  ----- MAP_PDR_Index = x8001  (MAP_Index = 3) " + blanks(9) +
                "(Direct_Link)\tPDR Index =  x8001 (Direct Link)",
            W("#0x8001#") + "  ----- MAP_PDR_Index = x8001" + blanks(13) +
                "(Direct_Link)\t\tPDR Index =  x8001 (Direct Link)");
    replace(W("#0x0000#") + "     MAP_Extension = 0  Extension = x0",
            W("#0x0000#") + "     MAP_Extension_Length = 0  Extension = x0");
    replace(W("#0x0302#") + "     MAP_Extension = 3  Extension = x2",
            W("#0x0302#") + "     MAP_Extension_Length = 3  Extension = x2");
    replace(W("#0x4142#") + "     (else) Extension = x41, x42",
            W("#0x4142#") + "     Extension = x41, x42");

    const std::vector<std::string> console = lfLines(decoded.console);
    ASSERT_GE(console.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(console[i], expected[i]) << "console line " << i + 1;
    }
    // The spreadsheet rows follow after an empty line.
    ASSERT_GT(console.size(), expected.size() + 1);
    EXPECT_EQ(console[expected.size()], "");
    EXPECT_EQ(
        console[expected.size() + 1],
        "IBS_Main,IBS_Sub,Module_ID,Word_len,PCP_len,PDR(IN),DPM (IN),%IW,PDR(OUT),DPM(OUT),%QW");
}

// The listing line of a device-code word: unit, station class (halves to even), direction.
struct DeviceCodeCase {
    uint16_t code;
    const char* line;
};

TEST(SvcListing, DeviceCodeWordsDecodeToTheirLine) {
    const DeviceCodeCase cases[] = {
        {0x0203,
         "               length_code = x2 (Word 2)    ID_Code = 3  StationClass = 0  "
         "(Input+Output)   PCP_true = 0   PCP_Node = 0   PCP_Length = 0"},
        {0x0118,
         "               length_code = x1 (Word 1)    ID_Code = 24  StationClass = 2  "
         "(Bus Term)   PCP_true = 0   PCP_Node = 0   PCP_Length = 0"},
        {0x0128,
         "               length_code = x1 (Word 1)    ID_Code = 40  StationClass = 2  "
         "(Bus Term)   PCP_true = 0   PCP_Node = 0   PCP_Length = 0"},
        {0x4102,
         "               length_code = x41 (Nibble 1)    ID_Code = 2  StationClass = 0  "
         "(Input)   PCP_true = 0   PCP_Node = 0   PCP_Length = 0"},
        {0x8301,
         "               length_code = x83 (Byte 3)    ID_Code = 1  StationClass = 0  "
         "(Output)   PCP_true = 0   PCP_Node = 0   PCP_Length = 0"},
        {0xC0C3,
         "               length_code = xC0 (Bit 0)    ID_Code = 195  StationClass = 12  "
         "(Input+Output)   PCP_true = 1   PCP_Node = 2   PCP_Length = 1"},
        {0x01C2,
         "               length_code = x1 (Word 1)    ID_Code = 194  StationClass = 12  "
         "(Input+Output)   PCP_true = 1   PCP_Node = 2   PCP_Length = 0"},
        {0x01C0,
         "               length_code = x1 (Word 1)    ID_Code = 192  StationClass = 12  "
         "(Input+Output)   PCP_true = 1   PCP_Node = 2   PCP_Length = 2"},
    };
    for (const DeviceCodeCase& c : cases) {
        ScratchFolder folder;
        const Decoded decoded =
            decode(folder, "code", {configurationRecord(1, {{0x0101, c.code}})});
        const std::vector<std::string> listing = decoded.lines("_parse.txt");
        EXPECT_EQ(countOf(listing, W(wordLine(c.code)) + c.line), 1) << std::hex << c.code;
    }
}

// Services with a short decoding of their own, and the record reader's edges.
struct ServiceCase {
    const char* name;
    std::vector<Record> records;
    std::vector<std::string> lines;  // expected somewhere in the listing, in this order
};

TEST(SvcListing, ServicesDecodeTheirWordsByPosition) {
    const ServiceCase cases[] = {
        {"Set_Indication",
         {{0x0152, {0x0002, 0x0081, 0x0307, 0x0009}, {}}},
         {W("#0x0002#") + "  Indication Ability = 2 (Disable)",
          W("#0x0081#") + "  Distribution = x81", "                   bit 0 - Front Panel Display",
          "                   bit 7 - MPM3",
          W("#0x0307#") + "  Indication_Code = 307" + blanks(5) + "Load_Configuration",
          W("#0x0009#") + kZone}},
        {"Initiate_Load_Configuration",
         {{0x0306, {0x0001, 0x0002, 0x0003, 0x0A0B}, {}}},
         {W("#0x0001#") + "  New Config = 1", W("#0x0002#") + "  Frame Reference = 2",
          W("#0x0003#") + "  Device Count = 3",
          W("#0x0A0B#") + "  Extension Length = 10    Extension = 11"}},
        {"Activate_Configuration",
         {{0x0711, {0x0004, 0x0005}, {}}},
         {W("#0x0004#") + "  Frame = 4", W("#0x0005#") + kZone}},
        {"Set_Value count 0 then a count",
         {{0x0750, {0x0000, 0x0001, 0x0103, 0xFFFF}, {}}},
         {W("#0x0000#") + "  Variable Count = 0", W("#0x0001#") + "  Variable Count = 1",
          W("#0x0103#") + "  Variable ID = 0103  Varible Word Count = 1" + blanks(12) +
              "Address of the Diagnostic Parameter Register",
          W("#0xFFFF#") + "    data[6] = 65535" + blanks(9) + " longdata = 65535"}},
        {"Set_Value long value is signed",
         {{0x0750, {0x0001, 0x2210, 0xFFFF, 0xFFFE}, {}}},
         {W("#0xFFFF#") + "    data[5] = 65535" + blanks(9),
          W("#0xFFFE#") + "    data[6] = 65534" + blanks(9) + " longdata = -2"}},
    };
    for (const ServiceCase& c : cases) {
        ScratchFolder folder;
        std::vector<Record> records = c.records;
        records.push_back({0x0701, {0x0001}, {}});  // ends an echo left open by the case
        const Decoded decoded = decode(folder, "service", records);
        const std::vector<std::string> listing = decoded.lines("_parse.txt");
        int from = 0;
        for (const std::string& line : c.lines) {
            const auto found = std::find(listing.begin() + from, listing.end(), line);
            ASSERT_NE(found, listing.end()) << c.name << ": " << line;
            from = static_cast<int>(found - listing.begin()) + 1;
        }
    }
}

TEST(SvcListing, WordLinesOutsideRecordsAreOnlyEchoedOnOneLine) {
    ScratchFolder folder;
    const std::filesystem::path root = folder.writeSvc("stray", "#0x0001#\n#0x0002#\n\n#0x0307#");
    std::ostringstream console;
    SvcDecodeOptions options;
    options.console = &console;
    ASSERT_TRUE(decodeSvcFile(root, options).ok);
    std::filesystem::path listingPath = root;
    listingPath += "_parse.txt";
    // A stray word leaves its echo open, so the next echo goes on along the same line; the
    // line still open at the end of the file is ended like every other.
    EXPECT_EQ(readFile(listingPath),
              W("#0x0001#") + "#0x0002#" + blanks(6) + kZone + "\r\n" + W("#0x0307#") + "\r\n");
}

// A file whose last word prints nothing leaves that word's echo open; the listing still ends
// with CR LF, and the console copy is ended by the spreadsheet's empty line.
struct OpenLastLineCase {
    const char* name;
    std::vector<Record> records;
    std::string lastLine;
    std::string consoleLine;  // the console's form of the same line
};

TEST(SvcListing, LastLineLeftOpenIsEndedAtTheEndOfTheFile) {
    const OpenLastLineCase cases[] = {
        {"Activate_Configuration", {{0x0711, {0x0004, 0x0005}, {}}}, W("#0x0005#"), W("#0x0005#")},
        {"Set_Indication",
         {{0x0152, {0x0001, 0x0000, 0x0307, 0x0009}, {}}},
         W("#0x0009#"),
         W("#0x0009#")},
        {"additional device information",
         {{0x0307, {0x4001, 0x0001, 0x0001, 0x0101, 0x1234}, {}}},
         W("#0x1234#"),
         W("#0x1234#")},
        {"reference list word that opens no entry",
         {{0x0325, {0x0001, 0xC000}, {}}},
         W("#0xC000#") + "  ----- MAP_PDR_Index = xC000  (MAP_Index = 1) " + blanks(9),
         W("#0xC000#") + "  ----- MAP_PDR_Index = xC000" + blanks(13)},
    };
    for (const OpenLastLineCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const Decoded decoded = decode(folder, "open", c.records);
        ASSERT_TRUE(decoded.result.ok) << decoded.result.errorText;
        const std::vector<std::string> listing = decoded.lines("_parse.txt");
        ASSERT_FALSE(listing.empty());
        EXPECT_EQ(listing.back(), c.lastLine);
        const std::vector<std::string> console = lfLines(decoded.console);
        const int header = indexOf(console, svcSpreadsheetHeader);
        ASSERT_GT(header, 0);
        EXPECT_EQ(console[static_cast<std::size_t>(header) - 1], c.consoleLine);
    }
}

TEST(SvcListing, TwoRecordsWithoutSeparatorAndLowerCaseDigits) {
    ScratchFolder folder;
    const std::filesystem::path root = folder.writeSvc(
        "joined", "#CMD#\n#0x0711#\n#0x0001#\n#0x0007#\n#CMD#\n#0x014a#\n#0x0001#\n#0x0002#\n");
    std::ostringstream console;
    SvcDecodeOptions options;
    options.console = &console;
    ASSERT_TRUE(decodeSvcFile(root, options).ok);
    std::filesystem::path listingPath = root;
    listingPath += "_parse.txt";
    const std::vector<std::string> listing = crlfLines(readFile(listingPath));
    EXPECT_EQ(countOf(listing, W("#0x0007#") + "  Frame = 7"), 1);
    EXPECT_EQ(
        countOf(listing, W("#0x014a#") + "Command = 014a" + kZone + "Initiate_Load_Event_Object"),
        1);
    EXPECT_EQ(countOf(listing, W("#0x0002#") + "data[3] = 2"), 1);
}

}  // namespace
}  // namespace svc::testing
