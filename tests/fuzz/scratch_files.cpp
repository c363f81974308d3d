#include "scratch_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace fuzz {

namespace {

class Folder {
  public:
    Folder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "calvento_fuzz_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a scratch folder");
        path_ = pattern;
    }
    ~Folder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace

const std::string& ScratchFolder() {
    static const Folder folder;
    return folder.path();
}

std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = ScratchFolder() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot write " + path);
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written)
        throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace fuzz
