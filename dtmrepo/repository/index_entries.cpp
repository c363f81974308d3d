#include "dtmrepo/repository/index_entries.h"

#include "dtmrepo/quoted_values.h"

namespace dtmrepo {

bool readIndexEntry(std::string_view line, IndexEntry& entry) {
    if (quoteCount(line) < 6) {
        return false;
    }
    entry.key = trimmedBy(quotedValue(line, 1), 0, 4);
    entry.fileName = quotedValue(line, 2);
    entry.version = quotedValue(line, 3);
    return true;
}

}  // namespace dtmrepo
