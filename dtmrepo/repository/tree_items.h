#pragma once

// The items the repository tree shows for one entry, as texts with their parent: the entry
// key at the root, its version, and per direction the byte count, the assemblies and their
// members with type, address and byte offset.

#include <string>
#include <vector>

#include "dtmrepo/parser/description_record.h"
#include "dtmrepo/repository/profile_summary.h"

namespace dtmrepo {

struct TreeItemText {
    std::string text;
    int parent = -1;  // index of the parent item in the same list; -1 for the entry's root
};

std::vector<TreeItemText> entryTreeItems(const std::string& key, const std::string& versionText,
                                         const ProfileSummary& summary);

// The items an install adds for its entry, from the description record: each variable with
// its type, default value and byte offset.
std::vector<TreeItemText> installedEntryItems(const std::string& key,
                                              const DescriptionRecord& record);

}  // namespace dtmrepo
