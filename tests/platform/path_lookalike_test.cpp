// The name look-alike check as the Linux build answers it: a name is refused when any Windows
// code page's conversion could turn one of its characters into a separator, a point or another
// character a file name cannot hold; everything else a name may hold in some language passes.

#include "platform/path_lookalike.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathLookAlike, CharactersABestFitTurnsIntoPathCharactersAreRefused) {
    // One row per character, each inside a name as a user would type it.
    const char* refused[] = {"..\u00A5..\u00A5evil",  // yen sign: \ under 932
                             "..\u20A9..\u20A9evil",  // won sign: \ under 949
                             "..\u00B4evil",          // acute accent: / under 1253
                             "c\u0589evil",  // Armenian full stop: : under 1250, 1252, 1254
                             "a\u00A6b",     // broken bar: |
                             "a\u01C0b",
                             "a\u02BAb",
                             "a\u030Eb",
                             "\u2024\u2024x",
                             "\u2025x",
                             "a\u2044b",
                             "a\u2047",
                             "a\u2190b",
                             "a\u2192b",
                             "a\u2195b",
                             "a\u21A8b",
                             "a\u2215b",
                             "a\u2216b",
                             "a\u2217b",
                             "a\u2223b",
                             "c\u2236x",
                             "a\u2329b",
                             "a\u232Ab",
                             "a\u25BAb",
                             "a\u25C4b",
                             "a\u2642b",
                             "a\u2758b",
                             "a\u29F5b",
                             "a\u29F8b",
                             "a\u29F9b",
                             "a\u3008b",
                             "a\u3009b",
                             "a\u301Db",
                             "a\u301Eb",
                             "c\uFE13x",
                             "a\uFE16",
                             "a\uFE19",
                             "a\uFE30",
                             "a\uFE52",
                             "c\uFE55x",
                             "a\uFE56",
                             "a\uFE61b",
                             "a\uFE64b",
                             "a\uFE65b",
                             "a\uFE68b",
                             "a\uFF02b",
                             "a\uFF0Ab",
                             "\uFF0E\uFF0E\uFF0Fevil",
                             "c\uFF1Ax",
                             "a\uFF1Cb",
                             "a\uFF1Eb",
                             "a\uFF1F",
                             "a\uFF3Cb",
                             "a\uFF5Cb"};
    for (const char* name : refused) {
        EXPECT_TRUE(platform::HoldsPathLookAlike(name)) << name;
        EXPECT_FALSE(platform::ReachesFileCallsUnchanged(name)) << name;
    }
}

TEST(PathLookAlike, NamesOfEveryLanguagePass) {
    const char* accepted[] = {
        "PME KRT 0302_Pump",
        "PMX_1_2_v2.10",
        "caf\u00E9",                             // two-byte letters next to the refused ones
        "\u00D6lpumpe \u00DF \u00B5",            // Ö, ß, micro sign
        "\u00A9\u00AE\u00B0",                    // ©, ®, °
        "Line 2 \u2013 North",                   // en dash
        "Pump\u2026",                            // every code page holds the ellipsis exactly
        "\u30DD\u30F3\u30D7",                    // katakana
        "\uD38C\uD504",                          // hangul
        "\u03B1\u03BD\u03C4\u03BB\u03AF\u03B1",  // Greek
        "\u0410\u0411",                          // Cyrillic
        "\xC2",                                  // a cut sequence is no character
        "\xEF\xBC",
        "\xE0\x80\x80",
    };
    for (const char* name : accepted) {
        EXPECT_FALSE(platform::HoldsPathLookAlike(name)) << name;
        EXPECT_TRUE(platform::ReachesFileCallsUnchanged(name)) << name;
    }
}

}  // namespace
