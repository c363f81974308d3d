#pragma once

// Rebuilding a lost description file from a Unity Pro variables export (.xsy) of a device's
// IODDT: the export is read as text, keying on a few element starts; the device variable names
// the description, the type sources give one input and one output assembly, and each member
// with a comment becomes a variable.

#include <istream>
#include <string>
#include <vector>

namespace dtmrepo {

struct XsyRebuild {
    // The device variable's name, its underscores but the last made blanks; empty when the
    // export's data block names none.
    std::string rootName;
    std::vector<std::string> lines;  // the description, written only when `rootName` names it
    std::string report;              // appended to the command's report
    size_t reportAtOutput = 0;       // the report's length once the description was named
    int errorCount = 0;
};

// `folder` is the export's folder as the user knows it (it ends in a separator): the
// description is named there.
XsyRebuild rebuildFromVariablesExport(std::istream& xsy, const std::string& folder,
                                      const std::string& revisionDate);

}  // namespace dtmrepo
