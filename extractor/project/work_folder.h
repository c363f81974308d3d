#pragma once

// Where a conversion works: a folder of its own under the system's temporary folder, made for
// this run and removed with everything in it when the run ends. Nothing the user keeps beside
// the archive (a folder or .zip that happens to share a derived name) is ever used, merged,
// overwritten or deleted; the results reach the archive's folder only at the end, each put in
// place whole.

#include <filesystem>
#include <string>

namespace extractor {

class WorkFolder {
  public:
    WorkFolder() = default;
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    // Makes the folder; false with the reason when it cannot be made.
    bool create(std::string& error);
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Moves `from` to `to`, replacing a file there (some systems refuse to rename over one).
bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to,
              std::string& error);

// Puts a copy of `from` at `to`, replacing an earlier file there: the copy is written beside
// `to` under a temporary name and renamed, so `to` is never seen half written.
bool placeFile(const std::filesystem::path& from, const std::filesystem::path& to,
               std::string& error);

}  // namespace extractor
