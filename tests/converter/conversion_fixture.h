#pragma once

// A folder of its own for each test, with the system's temporary folder pointed into it (so a
// test can see that a conversion leaves no work files behind), a settings store of its own,
// and a headless UI session recording the message boxes.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace converter_test {

// A message box as the transcript tells it.
struct Box {
    std::string caption;
    std::string text;
    std::string icon;   // "stop", "information", ...; empty for none
    std::string owner;  // the owner window's title; empty for none
};

class ConversionTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path folder() const { return folder_ / "work"; }
    std::filesystem::path tempFolder() const { return folder_ / "temp"; }
    std::filesystem::path registryFile() const { return folder_ / "registry.reg"; }

    // Runs the conversion on `archive` as the window does; keeps report and console.
    bool convert(const std::filesystem::path& archive);

    std::string transcript() const;
    // The message boxes shown, as "caption|text".
    std::vector<std::string> boxes() const;
    std::vector<Box> shownBoxes() const;

    std::string report;
    std::string console;

  private:
    std::filesystem::path folder_;
    bool hadTmpdir_ = false;
    std::string savedTmpdir_;
};

// Every entry of a ZIP archive with its uncompressed bytes.
std::map<std::string, std::string> zipEntries(const std::filesystem::path& archive);
// Every entry with its stored (compressed) bytes, method, CRC and time: what a byte-for-byte
// copy keeps.
std::map<std::string, std::string> rawZipEntries(const std::filesystem::path& archive);

// Names of the files and folders in `folder`, recursively, relative to it.
std::set<std::string> folderContent(const std::filesystem::path& folder);

// What xmllint says about the text ("" when it is well-formed XML).
std::string xmlProblems(const std::string& text, const std::filesystem::path& scratch);

std::vector<std::string> splitCrLf(const std::string& text);

}  // namespace converter_test
