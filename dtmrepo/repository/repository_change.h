#pragma once

// Changes to the repository made as one: every file written, folder made or read-only mark
// cleared is noted with what stood there before, so that when a later step fails the whole
// repository is put back byte for byte. All of it goes through the file API; nothing is run
// through a command interpreter.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dtmrepo {

// A failed step, in the words of the command line the DAV's own tools would have run for it.
struct ChangeFailure {
    int errorNumber = 0;
    std::string command;  // e.g. copy "a" "b"
    std::string reason;   // the system's text
    // Set when the rollback could not finish: the files left as the change made them, and
    // where the index as it was before the change is kept.
    std::vector<std::string> notPutBack;
    std::string previousIndex;
};

// What the user reads after a failed change: the failed step, and whether everything was
// put back or which files were not.
std::string changeFailureText(const ChangeFailure& failure);

class RepositoryChange {
  public:
    // Each step returns false when it fails, and so does every step after a failure.
    bool makeFolder(const std::filesystem::path& folder);
    // `target` is replaced by `bytes` (staging file, check, rename). `source` names where the
    // bytes came from, for the failure text of a copy; empty for a file written anew.
    bool writeFile(const std::filesystem::path& target, std::string_view bytes,
                   const std::filesystem::path& source = {});
    bool copyFile(const std::filesystem::path& source, const std::filesystem::path& target);
    bool makeWritable(const std::filesystem::path& file);

    bool failed() const { return failed_; }
    const ChangeFailure& failure() const { return failure_; }
    // Puts back everything changed so far, newest first. When a step cannot be put back, the
    // older changes stay too (a file the index still names, or the backup holding the previous
    // index, must not go) and are listed in the failure, with `previousIndex`.
    void rollBack(const std::filesystem::path& previousIndex = {});

  private:
    struct Undo {
        enum Kind { RemoveFolder, RemoveFile, RestoreFile, RestorePermissions } kind;
        std::filesystem::path path;
        std::string bytes;
        std::filesystem::perms permissions = std::filesystem::perms::none;
    };
    bool fail(int errorNumber, std::string command, std::string reason);
    bool noteFile(const std::filesystem::path& target, const std::string& command);

    std::vector<Undo> undo_;
    bool failed_ = false;
    ChangeFailure failure_;
};

}  // namespace dtmrepo
