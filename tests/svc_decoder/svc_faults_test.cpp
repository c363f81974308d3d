// Input that would reach past a table, and runs that fail: every run ends normally, its outputs
// stay within the tables, and a failed run leaves no output that looks current.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <sstream>

#include "svc/svc_staged_file.h"
#include "svc_fixture.h"

namespace svc::testing {
namespace {

const std::string W6 = "      ";

int elementCount(const Decoded& decoded, const char* suffix) {
    int count = 0;
    for (const std::string& line : decoded.lines(suffix)) {
        count += line.rfind("\t\t\t<instanceElementDesc name=\"[", 0) == 0 ? 1 : 0;
    }
    return count;
}

int initDeviceCount(const Decoded& decoded) {
    int count = 0;
    for (const std::string& line : decoded.lines("_init.xst")) {
        count +=
            line.rfind("\tIBS_Manage_d0_s0.Config[IBS_Manage_d0_s0.Entry].Segment_Number :=   ",
                       0) == 0
                ? 1
                : 0;
    }
    return count;
}

int initMapCount(const Decoded& decoded) {
    int count = 0;
    for (const std::string& line : decoded.lines("_init.xst")) {
        count +=
            line.rfind("\tIBS_Manage_d0_s0.Map[IBS_Manage_d0_s0.Entry].PDR_Index :=    ", 0) == 0
                ? 1
                : 0;
    }
    return count;
}

Record oneWordDevices(uint16_t startEntry, int count) {
    Record record{0x0307, {0x0001, startEntry, static_cast<uint16_t>(count)}, {}};
    for (int i = 0; i < count; ++i) {
        record.data.push_back(static_cast<uint16_t>(0x0100 + (i % 200) + 1));
    }
    return record;
}

struct BoundCase {
    const char* name;
    std::vector<Record> records;
    int devices;  // rows the decoder reports stored
    int mapEntries;
    int xsyDevices;  // elements written
    int xsyEntries;
    std::vector<std::string> listingLines;  // present in the listing
};

std::vector<BoundCase> boundCases() {
    Record pcpDevices = configurationRecord(1, {});
    for (int i = 0; i < 305; ++i) {
        pcpDevices.data.push_back(static_cast<uint16_t>(0x0100 + (i % 250) + 1));
        pcpDevices.data.push_back(0x01C1);
    }
    pcpDevices.data[2] = 305;
    Record manyEntries{0x0321, {0x0101, 1100}, {}};
    for (int i = 0; i < 1100; ++i) {
        manyEntries.data.insert(manyEntries.data.end(),
                                {static_cast<uint16_t>(i + 1), 0x0203, 0x0004, 0x0508, 0x0000});
    }
    // One whole entry of 65532 words, of which only the first places have a kind.
    Record wideEntry{0x0307, {0x4003, 0x0001, 0x0001, 0x0101, 0x0202}, {}};
    wideEntry.data.resize(0xFFFF, 0x0000);
    return {
        {"announced map count beyond the table",
         {{0x0325, {0xFFFF, 0x0001, 0x0101, 0x6010, 0x0200, 0x0000, 0x0000}, {}}},
         0,
         1,
         0,
         1,
         {"  \t\tTotal MAP Count = 65535"}},
        {"start entry 0 stores nothing in row 0",
         {configurationRecord(0, {{0x0101, 0x0202}, {0x0102, 0x0202}})},
         1,
         0,
         1,
         0,
         {"#0x0101#" + W6 + "    --- Bus_Segment_Number = 1  Position = 1 Devicenumber(0) = x101",
          "#0x0102#" + W6 + "    --- Bus_Segment_Number = 1  Position = 2 Devicenumber(1) = x102"}},
        {"start entry near the end of the table",
         {configurationRecord(599, {{0x0101, 0x0202}, {0x0102, 0x0202}, {0x0103, 0x0202}})},
         600,
         0,
         511,
         0,
         {"#0x0103#" + W6 +
          "    --- Bus_Segment_Number = 1  Position = 3 Devicenumber(601) = x103"}},
        {"start entry far above the table",
         {configurationRecord(0xFFFF, {{0x0101, 0x0202}})},
         0,
         0,
         0,
         0,
         {"#0x0101#" + W6 +
          "    --- Bus_Segment_Number = 1  Position = 1 Devicenumber(65535) = x101"}},
        {"word count 3 leaves no words for entries",
         {{0x0307, {0x0003, 0x0001, 0x0002}, {}}},
         0,
         0,
         0,
         0,
         {"#0x0002#" + W6 + "  Entry Count = 2   vwordcount = 0"}},
        {"entry count 0 gives no entries",
         {{0x0307, {0x0003, 0x0001, 0x0000, 0x0101, 0x0202}, {}}},
         0,
         0,
         0,
         0,
         {"#0x0000#" + W6 + "  Entry Count = 0   vwordcount = 0"}},
        {"an entry wider than its layout",
         {wideEntry},
         1,
         0,
         1,
         0,
         {"#0x0001#" + W6 + "  Entry Count = 1   vwordcount = 65532"}},
        {"PCP nodes beyond the node table",
         {pcpDevices, {0x0264, {0x000E, 0x0002, 0x012C, 0x0011, 0x0131, 0x0022}, {}}},
         305,
         0,
         305,
         0,
         {"#0x0131#" + W6 + "  Communication Reference = 305"}},
        {"more map entries than the table",
         {manyEntries},
         0,
         1000,
         0,
         511,
         {"  \t\tTotal MAP Count = 1100"}},
        // Words that open no entry keep no row: the entry after them is row 1, and nothing is
        // written for them, least of all a PDR_Index 0 that would end the PLC map.
        {"PDR indexes 0 and from 16#C000 open no entry",
         {configurationRecord(1, {{0x0101, 0x0202}}),
          {0x0325,
           {0x0001, 0x0000, 0xC001, 0x0001, 0x0101, 0x6010, 0x0200, 0x0000, 0x0000, 0xFFFF},
           {}}},
         1,
         1,
         1,
         1,
         {"#0x0000#" + W6 + "  ----- MAP_PDR_Index = x0  (MAP_Index = 1) " + std::string(12, ' ') +
          "#0xC001#" + W6 + "  ----- MAP_PDR_Index = xC001  (MAP_Index = 1) " +
          std::string(9, ' ') + "#0x0001#" + W6 + "  ----- MAP_PDR_Index = x1  (MAP_Index = 1) " +
          std::string(12, ' ') + "(Input)\tPDR Index =  x0001 (Input)"}},
        {"zero-count reference list before another",
         {{0x0325, {0x0000}, {}},
          {0x0325, {0x0001, 0x4002, 0x0004, 0x0000, 0x0101, 0x6011, 0x0000}, {}}},
         0,
         1,
         0,
         1,
         {"#0x4002#" + W6 + "  ----- MAP_PDR_Index = x4002  (MAP_Index = 1) " +
          std::string(9, ' ') + "(Output)\tPDR Index =  x4002 (Output)"}},
    };
}

TEST(SvcFaults, TablesAndOutputsStayWithinTheirBounds) {
    for (const BoundCase& c : boundCases()) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        std::vector<Record> records = c.records;
        records.push_back({0x0701, {0x0001}, {}});  // ends an echo left open by the case
        const Decoded decoded = decode(folder, "bound", records);
        ASSERT_TRUE(decoded.result.ok) << decoded.result.errorText;
        EXPECT_EQ(decoded.result.deviceCount, c.devices);
        EXPECT_EQ(decoded.result.mapEntryCount, c.mapEntries);
        EXPECT_EQ(elementCount(decoded, "_config.xsy"), c.xsyDevices);
        EXPECT_EQ(elementCount(decoded, "_map.xsy"), c.xsyEntries);
        EXPECT_EQ(initDeviceCount(decoded), c.xsyDevices);
        EXPECT_EQ(initMapCount(decoded), c.xsyEntries);
        for (const char* suffix : {"_config.xsy", "_map.xsy", "_init.xst"}) {
            EXPECT_EQ(xmlProblem(decoded.output(suffix)), "") << suffix;
        }
        const std::vector<std::string> listing = decoded.lines("_parse.txt");
        for (const std::string& line : c.listingLines) {
            EXPECT_EQ(countOf(listing, line), 1) << line;
        }
    }
}

TEST(SvcFaults, PcpAttributesReachOnlyTheirOwnDevice) {
    Record pcpDevices = configurationRecord(1, {});
    for (int i = 0; i < 302; ++i) {
        pcpDevices.data.push_back(static_cast<uint16_t>(0x0100 + (i % 250) + 1));
        pcpDevices.data.push_back(0x01C1);
    }
    pcpDevices.data[2] = 302;
    // Node 300 is device 299; nodes 301 and 302 have no place in the node table.
    const Record attributes{0x0264, {0x000E, 0x0003, 300, 0x0030, 301, 0x0031, 302, 0x0032}, {}};
    ScratchFolder folder;
    const Decoded decoded = decode(folder, "pcp", {pcpDevices, attributes});
    ASSERT_TRUE(decoded.result.ok);
    const std::vector<std::string> init = decoded.lines("_init.xst");
    const std::string tx = "\tIBS_Manage_d0_s0.Config[IBS_Manage_d0_s0.Entry].PCP_TX_Max_PDU :=   ";
    EXPECT_EQ(countOf(init, tx + "48;"), 1);
    EXPECT_EQ(countOf(init, tx + "0;"), 301);
}

TEST(SvcFaults, MoreDevicesThanThePlcArrayAreLeftOutAndSaidSo) {
    ScratchFolder folder;
    const Decoded decoded = decode(folder, "many", {oneWordDevices(1, 520)});
    ASSERT_TRUE(decoded.result.ok);
    EXPECT_EQ(decoded.result.deviceCount, 520);
    EXPECT_EQ(elementCount(decoded, "_config.xsy"), 511);
    EXPECT_EQ(initDeviceCount(decoded), 511);
    ASSERT_EQ(decoded.result.warnings.size(), 1u);
    EXPECT_NE(decoded.console.find(decoded.result.warnings[0] + "\n"), std::string::npos);
    EXPECT_NE(decoded.result.warnings[0].find("520 devices"), std::string::npos);
}

// An unknown attribute code before any known one takes one value word per reference, so the
// next word is read as a reference again.
TEST(SvcFaults, UnknownAttributeCodeKeepsItsRecordInReferences) {
    ScratchFolder folder;
    const Decoded decoded = decode(folder, "crl",
                                   {configurationRecord(1, {{0x0101, 0x01C1}, {0x0102, 0x01C1}}),
                                    {0x0264, {0x0063, 0x0002, 0x0002, 0x0011, 0x0003, 0x0012}, {}},
                                    {0x0264, {0x0010, 0x0001, 0x0003, 0x0080}, {}}});
    const std::vector<std::string> listing = decoded.lines("_parse.txt");
    EXPECT_EQ(countOf(listing, "#0x0063#" + W6 + "  Attribute Code = x63" + std::string(6, ' ') +
                                   "(unknown)"),
              1);
    EXPECT_EQ(countOf(listing, "#0x0003#" + W6 + "  Communication Reference = 3"), 2);
    const std::vector<std::string> init = decoded.lines("_init.xst");
    EXPECT_EQ(countOf(init,
                      "\tIBS_Manage_d0_s0.Config[IBS_Manage_d0_s0.Entry].PCP_RX_Max_PDU :=   "
                      "128;"),
              1);
}

// Hexadecimal forms show the low 16 bits; a rounded -0.5 prints 0, never "-0".
TEST(SvcFaults, NumbersNeverPrintSignExtendedOrNegativeZero) {
    ScratchFolder folder;
    const Decoded decoded = decode(folder, "numbers",
                                   {configurationRecord(1, {{0x0101, 0x0102}}),
                                    {0x0325,
                                     {0x0002, 0x0001, 0x0101, 0x6010, 0x01FF, 0x0000, 0x0000,
                                      0x0002, 0x0909, 0x6010, 0x0000, 0x0000, 0x0000},
                                     {}}});
    const std::vector<std::string> listing = decoded.lines("_parse.txt");
    EXPECT_EQ(countOf(listing, "#0x0000#" + W6 +
                                   "     Destination Address = 0  x0\t\tDPM Location = x0000 - "
                                   "xFFFE\t%IW0.0.0.-256 - %IW0.0.0.-257"),
              1);
    EXPECT_EQ(countOf(listing, "#0x01FF#" + W6 +
                                   "     Destination Address = 511  x1FF\t\tDPM Location = x01FF - "
                                   "x01FF\t%IW0.0.0.-0.5 - %IW0.0.0.-0.5"),
              1);
    const std::vector<std::string> csv = decoded.lines("_excel.csv");
    ASSERT_EQ(csv.size(), 2u);
    EXPECT_EQ(csv[1], "1,1,2,1,0,x0001,x01FF,0.0.0.0,,,");
}

// The first extension byte stands in the extension-length word itself: an entry with one byte
// of extension ends there, and the next word opens the next entry.
TEST(SvcFaults, OneByteExtensionEndsItsEntry) {
    ScratchFolder folder;
    const Decoded decoded = decode(folder, "onebyte",
                                   {configurationRecord(1, {{0x0101, 0x0202}, {0x0102, 0x0101}}),
                                    {0x0325,
                                     {0x0002, 0x0001, 0x0101, 0x6010, 0x0200, 0x0000, 0x0105,
                                      0x4001, 0x0000, 0x0000, 0x0102, 0x6011, 0x0000},
                                     {}}});
    ASSERT_TRUE(decoded.result.ok) << decoded.result.errorText;
    EXPECT_EQ(decoded.result.mapEntryCount, 2);
    const std::vector<std::string> listing = decoded.lines("_parse.txt");
    EXPECT_EQ(countOf(listing, "#0x0105#" + W6 + "     MAP_Extension = 1  Extension = x5"), 1);
    EXPECT_EQ(countOf(listing, "#0x4001#" + W6 + "  ----- MAP_PDR_Index = x4001  (MAP_Index = 2) " +
                                   std::string(9, ' ') + "(Output)\tPDR Index =  x4001 (Output)"),
              1);
    EXPECT_EQ(initMapCount(decoded), 2);
    EXPECT_EQ(elementCount(decoded, "_map.xsy"), 2);
    // The output entry found its device.
    const std::vector<std::string> csv = decoded.lines("_excel.csv");
    ASSERT_EQ(csv.size(), 4u);
    EXPECT_EQ(csv[3], "1,2,1,1,0,,,,x4001,x0000,0.0.0.0");
}

// A file cut off inside an entry is an error, and so is one cut between two entries: the entries
// after the cut are missing. A record whose words make up its count is read as it is, even when
// its last entry announces more.
TEST(SvcFaults, FileEndingInsideAnEntryIsTruncated) {
    struct Case {
        const char* name;
        Record last;
        std::optional<std::string> error;  // the text after the input's name
    };
    const Case cases[] = {
        {"reference entry cut after its source number",
         {0x0325, {0x0001, 0x0001, 0x0101}, 7},
         ": its last record ends after 3 of its 7 data words"},
        {"description entry cut after its PDD index",
         {0x0321, {0x0101, 0x0001, 0x0010}, 7},
         ": its last record ends after 3 of its 7 data words"},
        {"device entry cut after its number",
         {0x0307, {0x0003, 0x0001, 0x0002, 0x0101}, 7},
         ": its last record ends after 4 of its 7 data words"},
        {"variable cut before its value word",
         {0x0750, {0x0001, 0x0201}, 3},
         ": its last record ends after 2 of its 3 data words"},
        {"PCP attribute cut after its reference",
         {0x0264, {0x000E, 0x0001, 0x0002}, 4},
         ": its last record ends after 3 of its 4 data words"},
        {"cut between two device entries",
         {0x0307, {0x0003, 0x0001, 0x0002, 0x0101, 0x0202}, 7},
         ": its last record ends after 5 of its 7 data words"},
        {"complete record whose last entry announces more",
         {0x0325, {0x0001, 0x0001, 0x0101}, {}},
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const Decoded decoded = decode(folder, "cut", {c.last});
        if (!c.error) {
            EXPECT_TRUE(decoded.result.ok) << decoded.result.errorText;
            continue;
        }
        EXPECT_FALSE(decoded.result.ok);
        EXPECT_EQ(decoded.result.errorText,
                  "(11) Truncated file " + decoded.root.string() + ".svc" + *c.error);
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            left.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(left, std::vector<std::string>{"cut.svc"});
    }
}

// A record that ends short of its words anywhere in the file, inside an entry or between two,
// or a word line that is no word, is refused as a file cut at its end is.
TEST(SvcFaults, RecordEndingInsideAnEntryOrAMalformedWordIsRefused) {
    const std::vector<Record> bus = busRecords();
    constexpr std::size_t kReferences = 3;
    const Record cut{0x0325, {0x0001, 0x0001, 0x0101}, 7};
    std::vector<Record> cutLast = bus;
    cutLast.push_back(cut);
    std::vector<Record> cutMiddle = bus;
    cutMiddle.insert(cutMiddle.begin() + kReferences + 1, cut);
    std::vector<Record> wordDeleted = bus;
    wordDeleted[kReferences].wordCount = static_cast<uint16_t>(bus[kReferences].data.size());
    wordDeleted[kReferences].data.erase(wordDeleted[kReferences].data.begin() + 2);
    std::vector<Record> shortAtBoundary = bus;
    shortAtBoundary[kReferences].wordCount = static_cast<uint16_t>(bus[kReferences].data.size());
    shortAtBoundary[kReferences].data.resize(bus[kReferences].data.size() - 7);
    std::string malformed = svcText(bus);
    malformed.replace(malformed.find("#0x0202#"), 8, "#0x1#");
    const auto atLine = [](const std::vector<Record>& records, std::size_t index) {
        return ": its record at line " + std::to_string(recordStartLine(records, index));
    };
    const struct {
        const char* name;
        std::string text;
        std::optional<std::string> error;  // after "(11) "; the name stands for the file's
    } cases[] = {
        {"last record", svcText(cutLast),
         "Truncated file NAME: its last record ends after 3 of its 7 data words"},
        {"last record, empty lines after it", svcText(cutLast) + "\r\n\r\n",
         "Truncated file NAME: its last record ends after 3 of its 7 data words"},
        {"a record in the middle", svcText(cutMiddle),
         "Truncated file NAME" + atLine(cutMiddle, kReferences + 1) +
             " ends after 3 of its 7 data words"},
        {"one word line deleted from the reference list", svcText(wordDeleted),
         "Truncated file NAME" + atLine(wordDeleted, kReferences) +
             " ends after 19 of its 20 data words"},
        {"a word line #0x1#", malformed,
         "Malformed line " + std::to_string(recordStartLine(bus, 0) + 7) +
             " in NAME: a word line is \"#0x\", four hexadecimal digits and \"#\""},
        {"a record short at an entry boundary", svcText(shortAtBoundary),
         "Truncated file NAME" + atLine(shortAtBoundary, kReferences) + " ends after " +
             std::to_string(bus[kReferences].data.size() - 7) + " of its " +
             std::to_string(bus[kReferences].data.size()) + " data words"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const std::filesystem::path root = folder.writeSvc("cut", c.text);
        SvcDecodeOptions options;
        std::ostringstream console;
        options.console = &console;
        const SvcDecodeResult result = decodeSvcFile(root, options);
        if (!c.error) {
            EXPECT_TRUE(result.ok) << result.errorText;
            continue;
        }
        EXPECT_FALSE(result.ok);
        std::string expected = "(11) " + *c.error;
        expected.replace(expected.find("NAME"), 4, root.string() + ".svc");
        EXPECT_EQ(result.errorText, expected);
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            left.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(left, std::vector<std::string>{"cut.svc"});
    }
}

// The longest root whose outputs all fit the file system's name limit decodes.
TEST(SvcFaults, RootAsLongAsTheNameLimitAllowsDecodes) {
    ScratchFolder folder;
    const long nameMax = ::pathconf(folder.path().c_str(), _PC_NAME_MAX);
    ASSERT_GT(nameMax, 20);
    const std::string name(static_cast<std::size_t>(nameMax) - std::string("_config.xsy").size(),
                           'r');
    const Decoded decoded = decode(folder, name, busRecords());
    ASSERT_TRUE(decoded.result.ok) << decoded.result.errorText;
    EXPECT_FALSE(decoded.lines("_config.xsy").empty());
    EXPECT_EQ(decoded.lines("_excel.csv").size(), 7u);
}

TEST(SvcFaults, WarningsCountWhatWasAnnouncedAndWhatWasNotStored) {
    Record entries{0x0321, {0x0101, 1100}, {}};
    for (int i = 0; i < 1100; ++i) {
        entries.data.insert(entries.data.end(),
                            {static_cast<uint16_t>(i + 1), 0x0203, 0x0004, 0x0508, 0x0000});
    }
    ScratchFolder folder;
    const Decoded decoded = decode(folder, "beyond", {oneWordDevices(1, 605), entries});
    ASSERT_TRUE(decoded.result.ok);
    EXPECT_EQ(decoded.result.warnings,
              (std::vector<std::string>{
                  "WARNING: 605 devices announced, 5 not stored: the device table holds rows 1 "
                  "to 600",
                  "WARNING: 1100 MAP entries announced, 100 not stored: the MAP table holds rows "
                  "1 to 1000",
                  "WARNING: 600 devices, but the PLC array holds 511 and its end entry; only the "
                  "first 511 are written, 89 are left out",
                  "WARNING: 1000 MAP entries, but the PLC array holds 511 and its end entry; only "
                  "the first 511 are written, 489 are left out"}));
    for (const std::string& warning : decoded.result.warnings) {
        EXPECT_NE(decoded.console.find(warning + "\n"), std::string::npos) << warning;
    }
}

TEST(SvcFaults, MissingInputFailsAndRemovesEarlierOutputs) {
    ScratchFolder folder;
    const std::filesystem::path root = folder.path() / "gone";
    for (const char* suffix :
         {"_parse.txt", "_config.xsy", "_map.xsy", "_init.xst", "_excel.csv"}) {
        std::filesystem::path stale = root;
        stale += suffix;
        std::ofstream(stale) << "an earlier run";
    }
    std::ostringstream console;
    SvcDecodeOptions options;
    options.console = &console;
    const SvcDecodeResult result = decodeSvcFile(root, options);
    EXPECT_FALSE(result.ok);
    std::filesystem::path input = root;
    input += ".svc";
    EXPECT_EQ(result.errorText, "(11) Unable to open " + input.string() + " Err = 2");
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

    // A folder under the input's name is no service file either.
    std::filesystem::create_directory(input);
    const SvcDecodeResult folderResult = decodeSvcFile(root, options);
    EXPECT_FALSE(folderResult.ok);
    EXPECT_EQ(folderResult.errorText.rfind("(11) Unable to open " + input.string() + " Err = ", 0),
              0u)
        << folderResult.errorText;
}

TEST(SvcFaults, UnwritableOutputFailsWithItsFileNumberAndLeavesNothingBehind) {
    ScratchFolder folder;
    const std::filesystem::path root = folder.writeSvc("blocked", svcText(busRecords()));
    std::filesystem::path earlierListing = root;
    earlierListing += "_parse.txt";
    std::ofstream(earlierListing) << "an earlier run";
    // A folder where the map file's working copy would go makes it impossible to create.
    std::filesystem::path mapFile = root;
    mapFile += "_map.xsy";
    const std::filesystem::path blocker = SvcStagedFile::stagingPathFor(mapFile);
    std::filesystem::create_directory(blocker);

    std::ostringstream console;
    SvcDecodeOptions options;
    options.console = &console;
    const SvcDecodeResult result = decodeSvcFile(root, options);
    EXPECT_FALSE(result.ok);
    std::filesystem::path mapPath = root;
    mapPath += "_map.xsy";
    EXPECT_EQ(result.errorText.rfind("(14) Unable to open " + mapPath.string() + " Err = ", 0), 0u)
        << result.errorText;
    std::filesystem::remove(blocker);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"blocked.svc"});
    EXPECT_EQ(readFile(root.string() + ".svc"), svcText(busRecords()));
}

TEST(SvcFaults, SecondRunReplacesTheOutputsOfTheFirst) {
    ScratchFolder folder;
    const Decoded first = decode(folder, "again", busRecords());
    ASSERT_TRUE(first.result.ok);
    const Decoded second = decode(folder, "again", {});
    ASSERT_TRUE(second.result.ok);
    EXPECT_EQ(second.output("_parse.txt"), "");
    EXPECT_EQ(second.lines("_excel.csv").size(), 1u);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
    }
}

}  // namespace
}  // namespace svc::testing
