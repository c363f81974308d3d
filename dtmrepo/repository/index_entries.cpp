#include "dtmrepo/repository/index_entries.h"

#include "dtmrepo/quoted_values.h"
#include "platform/ansi_path.h"

namespace dtmrepo {

bool readIndexEntry(std::string_view line, IndexEntry& entry) {
    if (quoteCount(line) < 6) {
        return false;
    }
    // The index is UTF-8; the tree and the file names are in the system's code page.
    entry.key = platform::AnsiFromUtf8(trimmedBy(quotedValue(line, 1), 0, 4));
    entry.fileName = platform::AnsiFromUtf8(quotedValue(line, 2));
    entry.version = platform::AnsiFromUtf8(quotedValue(line, 3));
    return true;
}

}  // namespace dtmrepo
