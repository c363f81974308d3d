#pragma once

// Tamsel's suites: conversions of service files made by the suites' builder, and whole program
// runs through the headless UI, each test with a settings store and a scratch folder of its own.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "loadcode/decoding/tamsel_conversion.h"
#include "svc_fixture.h"

namespace loadcode::testing {

using svc::testing::Record;

struct Converted {
    TamselConversionResult result;
    std::string console;
    std::string transcript;
    std::filesystem::path root;
    std::string output(const char* suffix) const;
    std::vector<std::string> lines(const char* suffix) const;  // CR LF lines
};

struct ProgramRun {
    int exitCode = -1;
    std::string transcript;
    std::string console;
};

class TamselTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Converts `name` + ".SVC" written from `records` into the scratch folder.
    Converted convert(const std::string& name, const std::vector<Record>& records,
                      const std::string& dtmName = "PMEDWL");
    // The same for a service file that is already there.
    Converted convertFile(const std::filesystem::path& svcPath,
                          const std::string& dtmName = "PMEDWL");

    // Runs the program's window over the headless script.
    ProgramRun runProgram(const std::string& script);

    std::filesystem::path writeSvc(const std::string& fileName,
                                   const std::vector<Record>& records) const;
    // The DTMname, Debug or ClevPath setting as stored, or "(missing)".
    std::string storedSetting(const std::string& name) const;
    void storeSetting(const std::string& name, const std::string& value) const;

    const std::filesystem::path& folder() const { return folder_.path(); }

  private:
    svc::testing::ScratchFolder folder_;
    std::filesystem::path storePath_;
    std::filesystem::path startDir_;
};

// The file names in a folder, sorted.
std::vector<std::string> filesIn(const std::filesystem::path& folder);

}  // namespace loadcode::testing
