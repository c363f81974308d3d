// Tamsel's line decoder over arbitrary text.

#include "svc_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return DecodeSvcLines(data, size, svc::svcTamselDecoderVariant());
}
