#include "svc/svc_tables.h"

#include <gtest/gtest.h>

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace {

struct NameRow {
    uint16_t code;
    const char* name;
};

// The firmware's service codes and names, in table order (index 1 first).
constexpr NameRow kServiceRows[] = {
    {0x0140, "Initiate_Load_Action_Object"},
    {0x0141, "Load_Action_Object"},
    {0x0142, "Terminate_Load_Action_Object"},
    {0x0143, "Read_Action_Object"},
    {0x0144, "Delete_Action_Object"},
    {0x0145, "Initiate_Load_Signal_Object"},
    {0x0146, "Load_Signal_Object"},
    {0x0147, "Terminate_Load_Signal_Object"},
    {0x0148, "Read_Signal_Object"},
    {0x0149, "Delete_Signal_Object"},
    {0x014A, "Initiate_Load_Event_Object"},
    {0x014B, "Load_Event_Object"},
    {0x014C, "Terminate_Load_Event_Object"},
    {0x014D, "Read_Event_Object"},
    {0x014E, "Delete_Event_Object"},
    {0x014F, "Change_Exclusive_Rights"},
    {0x0152, "Set_Indication"},
    {0x0158, "Program_Resident_Actions"},
    {0x0159, "Clear_Parameterization_Memory"},
    {0x015B, "File_Open"},
    {0x015C, "File_Close"},
    {0x015D, "File_Remove"},
    {0x015E, "File_Write"},
    {0x015F, "File_Seek"},
    {0x0160, "File_Read"},
    {0x0165, "File_Remove_II"},
    {0x0166, "Get_Card_Information"},
    {0x0306, "Initiate_Load_Configuration"},
    {0x0307, "Load_Configuration"},
    {0x0308, "Terminate_Load_Configuration"},
    {0x0309, "Read_Configuration"},
    {0x030A, "Complete_Load_Configuration"},
    {0x030B, "Complete_Read_Configuration"},
    {0x030C, "Delete_Configuration"},
    {0x030E, "Control_Parameterization"},
    {0x030F, "Control_Statistics"},
    {0x0314, "Control_Device_Function_Not_Exclusive"},
    {0x0315, "Read_Device_State"},
    {0x0316, "Get_Error_Info"},
    {0x0317, "Compare_Configuration"},
    {0x0320, "Initiate_Put_Process_Data_Description_List"},
    {0x0321, "Put_Process_Data_Description_List"},
    {0x0322, "Terminate_Put_Process_Data_Description_List"},
    {0x0323, "Get_Process_Data_Description_List"},
    {0x0324, "Initiate_Load_Process_Data_Reference_List"},
    {0x0325, "Load_Process_Data_Reference_List"},
    {0x0326, "Terminate_Load_Process_Data_Reference_List"},
    {0x0327, "Read_Process_Data_Reference_List"},
    {0x0328, "Compact_Load_Process_Data_Reference_List"},
    {0x0329, "Compact_Read_Process_Data_Reference_List"},
    {0x032A, "Get_Version_Info"},
    {0x032B, "Get_Diag_Info"},
    {0x0351, "Read_Value"},
    {0x0701, "Start_Data_Transfer"},
    {0x0702, "Stop_Data_Transfer"},
    {0x0710, "Create_Configuration"},
    {0x0711, "Activate_Configuration"},
    {0x0712, "Deactivate_Configuration"},
    {0x0713, "Control_Active_Configuration"},
    {0x0714, "Control_Device_Function"},
    {0x0750, "Set_Value"},
    {0x0760, "Confirm_Diagnostics"},
    {0x0956, "Reset_Controller_Board"},
    {0x1303, "Alarm_Stop"},
    {0x4341, "Fault"},
    {0x5340, "Device_Fail"},
    {0x6342, "Bus_Error"},
    {0x4B58, "Lower_API_Fault"},
    {0x0264, "Load_CRL_Attributes_Loc"},
};

// The variable identifiers and their descriptions, in table order (index 1 first).
constexpr NameRow kParameterRows[] = {
    {0x0101, "State of System Management"},
    {0x0102, "Address of the Diagnostic Status Register"},
    {0x0103, "Address of the Diagnostic Parameter Register"},
    {0x0104, "Content/Value of the Diagnostic Status Register"},
    {0x0105, "Content/Value of the Diagnostic Parameter Register"},
    {0x0108, "Control of the Preprocessing Task"},
    {0x0109, "Address of the Communication Register"},
    {0x010C, "Address of the Extended Diagnostic Parameter Register"},
    {0x010D, "Content/Value of the Extended Diagnostic Parameter Register"},
    {0x0110, "Slave_ID_Code"},
    {0x0117, "Address of Slave Diagnostic Status Register"},
    {0x0118, "Address of Slave Diagnostic Parameter Register"},
    {0x0119, "Content/Value of Slave Diagnostic Status Register"},
    {0x011A, "Content/Value of Slave Diagnostic Parameter Register"},
    {0x011D, "Slave Configuration Data"},
    {0x020A, "Enabling of Optical Diagnostics once the interfaces have been switched"},
    {0x0306, "Parameterization of the Host Interface"},
    {0x0407, "Base Address for Default Addressing - W1=Dig IN, W2=Dig OUT, W3=Ana IN, W4=Ana OUT"},
    {0x1101, "Address of Standard Function Start Register"},
    {0x1102, "Address of Standard Function Status Register"},
    {0x1103, "Address of Standard Function Parameter Register (only first word of long)"},
    {0x1200, "Address of Standard Function Parameter Register (both words of long)"},
    {0x1210, "Confirmation delay in mS (32-bit)"},
    {0x1711, "System Parameter for reading the file system of the Parameterization Memory"},
    {0x1712, "System Parameter for reading the file system of the Parameterization Memory"},
    {0x1713, "System Parameter for reading the file system of the Parameterization Memory"},
    {0x2200, "Operating Mode"},
    {0x2204, "Input Data Zero or Freeze on Bus Error"},
    {0x2210, "Process Data Cycle Time in uS (32-bit)"},
    {0x2211, "Bus Timeout in uS (32-bit)"},
    {0x2212, "Bus Warning Time in uS (32-bit)"},
    {0x2215, "Bus Warning Error Activated"},
    {0x2216, "Actual Process Data Cycle Time in uS (32-bit)"},
    {0x221B, "IBS Outputs when PLC Stopped"},
    {0x2252, "Display which SUPI types are in the configuration1"},
    {0x2254, "Bus Error Setpoint per 1M cycles"},
    {0xA255, "Enable Single Channel Diagnostics"},
};

struct NameTable {
    const char* title;
    std::span<const svc::SvcNameEntry> entries;
    std::span<const NameRow> expected;
    int (*indexOf)(int64_t);
    std::string_view (*nameOf)(int64_t);
};

// Every row of both tables, with its own text, in its place, and found by its code.
TEST(SvcNameTables, EveryEntryIsFoundByItsCode) {
    const NameTable tables[] = {
        {"services", svc::svcServiceNames(), kServiceRows, svc::svcServiceIndex,
         svc::svcServiceName},
        {"parameters", svc::svcParameterNames(), kParameterRows, svc::svcParameterIndex,
         svc::svcParameterName},
    };
    for (const NameTable& table : tables) {
        SCOPED_TRACE(table.title);
        ASSERT_EQ(table.entries.size(), table.expected.size());
        for (std::size_t i = 0; i < table.expected.size(); ++i) {
            const NameRow& row = table.expected[i];
            SCOPED_TRACE(row.name);
            EXPECT_EQ(table.entries[i].code, row.code);
            EXPECT_EQ(table.entries[i].name, std::string_view(row.name));
            EXPECT_EQ(table.indexOf(row.code), static_cast<int>(i + 1));
            EXPECT_EQ(table.nameOf(row.code), row.name);
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
