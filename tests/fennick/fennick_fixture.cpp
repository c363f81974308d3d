#include "fennick_fixture.h"

#include <stdlib.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <utility>

#include "platform/ui_headless.h"
#include "toolshell/fennick/fennick_main.h"
#include "toolshell/report_edit.h"
#include "toolshell/tool_menus.h"

namespace fennick_test {

namespace fs = std::filesystem;

void FennickTest::SetUp() {
    static std::atomic<int> counter{0};
    const char* base = std::getenv("TMPDIR");
    savedTmpdir_ = base != nullptr ? std::optional<std::string>(base) : std::nullopt;
    const fs::path root = base != nullptr && *base != '\0' ? fs::path(base) : fs::path("/tmp");
    folder_ =
        root / ("fennick_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "tmp");
    startFolder_ = fs::current_path();
    fs::current_path(folder_);
    ::setenv("CALVENTO_REGISTRY", (folder_ / "tmp" / "registry.reg").c_str(), 1);
    ::setenv("TMPDIR", (folder_ / "tmp").c_str(), 1);
    toolshell::popupMenuTable.fill(nullptr);
    toolshell::reportEdit = nullptr;
}

void FennickTest::TearDown() {
    fs::current_path(startFolder_);
    // As it was before the test, unset included.
    if (savedTmpdir_) {
        ::setenv("TMPDIR", savedTmpdir_->c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

fs::path FennickTest::writeProject(const std::string& name, const ProjectSpec& project) {
    const fs::path archive = path(name);
    EXPECT_TRUE(writeProjectArchive(archive, project));
    return archive;
}

int FennickTest::runFennick(const std::vector<std::string>& arguments, const std::string& script) {
    platform::ui::headless::StartSession(script);
    std::vector<std::string> words{"fennick"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    return fennick::fennickMain(static_cast<int>(words.size()), argv.data());
}

std::string FennickTest::transcript() const {
    return platform::ui::headless::Transcript();
}

std::vector<std::string> FennickTest::boxes() const {
    std::vector<std::string> found;
    std::istringstream lines(transcript());
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("msgbox ", 0) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

std::vector<std::string> FennickTest::tree() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder_)) {
        const std::string name = fs::relative(entry.path(), folder_).string();
        if (name.rfind("tmp", 0) != 0) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> FennickTest::leftoverWorkFolders() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_ / "tmp")) {
        if (entry.path().filename().string().rfind("fennick-", 0) == 0) {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

std::string FennickTest::projectProblems(const fs::path& converted, const fs::path& original,
                                         int rack, int slot, const fs::path& results) const {
    static std::atomic<int> checks{0};
    const std::string tag = std::to_string(checks++);
    const fs::path scratch = folder_ / "tmp";
    const fs::path newFile = scratch / ("converted" + tag + ".xef");
    const fs::path oldFile = scratch / ("original" + tag + ".xef");
    const fs::path answer = scratch / ("problems" + tag + ".txt");
    for (const auto& [archive, file] :
         {std::pair{converted, newFile}, std::pair{original, oldFile}}) {
        const auto entries = readArchive(archive);
        if (entries.count("unitpro.xef") == 0) {
            return "no unitpro.xef in " + archive.string();
        }
        std::ofstream(file, std::ios::binary) << entries.at("unitpro.xef").data;
    }
    // The checker stands beside this file (also built into other suites' fixtures).
    const fs::path checkScript = fs::path(__FILE__).parent_path() / "check_converted_project.py";
    // The paths reach the script as the shell's arguments, each quoted once.
    const std::string shell = "sh -c '/usr/bin/python3 \"$1\" \"$2\" \"$3\" " +
                              std::to_string(rack) + " " + std::to_string(slot) +
                              " \"$4\" > \"$5\" 2>&1' sh '" + checkScript.string() + "' '" +
                              newFile.string() + "' '" + oldFile.string() + "' '" +
                              results.string() + "' '" + answer.string() + "'";
    (void)std::system(shell.c_str());
    return readFile(answer);
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no CR LF: " << text.substr(start);
            lines.push_back(text.substr(start));
            break;
        }
        const std::string line = text.substr(start, end - start);
        if (line.find('\n') != std::string::npos) {
            ADD_FAILURE() << "bare LF in line: " << line;
        }
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

std::string xmlProblem(const std::string& text, const fs::path& scratch) {
    const fs::path file = scratch / "checked.xml";
    const fs::path complaint = scratch / "xmllint.txt";
    {
        std::ofstream out(file, std::ios::binary);
        out << text;
    }
    const std::string command =
        "xmllint --noout '" + file.string() + "' > '" + complaint.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    return status == 0 ? std::string() : "xmllint: " + readFile(complaint);
}

}  // namespace fennick_test
