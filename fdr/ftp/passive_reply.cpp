#include "fdr/ftp/passive_reply.h"

#include <array>

namespace fdr {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void SkipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && text[at] == ' ')
        ++at;
}

// A number of 1 to 3 digits from 0 to 255 at `at`; nothing otherwise.
std::optional<unsigned> ReadByte(std::string_view text, std::size_t& at) {
    SkipBlanks(text, at);
    unsigned value = 0;
    std::size_t digits = 0;
    while (at < text.size() && IsDigit(text[at])) {
        if (++digits > 3)
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(text[at] - '0');
        ++at;
    }
    if (digits == 0 || value > 255)
        return std::nullopt;
    SkipBlanks(text, at);
    return value;
}

}  // namespace

std::optional<PassiveTarget> parsePassiveReply(std::string_view line) {
    std::size_t at = line.find('(');
    if (at != std::string_view::npos) {
        ++at;
    } else {
        at = line.size() >= 3 ? 3 : line.size();
        while (at < line.size() && !IsDigit(line[at]))
            ++at;
    }
    std::array<unsigned, 6> numbers{};
    for (std::size_t n = 0; n < numbers.size(); ++n) {
        if (n > 0) {
            if (at >= line.size() || line[at] != ',')
                return std::nullopt;
            ++at;
        }
        const std::optional<unsigned> number = ReadByte(line, at);
        if (!number)
            return std::nullopt;
        numbers[n] = *number;
    }
    // A seventh number means the reply is not the one we read it as.
    if (at < line.size() && line[at] == ',')
        return std::nullopt;
    PassiveTarget target;
    target.address = numbers[0] << 24 | numbers[1] << 16 | numbers[2] << 8 | numbers[3];
    target.port = static_cast<uint16_t>(numbers[4] * 256 + numbers[5]);
    if (target.port == 0)
        return std::nullopt;
    return target;
}

}  // namespace fdr
