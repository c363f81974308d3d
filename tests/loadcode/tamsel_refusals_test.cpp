// Service files that would give a wrong load file under a "Finished" box: records that lost a
// word line, word lines that are no words, devices the PLC takes for the end of its
// configuration, more of the bus than the PLC arrays hold, and a folder that takes no new file.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <fstream>
#include <optional>

#include "tamsel_fixture.h"
#include "tamsel_sample.h"

namespace loadcode::testing {
namespace {

namespace fs = std::filesystem;
using svc::testing::configurationRecord;
using svc::testing::countOf;
using svc::testing::recordStartLine;
using svc::testing::svcText;

const std::string kMapEntry = "\tIBS_Manage_PMEDWL.Map[IBS_Manage_PMEDWL.Entry].PDR_Index :=";

int mapEntries(const std::vector<std::string>& load) {
    int count = 0;
    for (const std::string& line : load) {
        count += line.rfind(kMapEntry + "           16#", 0) == 0 ? 1 : 0;
    }
    return count;
}

class TamselRefusals : public TamselTest {
  protected:
    // Converts the sample as plant.SVC, then `text` in its place; the refused run must leave
    // the sample's pair of files as they were.
    Converted convertAfterSample(const std::string& text) {
        const Converted first = convert("plant", tamselSampleRecords());
        EXPECT_TRUE(first.result.finished);
        earlierListing_ = first.output("_parse.txt");
        earlierLoad_ = first.output("_LOAD.xst");
        std::ofstream(svcPath(), std::ios::binary | std::ios::trunc) << text;
        return convertFile(svcPath());
    }
    void expectEarlierPairKept(const Converted& refused) const {
        EXPECT_EQ(refused.output("_parse.txt"), earlierListing_);
        EXPECT_EQ(refused.output("_LOAD.xst"), earlierLoad_);
        EXPECT_EQ(filesIn(folder()),
                  (std::vector<std::string>{"plant.SVC", "plant_LOAD.xst", "plant_parse.txt"}));
    }
    fs::path svcPath() const { return folder() / "plant.SVC"; }

  private:
    std::string earlierListing_;
    std::string earlierLoad_;
};

constexpr std::size_t kReferences = 7;  // the sample's Load_Process_Data_Reference_List

// A record that ends short of its words has lost a word line: every entry after the gap would
// be read from the wrong words, or the entries after a cut between two are missing. Wherever
// the record stands and however it ends, the file is refused.
TEST_F(TamselRefusals, RecordEndingInsideAnEntryIsRefusedWhereverItStands) {
    const std::vector<Record> sample = tamselSampleRecords();
    ASSERT_EQ(sample[kReferences].code, 0x0325);
    const Record cut{0x0325, {0x0001, 0x0001, 0x0101}, 7};
    std::vector<Record> cutLast = sample;
    cutLast.push_back(cut);
    std::vector<Record> cutMiddle = sample;
    cutMiddle.insert(cutMiddle.begin() + kReferences + 1, cut);
    // The first input's source device deleted: its place goes to the next word.
    std::vector<Record> wordDeleted = sample;
    Record& references = wordDeleted[kReferences];
    references.wordCount = static_cast<uint16_t>(references.data.size());
    references.data.erase(references.data.begin() + 2);
    // The direct link, the last entry, missing whole.
    std::vector<Record> shortAtBoundary = sample;
    shortAtBoundary[kReferences].wordCount =
        static_cast<uint16_t>(shortAtBoundary[kReferences].data.size());
    shortAtBoundary[kReferences].data.resize(shortAtBoundary[kReferences].data.size() - 7);

    const auto atLine = [](const std::vector<Record>& records, std::size_t index) {
        return ": its record at line " + std::to_string(recordStartLine(records, index));
    };
    const struct {
        const char* name;
        std::string text;
        std::optional<std::string> error;  // after the file's name
    } cases[] = {
        {"last record, the file ends on its last word", svcText(cutLast),
         ": its last record ends after 3 of its 7 data words"},
        {"last record, empty lines after it", svcText(cutLast) + "\r\n\r\n",
         ": its last record ends after 3 of its 7 data words"},
        {"a record in the middle", svcText(cutMiddle),
         atLine(cutMiddle, kReferences + 1) + " ends after 3 of its 7 data words"},
        {"one word line deleted from the reference list", svcText(wordDeleted),
         atLine(wordDeleted, kReferences) + " ends after 32 of its 33 data words"},
        {"a record short at an entry boundary", svcText(shortAtBoundary),
         atLine(shortAtBoundary, kReferences) + " ends after 26 of its 33 data words"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Converted converted = convertAfterSample(c.text);
        if (!c.error) {
            ASSERT_TRUE(converted.result.finished) << converted.transcript;
            EXPECT_EQ(mapEntries(converted.lines("_LOAD.xst")), 5);
            continue;
        }
        EXPECT_FALSE(converted.result.finished);
        EXPECT_EQ(converted.transcript, "msgbox \"OK\" \"(1) Truncated file " + svcPath().string() +
                                            *c.error + "\" icon stop -> OK\n");
        expectEarlierPairKept(converted);
    }
}

// Inside a record every line with "#" is read as a word; one that is not "#0x" and four
// hexadecimal digits would be decoded as a number nobody wrote. The first such line is named.
TEST_F(TamselRefusals, WordLineThatIsNoWordIsRefusedWithItsLineNumber) {
    const std::vector<Record> records = {configurationRecord(1, {{0x0101, 0x0202}})};
    const std::string good = svcText(records);
    // The device code: seven lines after the "#CMD#" (code, count, mask, start, count, number).
    const long long line = recordStartLine(records, 0) + 7;
    const struct {
        const char* name;
        std::string line;
        bool refused;
    } cases[] = {
        {"one digit", "#0x1#", true},
        {"a NUL inside",
         std::string("#0x02\0"
                     "2#",
                     8),
         true},
        {"five digits", "#0x02022#", true},
        {"not hexadecimal", "#0x020G#", true},
        {"a blank before the #", " #0x0202#", true},
        {"no closing #", "#0x0202", true},
        {"lower-case digits", "#0x020a#", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = good;
        const std::size_t at = text.find("#0x0202#");
        ASSERT_NE(at, std::string::npos);
        text.replace(at, 8, c.line);
        const Converted converted = convertAfterSample(text);
        if (!c.refused) {
            EXPECT_TRUE(converted.result.finished) << converted.transcript;
            continue;
        }
        EXPECT_FALSE(converted.result.finished);
        EXPECT_EQ(converted.transcript, "msgbox \"OK\" \"(1) Malformed line " +
                                            std::to_string(line) + " in " + svcPath().string() +
                                            ": a word line is \\\"#0x\\\", four hexadecimal digits "
                                            "and \\\"#\\\"\" icon stop -> OK\n");
        expectEarlierPairKept(converted);
    }
}

// A word line before any record is only echoed, as ever: it is read as no number.
TEST_F(TamselRefusals, LineOutsideARecordIsOnlyEchoed) {
    const Converted converted = convertAfterSample(
        "#0x1# notes\r\n" + svcText({configurationRecord(1, {{0x0101, 0x0202}})}));
    EXPECT_TRUE(converted.result.finished) << converted.transcript;
}

// The PLC stops its configuration at the first Segment_Number of 0: a device so numbered, or a
// row that no configuration record filled, loses it and every device after it.
TEST_F(TamselRefusals, DeviceWithBusSegmentZeroIsWarnedAbout) {
    const struct {
        const char* name;
        Record record;
        std::string warning;
    } cases[] = {
        {"a device numbered 0.5",
         configurationRecord(1, {{0x0101, 0x0202}, {0x0005, 0x0202}, {0x0102, 0x0101}}),
         "WARNING: device 2 (Node_0.5) has bus segment 0, which the PLC reads as the end of its "
         "configuration: the module gets none of devices 2 to 3"},
        {"rows no record filled", configurationRecord(3, {{0x0101, 0x0202}}),
         "WARNING: device 1 (Node_0.0) has bus segment 0, which the PLC reads as the end of its "
         "configuration: the module gets none of devices 1 to 3 (1 more device has bus "
         "segment 0)"},
        {"the last device", configurationRecord(1, {{0x0101, 0x0202}, {0x0007, 0x0202}}),
         "WARNING: device 2 (Node_0.7) has bus segment 0, which the PLC reads as the end of its "
         "configuration: the module does not get it"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Converted converted = convert("plant", {c.record});
        ASSERT_TRUE(converted.result.finished) << converted.transcript;
        EXPECT_EQ(converted.result.warnings, std::vector<std::string>{c.warning});
        EXPECT_EQ(converted.lines("_parse.txt").back(), c.warning);
        fs::path load = converted.root;
        load += "_LOAD.xst";
        EXPECT_EQ(converted.transcript, "msgbox \"Finished\" \" Created: " + load.string() +
                                            "\\r\\n " + c.warning + "\" icon information -> OK\n");
    }
    const Converted whole = convert("plant", {configurationRecord(1, {{0x0101, 0x0202}})});
    EXPECT_TRUE(whole.result.warnings.empty());
}

// A load file that configures part of the bus says so in its caption, the warning first.
TEST_F(TamselRefusals, MoreThanThePlcArraysHoldIsFinishedIncomplete) {
    const auto devices = [](int count) {
        std::vector<std::pair<uint16_t, uint16_t>> list;
        for (int i = 0; i < count; ++i) {
            list.emplace_back(static_cast<uint16_t>(0x0101 + (i / 200) * 0x0100 + i % 200), 0x0202);
        }
        return configurationRecord(1, list);
    };
    const auto entries = [](int count) {
        Record record{0x0321, {0x0101, static_cast<uint16_t>(count)}, {}};
        for (int i = 0; i < count; ++i) {
            record.data.insert(record.data.end(),
                               {static_cast<uint16_t>(i + 1), 0x0203, 0x0004, 0x0508, 0x0000});
        }
        return record;
    };
    const struct {
        const char* name;
        Record record;
        std::optional<std::string> warning;  // none: the whole bus fits
    } cases[] = {
        {"511 devices", devices(511), std::nullopt},
        {"512 devices", devices(512),
         "WARNING: 512 devices, but the PLC array holds 511 and its end entry; only the first 511 "
         "are written, 1 are left out"},
        {"511 MAP entries", entries(511), std::nullopt},
        {"512 MAP entries", entries(512),
         "WARNING: 512 MAP entries, but the PLC array holds 511 and its end entry; only the first "
         "511 are written, 1 are left out"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Converted converted = convert("plant", {c.record});
        ASSERT_TRUE(converted.result.finished) << converted.transcript;
        fs::path load = converted.root;
        load += "_LOAD.xst";
        const std::string created = " Created: " + load.string();
        if (!c.warning) {
            EXPECT_EQ(converted.transcript,
                      "msgbox \"Finished\" \"" + created + "\" icon information -> OK\n");
            continue;
        }
        EXPECT_EQ(converted.transcript, "msgbox \"Finished - incomplete\" \" " + *c.warning +
                                            "\\r\\n" + created + "\" icon information -> OK\n");
    }
}

// Makes a folder take no new file while the files in it stay writable: an immutable folder for
// the super-user (whom permissions do not stop), a folder without write permission otherwise.
class NoNewFilesIn {
  public:
    explicit NoNewFilesIn(const fs::path& folder) : folder_(folder) {
        if (::geteuid() != 0) {
            fs::permissions(folder_, fs::perms::owner_write, fs::perm_options::remove);
            active_ = true;
            return;
        }
        active_ = setImmutable(true);
    }
    ~NoNewFilesIn() {
        if (::geteuid() != 0) {
            fs::permissions(folder_, fs::perms::owner_write, fs::perm_options::add);
        } else if (active_) {
            setImmutable(false);
        }
    }
    bool active() const { return active_; }

  private:
    bool setImmutable(bool on) const {
        const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }
    fs::path folder_;
    bool active_ = false;
};

// The outputs are first written under new names beside their final ones: a folder that takes
// no new file stops the run even though the earlier outputs themselves are writable, and the
// user is told about the folder.
TEST_F(TamselRefusals, FolderThatTakesNoNewFileIsNamed) {
    const Converted first = convert("plant", tamselSampleRecords());
    ASSERT_TRUE(first.result.finished);
    const std::string listing = first.output("_parse.txt");
    Converted refused;
    {
        NoNewFilesIn guard(folder());
        if (!guard.active()) {
            GTEST_SKIP() << "this file system cannot make a folder refuse new files";
        }
        refused = convertFile(svcPath());
    }
    EXPECT_FALSE(refused.result.finished);
    EXPECT_EQ(refused.transcript.rfind("msgbox \"OK\" \"(2) Unable to create a file in the "
                                       "folder " +
                                           folder().string() + " Err = ",
                                       0),
              0u)
        << refused.transcript;
    EXPECT_EQ(refused.output("_parse.txt"), listing);
}

}  // namespace
}  // namespace loadcode::testing
