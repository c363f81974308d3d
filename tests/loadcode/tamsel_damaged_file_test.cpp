// A realistic service file with one line lost or written twice, wherever it stands: the file is
// refused, or it gives the very load file of the file as written; never another load file under
// "Finished". The variations that editors and other tools bring in give that load file too.

#include <gtest/gtest.h>

#include <fstream>

#include "svc_field_sample.h"
#include "svc_text_variants.h"
#include "tamsel_fixture.h"

namespace loadcode::testing {
namespace {

namespace fs = std::filesystem;
using svc::testing::fieldSampleRecords;
using svc::testing::svcText;
using svc::testing::TextVariant;

class TamselDamagedFile : public TamselTest {
  protected:
    void SetUp() override {
        TamselTest::SetUp();
        const Converted plain = convert("plant", fieldSampleRecords());
        ASSERT_TRUE(plain.result.finished) << plain.transcript;
        ASSERT_TRUE(plain.result.warnings.empty());
        plainLoad_ = plain.output("_LOAD.xst");
    }

    // Converts `text` as plant.SVC over the load file of the file as written, whatever the run
    // before made of it: a refused run must keep that one.
    Converted convertText(const std::string& text) {
        std::ofstream(folder() / "plant_LOAD.xst", std::ios::binary | std::ios::trunc)
            << plainLoad_;
        std::ofstream(svcPath(), std::ios::binary | std::ios::trunc) << text;
        return convertFile(svcPath());
    }

    // Refused with the stop box, or finished with the load file of the file as written; either
    // way the load file in the folder is that one. Returns whether it was refused.
    bool expectRefusedOrSameLoadFile(const TextVariant& variant) {
        SCOPED_TRACE(variant.name);
        const Converted converted = convertText(variant.text);
        EXPECT_EQ(converted.output("_LOAD.xst"), plainLoad_) << converted.transcript;
        if (converted.result.finished) {
            EXPECT_EQ(converted.transcript.rfind("msgbox \"Finished\" \"", 0), 0u)
                << converted.transcript;
            return false;
        }
        EXPECT_EQ(converted.transcript.rfind("msgbox \"OK\" \"(1) ", 0), 0u)
            << converted.transcript;
        EXPECT_NE(converted.transcript.find("\" icon stop -> OK\n"), std::string::npos);
        return true;
    }

    fs::path svcPath() const { return folder() / "plant.SVC"; }

    std::string plainLoad_;
};

TEST_F(TamselDamagedFile, EveryLineWrittenTwiceIsRefusedOrChangesNothing) {
    int refused = 0;
    const std::vector<TextVariant> variants =
        svc::testing::eachWordLineDuplicated(svcText(fieldSampleRecords()));
    for (const TextVariant& variant : variants) {
        refused += expectRefusedOrSameLoadFile(variant) ? 1 : 0;
    }
    // Only a doubled "#CMD#", or a word of a record that feeds no table, leaves the load file.
    EXPECT_GT(refused, static_cast<int>(variants.size()) * 3 / 4);
}

TEST_F(TamselDamagedFile, EveryLineLostIsRefusedOrChangesNothing) {
    for (const TextVariant& variant :
         svc::testing::eachLineDeleted(svcText(fieldSampleRecords()))) {
        expectRefusedOrSameLoadFile(variant);
    }
}

TEST_F(TamselDamagedFile, HarmlessVariationsGiveTheSameLoadFileWithoutWarnings) {
    for (const TextVariant& variant : svc::testing::harmlessVariants(fieldSampleRecords())) {
        SCOPED_TRACE(variant.name);
        const Converted converted = convertText(variant.text);
        EXPECT_TRUE(converted.result.finished) << converted.transcript;
        EXPECT_TRUE(converted.result.warnings.empty());
        EXPECT_EQ(converted.output("_LOAD.xst"), plainLoad_);
        // Every record decoded, also those that feed nothing of the load file.
        EXPECT_EQ(svc::testing::countContaining(converted.lines("_parse.txt"), "Command = "),
                  variant.records);
    }
}

// The user is told which record does not add up and how, or which line stands outside any
// record; a record of a service that feeds nothing of the load file is read with a warning in
// the listing, where the record ends, and in the closing box.
TEST_F(TamselDamagedFile, TheBoxNamesTheRecordThatDoesNotAddUp) {
    for (const svc::testing::SampleDamage& damage : svc::testing::fieldSampleDamages()) {
        SCOPED_TRACE(damage.name);
        const Converted converted = convertText(damage.text);
        if (!damage.refusal.empty()) {
            std::string refusal = "(1) " + damage.refusal;
            refusal.replace(refusal.find("NAME"), 4, svcPath().string());
            std::string shown;
            for (char c : refusal) {
                shown += c == '"' ? std::string("\\\"") : std::string(1, c);
            }
            EXPECT_FALSE(converted.result.finished);
            EXPECT_EQ(converted.transcript, "msgbox \"OK\" \"" + shown + "\" icon stop -> OK\n");
            EXPECT_EQ(converted.output("_LOAD.xst"), plainLoad_);
            continue;
        }
        EXPECT_TRUE(converted.result.finished) << converted.transcript;
        EXPECT_EQ(converted.result.warnings, std::vector<std::string>{damage.warning});
        fs::path load = converted.root;
        load += "_LOAD.xst";
        EXPECT_EQ(converted.transcript, "msgbox \"Finished\" \" Created: " + load.string() +
                                            "\\r\\n " + damage.warning +
                                            "\" icon information -> OK\n");
        // Right after the record's last word, before the empty line that ends it.
        const std::vector<std::string> listing = converted.lines("_parse.txt");
        const int at = svc::testing::indexOf(listing, damage.warning);
        if (at < 1) {
            ADD_FAILURE() << "no warning line in the listing";
            continue;
        }
        EXPECT_EQ(listing[static_cast<std::size_t>(at) + 1], std::string(14, ' '));
        EXPECT_EQ(listing[static_cast<std::size_t>(at) - 1].rfind("#0x", 0), 0u);
        EXPECT_EQ(converted.output("_LOAD.xst"), plainLoad_);
    }
}

}  // namespace
}  // namespace loadcode::testing
