#include "downloader/firmware_date.h"

#include <gtest/gtest.h>

TEST(FirmwareDateTest, MonthNames) {
    const struct {
        const char* letters;
        int32_t month;
    } cases[] = {{"Jan", 0},  {"JAN", 0},  {"May", 4},  {"Sep", 8},  {"SEP", 8},
                 {"Dec", 11}, {"DEC", 11}, {"dec", -1}, {"jAN", -1}, {"Decx", -1},
                 {"De", -1},  {"Xyz", -1}, {"DEc", -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseMonth(c.letters), c.month) << c.letters;
    }
}

TEST(FirmwareDateTest, DateValues) {
    EXPECT_EQ(DateValue("03Dec2020"), 20201103);
    EXPECT_EQ(DateValue("01JAN1999"), 19990001);
    EXPECT_EQ(DateValue("15Jun2021 extra"), 20210515);
    EXPECT_LT(*DateValue("31Dec2019"), *DateValue("01Jan2020"));
}

TEST(FirmwareDateTest, UnreadableDatesHaveNoValue) {
    for (const char* text : {"", "03Dec202", "3Dec2020", "03dec2020", "03Dec20x0", "Unknown"}) {
        EXPECT_FALSE(DateValue(text).has_value()) << text;
    }
}
