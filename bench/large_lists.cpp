// The two lists that grow with their input on the window's thread: an object's relocations,
// listed from the highest offset down as linkers often write them, and a settings store file of
// many sections. Prints the seconds each takes, best of a few turns.
//   large_lists [relocations] [sections]     (defaults: 250000 and 40000)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "downloader/fixup_list.h"
#include "platform/posix/regedit4.h"

namespace {

constexpr int kTurns = 5;

template <class Work>
double BestSeconds(Work work) {
    using Clock = std::chrono::steady_clock;
    double best = 1e9;
    for (int turn = 0; turn < kTurns; ++turn) {
        const Clock::time_point start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

// Adds the relocations from the top down and hands them all out in order; 0 when in order.
int ReadRelocations(uint32_t count) {
    ClearFixups();
    for (uint32_t i = count; i > 0; --i) {
        AddFixup(i * 4, kCodeFixup);
    }
    uint32_t expected = 4;
    while (const FixupEntry* entry = NextFixup()) {
        if (entry->offset != expected) {
            return 1;
        }
        expected += 4;
    }
    return 0;
}

std::string StoreText(size_t sections) {
    std::string text = "REGEDIT4\n";
    for (size_t n = 0; n < sections; ++n) {
        text += "\n[HKEY_CURRENT_USER\\SOFTWARE\\Calvento R&D\\Tool " + std::to_string(n) +
                "]\n\"Value\"=dword:00000001\n\"Name\"=\"tool\"\n";
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const uint32_t relocations = argc > 1 ? static_cast<uint32_t>(std::atol(argv[1])) : 250000;
    const size_t sections = argc > 2 ? static_cast<size_t>(std::atol(argv[2])) : 40000;
    int failed = 0;
    const double fixupSeconds = BestSeconds([&] { failed |= ReadRelocations(relocations); });
    std::printf("%u relocations from the top down: %.3f s\n", relocations, fixupSeconds);

    const std::string text = StoreText(sections);
    const double parseSeconds = BestSeconds([&] {
        platform::regedit4::Document doc;
        std::string error;
        if (!platform::regedit4::Parse(text, doc, error) || doc.keys.size() != sections) {
            failed = 1;
        }
    });
    std::printf("store of %zu sections (%zu bytes) parsed: %.3f s\n", sections, text.size(),
                parseSeconds);
    if (failed) {
        std::fprintf(stderr, "a list came out wrong\n");
    }
    return failed;
}
