#pragma once

// What Halbrick keeps for the whole run: the three report texts of the last query, the detail
// level shown, the address restored by Esc, and the progress bar's position.

#include <array>
#include <string>
#include <string_view>

#include "fdr/reports/report_texts.h"

namespace fdr {

inline constexpr std::string_view revisionDate = "03MAY2022";

// Captions of the detail button per level, 1 to 3.
inline constexpr std::array<std::string_view, 4> detailName = {"", "High Detail", "Some Detail",
                                                               "Summary"};

inline constexpr std::string_view settingsProgramKey = "Halbrick";
inline constexpr std::string_view addressSetting = "IPaddress";

// Shown in the address field when no usable address was kept.
inline constexpr std::string_view targetAddressPrompt = "Enter Target IP Address";
// Put into an empty address field when the user clicks around it.
inline constexpr std::string_view addressPrompt = "Enter IP Address...";

// The longest address text the field gives to a query.
inline constexpr std::size_t addressFieldLength = 1024;

struct HalbrickState {
    ReportTexts reportText = notQueriedReports();
    int detailLevel = someDetail;
    std::string savedAddress = "192.168.10.1";
    int progressPos = 0;
};

// "Halbrick  Rev 03MAY2022".
inline std::string halbrickTitle() {
    return "Halbrick  Rev " + std::string(revisionDate);
}

}  // namespace fdr
