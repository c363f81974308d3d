#include "modbus/modbus_status.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// Every text the connection's error box can show, spelled as the modules' users know them.
const std::map<int32_t, std::string> kNamedStatuses = {
    {0, "Modbus OK"},
    {1, "Illegal Function Code"},
    {2, "Illegal Data Address"},
    {3, "Illegal Data Value"},
    {4, "Slave Device Failure"},
    {5, "Acknowledgement"},
    {6, "Slave Device Busy"},
    {7, "Negitive Acknowledgement"},
    {8, "Memory Parity Error"},
    {9, "Modbus Error 9"},
    {10, "Gateway Path Unavailable"},
    {11, "No Gateway Device Response"},
    {12, "Modbus Error 12"},
    {16, "Modbus Queue Full"},
    {17, "Modbus Command Over Size"},
    {18, "Modbus Timed Out"},
    {19, "Modbus Command Over Range"},
    {20, "Invalid Response"},
    {32, "No Connection"},
    {33, "Buffer Full"},
    {34, "Incomplete Transaction"},
    {35, "Queued"},
    {36, "Pending"},
    {37, "General Fault"},
};

TEST(StatusText, EveryStatusHasItsTextAndNoOtherHasOne) {
    for (int32_t status = -1; status <= 256; ++status) {
        const auto named = kNamedStatuses.find(status);
        const std::string expected = named != kNamedStatuses.end() ? named->second : "";
        EXPECT_EQ(ModbusStatusText(status), expected) << "status " << status;
    }
}

}  // namespace
