#include "tests/fdr/fdr_peer.h"

#include <stdlib.h>
#include <sys/time.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/fdr/prm_builder.h"

namespace fdr_test {

namespace {
constexpr time_t kListedTime = 1651572000;  // 2022-05-03 10:00 UTC
}  // namespace

std::string LoopbackAddress(int n) {
    return "127.0.8." + std::to_string(n);
}

TempFolder::TempFolder() {
    const char* base = ::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/halbrick_test_XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr)
        path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code error;
    if (!path_.empty())
        std::filesystem::remove_all(path_, error);
}

bool FdrFtpServer::Start(const std::string& address, const FileSet& files) {
    const std::string folder = root_.File("RAM0/fdr");
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : files) {
        const std::string path = folder + "/" + name;
        prm_builder::writeFile(path, bytes);
        // Listed as " May 03  2022" whatever day the test runs.
        const timeval times[2] = {{kListedTime, 0}, {kListedTime, 0}};
        ::utimes(path.c_str(), times);
    }
    if (!process_.Start({PYTHON_FOR_PYFTPDLIB, FDR_FTP_SERVER_SCRIPT, address, root_.path(),
                         root_.File("commands.log")}))
        return false;
    return process_.WaitForLine("ready", 20000);
}

std::vector<std::string> FdrFtpServer::Commands() const {
    std::vector<std::string> commands;
    std::istringstream in(ReadText(root_.File("commands.log")));
    for (std::string line; std::getline(in, line);)
        commands.push_back(line);
    return commands;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace fdr_test
