#include "svc/svc_record.h"

#include <algorithm>

namespace svc {
namespace {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads the leading hexadecimal digits, so "#0x1#" is 1 and a word with no digit at all is 0.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

uint16_t leadingHexValue(std::string_view digits) {
    unsigned value = 0;
    for (char c : digits) {
        const int digit = hexDigitValue(c);
        if (digit < 0)
            break;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<uint16_t>(value);
}

}  // namespace

SvcLine classifySvcLine(std::string_view line) {
    SvcLine result;
    if (line.find('#') == std::string_view::npos) {
        return result;
    }
    // The search for the closing "#" starts at the second character, so a line with a blank
    // before its first "#" yields an empty token rather than skipping ahead.
    const std::size_t tokenEnd = line.find('#', 1);
    const std::string_view token =
        line.substr(std::min<std::size_t>(1, line.size()),
                    tokenEnd == std::string_view::npos ? std::string_view::npos : tokenEnd - 1);
    if (token == "CMD") {
        result.kind = SvcLineKind::RecordStart;
        return result;
    }
    result.kind = SvcLineKind::Word;
    const std::string_view digits = token.substr(std::min<std::size_t>(2, token.size()), 4);
    result.digits = std::string(digits);
    result.value = leadingHexValue(digits);
    return result;
}

bool isWellFormedWordLine(std::string_view line) {
    if (line.size() < 8 || line.substr(0, 3) != "#0x" || line[7] != '#') {
        return false;
    }
    for (std::size_t i = 3; i < 7; ++i) {
        if (hexDigitValue(line[i]) < 0) {
            return false;
        }
    }
    return line.find_first_not_of(" \t\r", 8) == std::string_view::npos;
}

bool SvcLineSource::next(std::string& line) {
    if (!std::getline(in_, line)) {
        return false;
    }
    if (atStart_) {
        atStart_ = false;
        if (line.starts_with(kUtf8ByteOrderMark)) {
            line.erase(0, kUtf8ByteOrderMark.size());
        }
    }
    while (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

SvcLineEvent SvcRecordReader::feed(std::string_view line) {
    SvcLine cut = classifySvcLine(line);
    SvcLineEvent event;
    switch (cut.kind) {
        case SvcLineKind::Separator:
            state_ = State::Idle;
            event.step = SvcStep::Separator;
            return event;
        case SvcLineKind::RecordStart:
            state_ = State::ServiceCode;
            event.step = SvcStep::RecordStart;
            return event;
        case SvcLineKind::Word:
            break;
    }
    event.value = cut.value;
    event.digits = std::move(cut.digits);
    switch (state_) {
        case State::Idle:
            event.step = SvcStep::StrayWord;
            break;
        case State::ServiceCode:
            event.step = SvcStep::ServiceCode;
            state_ = State::WordCount;
            break;
        case State::WordCount:
            event.step = SvcStep::WordCount;
            dataWordNumber_ = 0;
            state_ = State::DataWords;
            break;
        case State::DataWords:
            event.step = SvcStep::DataWord;
            event.dataWordNumber = ++dataWordNumber_;
            break;
    }
    return event;
}

std::vector<SvcRecord> readSvcRecords(std::istream& in) {
    std::vector<SvcRecord> records;
    SvcRecordReader reader;
    SvcLineSource lines(in);
    std::string line;
    while (lines.next(line)) {
        const SvcLineEvent event = reader.feed(line);
        switch (event.step) {
            case SvcStep::RecordStart:
                records.emplace_back();
                break;
            case SvcStep::ServiceCode:
                records.back().hasServiceCode = true;
                records.back().serviceCode = event.value;
                records.back().codeDigits = event.digits;
                break;
            case SvcStep::WordCount:
                records.back().hasWordCount = true;
                records.back().wordCount = event.value;
                break;
            case SvcStep::DataWord:
                records.back().dataWords.push_back(event.value);
                break;
            case SvcStep::Separator:
            case SvcStep::StrayWord:
                break;
        }
    }
    return records;
}

}  // namespace svc
