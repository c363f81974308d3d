// A realistic service file with one line lost or written twice, decoded as Fennick's project
// conversion decodes the file it rebuilt: refused with no output left, or the very files of the
// file as written. The variations that editors and other tools bring in give those files too.

#include <gtest/gtest.h>

#include <filesystem>

#include "svc_field_sample.h"
#include "svc_fixture.h"
#include "svc_text_variants.h"

namespace svc::testing {
namespace {

// The files that go on into the project; the listing echoes the input and so differs.
constexpr const char* kProjectOutputs[] = {"_config.xsy", "_map.xsy", "_init.xst", "_excel.csv"};
constexpr SvcModuleContext kModule{0, 3};

class SvcDamagedFile : public ::testing::Test {
  protected:
    void SetUp() override {
        const Decoded plain = decode(folder_, "plain", fieldSampleRecords(), kModule);
        ASSERT_TRUE(plain.result.ok) << plain.result.errorText;
        ASSERT_TRUE(plain.result.warnings.empty());
        for (const char* suffix : kProjectOutputs) {
            plainOutputs_.push_back(plain.output(suffix));
        }
    }

    // Refused, with none of the outputs left; or the outputs of the file as written. Returns
    // whether it was refused.
    bool expectRefusedOrSameOutputs(const TextVariant& variant) {
        SCOPED_TRACE(variant.name);
        const Decoded decoded = decodeText(folder_, "plant", variant.text, kModule);
        if (!decoded.result.ok) {
            EXPECT_EQ(decoded.result.errorText.rfind("(11) ", 0), 0u) << decoded.result.errorText;
            for (const char* suffix : svcOutputSuffixes) {
                std::filesystem::path output = decoded.root;
                output += suffix;
                EXPECT_FALSE(std::filesystem::exists(output)) << suffix;
            }
            return true;
        }
        for (std::size_t i = 0; i < std::size(kProjectOutputs); ++i) {
            EXPECT_EQ(decoded.output(kProjectOutputs[i]), plainOutputs_[i]) << kProjectOutputs[i];
        }
        return false;
    }

    ScratchFolder folder_;
    std::vector<std::string> plainOutputs_;
};

TEST_F(SvcDamagedFile, EveryLineWrittenTwiceIsRefusedOrChangesNothing) {
    int refused = 0;
    const std::vector<TextVariant> variants = eachWordLineDuplicated(svcText(fieldSampleRecords()));
    for (const TextVariant& variant : variants) {
        refused += expectRefusedOrSameOutputs(variant) ? 1 : 0;
    }
    // Only a doubled "#CMD#", or a word of a record that feeds no table, leaves the outputs.
    EXPECT_GT(refused, static_cast<int>(variants.size()) * 3 / 4);
}

TEST_F(SvcDamagedFile, EveryLineLostIsRefusedOrChangesNothing) {
    for (const TextVariant& variant : eachLineDeleted(svcText(fieldSampleRecords()))) {
        expectRefusedOrSameOutputs(variant);
    }
}

TEST_F(SvcDamagedFile, HarmlessVariationsGiveTheSameOutputsWithoutWarnings) {
    for (const TextVariant& variant : harmlessVariants(fieldSampleRecords())) {
        SCOPED_TRACE(variant.name);
        const Decoded decoded = decodeText(folder_, "plant", variant.text, kModule);
        EXPECT_TRUE(decoded.result.ok) << decoded.result.errorText;
        EXPECT_TRUE(decoded.result.warnings.empty());
        for (std::size_t i = 0; i < std::size(kProjectOutputs); ++i) {
            EXPECT_EQ(decoded.output(kProjectOutputs[i]), plainOutputs_[i]) << kProjectOutputs[i];
        }
        // Every record decoded, also those that feed none of the files.
        EXPECT_EQ(countContaining(decoded.lines("_parse.txt"), "Command = "), variant.records);
    }
}

// The caller is given the text that names the record that does not add up, or the line that
// stands outside any record; a record of a service that feeds none of the files is read with a
// warning, in the listing where the record ends and among the run's warnings.
TEST_F(SvcDamagedFile, TheErrorNamesTheRecordThatDoesNotAddUp) {
    for (const SampleDamage& damage : fieldSampleDamages()) {
        SCOPED_TRACE(damage.name);
        const Decoded decoded = decodeText(folder_, "plant", damage.text, kModule);
        if (!damage.refusal.empty()) {
            std::string refusal = "(11) " + damage.refusal;
            refusal.replace(refusal.find("NAME"), 4, decoded.root.string() + ".svc");
            EXPECT_FALSE(decoded.result.ok);
            EXPECT_EQ(decoded.result.errorText, refusal);
            continue;
        }
        EXPECT_TRUE(decoded.result.ok) << decoded.result.errorText;
        EXPECT_EQ(decoded.result.warnings, std::vector<std::string>{damage.warning});
        const std::vector<std::string> listing = decoded.lines("_parse.txt");
        const int at = indexOf(listing, damage.warning);
        if (at < 1) {
            ADD_FAILURE() << "no warning line in the listing";
            continue;
        }
        EXPECT_EQ(listing[static_cast<std::size_t>(at) + 1], std::string(14, ' '));
        EXPECT_EQ(countOf(lfLines(decoded.console), damage.warning), 1);
        for (std::size_t i = 0; i < std::size(kProjectOutputs); ++i) {
            EXPECT_EQ(decoded.output(kProjectOutputs[i]), plainOutputs_[i]) << kProjectOutputs[i];
        }
    }
}

}  // namespace
}  // namespace svc::testing
