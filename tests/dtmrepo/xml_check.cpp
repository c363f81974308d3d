#include "tests/dtmrepo/xml_check.h"

#include <cstdio>

namespace dtmrepo_test {

namespace {

// One shell word, whatever the text holds.
std::string shellWord(const std::string& text) {
    std::string word = "'";
    for (char c : text) {
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return word + "'";
}

std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            text.append(buffer, n);
        }
        pclose(pipe);
    }
    return text;
}

constexpr const char* kQueryScript =
    "import sys, xml.etree.ElementTree as E\n"
    "root = E.parse(sys.argv[1]).getroot()\n"
    "for e in root.iter():\n"
    "    e.tag = e.tag.split('}', 1)[-1]\n"
    "sys.stdout.write(str(eval(sys.argv[2])))\n";

}  // namespace

std::string xmlProblems(const std::string& path) {
    return output("xmllint --noout " + shellWord(path) + " 2>&1");
}

std::string xmlQuery(const std::string& path, const std::string& expression) {
    return output("/usr/bin/python3 -c " + shellWord(kQueryScript) + " " + shellWord(path) + " " +
                  shellWord(expression) + " 2>&1");
}

}  // namespace dtmrepo_test
