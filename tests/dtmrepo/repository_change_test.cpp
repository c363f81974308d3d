// A repository change that fails is put back; when putting back fails too, nothing older is
// undone (the index may still name those files) and the user learns which files were not.

#include "dtmrepo/repository/repository_change.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/dtmrepo/description_fixture.h"

namespace {

namespace fs = std::filesystem;
using dtmrepo_test::readFile;
using dtmrepo_test::writeFile;

TEST(DtmRepositoryChange, ARollbackThatCannotFinishSaysWhatWasNotPutBack) {
    struct Case {
        std::string name;
        bool blockRollback;  // the changed index is replaced by a folder that cannot be moved over
    };
    for (const Case& c : {Case{"finishes", false}, Case{"stuck", true}}) {
        const fs::path folder = dtmrepo_test::freshFolder("change-" + c.name);
        const fs::path index = folder / "DDXMLRepository.XML";
        const fs::path backup = folder / "DDXMLRepository_backup1.XML";
        const fs::path profile = folder / "New.XML";
        writeFile(index.string(), "old index\r\n");
        dtmrepo::RepositoryChange change;
        ASSERT_TRUE(change.writeFile(backup, "old index\r\n", index));
        ASSERT_TRUE(change.writeFile(profile, "profile\r\n"));
        ASSERT_TRUE(change.writeFile(index, "new index\r\n"));
        if (c.blockRollback) {
            fs::remove(index);
            writeFile((index / "in the way").string(), "");
        }
        // The first injected failure: a step whose folder does not exist.
        EXPECT_FALSE(change.writeFile(folder / "missing" / "backup2.XML", "new index\r\n", index));
        change.rollBack(backup);
        const std::string text = dtmrepo::changeFailureText(change.failure());
        if (!c.blockRollback) {
            EXPECT_TRUE(text.ends_with("The repository is as it was.")) << text;
            EXPECT_EQ(readFile(index.string()), "old index\r\n");
            EXPECT_FALSE(fs::exists(backup));
            EXPECT_FALSE(fs::exists(profile));
            continue;
        }
        EXPECT_EQ(text.find("The repository is as it was."), std::string::npos) << text;
        for (const fs::path& file : {index, profile, backup}) {
            EXPECT_NE(text.find(file.lexically_normal().string()), std::string::npos)
                << file << "\n"
                << text;
        }
        EXPECT_NE(text.find("The index as it was before is kept in " +
                            backup.lexically_normal().string()),
                  std::string::npos)
            << text;
        // What the index may still name, and the previous index, are kept.
        EXPECT_EQ(readFile(backup.string()), "old index\r\n");
        EXPECT_EQ(readFile(profile.string()), "profile\r\n");
    }
}

}  // namespace
