#include "dtmrepo/parser/check_report.h"

namespace dtmrepo {

namespace {

void append(CheckReport& report, std::string_view lineBreak, std::string_view kind,
            std::string_view body, const Trace& trace) {
    if (report.errorCount + report.warningCount > CheckReport::listedMessages) {
        ++report.unlisted;
        return;
    }
    std::string message(kind);
    message += body;
    report.text += lineBreak;
    report.text += message;
    trace.line(1, message);
}

}  // namespace

std::string CheckReport::shown() const {
    if (unlisted == 0) {
        return text;
    }
    return text + "\r\n   ... and " + decimal(unlisted) + " more messages, not listed (" +
           decimal(errorCount) + " errors and " + decimal(warningCount) + " warnings in all)";
}

void CheckReport::error(std::string_view body, const Trace& trace) {
    ++errorCount;
    append(*this, "\r\n", "   ERROR - ", body, trace);
}

void CheckReport::errorAfterReturn(std::string_view body, const Trace& trace) {
    ++errorCount;
    append(*this, "\r", "   ERROR - ", body, trace);
}

void CheckReport::warning(std::string_view body, const Trace& trace) {
    ++warningCount;
    append(*this, "\r\n", "   WARNING - ", body, trace);
}

}  // namespace dtmrepo
