#pragma once

// Fennick run in this process the way its entry runs it: a private folder (also the temporary
// folder) and settings store per test, the headless UI playing a script.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "project_builder.h"

namespace fennick_test {

class FennickTest : public ::testing::Test {
  public:
    const std::filesystem::path& folder() const { return folder_; }
    std::filesystem::path path(const std::string& name) const { return folder_ / name; }

  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the project as `name` in the test's folder and returns its path.
    std::filesystem::path writeProject(const std::string& name, const ProjectSpec& project);

    // Runs the program with these arguments while the UI plays `script`; the exit code.
    int runFennick(const std::vector<std::string>& arguments, const std::string& script = "");

    std::string transcript() const;
    // The transcript's message boxes as "caption|text".
    std::vector<std::string> boxes() const;
    // The names of every file and folder below the test's folder, relative to it.
    std::vector<std::string> tree() const;
    // Work folders of the program left in the temporary folder.
    std::vector<std::string> leftoverWorkFolders() const;

    // What keeps the converted project in `converted` from building, as a real XML parser reads
    // its project file against the one in `original`: a type used but not defined (nor a library
    // type the original used), a type defined twice, an instance not declared or declared twice,
    // a reference to the module at rack/slot without its warning in `results`. Empty when sound.
    std::string projectProblems(const std::filesystem::path& converted,
                                const std::filesystem::path& original, int rack, int slot,
                                const std::filesystem::path& results) const;

  private:
    std::filesystem::path folder_;
    std::filesystem::path startFolder_;
    std::optional<std::string> savedTmpdir_;
};

std::string readFile(const std::filesystem::path& path);
// Lines split at CR LF (a line end of another form fails the test).
std::vector<std::string> crlfLines(const std::string& text);
// Empty when xmllint accepts the text as well-formed XML; else its complaint.
std::string xmlProblem(const std::string& text, const std::filesystem::path& scratch);

}  // namespace fennick_test
