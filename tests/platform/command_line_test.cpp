#include "platform/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramArguments, StripsTheProgramNameByTheWindowsRule) {
    const struct {
        const char* raw;
        const char* arguments;
    } cases[] = {
        {"vexim.exe 1 prog COM1:", "1 prog COM1:"},
        {"\"C:\\Program Files\\Fennick.exe\"  \"D:\\a b\\x.zef\"", "\"D:\\a b\\x.zef\""},
        {"\"C:\\odd\"name.exe rest", "name.exe rest"},
        {"tamsel.exe", ""},
        {"\"unclosed", ""},
        {"a.exe\t\t-x \\\"q\\\"", "-x \\\"q\\\""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::StripProgramName(c.raw), c.arguments) << c.raw;
}

TEST(ProgramArguments, JoinsArgumentsQuotingThoseWithBlanks) {
    char program[] = "fennick";
    char plain[] = "x.zef";
    char blank[] = "my project.zef";
    char empty[] = "";
    char* argv[] = {program, plain, blank, empty, nullptr};
    EXPECT_EQ(platform::ProgramArguments(4, argv), "x.zef \"my project.zef\" \"\"");
    EXPECT_EQ(platform::ProgramArguments(1, argv), "");
}

// A file name may hold a line break or another control character: the programs' grammars end an
// argument there, so the argument is quoted as one with a blank is.
TEST(ProgramArguments, QuotesArgumentsWithControlCharacters) {
    char program[] = "vexim";
    char lineBreak[] = "plant\nline.vxo";
    char tab[] = "a\tb";
    char escape[] = "x\x1by";
    char high[] = "caf\xc3\xa9";
    char* argv[] = {program, lineBreak, tab, escape, high, nullptr};
    EXPECT_EQ(platform::ProgramArguments(5, argv),
              "\"plant\nline.vxo\" \"a\tb\" \"x\x1by\" caf\xc3\xa9");
}

}  // namespace
