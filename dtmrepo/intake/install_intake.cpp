#include "dtmrepo/intake/install_intake.h"

#include <filesystem>
#include <fstream>
#include <functional>

#include "dtmrepo/intake/preprocess.h"
#include "dtmrepo/parser/description_parser.h"
#include "dtmrepo/text_files.h"
#include "platform/ansi_path.h"

namespace dtmrepo {

DescriptionRecord recordDefaults(const DescriptionNames& names,
                                 const std::string& productIdentifier,
                                 const IntakeSettings& settings) {
    DescriptionRecord record;
    record.fileCreationDate = settings.timeStamp.date;
    record.fileModificationDate = settings.timeStamp.date;
    record.creationTime = settings.timeStamp.time;
    // The profile is UTF-8; the root is a file name in the system's code page.
    record.profileName = platform::Utf8FromAnsi(names.root);
    record.productId = productIdentifier;
    record.profileFileName = productIdentifier + ".XML";
    record.minCompiler = settings.revisionDate;
    record.utilityVersion = settings.revisionDate;
    return record;
}

namespace {

// Preprocesses, lets `keepCopies` store the two copies (false stops the run: it set the
// outcome), and parses the configuration copy.
void preprocessAndParse(std::istream& description, IntakeOutcome& outcome,
                        const IntakeSettings& settings, const Trace& trace,
                        const std::function<bool(const PreprocessResult&)>& keepCopies) {
    // The product identifier (the root unless a ProductID line names it) is profile text.
    PreprocessResult copies =
        preprocessDescription(description, platform::Utf8FromAnsi(outcome.names.root),
                              settings.revisionDate, outcome.report, trace);
    outcome.productIdentifier = copies.productIdentifier;
    outcome.swValue = copies.swValue;
    if (copies.stopped) {
        outcome.result = IntakeOutcome::Result::Stopped;
        return;
    }
    if (keepCopies && !keepCopies(copies)) {
        return;
    }
    outcome.record = recordDefaults(outcome.names, copies.productIdentifier, settings);
    DescriptionParser parser(outcome.record, outcome.report, trace, settings.revisionDate,
                             settings.timeStamp.date);
    for (const std::string& line : copies.configurationLines) {
        parser.readLine(line);
    }
    parser.finish();
    outcome.result = IntakeOutcome::Result::Parsed;
}

}  // namespace

void parseDescriptionText(std::istream& description, IntakeOutcome& outcome,
                          const IntakeSettings& settings, const Trace& trace) {
    preprocessAndParse(description, outcome, settings, trace, {});
}

IntakeOutcome runInstallIntake(const std::string& chosenPath,
                               const std::filesystem::path& workFolder,
                               const IntakeSettings& settings, const Trace& trace) {
    IntakeOutcome outcome;
    const NameScan scan = scanDescriptionPath(chosenPath);
    outcome.names = scan.names;
    outcome.names.workFolder = workFolder;
    if (auto refusal = checkDescriptionName(scan)) {
        outcome.result = IntakeOutcome::Result::Refused;
        outcome.refusal = *refusal;
        return outcome;
    }
    trace.line(4, "File to open '" + chosenPath);
    trace.line(4, "spourcefile='" + scan.names.root + "'");
    trace.line(4, "spourceextension='" + scan.names.extension + "'");

    const std::filesystem::path path = platform::PathFromAnsi(chosenPath);
    std::error_code error;
    std::ifstream description;
    if (std::filesystem::is_regular_file(path, error)) {
        description.open(path, std::ios::binary);
    }
    if (!description.is_open()) {
        outcome.result = IntakeOutcome::Result::OpenFailed;
        outcome.openFailure = {12, chosenPath, false, 1};
        return outcome;
    }
    outcome.report.text = "Building: " + chosenPath;
    trace.line(1, "Building: " + chosenPath);

    preprocessAndParse(description, outcome, settings, trace, [&](const PreprocessResult& copies) {
        const DescriptionNames& names = outcome.names;
        if (!writeTextFileLines(names.workFile(names.configurationCopy()),
                                copies.configurationLines)) {
            outcome.result = IntakeOutcome::Result::OpenFailed;
            outcome.openFailure = {10, outcome.names.configurationCopy(), true, 8};
            return false;
        }
        if (!writeTextFileLines(names.workFile(names.ioCopy()), copies.ioLines)) {
            outcome.result = IntakeOutcome::Result::OpenFailed;
            outcome.openFailure = {11, outcome.names.ioCopy(), true, 9};
            return false;
        }
        trace.line(1, "   Reading: " + outcome.names.configurationCopy());
        trace.line(1, "   Writing: " + outcome.names.flatProfile());
        trace.line(1, "   date = " + settings.timeStamp.date);
        trace.line(1, "   time = " + settings.timeStamp.time);
        return true;
    });
    return outcome;
}

}  // namespace dtmrepo
