#include "downloader/fixup_list.h"

#include <vector>

namespace {

// Grown in large steps: objects carry thousands of relocations.
constexpr size_t kGrowth = 8000;

std::vector<FixupEntry> fixups;
size_t cursor = 0;

}  // namespace

void ClearFixups() {
    fixups.clear();
    cursor = 0;
}

void AddFixup(uint32_t offset, uint32_t type) {
    if (fixups.size() == fixups.capacity()) {
        fixups.reserve(fixups.capacity() + kGrowth);
    }
    if (fixups.empty() || offset > fixups.back().offset) {
        fixups.push_back({offset, type});
        return;
    }
    // Bisection for the first entry whose offset is equal or greater.
    long lo = -1;
    long hi = static_cast<long>(fixups.size()) - 1;
    while (hi - lo > 1) {
        const long mid = (lo + hi + 1) / 2;
        if (offset > fixups[mid].offset) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    fixups.insert(fixups.begin() + hi, FixupEntry{offset, type});
}

const FixupEntry* NextFixup() {
    if (cursor >= fixups.size()) {
        return nullptr;
    }
    return &fixups[cursor++];
}

void RewindFixups() {
    cursor = 0;
}

void StepBackFixups(size_t n) {
    cursor = n > cursor ? 0 : cursor - n;
}

size_t FixupCount() {
    return fixups.size();
}

const FixupEntry& FixupAt(size_t index) {
    return fixups[index];
}
