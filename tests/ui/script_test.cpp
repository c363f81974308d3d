#include <gtest/gtest.h>

#include "platform/ui_script.h"

namespace {

using platform::ui::Answer;
using platform::ui::ParseScript;
using platform::ui::PrintAnswer;
using platform::ui::ScriptEvent;
using Kind = platform::ui::ScriptEventKind;

ScriptEvent Only(const std::string& line) {
    auto script = ParseScript(line);
    EXPECT_TRUE(script.errors.empty()) << line << ": " << script.errors[0];
    EXPECT_EQ(script.events.size(), 1u) << line;
    return script.events.empty() ? ScriptEvent{} : script.events[0];
}

TEST(UiScript, ReadsEveryEvent) {
    struct Case {
        std::string line;
        Kind kind;
        int id;
        int value;
        int value2;
        std::string text;
    };
    const Case cases[] = {
        {"command 1053", Kind::Command, 1053, 0, 0, ""},
        {"menu 40010", Kind::Menu, 40010, 0, 0, ""},
        {"syscommand 107", Kind::SystemCommand, 107, 0, 0, ""},
        {"text 1004 \"C:\\\\My Files\\\\prog.vxo\"", Kind::Text, 1004, 0, 0,
         "C:\\My Files\\prog.vxo"},
        {"select 1024 13", Kind::Select, 1024, 13, 0, ""},
        {"check 1015 1", Kind::Check, 1015, 1, 0, ""},
        {"tab 1012 2", Kind::Tab, 1012, 2, 0, ""},
        {"key 0 27", Kind::Key, 0, 27, 0, ""},
        {"click 5", Kind::Click, 5, 0, 0, ""},
        {"size 801 400", Kind::Size, 0, 801, 400, ""},
        {"activate 0", Kind::Activate, 0, 0, 0, ""},
        {"device remove", Kind::Device, 0, 0, 0, ""},
        {"close", Kind::Close, 0, 0, 0, ""},
        {"pump", Kind::Pump, 0, 0, 0, ""},
        {"file \"/tmp/a b.vxo\"", Kind::File, 0, 0, 0, "/tmp/a b.vxo"},
        {"print \"/tmp/page.txt\"", Kind::Print, 0, 0, 0, "/tmp/page.txt"},
    };
    for (const auto& c : cases) {
        const ScriptEvent e = Only(c.line);
        EXPECT_EQ(e.kind, c.kind) << c.line;
        EXPECT_EQ(e.id, c.id) << c.line;
        EXPECT_EQ(e.value, c.value) << c.line;
        EXPECT_EQ(e.value2, c.value2) << c.line;
        EXPECT_EQ(e.text, c.text) << c.line;
    }
}

TEST(UiScript, ReadsAnswers) {
    EXPECT_EQ(Only("answer Yes").answer, Answer::Yes);
    EXPECT_EQ(Only("answer no").answer, Answer::No);
    EXPECT_EQ(Only("answer OK").answer, Answer::Ok);
    EXPECT_EQ(Only("answer cancel").answer, Answer::Cancel);
    EXPECT_TRUE(Only("file cancel").cancel);
    EXPECT_FALSE(Only("file \"cancel\"").cancel);  // a file named cancel
    EXPECT_EQ(Only("print cancel").print, PrintAnswer::Cancel);
    EXPECT_EQ(Only("print fail").print, PrintAnswer::Fail);
    EXPECT_EQ(Only("ip 1018 10.10.10.10").ip, 0x0A0A0A0Au);
    EXPECT_EQ(Only("ip 1053 255.0.0.1").ip, 0xFF000001u);
}

TEST(UiScript, ReadsEventsThatHappenDuringAPump) {
    const ScriptEvent e = Only("pump command 2");
    EXPECT_EQ(e.kind, Kind::Command);
    EXPECT_EQ(e.id, 2);
    EXPECT_TRUE(e.duringPump);
    EXPECT_TRUE(Only("pump device remove").duringPump);
    EXPECT_FALSE(Only("command 2").duringPump);
    EXPECT_FALSE(Only("pump").duringPump);
    for (const char* bad : {"pump answer Yes", "pump pump", "pump file cancel", "pump 3"}) {
        auto script = ParseScript(bad);
        EXPECT_TRUE(script.events.empty()) << bad;
        EXPECT_EQ(script.errors.size(), 1u) << bad;
    }
}

TEST(UiScript, KeepsOrderAndLineNumbersAndSkipsComments) {
    auto script = ParseScript("# a comment\n\n  command 1\r\n   # another\nanswer Yes\nclose");
    ASSERT_TRUE(script.errors.empty());
    ASSERT_EQ(script.events.size(), 3u);
    EXPECT_EQ(script.events[0].line, 3);
    EXPECT_EQ(script.events[1].line, 5);
    EXPECT_EQ(script.events[2].line, 6);
    EXPECT_TRUE(script.events[1].IsAnswer());
    EXPECT_FALSE(script.events[2].IsAnswer());
}

TEST(UiScript, ReportsBadLinesAndKeepsTheRest) {
    const char* bad[] = {
        "answer Maybe",    "answer",        "command",      "command x",        "command 1 2",
        "text 1004 plain", "select 1024",   "check 1015 2", "ip 1018 10.10.10", "ip 1018 1.2.3.256",
        "size -1 5",       "activate 2",    "device add",   "close now",        "file",
        "print later",     "\"command\" 1", "frobnicate 3", "text 1 \"open",
    };
    for (const char* line : bad) {
        auto script = ParseScript(std::string("command 7\n") + line + "\nclose\n");
        EXPECT_EQ(script.events.size(), 2u) << line;
        ASSERT_EQ(script.errors.size(), 1u) << line;
        EXPECT_EQ(script.errors[0].rfind("line 2: ", 0), 0u) << script.errors[0];
    }
}

}  // namespace
