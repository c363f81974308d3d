#include "tests/fdr/query_runner.h"

#include <chrono>
#include <sstream>

namespace fdr_test {

QueryRun RunQuery(const std::string& address, const fdr::FtpTimeLimits& limits) {
    QueryRun run;
    std::ostringstream trace;
    fdr::QueryContext context{
        run.reports, trace, [&run](int position) { run.progress.push_back(position); },
        [&run](std::string_view text) { run.errors.emplace_back(text); }, limits};
    const auto start = std::chrono::steady_clock::now();
    run.end = fdr::queryFdrServer(address, context);
    run.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    run.trace = trace.str();
    return run;
}

fdr::FtpTimeLimits ShortLimits() {
    fdr::FtpTimeLimits limits;
    limits.connectMs = 1000;
    limits.replyMs = 400;
    limits.dataMs = 400;
    return limits;
}

}  // namespace fdr_test
