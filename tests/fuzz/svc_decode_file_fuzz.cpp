// Fennick's whole decode of a service file (decodeSvcFile) over arbitrary bytes: the five outputs
// are there together after a run that succeeded, and none of them after one that failed, not even
// those the previous input left.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

#include "scratch_files.h"
#include "svc/svc_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path root = fuzz::ScratchFolder() + "/plant";
    fuzz::WriteScratchFile("plant.svc", data, size);
    std::ostringstream console;
    svc::SvcDecodeOptions options;
    options.console = &console;
    const svc::SvcDecodeResult result = svc::decodeSvcFile(root, options);
    for (const char* suffix : svc::svcOutputSuffixes) {
        std::error_code error;
        const bool present = std::filesystem::exists(root.string() + suffix, error);
        if (present != result.ok)
            __builtin_trap();
    }
    if (!result.ok && result.errorText.empty())
        __builtin_trap();
    return 0;
}
