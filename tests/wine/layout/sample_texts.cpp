#include "sample_texts.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace layout_check {

namespace {

bool ReadNumber(const std::string& word, int& value) {
    if (word.empty())
        return false;
    char* end = nullptr;
    const long number = std::strtol(word.c_str(), &end, 0);
    if (*end != '\0')
        return false;
    value = static_cast<int>(number);
    return true;
}

bool ReadId(const std::string& word, const std::map<std::string, int>& names, int& value) {
    if (ReadNumber(word, value))
        return true;
    const auto it = names.find(word);
    if (it == names.end())
        return false;
    value = it->second;
    return true;
}

// The quoted text that starts at `at`; false when it is not closed.
bool ReadQuoted(const std::string& line, size_t at, std::string& text) {
    if (at >= line.size() || line[at] != '"')
        return false;
    for (size_t i = at + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            return line.find_first_not_of(" \t\r", i + 1) == std::string::npos;
        if (c != '\\' || i + 1 == line.size()) {
            text += c;
            continue;
        }
        const char escaped = line[++i];
        text += escaped == 'r' ? '\r' : escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
    }
    return false;
}

}  // namespace

std::map<std::string, int> ReadResourceNames(const std::string& headerPath, std::string& error) {
    std::map<std::string, int> names;
    std::ifstream header(headerPath);
    if (!header) {
        error = "cannot read " + headerPath;
        return names;
    }
    std::string line;
    while (std::getline(header, line)) {
        std::istringstream words(line);
        std::string directive, name, value;
        int number = 0;
        if (words >> directive >> name >> value && directive == "#define" &&
            ReadNumber(value, number)) {
            names[name] = number;
        }
    }
    return names;
}

std::vector<SampleText> ReadSampleTexts(const std::string& path,
                                        const std::map<std::string, int>& names,
                                        std::string& error) {
    std::vector<SampleText> samples;
    std::ifstream file(path);
    if (!file) {
        error = "cannot read " + path;
        return samples;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        std::istringstream words(line);
        std::string dialog, control, rest;
        if (!(words >> dialog) || dialog[0] == '#')
            continue;
        SampleText sample;
        sample.line = number;
        bool read = words >> control && ReadId(dialog, names, sample.dialog) &&
                    ReadId(control, names, sample.control);
        words >> std::ws;
        if (read && words.peek() == '"') {
            read = ReadQuoted(line, line.size() - words.rdbuf()->in_avail(), sample.text) &&
                   !sample.text.empty();
        } else if (read && words >> rest && rest == "columns") {
            for (int width = 0; words >> width;)
                sample.columns.push_back(width);
            read = words.eof() && !sample.columns.empty();
        } else {
            read = false;
        }
        if (!read) {
            error = path + ":" + std::to_string(number) + ": cannot read \"" + line + "\"";
            return samples;
        }
        samples.push_back(sample);
    }
    return samples;
}

}  // namespace layout_check
