#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;
namespace fs = std::filesystem;

class UiFileDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("ui_file_dialog_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        existing_ = (folder_ / "prog.vxo").string();
        std::FILE* f = std::fopen(existing_.c_str(), "w");
        std::fclose(f);
        options_.title = "File to Transfer to ZKRT";
        options_.filters = {{"KRT Object", "*.vxo;*.vxl"}, {"All Files", "*.*"}};
        options_.mustExist = true;
    }
    void TearDown() override {
        fs::current_path(start_);
        fs::remove_all(folder_);
    }
    fs::path start_ = fs::current_path();
    fs::path folder_;
    std::string existing_;
    ui::FileDialogOptions options_;
};

TEST_F(UiFileDialog, ReturnsTheScriptsPath) {
    ui::headless::StartSession("file \"" + existing_ + "\"");
    EXPECT_EQ(ui::OpenFileDialog(nullptr, options_), existing_);
    EXPECT_EQ(ui::headless::Transcript(),
              "file \"File to Transfer to ZKRT\" -> \"" + existing_ + "\"\n");
}

// Open pressed on the name the dialog offers: that name, refused like a typed one when the
// file must exist and does not.
TEST_F(UiFileDialog, OfferedNameIsTakenAsItStands) {
    options_.initialPath = existing_;
    ui::headless::StartSession("file offered");
    EXPECT_EQ(ui::OpenFileDialog(nullptr, options_), existing_);
    options_.initialPath = (folder_ / "prog").string();
    ui::headless::StartSession("file offered");
    EXPECT_FALSE(ui::OpenFileDialog(nullptr, options_).has_value());
    ui::headless::StartSession("file offered");
    EXPECT_EQ(ui::SaveFileDialog(nullptr, options_), options_.initialPath);
}

TEST_F(UiFileDialog, CancelledOrUnansweredGivesNothing) {
    for (const char* script : {"file cancel", "", "command 2"}) {
        ui::headless::StartSession(script);
        EXPECT_FALSE(ui::OpenFileDialog(nullptr, options_).has_value()) << script;
        EXPECT_EQ(ui::headless::Transcript(), "file \"File to Transfer to ZKRT\" -> cancel\n")
            << script;
    }
}

TEST_F(UiFileDialog, RefusesWhatTheSystemDialogWouldRefuse) {
    const std::string missing = (folder_ / "missing.vxo").string();
    ui::headless::StartSession("file \"" + missing + "\"");
    EXPECT_FALSE(ui::OpenFileDialog(nullptr, options_).has_value());
    // A save dialog takes a file that does not exist yet.
    ui::headless::StartSession("file \"" + missing + "\"");
    EXPECT_EQ(ui::SaveFileDialog(nullptr, options_), missing);
    // A path longer than the buffer cannot be chosen.
    options_.maxLength = existing_.size() - 1;
    ui::headless::StartSession("file \"" + existing_ + "\"");
    EXPECT_FALSE(ui::OpenFileDialog(nullptr, options_).has_value());
    options_.maxLength = existing_.size();
    ui::headless::StartSession("file \"" + existing_ + "\"");
    EXPECT_EQ(ui::OpenFileDialog(nullptr, options_), existing_);
}

TEST_F(UiFileDialog, ChangesTheCurrentFolderOnlyWhenAsked) {
    ui::headless::StartSession("file \"" + existing_ + "\"");
    ASSERT_TRUE(ui::OpenFileDialog(nullptr, options_).has_value());
    EXPECT_EQ(fs::current_path(), start_);
    options_.keepDirectory = false;
    ui::headless::StartSession("file \"" + existing_ + "\"");
    ASSERT_TRUE(ui::OpenFileDialog(nullptr, options_).has_value());
    EXPECT_EQ(fs::canonical(fs::current_path()), fs::canonical(folder_));
}

}  // namespace
