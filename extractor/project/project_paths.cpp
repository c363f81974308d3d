#include "extractor/project/project_paths.h"

#include "platform/ansi_path.h"

namespace extractor {

namespace {

std::size_t lastSeparator(std::string_view text) {
    return text.find_last_of("\\/");
}

}  // namespace

char pathSeparator() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

ProjectPaths splitProjectPath(std::string_view fileName) {
    ProjectPaths paths;
    paths.fileName = std::string(fileName);
    const std::size_t separator = lastSeparator(fileName);
    const std::size_t dot = fileName.rfind('.');
    const bool dotInName =
        dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
    paths.zeffilename = std::string(dotInName ? fileName.substr(0, dot) : fileName);
    if (separator == std::string_view::npos) {
        paths.zeffileroot = paths.zeffilename;
        paths.zeffilepath.assign(1, '.');
    } else {
        paths.zeffileroot = paths.zeffilename.substr(separator + 1);
        paths.zeffilepath = paths.zeffilename.substr(0, separator);
    }
    return paths;
}

std::string ProjectPaths::besideText(std::string_view suffix) const {
    std::string text = zeffilepath;
    text += pathSeparator();
    text += zeffileroot;
    text += suffix;
    return text;
}

std::filesystem::path ProjectPaths::beside(std::string_view suffix) const {
    std::string name = zeffileroot;
    name.append(suffix.data(), suffix.size());
    // A folder named by "/" alone keeps its root: "/x.zef" lies in "/", not in "".
    std::filesystem::path folder = platform::PathFromAnsi(zeffilepath);
    if (zeffilepath.empty()) {
        folder = std::filesystem::path(
            std::filesystem::path::string_type(1, std::filesystem::path::preferred_separator));
    }
    return folder / platform::PathFromAnsi(name);
}

std::filesystem::path ProjectPaths::archive() const {
    return platform::PathFromAnsi(fileName);
}

}  // namespace extractor
