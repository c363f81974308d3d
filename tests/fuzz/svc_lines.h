#pragma once

// The service-file line decoder over arbitrary text, in either program's variant: its texts and
// table rules (an entry layout that carries over between records, MAP_Index numbers for words
// that open no entry) must keep every store inside the tables, a cut-short entry is never
// reported as read whole, and a refusal names a line the input has. A reading of its own below
// says which lines stand outside any record and which records' words do not match their count,
// and the decoder must refuse exactly those.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "svc/svc_decode_tables.h"
#include "svc/svc_file_decoder.h"
#include "svc/svc_listing_output.h"
#include "svc/svc_tables.h"

namespace svc_lines_oracle {

// The refusals that the grammar and the word counts call for.
struct Expected {
    long long lines = 0;
    long long firstStrayLine = 0;  // 0: none
    // The "#CMD#" lines of the records of the load code's services (or of no known service)
    // whose data words differ from their count.
    std::set<long long> mismatchedRecords;
};

inline bool IsCheckedService(std::string_view digits, uint16_t code) {
    for (std::string_view checked : {"0306", "0307", "0321", "0325", "0264", "0711"}) {
        if (digits == checked) {
            return true;
        }
    }
    return svc::svcServiceIndex(code) == 0;
}

inline Expected Read(std::string_view text) {
    Expected expected;
    enum { Idle, Code, Count, Data } state = Idle;
    bool started = false;
    long long recordLine = 0;
    std::string digits;
    uint16_t code = 0;
    long long count = 0;
    long long words = 0;
    const auto endRecord = [&] {
        if (state == Data && words != count && IsCheckedService(digits, code)) {
            expected.mismatchedRecords.insert(recordLine);
        }
        state = Idle;
    };
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (++expected.lines == 1 && line.starts_with("\xEF\xBB\xBF")) {
            line.remove_prefix(3);
        }
        while (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.find('#') == std::string_view::npos) {
            endRecord();
            continue;
        }
        const std::size_t close = line.find('#', 1);
        const std::string_view token =
            line.size() < 2 ? std::string_view()
                            : line.substr(1, close == line.npos ? line.npos : close - 1);
        if (token == "CMD") {
            endRecord();
            state = Code;
            started = true;
            recordLine = expected.lines;
            continue;
        }
        const std::string_view wordDigits = token.size() > 2 ? token.substr(2, 4) : "";
        unsigned value = 0;
        for (char c : wordDigits) {
            const int digit = (c >= '0' && c <= '9')   ? c - '0'
                              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                       : -1;
            if (digit < 0) {
                break;
            }
            value = value * 16 + static_cast<unsigned>(digit);
        }
        switch (state) {
            case Idle:
                if (started && expected.firstStrayLine == 0) {
                    expected.firstStrayLine = expected.lines;
                }
                break;
            case Code:
                digits = std::string(wordDigits);
                code = static_cast<uint16_t>(value);
                state = Count;
                break;
            case Count:
                count = value;
                words = 0;
                state = Data;
                break;
            case Data:
                ++words;
                break;
        }
    }
    endRecord();
    return expected;
}

}  // namespace svc_lines_oracle

inline int DecodeSvcLines(const uint8_t* data, size_t size, const svc::SvcDecoderVariant& variant) {
    const auto devices = std::make_unique<svc::SvcDeviceTable>();
    const auto map = std::make_unique<svc::SvcMapTable>();
    std::ostringstream listing;
    std::ostringstream console;
    svc::SvcListingOutput out(listing, &console);
    svc::SvcFileDecoder decoder(out, {}, *devices, *map, variant);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream input(text);
    svc::decodeSvcLines(input, decoder, out);
    const svc_lines_oracle::Expected expected = svc_lines_oracle::Read(text);
    const auto mismatch = decoder.countMismatch();
    const auto malformed = decoder.malformedLine();
    const auto stray = decoder.strayWord();
    // A refusal names a line of the input.
    if ((mismatch && (mismatch->recordLine < 1 || mismatch->recordLine > expected.lines)) ||
        (malformed && (malformed->lineNumber < 1 || malformed->lineNumber > expected.lines))) {
        __builtin_trap();
    }
    // The first stray word line, and only one, is named.
    if ((stray ? stray->lineNumber : 0) != expected.firstStrayLine) {
        __builtin_trap();
    }
    // A record of the load code's services whose words do not match its count is refused: the
    // first such record, or one before it that ended inside an entry short of its words.
    if (!expected.mismatchedRecords.empty() &&
        (!mismatch || mismatch->recordLine > *expected.mismatchedRecords.begin())) {
        __builtin_trap();
    }
    // Any other refusal is a record cut inside an entry.
    if (mismatch && !expected.mismatchedRecords.contains(mismatch->recordLine) &&
        mismatch->wordsRead >= mismatch->wordCount) {
        __builtin_trap();
    }
    if (devices->deviceCount > svc::SvcDeviceTable::maxRow ||
        map->storedCount > svc::SvcMapTable::maxRow) {
        __builtin_trap();
    }
    return 0;
}
