#pragma once

#include <cstdint>

#include "modbus/modbus.h"

// Builds a request PDU, big-endian, in a local buffer. Callers check the final
// length against kModbusMaxPdu before adding a byte, so it never overruns.
class PduBuilder {
  public:
    PduBuilder(uint16_t unit, uint8_t function) {
        Byte(static_cast<uint8_t>(unit & 0xFF));
        Byte(function);
    }

    void Byte(uint8_t value) { bytes_[length_++] = value; }
    void Word(uint16_t value) {
        Byte(static_cast<uint8_t>(value >> 8));
        Byte(static_cast<uint8_t>(value));
    }
    void Long(uint32_t value) {
        Word(static_cast<uint16_t>(value >> 16));
        Word(static_cast<uint16_t>(value));
    }
    void Words(const uint16_t* words, int32_t count) {
        for (int32_t i = 0; i < count; ++i) {
            Word(words[i]);
        }
    }

    int32_t length() const { return length_; }
    const uint8_t* bytes() const { return bytes_; }

  private:
    uint8_t bytes_[kModbusMaxPdu] = {};
    int32_t length_ = 0;
};
