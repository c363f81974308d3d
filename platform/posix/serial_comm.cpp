#include "platform/posix/serial_comm.h"

#include <dirent.h>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>

#include "platform/posix/registry_store.h"

namespace platform::serialcomm {

namespace {

struct Candidate {
    int family;  // order of the device families
    long number;
    std::string name;
};

// Every /dev/ttyS<n> node exists whether or not a UART is fitted; the serial core reports an
// absent one as type 0 (PORT_UNKNOWN). Where that attribute is missing, a port that opens and
// answers tcgetattr is taken as present.
bool UartAnswers(const std::string& name) {
    std::ifstream typeFile("/sys/class/tty/" + name + "/type");
    int type = 0;
    if (typeFile >> type)
        return type != 0;
    const int fd = open(("/dev/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    termios attributes{};
    const bool answers = tcgetattr(fd, &attributes) == 0;
    close(fd);
    return answers;
}

bool ParseSuffix(const std::string& name, const std::string& prefix, long& number) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    const std::string digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    number = std::strtol(digits.c_str(), nullptr, 10);
    return true;
}

std::string ComNumberText(const std::vector<uint8_t>& data) {
    std::string text(data.begin(), data.end());
    if (const size_t nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return text;
}

// "COM12" or "COM12:" gives 12; anything else 0.
unsigned ComNumber(std::string text) {
    if (!text.empty() && text.back() == ':')
        text.pop_back();
    long n = 0;
    if (text.size() < 4 || !regedit4::SameName(text.substr(0, 3), "COM") ||
        !ParseSuffix(text, text.substr(0, 3), n) || n <= 0 || n > 255) {
        return 0;
    }
    return static_cast<unsigned>(n);
}

}  // namespace

bool IsSerialCommKey(RegRoot root, const std::string& path) {
    return root == RegRoot::LocalMachine && regedit4::SameName(path, kSerialCommKey);
}

std::vector<std::string> PresentDevices() {
    const char* families[] = {"ttyUSB", "ttyACM", "ttyS"};
    std::vector<Candidate> found;
    if (DIR* dir = opendir("/dev")) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            for (int f = 0; f < 3; ++f) {
                long number = 0;
                if (ParseSuffix(name, families[f], number))
                    found.push_back({f, number, name});
            }
        }
        closedir(dir);
    }
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        return a.family != b.family ? a.family < b.family : a.number < b.number;
    });
    std::vector<std::string> devices;
    for (const Candidate& c : found) {
        if (c.family == 2 && !UartAnswers(c.name))
            continue;
        devices.push_back("/dev/" + c.name);
    }
    return devices;
}

std::vector<regedit4::NamedValue> Values(const regedit4::Document& doc,
                                         const std::vector<std::string>& devices) {
    std::vector<regedit4::NamedValue> values;
    std::set<unsigned> taken;
    for (const regedit4::Key& key : doc.keys) {
        if (!regedit4::SameName(key.path, store::FullPath(RegRoot::LocalMachine, kSerialCommKey)))
            continue;
        for (const regedit4::NamedValue& v : key.values) {
            values.push_back(v);
            taken.insert(ComNumber(ComNumberText(v.value.data)));
        }
    }
    unsigned next = 1;
    for (const std::string& device : devices) {
        const bool listed = std::any_of(values.begin(), values.end(),
                                        [&](const auto& v) { return v.name == device; });
        if (listed)
            continue;
        while (taken.count(next))
            ++next;
        taken.insert(next);
        const std::string com = "COM" + std::to_string(next);
        RegValue value{RegType::String, std::vector<uint8_t>(com.begin(), com.end())};
        value.data.push_back(0);
        values.push_back({device, value});
    }
    return values;
}

}  // namespace platform::serialcomm
