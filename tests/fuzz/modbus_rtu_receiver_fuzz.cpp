// The RTU receiver with a request in flight: line bytes in chunks, noise and all.

#include <cstddef>
#include <cstdint>

#include "tests/fuzz/modbus_fuzz_master.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunModbusFuzzInput(ModbusWire::kRtu, data, size);
    return 0;
}
