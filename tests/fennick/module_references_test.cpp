// The references to the module left in a converted project, as lines and what they name.

#include "extractor/project/module_references.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Found = std::vector<std::string>;

TEST(LeftReferences, EveryAreaOfTheModuleOutsideComments) {
    struct Case {
        std::vector<std::string> lines;  // read in order by one scan
        Found found;                     // on the last line
    };
    const Case cases[] = {
        {{"A := %MW0.3.MOD.2.3 OR %I0.3.0.1; %Q0.3.0.2 := %MD0.3.MOD.4 &gt; 0;"},
         {"%MW0.3.MOD.2.3", "%I0.3.0.1", "%Q0.3.0.2", "%MD0.3.MOD.4"}},
        {{"x := %iw0.3.0.5; y := %qw0.3.0.250.1; %kw0.3.0.9."},
         {"%iw0.3.0.5", "%qw0.3.0.250.1", "%kw0.3.0.9"}},
        {{"<variables name=\"B\" typeName=\"BOOL\" topologicalAddress=\"%MW0.3.MOD.2.3\">"},
         {"%MW0.3.MOD.2.3"}},
        // Another slot, another rack, an area of its own, the bare module address.
        {{"%IW0.30.0.5 %IW1.3.0.5 %IW0.31 %CH0.3.0 %M0.3.0.1 %IW0.3 %ID0.3.0.1"}, {}},
        // Comments keep the old addresses on purpose, over several lines too.
        {{"\t\t\t<comment>%IW0.3.0.5 (Interbus-S)</comment> %QW0.3.0.1"}, {"%QW0.3.0.1"}},
        {{"<comment>first line %IW0.3.0.5", "second %IW0.3.0.6</comment> %IW0.3.0.7"},
         {"%IW0.3.0.7"}},
        {{"<comment>open", "no address %IW0.3.0.8 inside"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.back());
        extractor::LeftReferenceScan scan(0, 3);
        Found found;
        for (const std::string& line : c.lines) {
            found = scan.line(line);
        }
        EXPECT_EQ(found, c.found);
    }
}

}  // namespace
