// The Modbus/TCP receiver with a request in flight: the byte stream in chunks.

#include <cstddef>
#include <cstdint>

#include "tests/fuzz/modbus_fuzz_master.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunModbusFuzzInput(ModbusWire::kTcp, data, size);
    return 0;
}
