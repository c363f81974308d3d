// The address the user types into Halbrick's field, read as four decimal numbers. The oracle is
// the system's strict reading (inet_pton), which takes the same texts once each part's leading
// zeros are gone.

#include <arpa/inet.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ipv4_address.h"

namespace {

// Each run of digits without its leading zeros (a lone zero stays); nothing when the text holds
// anything but digits and dots.
bool WithoutLeadingZeros(std::string_view text, std::string& stripped) {
    bool inNumber = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.') {
            inNumber = false;
        } else if (c < '0' || c > '9') {
            return false;
        } else if (!inNumber) {
            inNumber = true;
            const bool moreDigits =
                at + 1 < text.size() && text[at + 1] >= '0' && text[at + 1] <= '9';
            if (c == '0' && moreDigits) {
                inNumber = false;
                continue;
            }
        }
        stripped += c;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<platform::Ipv4Address> parsed = platform::ParseDottedDecimal(text);
    std::string stripped;
    if (!WithoutLeadingZeros(text, stripped)) {
        if (parsed)
            __builtin_trap();
        return 0;
    }
    in_addr oracle{};
    const bool accepted = ::inet_pton(AF_INET, stripped.c_str(), &oracle) == 1;
    if (accepted != parsed.has_value())
        __builtin_trap();
    if (parsed && (*parsed != ntohl(oracle.s_addr) || platform::Ipv4Text(*parsed) != stripped))
        __builtin_trap();
    return 0;
}
