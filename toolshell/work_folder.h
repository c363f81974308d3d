#pragma once

// A folder of a tool's own under the system's temporary folder, where a conversion unpacks an
// archive and rewrites its files, so that nothing beside the user's archive is touched until
// the finished outputs are put in place. It goes, with everything in it, when the job ends,
// however it ends.

#include <filesystem>
#include <string>
#include <string_view>

namespace toolshell {

class WorkFolder {
  public:
    // Makes "<prefix>-<number>" in the temporary folder.
    explicit WorkFolder(std::string_view prefix);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    bool made() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }
    const std::string& error() const { return error_; }  // why it could not be made

  private:
    std::filesystem::path path_;
    std::string error_;
};

}  // namespace toolshell
