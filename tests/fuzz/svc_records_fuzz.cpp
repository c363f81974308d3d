// The service-file record reader over arbitrary text.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "svc/svc_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const std::vector<svc::SvcRecord> records = svc::readSvcRecords(in);
    for (const svc::SvcRecord& record : records) {
        // A record holds no more data words than the input has lines.
        if (record.dataWords.size() > size)
            __builtin_trap();
    }
    return 0;
}
