#pragma once

// An output file written under a temporary name beside its final one and renamed into place
// only when the whole job has succeeded, so that a failed run never leaves a half-written file
// under the final name.

#include <filesystem>
#include <fstream>
#include <vector>

namespace svc {

class SvcStagedFile {
  public:
    explicit SvcStagedFile(std::filesystem::path finalPath);
    ~SvcStagedFile();  // a file that was not committed is removed
    SvcStagedFile(const SvcStagedFile&) = delete;
    SvcStagedFile& operator=(const SvcStagedFile&) = delete;

    // Creates the temporary file; on failure errorNumber() holds the run-time error number. An
    // earlier final file that is read-only is refused (EACCES), as opening it would be.
    bool open();
    std::ostream& stream() { return stream_; }
    // Flushes and closes; false when a write failed.
    bool close();
    // Moves the finished file to its final name, replacing an earlier one.
    bool commit();

    // Moves every finished file to its final name, or none of them: a final name that holds
    // anything but a file stops it before a file moves, and the earlier files under the final
    // names are put back when a move fails. On failure `failed` is the file whose move failed
    // (its errorNumber() says why).
    static bool commitTogether(const std::vector<SvcStagedFile*>& files, SvcStagedFile*& failed);

    const std::filesystem::path& finalPath() const { return finalPath_; }
    // "~" + eight hexadecimal digits + ".tmp" in the final file's folder.
    static std::filesystem::path stagingPathFor(const std::filesystem::path& finalPath);
    // Where commitTogether keeps an earlier final file until every new one is in place: the
    // staging name with ".old".
    static std::filesystem::path keptAsidePathFor(const std::filesystem::path& finalPath);
    int errorNumber() const { return errorNumber_; }
    // After a failed open: the folder refused the new temporary file (no permission, a
    // read-only medium), so no file can be made there, whether the final file is writable or not.
    bool folderRefusedNewFile() const { return folderRefused_; }

  private:
    std::filesystem::path finalPath_;
    std::filesystem::path stagingPath_;
    std::ofstream stream_;
    bool committed_ = false;
    int errorNumber_ = 0;
    bool folderRefused_ = false;
};

}  // namespace svc
