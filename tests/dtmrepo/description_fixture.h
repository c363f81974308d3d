#pragma once

// Description files for the tests, written from the keyword-line format, and the runs of the
// intake and parser over them.

#include <string>
#include <vector>

#include "dtmrepo/intake/install_intake.h"
#include "dtmrepo/parser/description_parser.h"

namespace dtmrepo_test {

using Lines = std::vector<std::string>;

inline const std::string kRevisionDate = "16OCT2019";
inline const std::string kToday = "2024-03-05";

dtmrepo::IntakeSettings fixedSettings();

// The lines joined with CR LF, as a description file holds them.
std::string fileText(const Lines& lines);

// The parser alone over `lines` (line N of a message is lines[N - 1]), with the closing
// checks when `finish` is set.
struct ParserRun {
    dtmrepo::DescriptionRecord record;
    dtmrepo::CheckReport report;
    dtmrepo::ParserState state;
    // The report cut into its messages (each without its leading line break).
    std::vector<std::string> messages() const;
};
ParserRun parseOnly(const Lines& lines, bool finish = false);

// Preprocessing and parser over a description held in memory, named `root`.
dtmrepo::IntakeOutcome parseDescription(const Lines& lines,
                                        const std::string& root = "PME KRT 0302_Pump");

// The lines every valid description needs around what a test is about: the identity, an
// application configuration group (labelled so: the information group follows its label),
// and an input and an output assembly with a variable each.
Lines sampleDescription();

// A description of every part: identity, languages, nested parameter groups, four assemblies
// with paths and intervals, variables in several sections, a loop, an enumeration and a
// conditional-access pair.
Lines fullDescription();

// The messages of a report, each without its leading line break.
std::vector<std::string> reportMessages(const std::string& reportText);

// A fresh folder under the test temporary folder.
std::string freshFolder(const std::string& name);

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

}  // namespace dtmrepo_test
