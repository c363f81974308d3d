#include "tests/fdr/query_runner.h"

#include <chrono>
#include <sstream>

namespace fdr_test {

QueryRun RunQuery(const std::string& address, const fdr::FtpSessionSettings& settings) {
    QueryRun run;
    std::ostringstream trace;
    fdr::QueryContext context{
        run.reports, trace, [&run](int position) { run.progress.push_back(position); },
        [&run](std::string_view text) { run.errors.emplace_back(text); }, settings};
    const auto start = std::chrono::steady_clock::now();
    run.end = fdr::queryFdrServer(address, context);
    run.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    run.trace = trace.str();
    return run;
}

fdr::FtpSessionSettings OnPort(uint16_t port) {
    fdr::FtpSessionSettings settings;
    settings.port = port;
    return settings;
}

fdr::FtpSessionSettings ShortLimits(uint16_t port) {
    fdr::FtpSessionSettings settings = OnPort(port);
    settings.connectMs = shortLimitMs;
    settings.replyMs = shortLimitMs;
    settings.dataMs = shortLimitMs;
    return settings;
}

}  // namespace fdr_test
