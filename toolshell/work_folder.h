#pragma once

// A folder of a tool's own under the system's temporary folder, where a conversion unpacks an
// archive and rewrites its files, so that nothing beside the user's archive is touched until
// the finished outputs are put in place. It goes, with everything in it, when the job ends,
// however it ends.
//
// A run that is killed (ended from the task manager, a signal, a file-size limit) cannot tidy
// up: it leaves its folder and whatever it was writing beside the user's files. Each folder
// is held by a lock while its run lives, and lists the files its run makes outside it before
// they are made; the next run of the tool (or the next start) removes the folders no run holds
// any more, with the files they list.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace platform {
class FileLock;
}

namespace toolshell {

class WorkFolder {
  public:
    // Makes "<prefix>-<number>" in the temporary folder, after sweeping what killed runs left.
    explicit WorkFolder(std::string_view prefix);
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    bool made() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }
    const std::string& error() const { return error_; }  // why it could not be made

    // What this run is about to make outside its folder, so that a killed run's next run
    // removes it: a file (its name starts with ".~"), every file in a folder whose name starts
    // with a given ".~" text, or a folder that goes when it is empty.
    enum class Stray { File, FilesStartingWith, FolderIfEmpty };
    void noteStray(Stray kind, const std::filesystem::path& path);

    // Removes the folders of runs of the tool that ended without tidying up, and what they
    // listed; folders of runs still going stay.
    static void sweepLeftovers(std::string_view prefix);

  private:
    std::filesystem::path path_;
    std::string error_;
    std::unique_ptr<platform::FileLock> lock_;
};

}  // namespace toolshell
