// The names a conversion derives from the chosen archive.

#include "converter/conversion/zef_names.h"

#include <gtest/gtest.h>

namespace {

TEST(ZefNames, TheStemIsCutAtTheLastFullStopOfTheFileName) {
    const struct {
        const char* path;
        const char* zeffilename;
        const char* root;
        const char* folder;
        const char* output;
    } cases[] = {
        {"/plants/north/line3.zef", "/plants/north/line3", "line3", "/plants/north",
         "/plants/north/line3_IBS.zef"},
        // Full stops in the folder or the file name belong to the name.
        {"/plants/M580 v1.2/line3.zef", "/plants/M580 v1.2/line3", "line3", "/plants/M580 v1.2",
         "/plants/M580 v1.2/line3_IBS.zef"},
        {"/plants/line3.v2.ZEF", "/plants/line3.v2", "line3.v2", "/plants",
         "/plants/line3.v2_IBS.zef"},
        {"line3.zef", "line3", "line3", ".", "line3_IBS.zef"},
        {"/plants/line3", "/plants/line3", "line3", "/plants", "/plants/line3_IBS.zef"},
    };
    for (const auto& c : cases) {
        const vornick::ZefNames names = vornick::deriveZefNames(c.path);
        EXPECT_EQ(names.zeffilename, c.zeffilename) << c.path;
        EXPECT_EQ(names.orig_zeffilename, c.zeffilename) << c.path;
        EXPECT_EQ(names.zeffileroot, c.root) << c.path;
        EXPECT_EQ(names.zeffilepath, c.folder) << c.path;
        EXPECT_EQ(names.outputArchive().string(), c.output) << c.path;
    }
    EXPECT_EQ(vornick::deriveZefNames("/plants/line3.zef").intermediateFolder().string(),
              "/plants/line3_IntermediateFiles");
}

}  // namespace
