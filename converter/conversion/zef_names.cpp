#include "converter/conversion/zef_names.h"

#include "platform/ansi_path.h"

namespace vornick {

namespace fs = std::filesystem;

ZefNames deriveZefNames(std::string_view zefPath) {
    ZefNames names;
    names.archive = platform::PathFromAnsi(zefPath);
    names.folder = names.archive.parent_path();
    const fs::path fileName = names.archive.filename();
    const fs::path root = fileName.has_extension() ? fileName.stem() : fileName;
    names.zeffileroot = platform::AnsiFromPath(root);
    names.zeffilepath = names.folder.empty() ? "." : platform::AnsiFromPath(names.folder);
    // The extension is cut off the text the user chose, so the rest of it stays exactly as
    // given (separators and all).
    const std::string extension = platform::AnsiFromPath(fileName.extension());
    names.zeffilename = std::string(zefPath.substr(0, zefPath.size() - extension.size()));
    names.orig_zeffilename = names.zeffilename;
    return names;
}

fs::path ZefNames::outputArchive() const {
    return folder / platform::PathFromAnsi(zeffileroot + "_IBS.zef");
}

fs::path ZefNames::intermediateFolder() const {
    return folder / platform::PathFromAnsi(zeffileroot + "_IntermediateFiles");
}

}  // namespace vornick
