// Service files that reach past the tables, and conversions that fail: every run ends with a
// box, writes only what it stored, and never leaves a half-written or mismatched pair of files
// in place of an earlier good one.

#include <gtest/gtest.h>

#include <fstream>

#include "svc/svc_staged_file.h"
#include "tamsel_fixture.h"
#include "tamsel_sample.h"

namespace loadcode::testing {
namespace {

namespace fs = std::filesystem;
using svc::testing::countOf;
using svc::testing::indexOf;

const std::string kConfig = "\tIBS_Manage_PMEDWL.Config[IBS_Manage_PMEDWL.Entry].";
const std::string kMap = "\tIBS_Manage_PMEDWL.Map[IBS_Manage_PMEDWL.Entry].";
const std::string kFirstEntry = "\tIBS_Manage_PMEDWL.Entry := 0;";
const std::string kEndOfConfig = kConfig + "Segment_Number := 0;\t(* End of Config *)";
const std::string kEndOfMap = kMap + "PDR_Index := 16#0000;\t\t(* End of Map *)";

int configEntries(const std::vector<std::string>& load) {
    int count = 0;
    for (const std::string& line : load) {
        count += line.rfind(kConfig + "Segment_Number :=   ", 0) == 0 ? 1 : 0;
    }
    return count;
}

int mapEntries(const std::vector<std::string>& load) {
    int count = 0;
    for (const std::string& line : load) {
        count += line.rfind(kMap + "PDR_Index :=           16#", 0) == 0 ? 1 : 0;
    }
    return count;
}

class TamselFaults : public TamselTest {
  protected:
    // A refused run leaves the pair of files that the earlier run made, and nothing else.
    void expectEarlierPairKept(const Converted& refused, const std::string& listing,
                               const std::string& load) const {
        EXPECT_EQ(refused.output("_parse.txt"), listing);
        EXPECT_EQ(refused.output("_LOAD.xst"), load);
        EXPECT_EQ(filesIn(folder()),
                  (std::vector<std::string>{"plant.SVC", "plant_LOAD.xst", "plant_parse.txt"}));
    }
};

// Records whose layout has no room for an entry have none, and nothing is divided by 0.
TEST_F(TamselFaults, ConfigurationWithoutRoomForEntriesStoresNoDevice) {
    // One entry of 261 words: with the place after it, wider than the layout.
    Record wideEntry{0x0307, {0x4003, 0x0001, 0x0001, 0x0101, 0x0202}, {}};
    wideEntry.data.resize(264, 0x0000);
    const struct {
        const char* name;
        Record record;
    } cases[] = {
        {"entry count 0", {0x0307, {0x0003, 0x0001, 0x0000, 0x0101, 0x0202}, {}}},
        {"word count 3", {0x0307, {0x0003, 0x0001, 0x0002}, {}}},
        {"entry wider than the layout", wideEntry},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Converted converted = convert("empty", {c.record});
        ASSERT_TRUE(converted.result.finished) << converted.transcript;
        const std::vector<std::string> load = converted.lines("_LOAD.xst");
        const int head = indexOf(load, kFirstEntry);
        ASSERT_GT(head, 0);
        EXPECT_EQ(load[static_cast<std::size_t>(head) + 1], kEndOfConfig);
        for (const std::string& line : converted.lines("_parse.txt")) {
            EXPECT_EQ(line.find("Bus_Segment_Number"), std::string::npos) << line;
        }
    }
}

// What lies beyond the tables is listed, never stored, and said once per table: at the end of
// the listing, on the console and in the closing box.
TEST_F(TamselFaults, RowsBeyondTheTablesAreListedNotStoredAndSaidOnce) {
    Record pcp = svc::testing::configurationRecord(1, {});
    for (int i = 0; i < 302; ++i) {
        pcp.data.insert(pcp.data.end(), {static_cast<uint16_t>(0x0100 + (i % 250) + 1), 0x01C1});
    }
    pcp.data[2] = 302;
    Record entries{0x0321, {0x0101, 1002}, {}};
    for (int i = 0; i < 1002; ++i) {
        entries.data.insert(entries.data.end(),
                            {static_cast<uint16_t>(i + 1), 0x0203, 0x0004, 0x0508, 0x0000});
    }
    Record beyond = svc::testing::configurationRecord(600, {{0x0A01, 0x0202}, {0x0A02, 0x0202}});
    const Record references{0x0264, {0x000E, 0x0002, 301, 0x0020, 302, 0x0021}, {}};
    const Converted converted = convert("beyond", {pcp, beyond, references, entries});
    ASSERT_TRUE(converted.result.finished) << converted.transcript;
    const std::vector<std::string> warnings = {
        "WARNING: 304 devices announced, 1 not stored: the device table holds rows 1 to 600",
        "WARNING: 1002 MAP entries announced, 2 not stored: the MAP table holds rows 1 to 1000",
        "WARNING: 3 PCP nodes beyond node 300 are listed but not stored",
        "WARNING: 2 communication references beyond 300 are listed but not stored",
        "WARNING: 600 devices, but the PLC array holds 511 and its end entry; only the first 511 "
        "are written, 89 are left out",
        "WARNING: 1000 MAP entries, but the PLC array holds 511 and its end entry; only the "
        "first 511 are written, 489 are left out",
        // Rows 303 to 599 were never filled: the PLC stops at the first of them.
        "WARNING: device 303 (Node_0.0) has bus segment 0, which the PLC reads as the end of its "
        "configuration: the module gets none of devices 303 to 511 (208 more devices have bus "
        "segment 0)"};
    EXPECT_EQ(converted.result.warnings, warnings);
    const std::vector<std::string> listing = converted.lines("_parse.txt");
    ASSERT_GE(listing.size(), warnings.size());
    EXPECT_EQ(
        std::vector<std::string>(listing.end() - static_cast<long>(warnings.size()), listing.end()),
        warnings);
    EXPECT_EQ(countOf(listing, "#0x0A02#      " +
                                   std::string("    --- Bus_Segment_Number = 10  Position = 2 "
                                               "Devicenumber(601) = xA02")),
              1);
    for (const std::string& warning : warnings) {
        EXPECT_NE(converted.console.find(warning + "\n"), std::string::npos) << warning;
        EXPECT_NE(converted.transcript.find(warning), std::string::npos) << warning;
    }
    const std::vector<std::string> load = converted.lines("_LOAD.xst");
    EXPECT_EQ(configEntries(load), 511);
    EXPECT_EQ(mapEntries(load), 511);
}

// The load file holds the entries that were stored, whatever the records announced, and its map
// always ends with PDR_Index 0.
TEST_F(TamselFaults, MapHoldsTheStoredEntriesAndEndsWithZero) {
    const struct {
        const char* name;
        std::vector<Record> records;
        int entries;
    } cases[] = {
        {"more announced than given",
         {{0x0325, {0x0009, 0x0001, 0x0101, 0x6010, 0x0200, 0x0000, 0x0000}, {}}},
         1},
        {"a count of 0 before the entries",
         {{0x0325, {0x0000, 0x0001, 0x0101, 0x6010, 0x0200, 0x0000, 0x0000}, {}}},
         1},
        {"no map at all", {svc::testing::configurationRecord(1, {{0x0101, 0x0202}})}, 0},
        {"only words that open no entry", {{0x0325, {0x0002, 0x0000, 0xC123}, {}}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Converted converted = convert("map", c.records);
        ASSERT_TRUE(converted.result.finished) << converted.transcript;
        const std::vector<std::string> load = converted.lines("_LOAD.xst");
        EXPECT_EQ(mapEntries(load), c.entries);
        EXPECT_EQ(countOf(load, kEndOfMap), 1);
        if (c.entries == 0) {
            EXPECT_EQ(load[static_cast<std::size_t>(indexOf(load, kEndOfMap)) - 1], kFirstEntry);
        }
    }
}

TEST_F(TamselFaults, FilesThatCannotBeOpenedOrReadEndWithTheirSite) {
    const fs::path missing = folder() / "missing.SVC";
    const Converted gone = convertFile(missing);
    EXPECT_FALSE(gone.result.finished);
    EXPECT_NE(gone.transcript.find("msgbox \"OK\" \"(1) Unable to open " + missing.string() +
                                   " Err = 2\" icon stop -> OK"),
              std::string::npos)
        << gone.transcript;

    const fs::path svc = writeSvc("cut.SVC", {{0x0325, {0x0001, 0x0001, 0x0101}, 7}});
    const Converted cut = convertFile(svc);
    EXPECT_FALSE(cut.result.finished);
    EXPECT_NE(
        cut.transcript.find("msgbox \"OK\" \"(1) Truncated file " + svc.string() +
                            ": its last record ends after 3 of its 7 data words\" icon stop -> OK"),
        std::string::npos)
        << cut.transcript;

    for (const auto& [suffix, site] :
         {std::pair<const char*, int>{"_parse.txt", 2}, {"_LOAD.xst", 15}}) {
        SCOPED_TRACE(suffix);
        const fs::path sample = writeSvc("blocked.SVC", tamselSampleRecords());
        fs::path output = folder() / "blocked";
        output += suffix;
        const fs::path blocker = svc::SvcStagedFile::stagingPathFor(output);
        fs::create_directory(blocker);
        const Converted blocked = convertFile(sample);
        fs::remove(blocker);
        EXPECT_FALSE(blocked.result.finished);
        EXPECT_NE(blocked.transcript.find("msgbox \"OK\" \"(" + std::to_string(site) +
                                          ") Unable to open " + output.string() + " Err = "),
                  std::string::npos)
            << blocked.transcript;
        EXPECT_EQ(blocked.transcript.find("Finished"), std::string::npos);
    }
    EXPECT_EQ(filesIn(folder()), (std::vector<std::string>{"blocked.SVC", "cut.SVC"}));
}

// A load file that cannot take its place leaves both earlier files as they were, in place: the
// listing already moved aside is put back.
TEST_F(TamselFaults, FailedRunKeepsTheEarlierPairOfFiles) {
    const Converted first =
        convert("plant", {svc::testing::configurationRecord(1, {{0x0101, 0x0202}})});
    ASSERT_TRUE(first.result.finished);
    const std::string listing = first.output("_parse.txt");
    const std::string load = first.output("_LOAD.xst");
    fs::path loadPath = first.root;
    loadPath += "_LOAD.xst";
    // The place the earlier load file is kept at during the move holds a folder: it cannot go
    // there, so the new pair cannot move in.
    const fs::path blocker = svc::SvcStagedFile::keptAsidePathFor(loadPath);
    fs::create_directory(blocker);
    std::ofstream(blocker / "inside") << "x";

    const Converted second = convert("plant", tamselSampleRecords());
    fs::remove_all(blocker);
    EXPECT_FALSE(second.result.finished);
    EXPECT_NE(second.transcript.find("msgbox \"OK\" \"(15) Unable to write " + loadPath.string() +
                                     " Err = "),
              std::string::npos)
        << second.transcript;
    EXPECT_EQ(second.transcript.find("Finished"), std::string::npos);
    EXPECT_EQ(second.output("_parse.txt"), listing);
    EXPECT_EQ(second.output("_LOAD.xst"), load);
    EXPECT_EQ(filesIn(folder()),
              (std::vector<std::string>{"plant.SVC", "plant_LOAD.xst", "plant_parse.txt"}));
}

// A file in which no record names a service is not a service file: the user picked the wrong
// one. It is refused, and the files an earlier, good conversion left stay as they were rather
// than give way to a load file that configures nothing.
TEST_F(TamselFaults, FileWithoutAServiceRecordIsRefusedAndKeepsTheEarlierFiles) {
    const Converted first = convert("plant", tamselSampleRecords());
    ASSERT_TRUE(first.result.finished);
    const std::string listing = first.output("_parse.txt");
    const std::string load = first.output("_LOAD.xst");
    const fs::path svcPath = folder() / "plant.SVC";
    const struct {
        const char* name;
        std::string content;
    } cases[] = {
        {"empty", ""},
        {"binary", std::string("PK\3\4\0\0\x80\xff#\n\x01#CMD", 15)},
        {"text without records", "Project notes\r\nrack 0 slot 3\r\n"},
        {"record starts only", "#CMD#\r\n\r\n#CMD#\r\n"},
        {"words outside any record", "#0x0307#\r\n#0x0004#\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(svcPath, std::ios::binary | std::ios::trunc) << c.content;
        const Converted refused = convertFile(svcPath);
        EXPECT_FALSE(refused.result.finished);
        EXPECT_EQ(refused.transcript,
                  "msgbox \"OK\" \"(1) No service record in " + svcPath.string() +
                      ": it is not an InterBus-S service file\" icon stop -> OK\n");
        expectEarlierPairKept(refused, listing, load);
    }
}

// An earlier output the user made read-only is kept: the run ends as opening it for output
// would, and leaves nothing else behind.
TEST_F(TamselFaults, ReadOnlyEarlierOutputIsKept) {
    for (const auto& [suffix, site] :
         {std::pair<const char*, int>{"_parse.txt", 2}, {"_LOAD.xst", 15}}) {
        SCOPED_TRACE(suffix);
        const Converted first =
            convert("plant", {svc::testing::configurationRecord(1, {{0x0101, 0x0202}})});
        ASSERT_TRUE(first.result.finished);
        const std::string listing = first.output("_parse.txt");
        const std::string load = first.output("_LOAD.xst");
        fs::path kept = first.root;
        kept += suffix;
        fs::permissions(kept,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        const Converted second = convert("plant", tamselSampleRecords());
        fs::permissions(kept, fs::perms::owner_write, fs::perm_options::add);
        EXPECT_FALSE(second.result.finished);
        EXPECT_EQ(second.transcript, "msgbox \"OK\" \"(" + std::to_string(site) +
                                         ") Unable to open " + kept.string() +
                                         " Err = 13\" icon stop -> OK\n");
        expectEarlierPairKept(second, listing, load);
    }
}

TEST_F(TamselFaults, FinishedBoxNamesTheLoadFileOnlyWhenBothAreComplete) {
    const Converted converted = convert("plant", tamselSampleRecords());
    ASSERT_TRUE(converted.result.finished);
    fs::path load = converted.root;
    load += "_LOAD.xst";
    EXPECT_EQ(converted.transcript,
              "msgbox \"Finished\" \" Created: " + load.string() + "\" icon information -> OK\n");
    EXPECT_EQ(filesIn(folder()),
              (std::vector<std::string>{"plant.SVC", "plant_LOAD.xst", "plant_parse.txt"}));
}

// The outputs are named by the file name without its extension, whatever its length, and lie
// beside it.
TEST_F(TamselFaults, OutputsAreNamedByTheFileWithoutItsExtension) {
    const struct {
        const char* input;
        const char* root;
    } cases[] = {
        {"plant.SVC", "plant"}, {"ab.S", "ab"}, {"line 3.svc2", "line 3"}, {"noext", "noext"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const Converted converted = convertFile(
            writeSvc(c.input, {svc::testing::configurationRecord(1, {{0x0101, 0x0202}})}));
        ASSERT_TRUE(converted.result.finished) << converted.transcript;
        EXPECT_TRUE(fs::exists(folder() / (std::string(c.root) + "_parse.txt")));
        EXPECT_TRUE(fs::exists(folder() / (std::string(c.root) + "_LOAD.xst")));
    }
}

}  // namespace
}  // namespace loadcode::testing
