#pragma once

// Runs one query in this process and keeps what the user and the engineer would see: the
// three reports, the error boxes, the progress positions and the trace.

#include <string>
#include <vector>

#include "fdr/ftp/ftp_session.h"

namespace fdr_test {

struct QueryRun {
    fdr::ReportTexts reports = fdr::notQueriedReports();
    std::vector<std::string> errors;
    std::vector<int> progress;
    std::string trace;
    fdr::QueryEnd end = fdr::QueryEnd::Finished;
    long long elapsedMs = 0;
};

// Queries `address` on `settings.port`.
QueryRun RunQuery(const std::string& address, const fdr::FtpSessionSettings& settings);

// The usual limits on `port`.
fdr::FtpSessionSettings OnPort(uint16_t port);

// Short limits for the fault cases, so a test of a silent server takes seconds, not minutes:
// each reply and each wait for data within `shortLimitMs`. A server that does answer must
// still be heard within it on a machine loaded to three times its cores under the sanitizers,
// where a reply has been seen to take 400 ms to come.
inline constexpr uint32_t shortLimitMs = 3000;
fdr::FtpSessionSettings ShortLimits(uint16_t port);

}  // namespace fdr_test
