// What Brondel reads from the DAV's repository, which other programs write too: the index
// lines (tree entries, install merge, removal, restore) and the installed profiles the tree
// summarises, over arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "dtmrepo/repository/index_entries.h"
#include "dtmrepo/repository/index_lines.h"
#include "dtmrepo/repository/profile_summary.h"
#include "dtmrepo/repository/tree_items.h"
#include "toolshell/text_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> lines;
    std::string line;
    while (toolshell::readTextLine(in, line))
        lines.push_back(line);

    // The same lines as a profile: the tree's items of one entry.
    dtmrepo::ProfileScanner scanner;
    for (const std::string& text : lines)
        scanner.line(text);
    if (scanner.summary().members.size() > dtmrepo::summaryCapacity)
        __builtin_trap();
    const auto items = dtmrepo::entryTreeItems("key", "Ver 1", scanner.summary());
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].parent >= static_cast<int>(i) || (i > 0 && items[i].parent < 0))
            __builtin_trap();
    }

    // As an index: its entries, and the three changes made to it.
    std::string someFile = "A.XML";
    for (const std::string& text : lines) {
        dtmrepo::IndexEntry entry;
        if (dtmrepo::readIndexEntry(text, entry) && !entry.fileName.empty())
            someFile = entry.fileName;
    }
    const auto merged = dtmrepo::mergeEntry(lines, "  <File DDXMLFile=\"A.XML\"/>", someFile);
    if (merged.placed && merged.lines.size() > lines.size() + 1)
        __builtin_trap();
    const auto removal = dtmrepo::removeEntry(lines, someFile);
    if (removal.lines.size() + static_cast<size_t>(removal.removed) != lines.size())
        __builtin_trap();
    // Every index line stays, in its order; entries of the copy may join above the last one.
    const auto restored = dtmrepo::restoreFromCopy(lines, merged.lines);
    if (restored.lines.size() < lines.size() ||
        restored.lines.size() > lines.size() + merged.lines.size())
        __builtin_trap();
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (restored.lines[i] != lines[i])
            __builtin_trap();
    }
    if (!lines.empty() && restored.lines.back() != lines.back())
        __builtin_trap();
    return 0;
}
