#include "svc_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace svc::testing {

std::vector<Record> busRecords() {
    return {
        configurationRecord(
            1, {{0x0101, 0x0202}, {0x0102, 0x0101}, {0x0103, 0x01C1}, {0x0201, 0x0203}}),
        {0x0264, {0x000E, 0x0001, 0x0002, 0x0040}, {}},
        {0x0264, {0x0012, 0x0001, 0x0002, 0x0090}, {}},
        {0x0325,
         {0x0003, 0x0001, 0x0101, 0x6010, 0x0200, 0x0000, 0x0000, 0x4001, 0x0000, 0x0000,
          0x0102, 0x6011, 0x0000, 0x8001, 0x0201, 0x6010, 0x0102, 0x6011, 0x0302, 0x4142},
         {}},
        {0x0750, {0x0001, 0x2210, 0x0001, 0x86A0}, {}},
        {0x0701, {0x0005}, {}},
    };
}

ScratchFolder::ScratchFolder() {
    // mkdtemp, not a name made from the test's: another run of the suite at the same moment runs
    // the same test, and a name both could make would let one remove the other's files.
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string pattern =
        (std::filesystem::temp_directory_path() /
         ("svc_decoder_" + std::string(test != nullptr ? test->name() : "test") + "_XXXXXX"))
            .string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a scratch folder from " + pattern);
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchFolder::writeSvc(const std::string& name,
                                              const std::string& text) const {
    std::ofstream out(path_ / (name + ".svc"), std::ios::binary);
    out << text;
    return path_ / name;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::string> crlfLines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line has no CR LF: " << content.substr(start);
            lines.push_back(content.substr(start));
            break;
        }
        std::string line = content.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line end in: " << line;
        lines.push_back(std::move(line));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> lfLines(const std::string& content) {
    std::vector<std::string> lines;
    std::istringstream in(content);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::string xmlProblem(const std::string& text) {
    std::vector<std::string> open;
    std::size_t i = 0;
    bool sawRoot = false;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '&') {
            const std::size_t end = text.find(';', i);
            const std::string entity = end == std::string::npos ? "" : text.substr(i, end - i + 1);
            if (entity != "&amp;" && entity != "&lt;" && entity != "&gt;" && entity != "&quot;" &&
                entity != "&apos;") {
                return "bad entity at " + std::to_string(i);
            }
            i = end + 1;
            continue;
        }
        if (c == '>') {
            return "stray '>' at " + std::to_string(i);
        }
        if (c != '<') {
            if (open.empty() && sawRoot && c != '\r' && c != '\n') {
                return "text after the root element";
            }
            ++i;
            continue;
        }
        if (text.compare(i, 5, "<?xml") == 0) {
            if (i != 0) {
                return "declaration not at the start";
            }
            i = text.find("?>", i) + 2;
            continue;
        }
        std::size_t end = i + 1;
        bool inQuote = false;
        for (; end < text.size() && (inQuote || text[end] != '>'); ++end) {
            if (text[end] == '"') {
                inQuote = !inQuote;
            } else if (text[end] == '<' ||
                       (inQuote && text[end] == '&' && text.compare(end, 5, "&amp;") != 0)) {
                return "bad character in tag at " + std::to_string(end);
            }
        }
        if (end >= text.size()) {
            return "unterminated tag";
        }
        const std::string tag = text.substr(i + 1, end - i - 1);
        if (!tag.empty() && tag[0] == '/') {
            if (open.empty() || open.back() != tag.substr(1)) {
                return "unbalanced </" + tag.substr(1) + ">";
            }
            open.pop_back();
        } else {
            if (open.empty() && sawRoot) {
                return "second root element";
            }
            sawRoot = true;
            open.push_back(tag.substr(0, tag.find(' ')));
        }
        i = end + 1;
    }
    if (!open.empty()) {
        return "unclosed <" + open.back() + ">";
    }
    return sawRoot ? "" : "no root element";
}

std::string Decoded::output(const char* suffix) const {
    std::filesystem::path path = root;
    path += suffix;
    return readFile(path);
}

std::vector<std::string> Decoded::lines(const char* suffix) const {
    return crlfLines(output(suffix));
}

Decoded decode(const ScratchFolder& folder, const std::string& name,
               const std::vector<Record>& records, SvcModuleContext module) {
    return decodeText(folder, name, svcText(records), module);
}

Decoded decodeText(const ScratchFolder& folder, const std::string& name, const std::string& text,
                   SvcModuleContext module) {
    Decoded decoded;
    decoded.root = folder.writeSvc(name, text);
    std::ostringstream console;
    SvcDecodeOptions options;
    options.module = module;
    options.console = &console;
    decoded.result = decodeSvcFile(decoded.root, options);
    decoded.console = console.str();
    return decoded;
}

int countOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

int indexOf(const std::vector<std::string>& lines, const std::string& line) {
    const auto found = std::find(lines.begin(), lines.end(), line);
    return found == lines.end() ? -1 : static_cast<int>(found - lines.begin());
}

}  // namespace svc::testing
