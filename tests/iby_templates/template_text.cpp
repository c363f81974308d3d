#include "template_text.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "svc/ibs_templates.h"

namespace iby_templates_testing {
namespace {

std::string attributeValue(const std::string& line, const std::string& attribute) {
    const std::string key = attribute + "=\"";
    const std::size_t start = line.find(key);
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t from = start + key.size();
    return line.substr(from, line.find('"', from) - from);
}

}  // namespace

Lines ibySetLines(const extractor::IbyModuleAddresses& modules) {
    Lines lines;
    extractor::writeIbyTemplateSet([&lines](std::string_view line) { lines.emplace_back(line); },
                                   modules);
    return lines;
}

Lines ibsSetLines() {
    std::ostringstream out;
    svc::printIbsTemplateSet(out, {});
    const std::string text = out.str();
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "a line without CR LF";
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<Element> elementsOf(const Lines& lines) {
    std::vector<Element> elements;
    Element* open = nullptr;
    for (const std::string& line : lines) {
        if (open == nullptr) {
            const bool type = line.rfind("\t<DDTSource DDTName=\"", 0) == 0;
            const bool block = line.rfind("\t<FBSource nameOfFBType=\"", 0) == 0;
            EXPECT_TRUE(type || block) << "line outside an element: " << line;
            elements.push_back(
                {attributeValue(line, type ? "DDTName" : "nameOfFBType"), block, {}});
            open = &elements.back();
        }
        open->lines.push_back(line);
        if (line == (open->block ? "\t</FBSource>" : "\t</DDTSource>")) {
            open = nullptr;
        }
    }
    EXPECT_EQ(open, nullptr) << "the last element is not closed";
    return elements;
}

Element elementNamed(const std::vector<Element>& elements, const std::string& name) {
    const auto found = std::find_if(elements.begin(), elements.end(),
                                    [&name](const Element& e) { return e.name == name; });
    EXPECT_NE(found, elements.end()) << "no element " << name;
    return found == elements.end() ? Element{} : *found;
}

Lines programOf(const Element& block) {
    const auto begin = std::find(block.lines.begin(), block.lines.end(), "\t\t\t<STSource>");
    const auto end = std::find(block.lines.begin(), block.lines.end(), "</STSource>");
    EXPECT_TRUE(begin != block.lines.end() && end != block.lines.end() && begin < end)
        << block.name << " has no structured text";
    if (begin == block.lines.end() || end == block.lines.end() || !(begin < end)) {
        return {};
    }
    return Lines(begin + 1, end);
}

Section sectionOf(const Element& block, const std::string& tag) {
    Section section;
    const auto begin = std::find(block.lines.begin(), block.lines.end(), "\t\t<" + tag + ">");
    if (begin == block.lines.end()) {
        return section;
    }
    section.present = true;
    for (auto line = begin + 1; line != block.lines.end() && *line != "\t\t</" + tag + ">";
         ++line) {
        if (line->rfind("\t\t\t<variables ", 0) == 0) {
            section.variables.push_back(*line);
        }
    }
    return section;
}

int countOf(const Lines& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        result.output.append(buffer, got);
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace iby_templates_testing
