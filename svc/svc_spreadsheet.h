#pragma once

// "_excel.csv": one comma-separated row per process-data word of each device, with its bus
// place, codes, MAP PDR indexes, dual-port-memory addresses and PLC words. Every line also goes
// to the console.

#include <ostream>

#include "svc/svc_decode_tables.h"
#include "svc/svc_file_decoder.h"

namespace svc {

inline constexpr const char* svcSpreadsheetHeader =
    "IBS_Main,IBS_Sub,Module_ID,Word_len,PCP_len,PDR(IN),DPM (IN),%IW,PDR(OUT),DPM(OUT),%QW";

// `file` gets CR LF lines; `console` gets an empty line, then the same lines. Either may be
// null: the load-code generator prints the rows to its console only.
void writeSvcSpreadsheet(std::ostream* file, std::ostream* console, const SvcDeviceTable& devices,
                         SvcModuleContext module);

}  // namespace svc
