#pragma once

// An output file written under a temporary name beside its final one and renamed into place
// only when the whole job has succeeded, so that a failed run never leaves a half-written file
// under the final name.

#include <filesystem>
#include <fstream>

namespace svc {

class SvcStagedFile {
  public:
    explicit SvcStagedFile(std::filesystem::path finalPath);
    ~SvcStagedFile();  // a file that was not committed is removed
    SvcStagedFile(const SvcStagedFile&) = delete;
    SvcStagedFile& operator=(const SvcStagedFile&) = delete;

    // Creates the temporary file; on failure errorNumber() holds the run-time error number.
    bool open();
    std::ostream& stream() { return stream_; }
    // Flushes and closes; false when a write failed.
    bool close();
    // Moves the finished file to its final name, replacing an earlier one.
    bool commit();

    const std::filesystem::path& finalPath() const { return finalPath_; }
    // "~" + eight hexadecimal digits + ".tmp" in the final file's folder.
    static std::filesystem::path stagingPathFor(const std::filesystem::path& finalPath);
    int errorNumber() const { return errorNumber_; }

  private:
    std::filesystem::path finalPath_;
    std::filesystem::path stagingPath_;
    std::ofstream stream_;
    bool committed_ = false;
    int errorNumber_ = 0;
};

}  // namespace svc
