#pragma once

// The texts with which the decoders report a file they could not use. The number names the
// file (its place in the decoder's list), so the support desk can tell which one failed.

#include <string>
#include <string_view>

#include "svc/svc_file_decoder.h"

namespace svc {

// "(" + fileNumber + ") " + what + the file's full name + " Err = " + errorNumber, where `what`
// is "Unable to open " or "Unable to write " and the like. The name is given as the user reads
// it.
std::string svcFailureText(int fileNumber, std::string_view what, std::string_view fileName,
                           int errorNumber);

// "(" + fileNumber + ") Truncated file " + the name + ": its last record ends after n of its
// m data words"; a record with others after it is named by its line: "its record at line k
// ends after n of its m data words".
std::string svcTruncationText(int fileNumber, std::string_view fileName,
                              const SvcTruncation& truncation);

// "(" + fileNumber + ") Malformed line " + k + " in " + the name + ": a word line is \"#0x\",
// four hexadecimal digits and \"#\"". The line itself is not quoted: it may hold any byte.
std::string svcMalformedLineText(int fileNumber, std::string_view fileName,
                                 const SvcMalformedLine& malformed);

// "(" + fileNumber + ") No service record in " + the name + ": it is not an InterBus-S service
// file".
std::string svcNoServiceText(int fileNumber, std::string_view fileName);

}  // namespace svc
