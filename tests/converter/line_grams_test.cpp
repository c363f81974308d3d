// The quick test in front of each rename may pass over a line only when the rename's search text
// cannot occur in it: letters compared as the renames compare them, a to z matching A to Z.

#include "converter/conversion/line_grams.h"

#include <gtest/gtest.h>

#include <string>

#include "converter/conversion/replace_counted.h"

namespace vornick {
namespace {

struct Case {
    std::string line;
    std::string search;
    bool holds;
};

TEST(LineGrams, LetsThroughEveryLineThatHoldsTheSearchInAnyLetterCase) {
    const Case cases[] = {
        {"IBY_DIO_d0_s3.Inputs.IW[2] := 0;", "IBY_DIO", true},
        {"x := iby_dio_D0_S3.Freshness;", "IBY_DIO_d0_s3", true},
        {"\t\t<sectionDesc name=\"IBS_Data_IN_0_3\">", "ibs_data_in_0_3", true},
        {"END;IBY_OUT", "IBY_OUT", true},
        {"IBY", "IBY", true},
        {"Total_4 := Total_4 + Sample_4 * Gain;", "IBY_DIO", false},
        {"IBY_DI", "IBY_DIO", false},
    };
    for (const Case& c : cases) {
        // What the rename itself finds is the reference.
        std::string renamed = c.line;
        int count = 0;
        replaceAllCounted(renamed, c.search, "*", count);
        ASSERT_EQ(count > 0, c.holds) << c.line;
        const LineGrams grams(c.line);
        if (c.holds) {
            EXPECT_TRUE(grams.mayHold(gramKeyOf(c.search))) << c.line << " / " << c.search;
        }
    }
}

TEST(LineGrams, PassesOverALineWithoutTheSearch) {
    const LineGrams grams("Total_41 := Total_41 + Sample_4 * Gain;");
    EXPECT_FALSE(grams.mayHold(gramKeyOf("IBY_Channel")));
    EXPECT_FALSE(grams.mayHold(gramKeyOf("PMEDWLIP1")));
    // Too short to have a run of three: always scanned for.
    EXPECT_TRUE(grams.mayHold(gramKeyOf("Q7")));
}

TEST(LineGrams, ForgetsTheLineBefore) {
    LineGrams grams("IBY_Manage_d0_s3.Module.Ready");
    grams.take("IBS_Manage_d0_s3.Module.Ready");
    EXPECT_FALSE(grams.mayHold(gramKeyOf("IBY_Manage")));
    EXPECT_TRUE(grams.mayHold(gramKeyOf("IBS_Manage_d0_s3")));
}

}  // namespace
}  // namespace vornick
