#include "extractor/project/project_paths.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* fileName;
    const char* stem;
    const char* folder;
    const char* root;
};

TEST(ProjectPaths, NamesComeFromTheArchivePath) {
    const PathCase cases[] = {
        {"D:\\work\\Plant A\\line.zef", "D:\\work\\Plant A\\line", "D:\\work\\Plant A", "line"},
        {"D:\\work\\plant.2021\\line.zef", "D:\\work\\plant.2021\\line", "D:\\work\\plant.2021",
         "line"},
        {"line.zef", "line", ".", "line"},
        {"/home/eng/Plant B/line.ZEF", "/home/eng/Plant B/line", "/home/eng/Plant B", "line"},
        {"C:\\mixed/dir\\x.y.zef", "C:\\mixed/dir\\x.y", "C:\\mixed/dir", "x.y"},
        {"D:\\work.d\\noext", "D:\\work.d\\noext", "D:\\work.d", "noext"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.fileName);
        const extractor::ProjectPaths paths = extractor::splitProjectPath(c.fileName);
        EXPECT_EQ(paths.zeffilename, c.stem);
        EXPECT_EQ(paths.zeffilepath, c.folder);
        EXPECT_EQ(paths.zeffileroot, c.root);
        // The archive itself keeps the name it was given.
        EXPECT_EQ(paths.archive().string(), c.fileName);
    }
}

TEST(ProjectPaths, FilesBesideTheArchiveUseTheSystemSeparator) {
    const extractor::ProjectPaths paths = extractor::splitProjectPath("line.zef");
    const std::string separator(1, extractor::pathSeparator());
    EXPECT_EQ(paths.besideText("_PCP.txt"), "." + separator + "line_PCP.txt");
    EXPECT_EQ(paths.beside("_IBY.zef"), std::filesystem::path(".") / "line_IBY.zef");
}

}  // namespace
