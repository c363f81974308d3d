#include "modbus/modbus_status.h"

#include <array>
#include <cstddef>

namespace {

struct NamedStatus {
    int32_t status;
    const char* text;
};

// These texts are what the connection's error box shows; every other slot is "".
constexpr NamedStatus kNamedStatuses[] = {
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

constexpr std::array<const char*, kModbusStatusTextCount> BuildTextTable() {
    std::array<const char*, kModbusStatusTextCount> table{};
    table.fill("");
    for (const NamedStatus& named : kNamedStatuses) {
        table[static_cast<std::size_t>(named.status)] = named.text;
    }
    return table;
}

constexpr std::array<const char*, kModbusStatusTextCount> kStatusTexts = BuildTextTable();

}  // namespace

const char* ModbusStatusText(int32_t status) {
    if (status < 0 || status >= kModbusStatusTextCount) {
        return "";
    }
    return kStatusTexts[static_cast<std::size_t>(status)];
}
