// Tamsel's line decoder over arbitrary text: its own texts and table rules (an entry layout
// that carries over between records, MAP_Index numbers for words that open no entry) must keep
// every store inside the tables.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "svc/svc_decode_tables.h"
#include "svc/svc_file_decoder.h"
#include "svc/svc_listing_output.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto devices = std::make_unique<svc::SvcDeviceTable>();
    const auto map = std::make_unique<svc::SvcMapTable>();
    std::ostringstream listing;
    std::ostringstream console;
    svc::SvcListingOutput out(listing, &console);
    svc::SvcFileDecoder decoder(out, {}, *devices, *map, svc::svcTamselDecoderVariant());
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        decoder.decodeLine(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    out.finishListing();
    const auto truncation = decoder.truncation();
    if (devices->deviceCount > svc::SvcDeviceTable::maxRow ||
        map->storedCount > svc::SvcMapTable::maxRow ||
        (truncation && truncation->wordsRead >= truncation->wordCount)) {
        __builtin_trap();
    }
    return 0;
}
