// The Modbus reply decoder: one reply, unit byte first, against a request in flight.

#include <cstddef>
#include <cstdint>

#include "tests/fuzz/modbus_fuzz_master.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunModbusFuzzInput(ModbusWire::kDecoderOnly, data, size);
    return 0;
}
