// While Vornick converts, PowerShell keeps its window from answering: the window shows the wait
// cursor and names the archive it converts in its title, from the choice of the file to the end
// of the job, whatever the job's outcome.

#include <gtest/gtest.h>

#include <sstream>

#include "converter/window/vornick_window.h"
#include "platform/ui_headless.h"
#include "tests/converter/conversion_fixture.h"
#include "tests/converter/m580_project.h"
#include "tests/ui/job_lines.h"

namespace {

namespace fs = std::filesystem;
namespace ui = platform::ui;

class VornickRunningJob : public converter_test::ConversionTest {
  protected:
    // The lines that show the job (tests/ui/job_lines.h) of a run with `script`.
    std::vector<std::string> jobLines(const std::string& script) {
        ui::headless::StartSession(script);
        std::ostringstream console;
        vornick::vornickMain(console);
        return ui_fixture::JobLines(transcript());
    }
};

TEST_F(VornickRunningJob, TheWindowSaysWhatItConvertsUntilTheJobEnds) {
    std::vector<std::string> unmatched = m580_test::projectLines();
    unmatched.erase(unmatched.begin() +
                    m580_test::findLine(unmatched, "<attribute name=\"DeviceId\""));
    const std::string title = "TVQ Vornick Tool Rev. 19MAR2020";
    for (const auto& [name, lines] :
         {std::pair{std::string("Plant Öst.zef"), m580_test::projectLines()},
          std::pair{std::string("refused.ZEF"), unmatched}}) {
        const fs::path input = folder() / name;
        m580_test::writeZef(input, m580_test::joinLines(lines));
        const std::string running = "Converting " + name + "... - " + title;
        EXPECT_EQ(jobLines("menu 100\nfile \"" + input.string() + "\"\n"),
                  (std::vector<std::string>{"cursor wait", "title \"" + running + "\"",
                                            "msgbox over \"" + running + "\" -> OK",
                                            "title \"" + title + "\"", "cursor normal"}))
            << name;
    }
}

TEST_F(VornickRunningJob, NothingRunsWhenNoFileIsChosen) {
    EXPECT_EQ(jobLines("menu 100\nfile cancel\n"), std::vector<std::string>{});
}

}  // namespace
