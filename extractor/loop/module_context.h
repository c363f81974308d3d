#pragma once

// The module being converted: its place in the rack, its configuration words and the number of
// process-data words, as read from its configuration block. Until that block is read, rack and
// slot are those of the last module the search found.

#include <string>

namespace extractor {

struct ModuleContext {
    int rack = 0;
    int slot = 0;
    long kw0 = 0, kw1 = 0, kw2 = 0;
    int wordCount = 128;  // process-data words: 242 when KW1 is 242, else 128

    // "_d" + rack + "_s" + slot: the end of every per-module PLC name.
    std::string suffix() const;
    // rack "." slot, as topological addresses name the module.
    std::string rackSlot() const;
    // Per-module names: "IBY_DIO" + suffix and so on.
    std::string name(const char* prefix) const { return prefix + suffix(); }
};

}  // namespace extractor
