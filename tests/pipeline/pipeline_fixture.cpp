#include "tests/pipeline/pipeline_fixture.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

namespace pipeline_test {

namespace fs = std::filesystem;

int PipelineTest::runProgram(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& script, const std::string& name) {
    const fs::path scriptFile = path("tmp") / (name + ".script");
    const fs::path transcript = path("tmp") / (name + ".transcript");
    const fs::path console = path("tmp") / (name + ".console");
    std::ofstream(scriptFile) << script;
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int out = ::open(console.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (chdir(folder().c_str()) != 0 || out < 0 || dup2(out, 1) < 0) {
            _exit(126);
        }
        setenv("CALVENTO_UI_SCRIPT", script.empty() ? "" : scriptFile.c_str(), 1);
        setenv("CALVENTO_UI_TRANSCRIPT", transcript.c_str(), 1);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string PipelineTest::programTranscript(const std::string& name) const {
    return fennick_test::readFile(path("tmp") / (name + ".transcript"));
}

}  // namespace pipeline_test
