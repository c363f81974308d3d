#include "tests/converter/project_definitions.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace m580_test {
namespace {

namespace fs = std::filesystem;

// One shell word, whatever the text holds.
std::string shellWord(const std::string& text) {
    std::string word = "'";
    for (char c : text) {
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return word + "'";
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

std::vector<std::string> definitionFaults(const std::string& converted, const std::string& original,
                                          const fs::path& scratch,
                                          const std::vector<std::string>& library) {
    const fs::path convertedFile = scratch / "definitions-converted.xef";
    const fs::path originalFile = scratch / "definitions-original.xef";
    writeText(convertedFile, converted);
    writeText(originalFile, original);
    std::string command = "/usr/bin/python3 " + shellWord(PROJECT_DEFINITIONS_SCRIPT) + " " +
                          shellWord(convertedFile.string()) + " " +
                          shellWord(originalFile.string());
    for (const std::string& name : library) {
        command += " --library " + shellWord(name);
    }
    command += " 2>&1";
    std::vector<std::string> faults;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {"cannot run " + command};
    }
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, got);
    }
    const int status = pclose(pipe);
    std::size_t start = 0;
    for (std::size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
        faults.push_back(output.substr(start, end - start));
    }
    if (start < output.size()) {
        faults.push_back(output.substr(start));
    }
    if (status != 0) {
        faults.push_back("project_definitions.py ended with status " + std::to_string(status));
    }
    fs::remove(convertedFile);
    fs::remove(originalFile);
    return faults;
}

std::vector<std::string> addedDefinitionFaults(const std::string& converted,
                                               const std::string& original, const fs::path& scratch,
                                               const std::vector<std::string>& library) {
    std::vector<std::string> had = definitionFaults(original, original, scratch);
    for (std::string& fault : had) {
        for (std::size_t at; (at = fault.find("IBY_")) != std::string::npos;) {
            fault[at + 2] = 'S';
        }
    }
    std::vector<std::string> added;
    for (const std::string& fault : definitionFaults(converted, original, scratch, library)) {
        if (std::find(had.begin(), had.end(), fault) == had.end()) {
            added.push_back(fault);
        }
    }
    return added;
}

}  // namespace m580_test
