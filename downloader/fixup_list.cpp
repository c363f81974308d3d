#include "downloader/fixup_list.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

std::vector<FixupEntry> fixups;
size_t ordered = 0;  // the leading entries that are in order; the rest are as added
size_t cursor = 0;

bool ByOffset(const FixupEntry& a, const FixupEntry& b) {
    return a.offset < b.offset;
}

// Objects carry hundreds of thousands of relocations, often listed from the highest offset
// down: sorting them once after reading costs n log n, where placing each one on arrival
// cost n squared.
void PutInOrder() {
    if (ordered == fixups.size()) {
        return;
    }
    // Of two entries at one offset the one added later comes first: reversed, the stable sort
    // keeps that among the new entries, and the merge puts them before the older ones.
    const auto added = fixups.begin() + static_cast<std::ptrdiff_t>(ordered);
    std::reverse(added, fixups.end());
    std::stable_sort(added, fixups.end(), ByOffset);
    if (ordered > 0) {
        std::vector<FixupEntry> merged;
        merged.reserve(fixups.size());
        std::merge(added, fixups.end(), fixups.begin(), added, std::back_inserter(merged),
                   ByOffset);
        fixups.swap(merged);
    }
    ordered = fixups.size();
}

}  // namespace

void ClearFixups() {
    fixups.clear();
    ordered = 0;
    cursor = 0;
}

void AddFixup(uint32_t offset, uint32_t type) {
    if (ordered == fixups.size() && (fixups.empty() || offset > fixups.back().offset)) {
        ++ordered;
    }
    fixups.push_back({offset, type});
}

const FixupEntry* NextFixup() {
    PutInOrder();
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
    PutInOrder();
    return fixups[index];
}
