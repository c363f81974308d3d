// The Windows build's name check under the code page Windows is set to: run by
// path_lookalike_wine_check.sh under wine, once per code page. A name passes only when its
// conversion to that code page is exact; the look-alikes of that page, and characters the page
// lacks, are refused. Prints each wrong answer; the exit code is their number.

#include <windows.h>

#include <cstdio>

#include "platform/path_lookalike.h"

namespace {

struct Row {
    unsigned codePage;
    const char* name;  // UTF-8
    bool passes;
};

const Row kRows[] = {
    {932, "..\u00A5..\u00A5evil", false},  // yen sign best-fits to \ .
    {932, "\u30DD\u30F3\u30D7", true},     // katakana, held by the page
    {932, "\u30BD", true},                 // its second byte is 0x5C, not a separator
    {932, "caf\u00E9", false},             // no é on this page: the default character
    {932, "PME KRT 0302_Pump", true},
    {949, "..\u20A9..\u20A9evil", false},  // won sign best-fits to \ .
    {949, "\uD38C\uD504", true},
    {1253, "..\u00B4evil", false},  // acute accent best-fits to /
    {1253, "\u03B1\u03BD\u03C4\u03BB\u03AF\u03B1", true},
    {1252, "c\u0589evil", false},  // Armenian full stop best-fits to :
    {1252, "\uFF0E\uFF0E\uFF0Fevil", false},
    {1252, "caf\u00E9 \u00D6l", true},
    {1252, "\u00A5 \u00B4", true},  // held exactly by this page: nothing to refuse
    {1252, "\u30DD", false},
    {1250, "c\u0589evil", false},
    {1250, "\u0141\u00F3d\u017A", true},
    {1254, "c\u0589evil", false},
    {1254, "\u015Eeker", true},
};

}  // namespace

int main() {
    const unsigned page = GetACP();
    int wrong = 0;
    int checked = 0;
    for (const Row& row : kRows) {
        if (row.codePage != page) {
            continue;
        }
        ++checked;
        if (platform::ReachesFileCallsUnchanged(row.name) != row.passes) {
            std::printf("code page %u: '%s' %s\n", page, row.name,
                        row.passes ? "refused, but the page holds it" : "passed");
            ++wrong;
        }
    }
    std::printf("code page %u: %d names checked, %d wrong\n", page, checked, wrong);
    return checked == 0 ? 100 : wrong;
}
