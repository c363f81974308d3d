#include "temp_store.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempStore::TempStore() {
    if (const char* old = getenv("CALVENTO_REGISTRY")) {
        previous_ = old;
        hadPrevious_ = true;
    }
    std::string pattern =
        (std::filesystem::temp_directory_path() / "calvento-store-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    path_ = folder_ + "/registry.reg";
    setenv("CALVENTO_REGISTRY", path_.c_str(), 1);
}

TempStore::~TempStore() {
    std::error_code ignored;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(folder_, ignored);
    if (hadPrevious_) {
        setenv("CALVENTO_REGISTRY", previous_.c_str(), 1);
    } else {
        unsetenv("CALVENTO_REGISTRY");
    }
}

std::string TempStore::Read() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void TempStore::Write(const std::string& text) const {
    std::ofstream(path_, std::ios::binary) << text;
}
