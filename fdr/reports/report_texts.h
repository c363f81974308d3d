#pragma once

// The three report texts that a query builds and the window shows one at a time, indexed by
// detail level as the program numbers them: 1 High, 2 Some, 3 Summary (index 0 is unused).

#include <array>
#include <string>
#include <string_view>

namespace fdr {

inline constexpr int highDetail = 1;
inline constexpr int someDetail = 2;
inline constexpr int summaryDetail = 3;

using ReportTexts = std::array<std::string, 4>;

// Before the first query each report says so.
inline ReportTexts notQueriedReports() {
    return {"", "Not Queried", "Not Queried", "Not Queried"};
}

// A report shows text from the server and from files; a zero byte in it would end the text
// there for the window that shows it, so zero bytes are left out.
inline std::string reportSafe(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    for (char c : text) {
        if (c != '\0')
            safe += c;
    }
    return safe;
}

inline void appendToAllReports(ReportTexts& reports, std::string_view text) {
    for (int level = highDetail; level <= summaryDetail; ++level)
        reports[level] += text;
}

}  // namespace fdr
