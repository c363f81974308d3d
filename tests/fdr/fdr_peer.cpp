#include "tests/fdr/fdr_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/fdr/prm_builder.h"

namespace fdr_test {

namespace {
constexpr time_t kListedTime = 1651572000;  // 2022-05-03 10:00 UTC
}  // namespace

RefusingPort::RefusingPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof where;
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&where), &length) == 0)
        port_ = ntohs(where.sin_port);
}

RefusingPort::~RefusingPort() {
    if (fd_ >= 0)
        ::close(fd_);
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

bool FdrFtpServer::Start(const FileSet& files, const std::string& address, uint16_t port) {
    const std::string folder = root_.File("RAM0/fdr");
    std::filesystem::create_directories(folder);
    for (const auto& [name, bytes] : files) {
        const std::string path = folder + "/" + name;
        prm_builder::writeFile(path, bytes);
        // Listed as " May 03  2022" whatever day the test runs.
        const timeval times[2] = {{kListedTime, 0}, {kListedTime, 0}};
        ::utimes(path.c_str(), times);
    }
    const std::string status = root_.File("status.txt");
    if (!process_.Start({PYTHON_FOR_PYFTPDLIB, FDR_FTP_SERVER_SCRIPT, address, std::to_string(port),
                         root_.path(), root_.File("commands.log"), status})) {
        failure_ = "the FTP server could not be started";
        return false;
    }
    const bool ready = process_.WaitForLine("ready", 20000);
    std::string said = ReadText(status);
    while (!said.empty() && said.back() == '\n')
        said.pop_back();
    if (!ready) {
        failure_ = said.empty() ? "the FTP server did not get ready" : said;
        return false;
    }
    port_ = static_cast<uint16_t>(std::stoi(said));
    return true;
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
