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

// A record whose data words do not add up, as the user is told it; k is the line of its
// "#CMD#", n the data words read, m its word count:
//   fewer words: "(" + fileNumber + ") Truncated file " + the name + ": its last record ends
//     after n of its m data words", or for a record with others after it "...: its record at
//     line k ends after n of its m data words";
//   more words: "(" + fileNumber + ") Extra word lines in " + the name + ": its record at line
//     k has n data words for a word count of m";
//   a service nobody knows: "(" + fileNumber + ") Unknown service " + its code + " in " + the
//     name + ": its record at line k has n data words for a word count of m; a line of the
//     record's head (\"#CMD#\", service code, word count) may be lost".
std::string svcCountMismatchText(int fileNumber, std::string_view fileName,
                                 const SvcCountMismatch& mismatch);

// "(" + fileNumber + ") Malformed line " + k + " in " + the name + ": a word line is \"#0x\",
// four hexadecimal digits and \"#\"". The line itself is not quoted: it may hold any byte.
std::string svcMalformedLineText(int fileNumber, std::string_view fileName,
                                 const SvcMalformedLine& malformed);

// "(" + fileNumber + ") Stray word line " + k + " in " + the name + ": it stands outside any
// record, so the \"#CMD#\" line of its record may be lost".
std::string svcStrayWordText(int fileNumber, std::string_view fileName, const SvcStrayWord& stray);

// "(" + fileNumber + ") No service record in " + the name + ": it is not an InterBus-S service
// file".
std::string svcNoServiceText(int fileNumber, std::string_view fileName);

}  // namespace svc
