#include "state_dump.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace krtsim {
namespace {

constexpr size_t kWordsPerLine = 16;

std::string hexWord(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

void dumpWords(std::ostringstream& out, const char* kind, int channel,
               const std::vector<uint16_t>& words) {
    size_t index = 0;
    while (index < words.size()) {
        if (words[index] == 0xFFFF) {
            ++index;
            continue;
        }
        out << kind << ' ' << channel << ' ' << index;
        for (size_t n = 0; n < kWordsPerLine && index < words.size() && words[index] != 0xFFFF;
             ++n, ++index)
            out << ' ' << hexWord(words[index]);
        out << '\n';
    }
}

}  // namespace

std::string formatDump(const KrtModule& module, int sequence, int requestCount) {
    std::ostringstream out;
    out << "krtsim-dump " << sequence << '\n';
    out << "requests " << requestCount << '\n';
    for (const auto& [address, value] : module.holdingSnapshot())
        out << "holding " << address << ' ' << hexWord(value) << '\n';
    for (int channel : {1, 2})
        out << "status " << channel << ' ' << hexWord(module.statusWord(channel)) << '\n';
    for (int channel : kChannels)
        out << "space " << channel << ' ' << module.flash(channel).size() << '\n';
    for (int channel : kChannels)
        dumpWords(out, "flash", channel, module.flash(channel));
    for (int channel : kChannels)
        dumpWords(out, "ram", channel, module.ram(channel));
    out << "end\n";
    return out.str();
}

bool writeDumpFile(const std::string& path, const std::string& text) {
    std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file || !(file << text))
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace krtsim
