#pragma once

// The names an install derives from the chosen description file, and the check of its name:
// the maker's module files follow the form "PME KRT 03XX_name_v_x_yy.txt".

#include <optional>
#include <string>
#include <string_view>

namespace dtmrepo {

struct DescriptionNames {
    std::string chosenPath;
    std::string root;       // the file name without folder and extension
    std::string extension;  // without its point
    std::string base;       // the chosen path less the point and the extension

    std::string flatProfile() const { return base + "_slammed.XML"; }
    std::string indentedProfile() const { return base + ".XML"; }
    std::string configurationCopy() const { return base + "_config.tx2"; }
    std::string ioCopy() const { return base + "_io.tx2"; }
    std::string entryFileName() const { return root + ".XML"; }
};

struct NameScan {
    DescriptionNames names;
    int underscores = 0;
    int points = 0;
    int blanksAfterUnderscore = 0;  // blanks right of the last underscore
};

// Walks the file name from its end to the last folder separator (a backslash, or a slash).
NameScan scanDescriptionPath(std::string_view path);

// The refusal text for a name that breaks the naming rules, or nothing when it passes. Only
// names of the maker's modules are checked; every name needs an extension and a root, and an
// .XML file is refused because the profile is written under that very name.
std::optional<std::string> checkDescriptionName(const NameScan& scan);

}  // namespace dtmrepo
