// While Fennick converts, PowerShell keeps its window from answering: the window shows the wait
// cursor and names the archive it converts in its title, from the choice of the file to the end
// of the job, whatever the job's outcome.

#include <gtest/gtest.h>

#include "fennick_fixture.h"
#include "tests/ui/job_lines.h"

namespace fennick_test {
namespace {

class FennickRunningJob : public FennickTest {
  protected:
    // The lines that show the job (tests/ui/job_lines.h).
    std::vector<std::string> jobLines() const { return ui_fixture::JobLines(transcript()); }
};

TEST_F(FennickRunningJob, TheWindowSaysWhatItConvertsUntilTheJobEnds) {
    ProjectSpec noModule = sampleProject();
    noModule.modules.clear();
    const std::string title = "Fennick Rev. 07SEP2021";
    for (const auto& [name, project] : {std::pair{std::string("Ligne Öst.zef"), sampleProject()},
                                        std::pair{std::string("NoModule.ZEF"), noModule}}) {
        writeProject(name, project);
        runFennick({}, "menu 100\nfile \"" + path(name).string() + "\"\n");
        const std::string running = "Converting " + name + "... - " + title;
        EXPECT_EQ(jobLines(),
                  (std::vector<std::string>{"cursor wait", "title \"" + running + "\"",
                                            "msgbox over \"" + running + "\" -> OK",
                                            "title \"" + title + "\"", "cursor normal"}))
            << name;
    }
}

TEST_F(FennickRunningJob, NothingRunsWhenNoFileIsChosen) {
    runFennick({}, "menu 100\nfile cancel\nmenu 101\n");
    EXPECT_EQ(jobLines(), std::vector<std::string>{});
}

}  // namespace
}  // namespace fennick_test
