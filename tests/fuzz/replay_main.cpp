// Runs a fuzz target over every file of its corpus folders (and over files named directly), so
// the normal test build replays what the campaigns found without needing libFuzzer.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "can't read %s\n", file.string().c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path)) {
                if (!entry.is_regular_file())
                    continue;
                if (!Replay(entry.path()))
                    return 1;
                ++replayed;
            }
        } else if (Replay(path)) {
            ++replayed;
        } else {
            return 1;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    // An empty corpus means the seeds were lost: that must not pass as a clean replay.
    return replayed > 0 ? 0 : 1;
}
