// The wait cursor of long jobs: the transcript shows where it starts and ends, once for jobs
// that nest, and what the user is shown meanwhile.

#include <gtest/gtest.h>

#include <optional>

#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;

TEST(UiWaitCursor, ShowsFromTheFirstJobsStartToTheLastJobsEnd) {
    ui::headless::StartSession("");
    {
        const ui::WaitCursor job;
        ui::ShowMessageBox(nullptr, "step", "Job");
        { const ui::WaitCursor inner; }
        ui::ShowMessageBox(nullptr, "still", "Job");
    }
    ui::ShowMessageBox(nullptr, "after", "Job");
    EXPECT_EQ(ui_fixture::Lines(ui::headless::Transcript()), (std::vector<std::string>{
                                                                 "cursor wait",
                                                                 "msgbox \"Job\" \"step\" -> OK",
                                                                 "msgbox \"Job\" \"still\" -> OK",
                                                                 "cursor normal",
                                                                 "msgbox \"Job\" \"after\" -> OK",
                                                             }));
}

TEST(UiWaitCursor, EachJobInTurnShowsIt) {
    ui::headless::StartSession("");
    std::optional<ui::WaitCursor> first;
    first.emplace();
    first.reset();
    const ui::WaitCursor second;
    EXPECT_EQ(ui_fixture::Lines(ui::headless::Transcript()),
              (std::vector<std::string>{"cursor wait", "cursor normal", "cursor wait"}));
}

}  // namespace
