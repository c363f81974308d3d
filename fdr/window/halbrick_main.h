#pragma once

// Halbrick's main routine: start-up, the main window, the message loop.

#include <ostream>

#include "fdr/ftp/ftp_session.h"

namespace fdr {

struct HalbrickOptions {
    std::ostream* trace = nullptr;  // null: standard output
    FtpSessionSettings settings;
};

// Runs the program until its window ends and returns the exit code: 0, or 1 when the network
// library cannot start or a server takes the connection but not a byte.
int halbrickMain(const HalbrickOptions& options = {});

}  // namespace fdr
