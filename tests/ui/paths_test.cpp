#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/ui.h"

namespace {

class TmpDir {
  public:
    explicit TmpDir(const char* value) {
        if (const char* old = std::getenv("TMPDIR")) {
            saved_ = old;
        }
        if (value != nullptr) {
            ::setenv("TMPDIR", value, 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }
    ~TmpDir() {
        if (saved_) {
            ::setenv("TMPDIR", saved_->c_str(), 1);
        } else {
            ::unsetenv("TMPDIR");
        }
    }

  private:
    std::optional<std::string> saved_;
};

TEST(UiPaths, TheTempFolderMapsToTmpdir) {
    struct Case {
        const char* tmpdir;
        const char* path;
        const char* mapped;
    };
    const Case cases[] = {
        {nullptr, "c:\\temp\\vexim.log", "/tmp/vexim.log"},
        {"", "c:\\temp\\vexim.log", "/tmp/vexim.log"},
        {"/var/run/x", "c:\\temp\\vexim.log", "/var/run/x/vexim.log"},
        {"/var/run/x/", "C:\\TEMP\\vexim.log", "/var/run/x/vexim.log"},
        {"/t", "c:\\temp\\sub\\a.txt", "/t/sub/a.txt"},
        {"/t", "c:\\temp\\", "/t/"},
        {"/t", "c:\\tempo\\a.txt", "c:\\tempo\\a.txt"},
        {"/t", "d:\\temp\\a.txt", "d:\\temp\\a.txt"},
        {"/t", "c:\\temp", "c:\\temp"},
        {"/t", "/home/u/a.txt", "/home/u/a.txt"},
    };
    for (const auto& c : cases) {
        TmpDir tmp(c.tmpdir);
        EXPECT_EQ(platform::ui::MapTempPath(c.path), c.mapped) << c.path;
    }
}

}  // namespace
