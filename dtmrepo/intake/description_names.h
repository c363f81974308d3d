#pragma once

// The names an install derives from the chosen description file, and the check of its name:
// the maker's module files follow the form "PME KRT 03XX_name_v_x_yy.txt".

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ansi_path.h"

namespace dtmrepo {

struct DescriptionNames {
    std::string chosenPath;
    std::string root;       // the file name without folder and extension
    std::string extension;  // without its point
    std::string base;       // the chosen path less the point and the extension
    // The program's own work folder of this install: the work files go there, not beside the
    // user's description, and go with it.
    std::filesystem::path workFolder;

    // The work files, by name (the failure texts name them so).
    std::string flatProfile() const { return root + "_slammed.XML"; }
    std::string indentedProfile() const { return root + ".XML"; }
    std::string configurationCopy() const { return root + "_config.tx2"; }
    std::string ioCopy() const { return root + "_io.tx2"; }
    // A work file's place (`name` in the system's code page).
    std::filesystem::path workFile(const std::string& name) const {
        return workFolder / platform::PathFromAnsi(name);
    }
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
