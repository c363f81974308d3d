#include "dtmrepo/parser/line_fields.h"

#include <gtest/gtest.h>

namespace {

using dtmrepo::splitLine;

TEST(DtmLineFields, FieldsAreTrimmedAndControlCharactersDropped) {
    const auto line = splitLine("  varLabel,en-us,\tPump\tspeed  ");
    ASSERT_EQ(line.fields.size(), 3u);
    EXPECT_EQ(line.fields[0], "varLabel");
    EXPECT_EQ(line.fields[1], "en-us");
    EXPECT_EQ(line.fields[2], "Pumpspeed");  // a tab inside a field disappears
    EXPECT_EQ(line.fieldCount, 2);
    EXPECT_EQ(line.keyword, "VARLABEL");
}

TEST(DtmLineFields, EmptyFieldsKeepTheirPlace) {
    const auto line = splitLine("varType, BYTE, , 9");
    EXPECT_EQ(line.fieldCount, 3);
    EXPECT_EQ(line.field(1), "BYTE");
    EXPECT_EQ(line.field(2), "");
    EXPECT_EQ(line.field(3), "9");
    // Two commas in a row, and a comma at the end.
    const auto twice = splitLine("a,,b");
    EXPECT_EQ(twice.fieldCount, 2);
    EXPECT_EQ(twice.field(1), "");
    EXPECT_EQ(twice.field(2), "b");
    const auto trailing = splitLine("vendorName,");
    EXPECT_EQ(trailing.fieldCount, 1);
    EXPECT_EQ(trailing.field(1), "");
    EXPECT_EQ(trailing.field(7), "");
}

TEST(DtmLineFields, AnEmptyLineHasNoKeyword) {
    EXPECT_EQ(splitLine("   ").keyword, "");
    EXPECT_TRUE(splitLine("").fields.empty());
    EXPECT_EQ(splitLine(", value").keyword, "");
}

TEST(DtmLineFields, TooManyFieldsAreRefusedNotKept) {
    std::string line = "varName";
    for (int i = 0; i < 1001; ++i) {
        line += ",x";
    }
    const auto refused = splitLine(line);
    EXPECT_TRUE(refused.tooManyFields);
    EXPECT_TRUE(refused.fields.empty());
    line.resize(line.size() - 2);  // 1001 fields: the most a line may hold
    EXPECT_FALSE(splitLine(line).tooManyFields);
}

}  // namespace
