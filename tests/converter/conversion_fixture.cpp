#include "tests/converter/conversion_fixture.h"

#include <stdlib.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "converter/conversion/convert_zef.h"
#include "platform/ui_headless.h"
#include "tests/converter/m580_project.h"

namespace converter_test {

namespace fs = std::filesystem;

void ConversionTest::SetUp() {
    const char* base = getenv("TMPDIR");
    hadTmpdir_ = base != nullptr;
    savedTmpdir_ = base != nullptr ? base : "";
    const fs::path root = base != nullptr && *base != '\0' ? fs::path(base) : fs::path("/tmp");
    folder_ = root / ("vornick-test-" + std::to_string(getpid()) + "-" +
                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder());
    fs::create_directories(tempFolder());
    setenv("TMPDIR", tempFolder().c_str(), 1);
    setenv("CALVENTO_REGISTRY", registryFile().c_str(), 1);
    platform::ui::headless::StartSession("");
}

void ConversionTest::TearDown() {
    unsetenv("CALVENTO_REGISTRY");
    if (hadTmpdir_) {
        setenv("TMPDIR", savedTmpdir_.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    if (!HasFailure()) {
        fs::remove_all(folder_);
    }
}

bool ConversionTest::convert(const fs::path& archive) {
    std::ostringstream out;
    const bool created = vornick::convertZefToIbs(archive.string(), report, out);
    console = out.str();
    return created;
}

std::string ConversionTest::transcript() const {
    return platform::ui::headless::Transcript();
}

std::vector<std::string> ConversionTest::boxes() const {
    // msgbox "caption" "text" -> OK, with C escapes; the texts here hold none but \r\n.
    std::vector<std::string> found;
    std::istringstream lines(transcript());
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("msgbox \"", 0) != 0) {
            continue;
        }
        const std::size_t captionEnd = line.find("\" \"", 8);
        const std::size_t textEnd = line.rfind("\" -> ");
        std::string text = line.substr(captionEnd + 3, textEnd - captionEnd - 3);
        for (std::size_t at; (at = text.find("\\r\\n")) != std::string::npos;) {
            text.replace(at, 4, "\r\n");
        }
        found.push_back(line.substr(8, captionEnd - 8) + "|" + text);
    }
    return found;
}

namespace {

// Each entry's bytes as stored (compressed) or as unpacked.
std::map<std::string, std::string> readEntries(const fs::path& archive, bool stored) {
    std::map<std::string, std::string> entries;
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, nullptr);
    if (zip == nullptr) {
        ADD_FAILURE() << "cannot open " << archive;
        return entries;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &stat);
        zip_file_t* file =
            zip_fopen_index(zip, static_cast<zip_uint64_t>(i), stored ? ZIP_FL_COMPRESSED : 0);
        std::string bytes(stored ? stat.comp_size : stat.size, '\0');
        if (!bytes.empty()) {
            zip_fread(file, bytes.data(), bytes.size());
        }
        zip_fclose(file);
        entries[stat.name] = stored ? std::to_string(stat.comp_method) + ":" +
                                          std::to_string(stat.crc) + ":" +
                                          std::to_string(stat.mtime) + ":" + bytes
                                    : bytes;
    }
    zip_close(zip);
    return entries;
}

}  // namespace

std::map<std::string, std::string> zipEntries(const fs::path& archive) {
    return readEntries(archive, false);
}

std::map<std::string, std::string> rawZipEntries(const fs::path& archive) {
    return readEntries(archive, true);
}

std::set<std::string> folderContent(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        names.insert(fs::relative(entry.path(), folder).string());
    }
    return names;
}

std::string xmlProblems(const std::string& text, const fs::path& scratch) {
    const fs::path file = scratch / "checked.xml";
    std::ofstream(file, std::ios::binary) << text;
    const std::string command = "xmllint --noout '" + file.string() + "' 2>&1";
    std::string said;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
            said += buffer;
        }
        if (pclose(pipe) != 0 && said.empty()) {
            said = "xmllint failed";
        }
    } else {
        said = "cannot run xmllint";
    }
    fs::remove(file);
    return said;
}

std::vector<std::string> splitCrLf(const std::string& text) {
    return m580_test::splitLines(text);
}

}  // namespace converter_test
