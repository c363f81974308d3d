#pragma once

// The user's road through both programs, in a private folder (the Fennick tests' fixture):
// Fennick and Vornick run as the user starts them. Between them the test makes the migration to
// M580 (m580_test::migrateArchive).

#include <filesystem>
#include <string>
#include <vector>

#include "fennick_fixture.h"
#include "tests/converter/m580_project.h"

namespace pipeline_test {

class PipelineTest : public fennick_test::FennickTest {
  protected:
    // Runs the program in the test's folder with these arguments; `script` plays the user when
    // not empty. The exit code; transcript and console stay in tmp/ under `name`.
    int runProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& script, const std::string& name);
    std::string programTranscript(const std::string& name) const;
};

}  // namespace pipeline_test
