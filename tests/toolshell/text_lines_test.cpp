#include "toolshell/text_lines.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> readAllLines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    std::string line;
    while (toolshell::readTextLine(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

TEST(ReadTextLine, DropsLfAndCrLfLineEnds) {
    EXPECT_EQ(readAllLines("one\r\ntwo\nthree\r\n"),
              (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(readAllLines("\r\n\n"), (std::vector<std::string>{"", ""}));
    // A lone CR inside a line is text, not a line end.
    EXPECT_EQ(readAllLines("a\rb\r\n"), (std::vector<std::string>{"a\rb"}));
}

TEST(ReadTextLine, KeepsALastLineWithoutLineEnd) {
    EXPECT_EQ(readAllLines("one\r\nlast"), (std::vector<std::string>{"one", "last"}));
    EXPECT_TRUE(readAllLines("").empty());
}

TEST(ReadTextLine, ReadsAnyLengthWhole) {
    const std::string longLine(300000, 'z');
    EXPECT_EQ(readAllLines(longLine + "\r\nnext\r\n"),
              (std::vector<std::string>{longLine, "next"}));
}

TEST(WriteTextLine, EndsEachLineWithCrLf) {
    std::ostringstream out;
    toolshell::writeTextLine(out, "first");
    toolshell::writeTextLine(out, "");
    toolshell::writeTextLine(out, std::string("a\0b", 3));
    EXPECT_EQ(out.str(), std::string("first\r\n\r\na\0b\r\n", 14));
}

TEST(PrintZone, PadsToTheNextMultipleOfFourteen) {
    struct Row {
        std::size_t column;
        std::size_t blanks;
    };
    for (const Row row :
         {Row{0, 14}, Row{1, 13}, Row{13, 1}, Row{14, 14}, Row{15, 13}, Row{27, 1}, Row{28, 14}}) {
        SCOPED_TRACE(row.column);
        EXPECT_EQ(toolshell::printZonePadding(row.column), std::string(row.blanks, ' '));
    }
    std::string line = "Command = 0307";
    toolshell::padToNextPrintZone(line);
    EXPECT_EQ(line.size(), 28u);
    line += "x";
    toolshell::padToNextPrintZone(line);
    EXPECT_EQ(line.size(), 42u);
}

}  // namespace
