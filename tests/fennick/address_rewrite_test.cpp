// The address token routines and the rules of the code pass, as tables of lines.

#include <gtest/gtest.h>

#include "extractor/rewrite/address_tokens.h"
#include "extractor/rewrite/topological_references.h"

namespace {

using extractor::replaceAddressToken;
using extractor::replaceIndexedAddress;

struct TokenCase {
    const char* pattern;
    const char* line;
    const char* expected;
    int count;
};

TEST(AddressTokens, WholeAddressesOnly) {
    const TokenCase cases[] = {
        {"%IW0.3.0.12", "x := %IW0.3.0.128;", "x := %IW0.3.0.128;", 0},
        {"%IW0.3.0.12", "x := %IW0.3.0.12.4;", "x := %IW0.3.0.12.4;", 0},
        {"%MW0.3.MOD.2", "A := %MW0.3.MOD.2; B := %MW0.3.MOD.2.1;", "A := R; B := %MW0.3.MOD.2.1;",
         1},
        {"%MW0.3.MOD.2", "B := %MW0.3.MOD.2.1; A := %MW0.3.MOD.2;", "B := %MW0.3.MOD.2.1; A := R;",
         1},
        // The end of the line ends the address too.
        {"%KW0.3.0.1", "x := %KW0.3.0.1", "x := R", 1},
        {"%KW0.3.0.1", "%KW0.3.0.1 + %KW0.3.0.12", "R + %KW0.3.0.12", 1},
        {"%IW0.3.0.5", "<STSource>IF %iw0.3.0.5 THEN Out := &lt;'%IW0.3.0.5';",
         "<STSource>IF R THEN Out := &lt;'R';", 2},
        {"%IW0.3.0.5", "no address here", "no address here", 0},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line = c.line;
        EXPECT_EQ(replaceAddressToken(line, c.pattern, "R"), c.count);
        EXPECT_EQ(line, c.expected);
    }
}

struct IndexedCase {
    const char* line;
    bool ignore;
    const char* expected;
};

TEST(AddressTokens, IndexedWords) {
    const IndexedCase cases[] = {
        {"X := %IW0.3.0.5;", false, "X := D[5];"},
        {"X := %IW0.3.0.5.2;", false, "X := D[5].2;"},
        {"X := %IW0.3.0;", false, "X := D[0];"},
        {"X := %iw0.3.0.17 + %IW0.3.0.3;", false, "X := D[17] + D[3];"},
        {"X := %IW0.3.0.1\t2;", false, "X := D[12];"},
        {"X := %IW0.3.0.1\x14"
         "2;",
         false, "X := D[12];"},
        // A tab after the number is no part of it.
        {"X := %IW0.3.0.5\tOR Y;", false, "X := D[5]\tOR Y;"},
        {"<v value=\"'%IW0.3.0.4'\"> %IW0.3.0.2", true, "<v value=\"'%IW0.3.0.4'\"> D[2]"},
        {"<v value=\"'%IW0.3.0.4'\"> %IW0.3.0.2", false, "<v value=\"'D[4]'\"> D[2]"},
    };
    for (const IndexedCase& c : cases) {
        SCOPED_TRACE(c.line);
        std::string line = c.line;
        replaceIndexedAddress(line, "%IW0.3.0", "D[", c.ignore);
        EXPECT_EQ(line, c.expected);
    }
}

struct ReferenceCase {
    int kw1;
    const char* line;
    const char* expected;
};

TEST(TopologicalReferences, RulesOfTheModule) {
    const ReferenceCase cases[] = {
        {242, "IF %IW0.3.0.244.2 THEN", "IF IBY_Manage_d0_s3.Module.BUS_ERR THEN"},
        {242, "%QW0.3.0.248.0 := TRUE;", "IBY_Manage_d0_s3.Module.SYS_START := TRUE;"},
        {128, "IF %IW0.3.0.244.2 THEN", "IF IBY_DIO_d0_s3.Inputs.IW[244].2 THEN"},
        {128, "x := %IW0.3.0.128.1;", "x := IBY_Manage_d0_s3.Module.Status128_1;"},
        {128, "x := %IW0.3.0.130;", "x := IBY_Manage_d0_s3.Module.Status130;"},
        {128, "%QW0.3.0.134 := 0;", "IBY_Manage_d0_s3.Module.Command134 := 0;"},
        {242, "x := %IW0.3.0.242.1;", "x := IBY_Manage_d0_s3.Module.Status242_1;"},
        {242, "x := %MW0.3.MOD.2.1;", "x := IBY_Manage_d0_s3.Channel.CH_FLT;"},
        {242, "x := %MW0.3.MOD.2.3;", "x := %MW0.3.MOD.2.3;"},
        {242, "x := %MW0.3.MOD.2.10;", "x := IBY_Manage_d0_s3.Channel.BLK_EXT;"},
        {242, "x := %KW0.3.0.1;", "x := 242;"},
        {242, "x := %KW0.3.0.0 + %KW0.3.0.2;", "x := 17 + 7;"},
        {242, "a := %MW0.3.MOD.2.1 OR %MW0.3.MOD.2;",
         "a := IBY_Manage_d0_s3.Channel.CH_FLT OR IBY_Manage_d0_s3.Channel.MOD_FLT;"},
        {242, "IF %I0.3.MOD.ERR OR %i0.3.0.err THEN",
         "IF IBY_Manage_d0_s3.Channel.MOD_ERROR OR IBY_Manage_d0_s3.Channel.MOD_ERROR THEN"},
        {242, "x := %IW0.4.0.5 + %IW1.3.0.5;", "x := %IW0.4.0.5 + %IW1.3.0.5;"},
        {242, "y := %iw0.3.0.5;", "y := IBY_DIO_d0_s3.Inputs.IW[5];"},
        {242, "%QW0.3.0.7.3 := b;", "IBY_DIO_d0_s3.Outputs.QW[7].3 := b;"},
    };
    for (const ReferenceCase& c : cases) {
        SCOPED_TRACE(c.line);
        extractor::ModuleContext module;
        module.rack = 0;
        module.slot = 3;
        module.kw0 = 17;
        module.kw1 = c.kw1;
        module.kw2 = 7;
        module.wordCount = c.kw1 == 242 ? 242 : 128;
        const extractor::TopologicalReferences references(module);
        std::string line = c.line;
        extractor::TopologicalReferences::Counts counts;
        references.rewrite(line, false, counts);
        EXPECT_EQ(line, c.expected);
    }
}

// A line of many references costs work in proportion to its length: every character is copied
// a bounded number of times (once per rule that matches on it), not once per reference before
// it. Counted, not timed.
TEST(TopologicalReferences, ALineOfManyReferencesCostsItsLength) {
    extractor::ModuleContext module;
    module.rack = 0;
    module.slot = 3;
    module.kw1 = 242;
    module.wordCount = 242;
    const extractor::TopologicalReferences references(module);
    const std::string piece =
        "%IW0.3.0.5 + %MW0.3.MOD.2.1 + %QW0.3.0.7.2 + %KW0.3.0.1 + %IW0.3.0.244.2 + %I0.3.0.ERR + ";
    const std::string expected =
        "IBY_DIO_d0_s3.Inputs.IW[5] + IBY_Manage_d0_s3.Channel.CH_FLT + "
        "IBY_DIO_d0_s3.Outputs.QW[7].2 + 242 + IBY_Manage_d0_s3.Module.BUS_ERR + "
        "IBY_Manage_d0_s3.Channel.MOD_ERROR + ";
    constexpr int pieces = 20000;  // 120 000 references
    std::string line;
    std::string want;
    for (int i = 0; i < pieces; ++i) {
        line += piece;
        want += expected;
    }
    const std::size_t before = extractor::rewrittenCharacters();
    extractor::TopologicalReferences::Counts counts;
    references.rewrite(line, true, counts);
    const std::size_t work = extractor::rewrittenCharacters() - before;
    EXPECT_EQ(line, want);
    EXPECT_EQ(counts.ioddt, 4 * pieces);
    EXPECT_EQ(counts.direct, 2 * pieces);
    // Six rules match, each rebuilding the line and its upper-case form once.
    EXPECT_LE(work, 2 * 6 * want.size());
}

}  // namespace
