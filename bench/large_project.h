#pragma once

// What the large-project generators of the conversion benchmarks share: their command line
// (<archive.zef> <megabytes>), the project file written line by line beside the archive (for
// the stream editor the conversions are measured against), and the archive made from it.

#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

struct LargeProjectRequest {
    std::string archive;
    std::string projectFile;  // "<archive>.unitpro.xef"
    long long bytes = 0;      // the project file's size at least
};

// The request on the command line of `program`; the usage on standard error when it is wrong.
std::optional<LargeProjectRequest> largeProjectRequest(int argc, char** argv, const char* program);

// A line of structured text that no conversion changes.
std::string plainCodeLine(long n);

// The project file, each line ended by CR LF, counting its bytes.
class ProjectFileWriter {
  public:
    explicit ProjectFileWriter(const std::string& path) : out_(path, std::ios::binary) {}
    void line(std::string_view text);
    long long size() const { return size_; }
    bool close();

  private:
    std::ofstream out_;
    long long size_ = 0;
};

struct ArchiveEntry {
    std::string name;
    std::string data;
    bool stored = false;  // no compression
};

// Writes the archive of the request: "unitpro.xef" from the project file, then `others`.
// Prints what was written; false (with the reason on standard error) when it can't.
bool writeProjectArchive(const LargeProjectRequest& request, long long projectSize,
                         long generatedLines, const std::vector<ArchiveEntry>& others = {});

}  // namespace bench
