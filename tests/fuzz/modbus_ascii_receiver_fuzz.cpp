// The ASCII receiver with a request in flight: line characters in chunks.

#include <cstddef>
#include <cstdint>

#include "tests/fuzz/modbus_fuzz_master.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunModbusFuzzInput(ModbusWire::kAscii, data, size);
    return 0;
}
