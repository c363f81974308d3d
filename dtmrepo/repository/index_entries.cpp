#include "dtmrepo/repository/index_entries.h"

#include "dtmrepo/quoted_values.h"
#include "dtmrepo/repository/index_lines.h"
#include "platform/ansi_path.h"

namespace dtmrepo {

bool readIndexEntry(std::string_view line, IndexEntry& entry) {
    // Read by name, as the install and the removal match entries: other writers of the index
    // put the attributes in another order, and names may hold references such as &apos;.
    const auto file = fileAttribute(line);
    if (!file) {
        return false;
    }
    const auto profile = attributeValue(line, "Filename");
    const auto version = attributeValue(line, "Fileversion");
    // The index is UTF-8; the tree and the file names are in the system's code page.
    entry.key = platform::AnsiFromUtf8(trimmedBy(*file, 0, 4));
    entry.fileName = platform::AnsiFromUtf8(profile ? *profile : *file);
    entry.version = platform::AnsiFromUtf8(version ? *version : std::string());
    return true;
}

}  // namespace dtmrepo
