#include "krtsim_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace krtsim {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartWait = std::chrono::seconds(10);
constexpr auto kStopWait = std::chrono::seconds(10);
constexpr auto kDumpWait = std::chrono::seconds(10);

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

long toLong(const std::string& text, int base, long fallback) {
    if (text.empty())
        return fallback;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, base);
    return *end == '\0' ? value : fallback;
}

}  // namespace

long LoggedRequest::field(const std::string& key, long fallback) const {
    auto found = fields.find(key);
    return found == fields.end() ? fallback : toLong(found->second, 10, fallback);
}

std::vector<uint16_t> LoggedRequest::values() const {
    std::vector<uint16_t> words;
    auto found = fields.find("values");
    if (found == fields.end())
        return words;
    std::stringstream items(found->second);
    std::string item;
    while (std::getline(items, item, '/'))
        words.push_back(static_cast<uint16_t>(toLong(item, 10, 0)));
    return words;
}

bool LoggedRequest::ok() const {
    auto found = fields.find("result");
    return found != fields.end() && found->second == "ok";
}

std::optional<StateDump> StateDump::parse(const std::string& text) {
    StateDump dump;
    bool complete = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream items(line);
        std::string kind;
        items >> kind;
        if (kind == "krtsim-dump") {
            items >> dump.sequence_;
        } else if (kind == "requests") {
            items >> dump.requestCount_;
        } else if (kind == "holding" || kind == "status") {
            int key = 0;
            std::string value;
            items >> key >> value;
            (kind == "holding" ? dump.holding_ : dump.status_)[key] =
                static_cast<uint16_t>(toLong(value, 16, 0));
        } else if (kind == "space") {
            int channel = 0, words = 0;
            items >> channel >> words;
            dump.spaceWords_[channel] = words;
        } else if (kind == "flash" || kind == "ram") {
            int channel = 0, index = 0;
            std::string value;
            items >> channel >> index;
            auto& words = (kind == "flash" ? dump.flash_ : dump.ram_)[channel];
            while (items >> value)
                words[index++] = static_cast<uint16_t>(toLong(value, 16, 0));
        } else if (kind == "end") {
            complete = true;
        }
    }
    if (!complete)
        return std::nullopt;
    return dump;
}

uint16_t StateDump::holding(int address) const {
    auto found = holding_.find(address);
    return found == holding_.end() ? 0 : found->second;
}

uint16_t StateDump::status(int channel) const {
    auto found = status_.find(channel);
    return found == status_.end() ? 0 : found->second;
}

std::vector<uint16_t> StateDump::image(const std::map<int, std::map<int, uint16_t>>& words,
                                       int channel) const {
    auto size = spaceWords_.find(channel);
    std::vector<uint16_t> result(size == spaceWords_.end() ? 0 : size->second, 0xFFFF);
    auto listed = words.find(channel);
    if (listed != words.end())
        for (const auto& [index, value] : listed->second)
            if (index >= 0 && static_cast<size_t>(index) < result.size())
                result[index] = value;
    return result;
}

std::vector<uint16_t> StateDump::channelFlash(int channel) const {
    return image(flash_, channel);
}
std::vector<uint16_t> StateDump::channelRam(int channel) const {
    return image(ram_, channel);
}

KrtSim::KrtSim(std::vector<std::string> options) : options_(std::move(options)) {}

KrtSim::~KrtSim() {
    stop();
    if (!directory_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
}

std::string KrtSim::executable() {
    if (const char* path = std::getenv("KRTSIM_EXECUTABLE"))
        return path;
    return KRTSIM_EXECUTABLE;
}

bool KrtSim::start(Framing framing) {
    if (running())
        return false;
    if (directory_.empty()) {
        std::error_code error;
        std::string pattern =
            (std::filesystem::temp_directory_path(error) / "krtsim.XXXXXX").string();
        if (error || !mkdtemp(pattern.data())) {
            output_ = "cannot make a folder for krtsim's files: " + pattern + "\n";
            return false;
        }
        directory_ = pattern;
        logPath_ = directory_ + "/requests.log";
        dumpPath_ = directory_ + "/state.dump";
    }
    std::vector<std::string> args{executable()};
    if (framing == Framing::Tcp)
        args.insert(args.end(), {"--tcp", "127.0.0.1:0"});
    else
        args.push_back(framing == Framing::Rtu ? "--rtu" : "--ascii");
    args.insert(args.end(), {"--log", logPath_, "--dump", dumpPath_});
    args.insert(args.end(), options_.begin(), options_.end());
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    int output[2];
    if (pipe(output) != 0)
        return false;
    pid_ = fork();
    if (pid_ == 0) {
        // krtsim ends with the test, and holds none of the test's sockets or terminals.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(output[1], STDOUT_FILENO);
        dup2(output[1], STDERR_FILENO);
        close_range(3, ~0U, 0);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    if (pid_ < 0) {
        close(output[0]);
        return false;
    }
    outputFd_ = output[0];
    fcntl(outputFd_, F_SETFL, O_NONBLOCK);
    output_.clear();
    lastSequence_ = 0;
    releasesSeen_ = 0;

    auto deadline = Clock::now() + kStartWait;
    while (Clock::now() < deadline) {
        readOutput(std::chrono::milliseconds(20));
        auto line = output_.find("krtsim ready ");
        auto end = line == std::string::npos ? line : output_.find('\n', line);
        if (end != std::string::npos) {
            std::istringstream ready(output_.substr(line, end - line));
            std::string word, kind, where;
            ready >> word >> word >> kind >> where;
            if (kind == "tcp")
                port_ = static_cast<uint16_t>(toLong(where.substr(where.rfind(':') + 1), 10, 0));
            else
                devicePath_ = where;
            return true;
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            readOutput(std::chrono::milliseconds(0));
            return false;
        }
    }
    stop();
    return false;
}

void KrtSim::readOutput(std::chrono::milliseconds wait) {
    if (outputFd_ < 0)
        return;
    pollfd fd{outputFd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(wait.count())) <= 0)
        return;
    char buffer[4096];
    ssize_t got;
    while ((got = read(outputFd_, buffer, sizeof buffer)) > 0)
        output_.append(buffer, static_cast<size_t>(got));
}

bool KrtSim::stop() {
    if (pid_ <= 0)
        return false;
    kill(pid_, SIGTERM);
    int status = 0;
    bool exited = false;
    auto deadline = Clock::now() + kStopWait;
    while (Clock::now() < deadline) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            exited = true;
            break;
        }
        readOutput(std::chrono::milliseconds(5));
    }
    if (!exited) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    readOutput(std::chrono::milliseconds(0));
    close(outputFd_);
    outputFd_ = -1;
    return exited && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool KrtSim::releaseHeldReply() {
    if (!running())
        return false;
    kill(pid_, SIGUSR2);
    const std::string line = "krtsim released\n";
    auto deadline = Clock::now() + kDumpWait;
    while (Clock::now() < deadline) {
        size_t count = 0;
        for (size_t at = output_.find(line); at != std::string::npos;
             at = output_.find(line, at + 1))
            ++count;
        if (count > releasesSeen_) {
            releasesSeen_ = count;
            return true;
        }
        readOutput(std::chrono::milliseconds(20));
    }
    return false;
}

std::vector<LoggedRequest> KrtSim::requests() const {
    std::vector<LoggedRequest> requests;
    std::istringstream lines(readFile(logPath_));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream items(line);
        LoggedRequest request;
        std::string item;
        if (!(items >> request.number))
            continue;
        while (items >> item) {
            auto equals = item.find('=');
            if (equals != std::string::npos)
                request.fields[item.substr(0, equals)] = item.substr(equals + 1);
        }
        request.functionCode = static_cast<int>(request.field("fc", 0));
        requests.push_back(request);
    }
    return requests;
}

std::optional<StateDump> KrtSim::readDump() const {
    if (dumpPath_.empty())
        return std::nullopt;
    return StateDump::parse(readFile(dumpPath_));
}

StateDump KrtSim::dump() {
    if (running()) {
        kill(pid_, SIGUSR1);
        auto deadline = Clock::now() + kDumpWait;
        while (Clock::now() < deadline) {
            auto dump = readDump();
            if (dump && dump->sequence() > lastSequence_) {
                lastSequence_ = dump->sequence();
                return *dump;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return {};
    }
    return readDump().value_or(StateDump{});
}

}  // namespace krtsim
