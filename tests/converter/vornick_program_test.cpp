// The vornick program as the user starts it (headless on Linux): the script chooses File, Open
// and answers the dialog; the transcript shows the boxes and the report window's text. And its
// Windows resource script, which must carry the menu the program builds.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "converter/window/vornick_menu.h"
#include "platform/ui_resource_script.h"
#include "tests/converter/conversion_fixture.h"
#include "tests/converter/m580_project.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class VornickProgram : public converter_test::ConversionTest {
  protected:
    // Runs the program in `folder()` with this script; returns its exit code.
    int runProgram(const std::string& script) {
        const fs::path scriptFile = folder() / "script.txt";
        std::ofstream(scriptFile) << script;
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(folder().c_str()) != 0) {
                _exit(126);
            }
            setenv("CALVENTO_UI_SCRIPT", scriptFile.c_str(), 1);
            setenv("CALVENTO_UI_TRANSCRIPT", (folder() / "transcript.txt").c_str(), 1);
            const int out = ::open((folder() / "console.txt").c_str(), O_WRONLY | O_CREAT, 0600);
            dup2(out, 1);
            execl(VORNICK_EXECUTABLE, "vornick", static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
};

TEST_F(VornickProgram, FileOpenConvertsTheChosenProject) {
    const fs::path input = folder() / "plant.zef";
    m580_test::writeZef(input, m580_test::joinLines(m580_test::projectLines()));
    EXPECT_EQ(runProgram("menu 100\nfile \"" + input.string() + "\"\n"), 0);
    const std::string transcript = readFile(folder() / "transcript.txt");
    // The report, painted before the box, ends with the count that the box names too; the box
    // stays above the main window, which names the job until it ends; the program ends after it.
    const std::size_t box =
        transcript.find("msgbox \"Success\" \" Created: " + (folder() / "plant").string() +
                        "_IBS.zef\\r\\n Replaced ");
    ASSERT_NE(box, std::string::npos) << transcript;
    const std::size_t count = transcript.find("Replaced ", box);
    const std::string replaced = transcript.substr(count, transcript.find('"', count) - count);
    EXPECT_EQ(transcript.substr(transcript.find('"', count)),
              "\" icon information over \"Converting plant.zef... - TVQ Vornick Tool Rev. "
              "19MAR2020\" -> OK\ntitle \"TVQ Vornick Tool Rev. 19MAR2020\"\ncursor "
              "normal\nexit 0\n");
    EXPECT_NE(transcript.rfind(replaced + "\"\nmsgbox", box), std::string::npos) << transcript;
    EXPECT_TRUE(fs::exists(folder() / "plant_IBS.zef"));
    EXPECT_NE(readFile(folder() / "console.txt").find(" zeffilename = "), std::string::npos);
}

TEST(VornickResources, TheScriptCarriesTheMenuTheProgramBuilds) {
    namespace ui = platform::ui;
    const auto symbols = ui::ParseDefines(readFile(VORNICK_RESOURCE_HEADER));
    ASSERT_FALSE(symbols.empty());
    const ui::ResourceScript script =
        ui::ParseResourceScript(readFile(VORNICK_RESOURCE_SCRIPT), symbols);
    EXPECT_TRUE(script.errors.empty()) << script.errors.front();
    EXPECT_EQ(script.menus.size(), 1u);
    for (const std::string& difference :
         ui::CompareResourceTables(script, {}, {vornick::vornickMenuSpec()})) {
        ADD_FAILURE() << difference;
    }
}

}  // namespace
