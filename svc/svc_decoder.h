#pragma once

// decodeSvcFile: decodes an InterBus-S service file into a listing and the files that carry the
// decoded bus into a Control Expert project. Given the path p without its ".svc" extension, it
// reads p + ".svc" and writes beside it:
//
//   p + "_parse.txt"   the listing of every record, also echoed line by line to the console
//   p + "_config.xsy"  the device table as the variable IBS_Config_d0_s0
//   p + "_map.xsy"     the map table as the variable IBS_Map_d0_s0
//   p + "_init.xst"    the section IBS_Init_d0_s0 that loads both, and the IBS template set
//   p + "_excel.csv"   one row per process-data word of each device (also on the console)
//
// The outputs are written under temporary names and renamed into place together at the end.
// When the run fails (the input cannot be read, a record's data words do not add up to its word
// count, a word line is malformed or stands outside any record, an output cannot be written), the
// five outputs of p from any earlier run are removed as well, so that none of them passes for the
// result of this input. The input is only read.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "svc/svc_file_decoder.h"
#include "svc/svc_structured_text.h"

namespace svc {

struct SvcDecodeOptions {
    SvcModuleContext module;  // rack and slot of the module the file belongs to
    SvcPcpMarkText pcpMarkText{"", "PCP"};
    std::ostream* console = nullptr;  // the console copy; null: the process's standard output
};

struct SvcDecodeResult {
    bool ok = false;
    // On failure, as the user is shown it: "(" + file number + ") Unable to open " + the file's
    // full name + " Err = " + the run-time error number ("Unable to read ", "Unable to write "
    // likewise), "(11) Malformed line ..." for a word line that is no word, "(11) Stray word
    // line ..." for one outside any record, or "(11) Truncated file ...", "(11) Extra word
    // lines ..." and "(11) Unknown service ..." for a record whose words do not add up
    // (svc_failure_text.h). File numbers: 11 the input, 12 to 16 the outputs in the order above.
    std::string errorText;
    // Records of other services whose words do not match their count, as the listing says them
    // where they end (SvcFileDecoder::countWarnings); then rows beyond the tables or the PLC
    // arrays: what was left out, as said on the console (svcTableWarnings).
    std::vector<std::string> warnings;
    int deviceCount = 0;
    int mapEntryCount = 0;
};

// The five output suffixes in the order of their file numbers 12 to 16.
inline constexpr const char* svcOutputSuffixes[] = {"_parse.txt", "_config.xsy", "_map.xsy",
                                                    "_init.xst", "_excel.csv"};

SvcDecodeResult decodeSvcFile(const std::filesystem::path& rootPath,
                              const SvcDecodeOptions& options = {});

}  // namespace svc
