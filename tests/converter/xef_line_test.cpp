// Reading project lines: attribute values, numbers and whole keys.

#include "converter/format/xef_line.h"

#include <gtest/gtest.h>

namespace {

using vornick::attributeValue;
using vornick::holdsKey;
using vornick::readNumber;

TEST(XefLine, AttributeValuesAreTheQuotedTextAfterTheAttribute) {
    const std::string line =
        "<DTMDevice name=\"PMEDWL_A\" id=\"12\" ipAddress=\"10.0.0.7\" identifier=\"C0_3\">";
    EXPECT_EQ(attributeValue(line, " name="), "PMEDWL_A");
    EXPECT_EQ(attributeValue(line, " id="), "12");
    EXPECT_EQ(attributeValue(line, " ipAddress="), "10.0.0.7");
    EXPECT_EQ(attributeValue(line, " identifier="), "C0_3");
    // Missing, unquoted or unterminated values read as empty, never as the rest of the line.
    EXPECT_EQ(attributeValue(line, " typeName="), "");
    EXPECT_EQ(attributeValue("<x name=PMEDWL_A>", " name="), "");
    EXPECT_EQ(attributeValue("<x name=\"PMEDWL_A", " name="), "");
    EXPECT_EQ(attributeValue("<x name=\"\">", " name="), "");
}

TEST(XefLine, NumbersReadLikeTheProjectTextsWriteThem) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"3", 3},
        {"  12\"", 12},
        {"0.3", 0},
        {"2.5", 2},
        {"3.5", 4},
        {"x3", 0},
        {"", 0},
        {"-4", -4},
        {"007", 7},
        {" 1\\0", 1},
        {"99999999999", 2147483647},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readNumber(c.text), c.value) << c.text;
    }
}

TEST(XefLine, KeysEndingInADigitDoNotMatchInsideLongerNumbers) {
    EXPECT_TRUE(holdsKey("IBS_DIO_d0_s1.Freshness", "_d0_s1"));
    EXPECT_TRUE(holdsKey("IBS_DIO_d0_s1", "_d0_s1"));
    EXPECT_FALSE(holdsKey("IBS_DIO_d0_s10", "_d0_s1"));
    EXPECT_TRUE(holdsKey("IBS_DIO_d0_s10 and IBS_DIO_d0_s1", "_d0_s1"));
    // A device id is a whole number in its line.
    EXPECT_TRUE(holdsKey("<attribute name=\"DeviceId\" value=\"1\">", "1"));
    EXPECT_FALSE(holdsKey("<attribute name=\"DeviceId\" value=\"12\">", "1"));
    EXPECT_FALSE(holdsKey("<attribute name=\"DeviceId\" value=\"21\">", "1"));
    EXPECT_TRUE(holdsKey("holds Not yet set", "Not yet set"));
}

}  // namespace
