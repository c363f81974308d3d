#pragma once

// A decoded device-replacement file as the High and Some reports show it (the Summary report
// holds only the listing).

#include <array>
#include <string_view>

#include "fdr/prm/prm_content.h"
#include "fdr/reports/report_texts.h"

namespace fdr {

// Labels of the first three STRING variables in the Some report: the device description tool
// puts the file name, the file version and the tool version first in every profile of the
// maker's modules.
inline constexpr std::array<std::string_view, 4> variableLabel = {"", "DTM Name", "DTM Version",
                                                                  "Util Version"};

// Appends the file's part to report texts 1 and 2.
void appendPrmReports(const PrmContent& content, std::string_view fileName, ReportTexts& reports);

}  // namespace fdr
