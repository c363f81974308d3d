#pragma once

// The names a conversion derives from the chosen archive's path.

#include <filesystem>
#include <string>
#include <string_view>

namespace vornick {

struct ZefNames {
    std::filesystem::path archive;  // the chosen archive itself
    // The path without its extension: cut at the last "." of the file name, so a folder or a
    // file name with full stops in it ("M580 v1.2\plant.zef", "plant.v2.zef") keeps them.
    std::string zeffilename;
    std::string orig_zeffilename;  // the same; the input and output archive names start with it
    std::string zeffileroot;       // the file name without its extension
    std::string zeffilepath;       // the folder; "." for a bare file name
    std::filesystem::path folder;  // that folder as a path (empty for the current one)

    // "<zeffilename>_IBS.zef", beside the chosen archive.
    std::filesystem::path outputArchive() const;
    // "<zeffileroot>_IntermediateFiles", beside the chosen archive.
    std::filesystem::path intermediateFolder() const;
};

// `zefPath` as the open-file dialog gives it (in the ANSI code page on Windows).
ZefNames deriveZefNames(std::string_view zefPath);

}  // namespace vornick
