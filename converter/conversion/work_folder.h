#pragma once

// A folder of the conversion's own under the system's temporary folder, where the archive is
// unpacked and the project rewritten, so that nothing beside the user's archive is touched
// until the finished outputs are put in place. It goes, with everything in it, when the
// conversion ends, however it ends.

#include <filesystem>
#include <string>

namespace vornick {

class WorkFolder {
  public:
    WorkFolder();
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

}  // namespace vornick
