#include "extractor/convert_project.h"

#include <iostream>

#include "extractor/project/line_files.h"
#include "extractor/project_pass.h"
#include "platform/ui.h"

namespace extractor {

namespace {

namespace ui = platform::ui;

void show(const ConversionOptions& options, const ConversionFailure& failure) {
    ui::ShowMessageBox(options.owner, failure.text, failure.caption, ui::Buttons::Ok,
                       ui::Icon::Stop);
}

// Appends every line of a pass's results file to the report; false (after the box) when the
// file cannot be read.
bool reportResults(const ConversionOptions& options, const PassOutcome& pass, int site,
                   std::string& reportText) {
    int errorNumber = 0;
    const bool read = forEachLine(
        pass.resultsFile,
        [&](std::string_view line) {
            reportText += "\r\n  ";
            reportText += line;
        },
        errorNumber);
    if (!read) {
        show(options, openFailure(site, pass.resultsFileText, errorNumber, "OK"));
    }
    return read;
}

// The final box: what was created, then what the user must look at before the project builds.
void showFinished(const ConversionOptions& options, const std::string& created,
                  const std::string& caption, const std::vector<std::string>& notices) {
    std::string text = " Created: " + created;
    for (const std::string& notice : notices) {
        text += "\r\n\r\n " + notice;
    }
    ui::ShowMessageBox(options.owner, text, caption, ui::Buttons::Ok,
                       notices.empty() ? ui::Icon::Information : ui::Icon::Warning);
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
        show(options, *first.failure);
        return false;
    }
    if (!first.furtherModule) {
        if (!reportResults(options, first, 48, reportText)) {
            return false;
        }
        showReport(options, reportText);
        if (!options.batch) {
            showFinished(options, first.createdArchive, "Success", first.notices);
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
        show(options, *second.failure);
        return false;
    }
    if (!reportResults(options, first, 46, reportText)) {
        return false;
    }
    reportText += "\r\n  ---- Second Pass ----";
    if (!reportResults(options, second, 47, reportText)) {
        return false;
    }
    showReport(options, reportText);
    std::vector<std::string> notices = first.notices;
    notices.insert(notices.end(), second.notices.begin(), second.notices.end());
    showFinished(options, second.createdArchive, "Finished", notices);
    return true;
}

}  // namespace extractor
