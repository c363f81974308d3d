#include "downloader/relocation.h"

#include <cstring>

#include "downloader/fixup_list.h"

uint32_t codeBase = 0;
uint32_t dataBase = 0;
uint32_t hookBase = 0;
bool carryPending = false;
uint16_t carriedWord = 0;

namespace {

uint32_t DeltaFor(uint32_t type) {
    switch (type) {
        case kCodeFixup:
            return codeBase;
        case kDataFixup:
            return dataBase;
        case kHookFixup:
            return hookBase;
        default:
            return 0;
    }
}

}  // namespace

uint32_t ApplyFixups(uint16_t* words, uint32_t count, uint32_t startWord) {
    if (carryPending) {
        std::memmove(words + 1, words, count * sizeof(uint16_t));
        words[0] = carriedWord;
        carryPending = false;
        ++count;
    }
    if (count == 0) {
        return 0;
    }
    const uint64_t chunkStart = uint64_t{startWord} * 2;
    const uint64_t end = (uint64_t{startWord} + count) * 2;
    const FixupEntry* entry = nullptr;
    while ((entry = NextFixup()) != nullptr && entry->offset + uint64_t{2} < end) {
        if (entry->offset < chunkStart) {
            continue;  // behind the chunk: cannot happen for a list consumed in order
        }
        const uint32_t i = entry->offset / 2 - startWord;
        const uint32_t value = (uint32_t{words[i]} << 16 | words[i + 1]) + DeltaFor(entry->type);
        words[i] = static_cast<uint16_t>(value >> 16);
        words[i + 1] = static_cast<uint16_t>(value & 0xFFFF);
    }
    if (entry != nullptr) {
        if (entry->offset < end) {
            carriedWord = words[count - 1];
            carryPending = true;
            --count;
        }
        StepBackFixups(1);
    }
    return count;
}
