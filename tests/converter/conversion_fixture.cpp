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

namespace {

// One double-quoted C-style text of a transcript line, from `at` (its opening quote); `at`
// moves past its closing quote.
std::string quotedText(const std::string& line, std::size_t& at) {
    std::string text;
    for (++at; at < line.size() && line[at] != '"'; ++at) {
        if (line[at] != '\\' || at + 1 == line.size()) {
            text.push_back(line[at]);
            continue;
        }
        const char escaped = line[++at];
        text.push_back(escaped == 'r'   ? '\r'
                       : escaped == 'n' ? '\n'
                       : escaped == 't' ? '\t'
                                        : escaped);
    }
    ++at;
    return text;
}

}  // namespace

std::vector<Box> ConversionTest::shownBoxes() const {
    // msgbox "caption" "text" [icon NAME] [over "owner"] -> ANSWER
    std::vector<Box> found;
    std::istringstream lines(transcript());
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("msgbox \"", 0) != 0) {
            continue;
        }
        Box box;
        std::size_t at = 7;
        box.caption = quotedText(line, at);
        box.text = quotedText(line, ++at);
        if (line.compare(at, 6, " icon ") == 0) {
            const std::size_t end = line.find(' ', at + 6);
            box.icon = line.substr(at + 6, end - at - 6);
            at = end;
        }
        if (line.compare(at, 7, " over \"") == 0) {
            at += 6;
            box.owner = quotedText(line, at);
        }
        found.push_back(box);
    }
    return found;
}

std::vector<std::string> ConversionTest::boxes() const {
    std::vector<std::string> found;
    for (const Box& box : shownBoxes()) {
        found.push_back(box.caption + "|" + box.text);
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
