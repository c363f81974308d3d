// The listing of entry names that the Windows archive road reads back from PowerShell before it
// unpacks anything. Oracle: a listing is accepted only when every line decodes to a name that
// stays inside the folder and holds no control character, and the same names listed afresh give
// the same decision.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/archive.h"
#include "platform/powershell_text.h"

namespace {

std::string listed(std::string_view name) {
    static const char digits[] = "0123456789ABCDEF";
    std::string line;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (i > 0) {
            line += '-';
        }
        line += digits[byte >> 4];
        line += digits[byte & 15];
    }
    return line + "\r\n";
}

bool acceptable(std::string_view name) {
    for (unsigned char c : name) {
        if (c < 0x20) {
            return false;
        }
    }
    return platform::IsSafeEntryName(std::string(name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The input as a listing, whatever it holds: no crash, and a refusal names something.
    (void)platform::RefusedListedEntry(text);
    // The input as names, one per line as the script lists them.
    std::string listing;
    bool allAcceptable = true;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view name = text.substr(start, end - start);
        listing += listed(name);
        allAcceptable = allAcceptable && acceptable(name);
        start = end + 1;
    }
    if (platform::RefusedListedEntry(listing).has_value() == allAcceptable) {
        std::abort();
    }
    return 0;
}
