#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/ui/ui_fixture.h"

namespace {

namespace fs = std::filesystem;

class UiRunner : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ui_runner_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the program with a script (or none) and returns its exit status.
    int Run(const std::string* script, bool withTranscript = true) {
        std::string env;
        if (script != nullptr) {
            std::ofstream(dir_ / "script.txt") << *script;
            env += "CALVENTO_UI_SCRIPT='" + (dir_ / "script.txt").string() + "' ";
        }
        if (withTranscript) {
            env += "CALVENTO_UI_TRANSCRIPT='" + (dir_ / "transcript.txt").string() + "' ";
        }
        const std::string command = "env -u CALVENTO_UI_SCRIPT -u CALVENTO_UI_TRANSCRIPT " + env +
                                    UI_SCRIPT_RUNNER + " 2>'" + (dir_ / "stderr.txt").string() +
                                    "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::vector<std::string> Read(const char* name) {
        std::ifstream in(dir_ / name);
        std::stringstream text;
        text << in.rdbuf();
        return ui_fixture::Lines(text.str());
    }
    fs::path dir_;
};

TEST_F(UiRunner, PlaysTheScriptNamedByTheEnvironment) {
    const std::string script = "command 1053\nanswer Yes\ncommand 2\n";
    EXPECT_EQ(Run(&script), 16);
    EXPECT_EQ(Read("transcript.txt"),
              (std::vector<std::string>{
                  "open 102 \"Main \\\"quoted\\\"\"", "open 104 \"Job\"",
                  "msgbox \"File loader\" \"Continue?\" icon question over \"Job\" -> Yes",
                  "status \"going on\"", "progress 100", "end 104 0", "end 102 16", "exit 16"}));
    EXPECT_EQ(Read("stderr.txt"), std::vector<std::string>{});
}

TEST_F(UiRunner, WithoutAScriptTakesSafeAnswersAndEnds) {
    EXPECT_EQ(Run(nullptr), 16);
    EXPECT_EQ(Read("transcript.txt"), (std::vector<std::string>{"open 102 \"Main \\\"quoted\\\"\"",
                                                                "end 102 16", "exit 16"}));
}

TEST_F(UiRunner, WritesTheTranscriptToStandardErrorWhenUnnamed) {
    const std::string script = "command 1053\n";
    EXPECT_EQ(Run(&script, false), 16);
    EXPECT_EQ(Read("stderr.txt"),
              (std::vector<std::string>{
                  "open 102 \"Main \\\"quoted\\\"\"", "open 104 \"Job\"",
                  "msgbox \"File loader\" \"Continue?\" icon question over \"Job\" -> No",
                  "status \"stopped\"", "progress 100", "end 104 0", "end 102 16", "exit 16"}));
}

TEST_F(UiRunner, EndingTheProgramRecordsItsExitCode) {
    const std::string script = "menu 40005\n";
    EXPECT_EQ(Run(&script), 3);
    EXPECT_EQ(Read("transcript.txt").back(), "exit 3");
}

TEST_F(UiRunner, AnUnwritableTranscriptFallsBackToStandardError) {
    const std::string command = std::string("env -u CALVENTO_UI_SCRIPT ") +
                                "CALVENTO_UI_TRANSCRIPT=/nonexistent/t.txt " + UI_SCRIPT_RUNNER +
                                " 2>'" + (dir_ / "stderr.txt").string() + "'";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 16);
    EXPECT_EQ(
        Read("stderr.txt"),
        (std::vector<std::string>{"error \"cannot write transcript /nonexistent/t.txt\"",
                                  "open 102 \"Main \\\"quoted\\\"\"", "end 102 16", "exit 16"}));
}

TEST_F(UiRunner, AnUnreadableScriptIsReported) {
    const std::string command = std::string("env CALVENTO_UI_SCRIPT=/nonexistent/script ") +
                                "CALVENTO_UI_TRANSCRIPT='" + (dir_ / "t2.txt").string() + "' " +
                                UI_SCRIPT_RUNNER;
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 16);
    EXPECT_EQ(Read("t2.txt").front(), "error \"cannot read script /nonexistent/script\"");
}

}  // namespace
