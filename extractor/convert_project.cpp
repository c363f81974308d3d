#include "extractor/convert_project.h"

#include <iostream>

#include "extractor/project/line_files.h"
#include "extractor/project_pass.h"
#include "platform/ui.h"

namespace extractor {

namespace {

void show(const ConversionFailure& failure) {
    platform::ui::ShowMessageBox(nullptr, failure.text, failure.caption);
}

// Appends every line of a pass's results file to the report; false (after the box) when the
// file cannot be read.
bool reportResults(const PassOutcome& pass, int site, std::string& reportText) {
    int errorNumber = 0;
    const bool read = forEachLine(
        pass.resultsFile,
        [&](std::string_view line) {
            reportText += "\r\n  ";
            reportText += line;
        },
        errorNumber);
    if (!read) {
        show(openFailure(site, pass.resultsFileText, errorNumber, "OK"));
    }
    return read;
}

void showReport(const ConversionOptions& options, const std::string& reportText) {
    if (options.showReport) {
        options.showReport(reportText);
    }
}

}  // namespace

bool convertProject(const ConversionOptions& options, std::string& reportText) {
    const PassOutcome first =
        convertArchive(splitProjectPath(options.fileName), options, reportText);
    if (first.failure) {
        showReport(options, reportText);
        show(*first.failure);
        return false;
    }
    if (!first.furtherModule) {
        if (!reportResults(first, 48, reportText)) {
            return false;
        }
        showReport(options, reportText);
        if (!options.batch) {
            platform::ui::ShowMessageBox(nullptr, " Created: " + first.createdArchive, "Success");
        }
        return true;
    }
    if (options.debugLevel == 1) {
        (options.console != nullptr ? *options.console : std::cout)
            << " ***************** Found one more IBY100, do it again "
               "********************************\n";
    }
    // The further module is converted on this pass's own output, with the same settings; its
    // progress is not shown, as a run without a window shows none.
    ConversionOptions again = options;
    again.fileName = first.createdArchive;
    again.batch = true;
    std::string secondReport;
    const PassOutcome second =
        convertArchive(splitProjectPath(again.fileName), again, secondReport);
    if (second.failure) {
        showReport(options, reportText);
        show(*second.failure);
        return false;
    }
    if (!reportResults(first, 46, reportText)) {
        return false;
    }
    reportText += "\r\n  ---- Second Pass ----";
    if (!reportResults(second, 47, reportText)) {
        return false;
    }
    showReport(options, reportText);
    platform::ui::ShowMessageBox(nullptr, " Created: " + second.createdArchive, "Finished");
    return true;
}

}  // namespace extractor
