#pragma once

// The repository index as lines: one "<File DDXMLFile=... />" line per installed profile
// between the lines of its enclosing element. Entries are matched by their DDXMLFile value
// exactly (letter case aside, as the file system does), never by a part of the line.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dtmrepo/intake/description_names.h"
#include "dtmrepo/parser/description_record.h"

namespace dtmrepo {

using IndexLines = std::vector<std::string>;

// The entry line of an install.
std::string indexEntryLine(const DescriptionRecord& record, const DescriptionNames& names);

// The value of the attribute `name` in a line, its references read back; nothing when the line
// has no such attribute.
std::optional<std::string> attributeValue(std::string_view line, std::string_view name);

// The DDXMLFile value of an entry line, its references read back; nothing for other lines.
std::optional<std::string> fileAttribute(std::string_view line);

bool namesFile(std::string_view line, std::string_view fileName);

struct MergeResult {
    IndexLines lines;
    bool matched = false;  // the file had an entry, which the new line replaced
    bool placed = false;   // false: an index without lines has no place for an entry
};

// The index with the entry line in place of the file's entry, or else just above the index's
// last line (the end of its enclosing element).
MergeResult mergeEntry(const IndexLines& index, const std::string& entryLine,
                       std::string_view fileName);

struct RemovalResult {
    IndexLines lines;
    int removed = 0;
};

// The index without the file's entry lines.
RemovalResult removeEntry(const IndexLines& index, std::string_view fileName);

struct RestoreResult {
    IndexLines lines;      // empty when the index has no lines
    bool changed = false;  // some entry of the install copy was missing from the index
    size_t keys = 0;       // entries found in the index
    // The DDXMLFile values of the missing entries that `restorable` turned down.
    std::vector<std::string> notRestored;
    // Index and install-copy lines whose DDXMLFile was read: one read per line, however long
    // both are (the work a nested search would multiply).
    size_t attributeReads = 0;
};

// The current index whole, with the install copy's entry lines that it lacks added above its
// closing line: after a DTM upgrade the index holds entries the copy never knew. A missing
// entry comes back only when `restorable` (if given) says its files can be there.
RestoreResult restoreFromCopy(const IndexLines& index, const IndexLines& installCopy,
                              const std::function<bool(const std::string& line)>& restorable = {});

// The report message (after "ERROR - ") when UTF-8 `name` cannot stand as a file name in the
// repository: empty, holding a character a Windows file name cannot hold, a control character,
// or one that the conversion to the ANSI code page changes (a look-alike that becomes a
// separator or a point, or a character the page lacks).
std::optional<std::string> checkRepositoryName(std::string_view name, std::string_view what);

}  // namespace dtmrepo
