#include "toolshell/open_failure.h"

#include <gtest/gtest.h>

#include "platform/ui_headless.h"

namespace {

TEST(OpenFailure, NamesSiteFileAndErrorNumber) {
    EXPECT_EQ(toolshell::openFailureText(11, "C:\\work\\PLANT.svc", 2),
              "(11) Unable to open C:\\work\\PLANT.svc Err = 2");
    EXPECT_EQ(toolshell::openFailureText(3, "", 13), "(3) Unable to open  Err = 13");
}

TEST(OpenFailure, IsShownAsAnOkBoxWithTheCallersCaption) {
    platform::ui::headless::StartSession("answer OK\n");
    toolshell::showOpenFailure(16, "x_excel.csv", 5, "OK");
    EXPECT_NE(platform::ui::headless::Transcript().find(
                  "msgbox \"OK\" \"(16) Unable to open x_excel.csv Err = 5\" -> OK"),
              std::string::npos)
        << platform::ui::headless::Transcript();
}

}  // namespace
