#include "dtmrepo/intake/keyword_lines.h"

namespace dtmrepo {

std::string keywordValue(std::string_view line) {
    const size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
        return {};
    }
    std::string_view value = line.substr(comma + 1);
    while (!value.empty() && value.front() == ' ') {
        value.remove_prefix(1);
    }
    while (!value.empty() && value.front() == '\t') {
        value.remove_prefix(1);
    }
    return std::string(value);
}

}  // namespace dtmrepo
