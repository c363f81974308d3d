#pragma once

// The names a conversion derives from the archive path. Both "\" and "/" separate folders, and
// the archive itself is used under the name it was given (X.ZEF stays X.ZEF).

#include <filesystem>
#include <string>
#include <string_view>

namespace extractor {

struct ProjectPaths {
    std::string fileName;     // the archive path as given (the system's narrow encoding)
    std::string zeffilename;  // the path without its extension
    std::string zeffileroot;  // the file name without folder and extension
    std::string zeffilepath;  // the folder, without a trailing separator; "." when none given

    // zeffilepath + separator + zeffileroot + suffix: a file beside the archive, as a text.
    std::string besideText(std::string_view suffix) const;
    // The same as a path.
    std::filesystem::path beside(std::string_view suffix) const;
    std::filesystem::path archive() const;
};

// The folder separator of the system's own paths.
char pathSeparator();

ProjectPaths splitProjectPath(std::string_view fileName);

}  // namespace extractor
