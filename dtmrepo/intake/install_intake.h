#pragma once

// The front of the install command: the chosen file's name is checked, the description is
// preprocessed into its configuration and I/O copies (left beside it), the record gets its
// defaults and the parser reads the configuration copy into it.

#include <filesystem>
#include <optional>
#include <string>

#include "dtmrepo/intake/description_names.h"
#include "dtmrepo/intake/time_stamp.h"
#include "dtmrepo/open_failure_site.h"
#include "dtmrepo/parser/check_report.h"
#include "dtmrepo/parser/description_record.h"
#include "dtmrepo/trace.h"

namespace dtmrepo {

struct IntakeOutcome {
    enum class Result {
        Refused,     // the name check refused the file; `refusal` says why
        OpenFailed,  // `openFailure` names the file
        Stopped,     // a loop or ordering fault ended the preprocessing (reported)
        Parsed,      // the record is filled; the report's error count decides the rest
    };
    Result result = Result::Parsed;
    std::string refusal;
    OpenFailure openFailure;
    DescriptionNames names;
    std::string productIdentifier;  // the root, or the composed ProductID
    std::string swValue;
    DescriptionRecord record;
    CheckReport report;
};

struct IntakeSettings {
    std::string revisionDate;
    TimeStamp timeStamp;
};

// The configuration and I/O copies are written to `workFolder`.
IntakeOutcome runInstallIntake(const std::string& chosenPath,
                               const std::filesystem::path& workFolder,
                               const IntakeSettings& settings, const Trace& trace);

// The record before the first line: the defaults and the names of the intake.
DescriptionRecord recordDefaults(const DescriptionNames& names,
                                 const std::string& productIdentifier,
                                 const IntakeSettings& settings);

// Preprocessing and parsing of a description held in memory, for the install and the fuzzer.
void parseDescriptionText(std::istream& description, IntakeOutcome& outcome,
                          const IntakeSettings& settings, const Trace& trace);

}  // namespace dtmrepo
