#include "svc/svc_tables.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <span>
#include <string>
#include <string_view>

namespace {

struct NameTable {
    const char* title;
    std::span<const svc::SvcNameEntry> entries;
    std::size_t expectedSize;
    int (*indexOf)(int64_t);
    std::string_view (*nameOf)(int64_t);
};

TEST(SvcNameTables, EveryEntryIsFoundByItsCode) {
    const NameTable tables[] = {
        {"services", svc::svcServiceNames(), 69, svc::svcServiceIndex, svc::svcServiceName},
        {"parameters", svc::svcParameterNames(), 37, svc::svcParameterIndex, svc::svcParameterName},
    };
    for (const NameTable& table : tables) {
        SCOPED_TRACE(table.title);
        ASSERT_EQ(table.entries.size(), table.expectedSize);
        std::set<uint16_t> codes;
        for (std::size_t i = 0; i < table.entries.size(); ++i) {
            const svc::SvcNameEntry& entry = table.entries[i];
            SCOPED_TRACE(entry.name);
            EXPECT_TRUE(codes.insert(entry.code).second) << "code listed twice";
            EXPECT_EQ(table.indexOf(entry.code), static_cast<int>(i + 1));
            EXPECT_EQ(table.nameOf(entry.code), entry.name);
        }
    }
}

struct NameCase {
    int64_t code;
    const char* name;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.code;
}

class ServiceName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ServiceName, IsTheFirmwareText) {
    EXPECT_EQ(svc::svcServiceName(GetParam().code), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ServiceName,
    ::testing::Values(NameCase{0x0140, "Initiate_Load_Action_Object"},
                      NameCase{0x014A, "Initiate_Load_Event_Object"},
                      NameCase{0x0307, "Load_Configuration"},
                      NameCase{0x0314, "Control_Device_Function_Not_Exclusive"},
                      NameCase{0x0321, "Put_Process_Data_Description_List"},
                      NameCase{0x0325, "Load_Process_Data_Reference_List"},
                      NameCase{0x0750, "Set_Value"}, NameCase{0x4B58, "Lower_API_Fault"},
                      NameCase{0x0264, "Load_CRL_Attributes_Loc"}, NameCase{0x0000, "Unknown"},
                      NameCase{0x0150, "Unknown"}, NameCase{0xFFFF, "Unknown"},
                      NameCase{-1, "Unknown"}, NameCase{0x10140, "Unknown"}));

class ParameterName : public ::testing::TestWithParam<NameCase> {};

TEST_P(ParameterName, IsTheFirmwareText) {
    EXPECT_EQ(svc::svcParameterName(GetParam().code), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParameterName,
    ::testing::Values(
        NameCase{0x0101, "State of System Management"},
        NameCase{0x0407,
                 "Base Address for Default Addressing - W1=Dig IN, W2=Dig OUT, W3=Ana IN, W4=Ana "
                 "OUT"},
        NameCase{0x1711,
                 "System Parameter for reading the file system of the Parameterization Memory"},
        NameCase{0x1713,
                 "System Parameter for reading the file system of the Parameterization Memory"},
        NameCase{0x2252, "Display which SUPI types are in the configuration1"},
        NameCase{0xA255, "Enable Single Channel Diagnostics"}, NameCase{0x0000, "Unknown"},
        NameCase{0x0750, "Unknown"}, NameCase{-5, "Unknown"}, NameCase{0x1A255, "Unknown"}));

TEST(SvcLengthCode, DefinedCodesAndEmptySlots) {
    struct Row {
        int64_t code;
        int words;
        const char* text;
    };
    const Row rows[] = {
        {0, 0, "0 words"},    {1, 1, "1 word"},     {7, 7, "7 words"},    {8, 1, "1 nibble"},
        {9, 1, "1 byte"},     {10, 1, "3 nibbles"}, {11, 2, "3 bytes"},   {12, 2, "5 nibbles"},
        {13, 3, "5 bytes"},   {14, 6, "6 words"},   {15, 7, "7 words"},   {16, 0, "Reserved"},
        {17, 0, "Reserved"},  {18, 16, "16 words"}, {19, 24, "24 words"}, {20, 32, "32 words"},
        {21, 10, "10 words"}, {22, 12, "12 words"}, {23, 14, "14 words"}, {24, 0, ""},
        {256, 0, ""},         {-1, 0, ""},          {1000, 0, ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        const svc::SvcLengthCode got = svc::svcLengthCode(row.code);
        EXPECT_EQ(got.words, row.words);
        EXPECT_EQ(got.text, row.text);
    }
}

}  // namespace
