#pragma once

// The service-file line decoder over arbitrary text, in either program's variant: its texts and
// table rules (an entry layout that carries over between records, MAP_Index numbers for words
// that open no entry) must keep every store inside the tables, a cut-short entry is never
// reported as read whole, and a refusal names a line the input has.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string_view>

#include "svc/svc_decode_tables.h"
#include "svc/svc_file_decoder.h"
#include "svc/svc_listing_output.h"

inline int DecodeSvcLines(const uint8_t* data, size_t size, const svc::SvcDecoderVariant& variant) {
    const auto devices = std::make_unique<svc::SvcDeviceTable>();
    const auto map = std::make_unique<svc::SvcMapTable>();
    std::ostringstream listing;
    std::ostringstream console;
    svc::SvcListingOutput out(listing, &console);
    svc::SvcFileDecoder decoder(out, {}, *devices, *map, variant);
    std::string_view text(reinterpret_cast<const char*>(data), size);
    long long lines = 0;
    while (!text.empty()) {
        ++lines;
        const std::size_t end = text.find('\n');
        decoder.decodeLine(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    out.finishListing();
    const auto truncation = decoder.truncation();
    const auto malformed = decoder.malformedLine();
    // A refusal names a line of the input.
    if ((truncation && (truncation->recordLine < 1 || truncation->recordLine > lines)) ||
        (malformed && (malformed->lineNumber < 1 || malformed->lineNumber > lines))) {
        __builtin_trap();
    }
    if (devices->deviceCount > svc::SvcDeviceTable::maxRow ||
        map->storedCount > svc::SvcMapTable::maxRow ||
        (truncation && truncation->wordsRead >= truncation->wordCount)) {
        __builtin_trap();
    }
    return 0;
}
