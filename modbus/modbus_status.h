#pragma once

#include <cstdint>

// Modbus status of a completed request. Exception replies carry their exception
// code (1 to 255) as the status; the values from 16 up are this master's own.
enum ModbusStatus : int32_t {
    kModbusOk = 0,
    kModbusIllegalFunction = 1,
    kModbusIllegalDataAddress = 2,
    kModbusIllegalDataValue = 3,
    kModbusSlaveDeviceFailure = 4,
    kModbusAcknowledge = 5,
    kModbusSlaveDeviceBusy = 6,
    kModbusNegativeAcknowledge = 7,
    kModbusMemoryParityError = 8,
    kModbusGatewayPathUnavailable = 10,
    kModbusGatewayNoResponse = 11,
    kModbusQueueFull = 16,
    kModbusCommandOverSize = 17,
    kModbusTimedOut = 18,
    kModbusCommandOverRange = 19,
    kModbusInvalidResponse = 20,
    kModbusNoConnection = 32,
    kModbusBufferFull = 33,
    kModbusIncompleteTransaction = 34,
    kModbusQueued = 35,
    kModbusPending = 36,
    kModbusGeneralFault = 37,
    // A stream's SendFrame returns these negated; the request completes with them.
    kModbusPortClosed = 38,
    kModbusOutputBufferFull = 39,
};

// Number of entries of the status text table; a status at or above it has no text.
inline constexpr int32_t kModbusStatusTextCount = 48;

// The text shown for a status: "" for a status the table does not name.
const char* ModbusStatusText(int32_t status);
