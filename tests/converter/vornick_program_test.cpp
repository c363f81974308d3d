// The vornick program as the user starts it (headless on Linux): the script chooses File, Open
// and answers the dialog; the transcript shows the boxes and the report window's text. And its
// Windows resource script, which must carry the menu the program builds.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

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
    // Runs the program in `folder()` with this script; returns its exit code, or minus the
    // signal that ended it. `fileSizeLimit` (bytes) makes the system end the run that writes a
    // bigger file, as a full quota or a kill would end it.
    int runProgram(const std::string& script, rlim_t fileSizeLimit = RLIM_INFINITY) {
        const fs::path scriptFile = folder() / "script.txt";
        std::ofstream(scriptFile) << script;
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(folder().c_str()) != 0) {
                _exit(126);
            }
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            setenv("CALVENTO_UI_SCRIPT", scriptFile.c_str(), 1);
            setenv("CALVENTO_UI_TRANSCRIPT", (folder() / "transcript.txt").c_str(), 1);
            const int out = ::open((folder() / "console.txt").c_str(), O_WRONLY | O_CREAT, 0600);
            dup2(out, 1);
            execl(VORNICK_EXECUTABLE, "vornick", static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status)     ? WEXITSTATUS(status)
               : WIFSIGNALED(status) ? -WTERMSIG(status)
                                     : -1;
    }

    static std::vector<std::string> namesIn(const fs::path& where) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(where)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
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

// A run killed while it packs the new archive (here by a file-size limit the archive passes)
// leaves its work folder and the archive's staging file beside the project; the next start of
// the program removes both, whatever it is then asked to do.
TEST_F(VornickProgram, AKilledRunsLeftoversGoAtTheNextStart) {
    const fs::path input = folder() / "plant.zef";
    // Entries that cannot be compressed make the new archive bigger than any file the run
    // writes before it.
    std::vector<m580_test::Entry> others = m580_test::otherEntries();
    std::mt19937 random(7);
    for (int i = 0; i < 12; ++i) {
        std::string bytes(1 << 20, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random());
        }
        others.push_back({"Pictures/photo" + std::to_string(i) + ".bin", bytes, true});
    }
    m580_test::writeZef(input, m580_test::joinLines(m580_test::projectLines()), others);
    const std::vector<std::string> before = namesIn(folder());

    const int killed = runProgram("menu 100\nfile \"" + input.string() + "\"\n", 4 << 20);
    ASSERT_EQ(killed, -SIGXFSZ) << readFile(folder() / "transcript.txt");
    const auto staging = [&] {
        std::vector<std::string> found;
        for (const std::string& name : namesIn(folder())) {
            if (name.rfind(".~", 0) == 0) {
                found.push_back(name);
            }
        }
        return found;
    };
    ASSERT_FALSE(staging().empty()) << "the killed run was not packing";
    ASSERT_FALSE(namesIn(tempFolder()).empty());

    // The next start, which only ends the program.
    EXPECT_EQ(runProgram("close\n"), 0) << readFile(folder() / "transcript.txt");
    EXPECT_EQ(staging(), std::vector<std::string>{});
    EXPECT_EQ(namesIn(tempFolder()), std::vector<std::string>{});
    EXPECT_FALSE(fs::exists(folder() / "plant_IBS.zef"));
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
