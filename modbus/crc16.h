#pragma once

#include <cstddef>
#include <cstdint>

// The Modbus RTU check: CRC-16 with the reflected polynomial 0xA001, start value 0xFFFF.
// Sent low byte first.
uint16_t ModbusCrc16(const uint8_t* bytes, size_t length);

// The Modbus ASCII check: the two's complement of the 8-bit sum of the bytes.
uint8_t ModbusLrc(const uint8_t* bytes, size_t length);
