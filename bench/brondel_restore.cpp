// Brondel's restore after a DTM upgrade over a large repository: an index of the upgrade's
// entries and an install copy of as many of this program's, merged into one. Prints the seconds
// the merge takes (best of a few turns) and the lines it read the file name of.
//   brondel_restore [entries]     (default 5000 on each side)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dtmrepo/repository/index_lines.h"

namespace {

constexpr int kTurns = 5;

std::string entryLine(const std::string& file) {
    return "  <File DDXMLFile=\"" + file + "\" Filename=\"" + file +
           "\" Fileversion=\"1\" ProductName=\"PMEKRT0302\" Vendorname=\"243\"/>";
}

}  // namespace

int main(int argc, char** argv) {
    const long entries = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 5000;
    dtmrepo::IndexLines index = {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "<Root>"};
    dtmrepo::IndexLines copy = index;
    for (long n = 0; n < entries; ++n) {
        index.push_back(entryLine("Dav" + std::to_string(n) + ".XML"));
        copy.push_back(entryLine("Ours" + std::to_string(n) + ".XML"));
    }
    index.push_back("</Root>");
    copy.push_back("</Root>");
    using Clock = std::chrono::steady_clock;
    double best = 1e9;
    dtmrepo::RestoreResult result;
    for (int turn = 0; turn < kTurns; ++turn) {
        const Clock::time_point start = Clock::now();
        result = dtmrepo::restoreFromCopy(index, copy);
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::printf(
        "restore of %ld + %ld entries: %.4f s, %zu lines read for their file name, %zu "
        "lines written\n",
        entries, entries, best, result.attributeReads, result.lines.size());
    return result.lines.size() == static_cast<size_t>(2 * entries + 3) ? 0 : 1;
}
