#pragma once

// The entries of the repository index as the tree lists them: each line with a DDXMLFile
// attribute names a profile by its DDXMLFile, Filename and Fileversion values.

#include <string>
#include <string_view>
#include <vector>

namespace dtmrepo {

struct IndexEntry {
    std::string key;       // the DDXMLFile value without ".XML"
    std::string fileName;  // the profile in the repository folder
    std::string version;   // the Fileversion value
};

// The entry of one index line, or false when the line names none.
bool readIndexEntry(std::string_view line, IndexEntry& entry);

}  // namespace dtmrepo
