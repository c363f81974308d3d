#pragma once

// One query of a controller's FDR server: log in over FTP with the fixed FDR
// account, change to the FDR directory, list it over a passive data connection, fetch the
// device-replacement files of the maker's modules one by one and decode each, then log out.
// It runs on the calling (GUI) thread; every connect, reply and data read has a time limit,
// so a silent, slow or broken server ends the query with a message instead of holding the
// program.

#include <cstdint>
#include <functional>
#include <ostream>
#include <string_view>

#include "fdr/reports/report_texts.h"

namespace fdr {

class ControlConnection;

inline constexpr uint16_t fdrServerPort = 21;

// How a session reaches the server and how long it waits. The program always uses these
// defaults; the user has no say in them. Tests set them to reach their own servers and to
// meet the limits in a fraction of a second.
struct FtpSessionSettings {
    uint16_t port = fdrServerPort;
    uint32_t connectMs = 5000;    // each connect, control and data
    uint32_t replyMs = 10000;     // each reply, from the wait's start to its last line
    uint32_t dataMs = 10000;      // each wait for more data on a data connection
    uint32_t transferMs = 60000;  // one listing or file, from its command to its last byte
    uint32_t queryMs = 180000;    // the whole query, from the connect to the goodbye
    // When a data connection cannot be made: the wait for the reply in which a server that
    // refused the command (and closed its listener) says why.
    uint32_t pendingReplyMs = 3000;
    // When set, runs once the control connection is up, before the session's first byte. A
    // test's server that resets each connection at accept needs it: the system completes the
    // handshake before the server accepts, so the first send would otherwise go out ahead of
    // the reset and succeed.
    std::function<void(ControlConnection&)> connected;
};

// What a query needs of the program around it.
struct QueryContext {
    ReportTexts& reportText;                          // rebuilt by the query
    std::ostream& trace;                              // every step, for the engineer
    std::function<void(int)> setProgress;             // progress bar positions 0 to 10
    std::function<void(std::string_view)> showError;  // a message box captioned "Error"
    FtpSessionSettings settings;
};

enum class QueryEnd {
    Finished,    // with whatever outcome the reports and messages show
    EndProgram,  // the server took the connection but not a byte: the program ends, code 1
};

// address: the text of the address field, a dotted address or a host name.
QueryEnd queryFdrServer(std::string_view address, QueryContext& context);

}  // namespace fdr
