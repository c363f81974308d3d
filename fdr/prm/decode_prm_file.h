#pragma once

// One fetched device-replacement file, from its bytes to the trace and the reports.

#include <cstdint>
#include <ostream>
#include <span>
#include <string_view>

#include "fdr/prm/prm_content.h"
#include "fdr/reports/report_texts.h"

namespace fdr {

// Decodes the file, prints every field and a summary with console tables to `trace`, and
// appends the file's part to report texts 1 and 2.
PrmContent decodePrmFile(std::span<const uint8_t> bytes, std::string_view fileName,
                         ReportTexts& reports, std::ostream& trace);

}  // namespace fdr
