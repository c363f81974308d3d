#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A report laid out the way the profile print does it: margins and lines in character cells.
void PrintReport(ui::PrintJob& job) {
    const ui::PrintMetrics m = job.Metrics();
    const int left = 10 * m.charWidth;
    int y = 5 * m.charHeight;
    job.Text(left, y, "Printed 12/09/26 22:41:00");
    const std::string name = "PMEKRT0302";
    job.Text(m.pageWidth - 10 * m.charWidth - static_cast<int>(name.size()) * m.charWidth, y, name);
    y += 3 * m.charHeight;
    const std::string title = "---- VEXIM Profile ----";
    job.Text((m.pageWidth - static_cast<int>(title.size()) * m.charWidth) / 2, y, title);
    y += 2 * m.charHeight;
    job.Text(left, y, "Profile: a.vxf");
}

TEST(UiPrint, RendersThePageToTheScriptsFile) {
    const fs::path page = fs::temp_directory_path() / ("ui_page_" + std::to_string(::getpid()));
    ui::headless::StartSession("print \"" + page.string() + "\"\n");
    {
        ui::PrintJob job;
        ASSERT_EQ(job.Begin(nullptr, "VEXIM Profile"), ui::PrintJob::Start::Printing);
        PrintReport(job);
        const ui::PrintMetrics m = job.Metrics();
        EXPECT_GT(m.charWidth, 1);
        EXPECT_GT(m.charHeight, m.charWidth);  // catches rows and columns swapped
        EXPECT_EQ(m.pageWidth % m.charWidth, 0);
    }  // the page ends with the job
    const std::string text = ReadFile(page);
    fs::remove(page);
    const auto lines = ui_fixture::Lines(text);
    ASSERT_EQ(lines.size(), 11u);
    for (int blank : {0, 1, 2, 3, 4, 6, 7, 9}) {
        EXPECT_EQ(lines[blank], "") << blank;
    }
    const std::string dateLine = std::string(10, ' ') + "Printed 12/09/26 22:41:00";
    EXPECT_EQ(lines[5].substr(0, dateLine.size()), dateLine);
    EXPECT_EQ(lines[5].substr(lines[5].size() - 10), "PMEKRT0302");  // right-aligned
    EXPECT_EQ(lines[5].size(), 96u - 10u);
    EXPECT_EQ(lines[8], std::string((96 - 23) / 2, ' ') + "---- VEXIM Profile ----");
    EXPECT_EQ(lines[10], std::string(10, ' ') + "Profile: a.vxf");
    EXPECT_EQ(ui_fixture::Lines(ui::headless::Transcript()),
              (std::vector<std::string>{
                  "print begin \"VEXIM Profile\" -> \"" + page.string() + "\"",
                  "print \"Printed 12/09/26 22:41:00\"", "print \"PMEKRT0302\"",
                  "print \"---- VEXIM Profile ----\"", "print \"Profile: a.vxf\"", "print end"}));
}

TEST(UiPrint, CancelledFailedOrUnansweredPrintsNothing) {
    struct Case {
        const char* script;
        ui::PrintJob::Start start;
        const char* transcript;
    };
    const Case cases[] = {
        {"print cancel", ui::PrintJob::Start::Cancelled, "print cancel\n"},
        {"", ui::PrintJob::Start::Cancelled, "print cancel\n"},
        {"answer OK", ui::PrintJob::Start::Cancelled, "print cancel\n"},
        {"print fail", ui::PrintJob::Start::Failed, "print failed\n"},
    };
    for (const auto& c : cases) {
        ui::headless::StartSession(c.script);
        ui::PrintJob job;
        EXPECT_EQ(job.Begin(nullptr, "VEXIM Profile"), c.start) << c.script;
        job.Text(0, 0, "lost");
        job.End();
        EXPECT_EQ(ui::headless::Transcript(), c.transcript) << c.script;
    }
}

}  // namespace
