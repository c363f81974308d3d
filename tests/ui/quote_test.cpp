#include <gtest/gtest.h>

#include "platform/ui_quote.h"

namespace {

using platform::ui::QuoteText;
using platform::ui::SplitTokens;

struct QuoteCase {
    std::string text;
    std::string quoted;
};

TEST(UiQuote, WritesCStyleStrings) {
    const QuoteCase cases[] = {
        {"", "\"\""},
        {"Too many parameters: d", "\"Too many parameters: d\""},
        {"a\r\nb", "\"a\\r\\nb\""},
        {"tab\there", "\"tab\\there\""},
        {"Unrecognized switch: \"-x\"\n", "\"Unrecognized switch: \\\"-x\\\"\\n\""},
        {"c:\\temp\\vexim.log", "\"c:\\\\temp\\\\vexim.log\""},
        {std::string("nul\0bell\a", 9), "\"nul\\000bell\\007\""},
        {"\x1b\x7f", "\"\\033\\177\""},
        {"caf\xc3\xa9", "\"caf\xc3\xa9\""},  // bytes above 127 unchanged
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuoteText(c.text), c.quoted) << c.quoted;
    }
}

TEST(UiQuote, ReadingBackGivesTheTextAgain) {
    std::string every;
    for (int b = 0; b < 256; ++b) {
        every += static_cast<char>(b);
    }
    for (const std::string& text : {every, std::string("\\\"\\"), std::string("\n\n")}) {
        auto tokens = SplitTokens("word " + QuoteText(text) + " 12");
        ASSERT_TRUE(tokens.has_value());
        ASSERT_EQ(tokens->size(), 3u);
        EXPECT_EQ((*tokens)[1].text, text);
        EXPECT_TRUE((*tokens)[1].quoted);
        EXPECT_FALSE((*tokens)[0].quoted);
    }
}

TEST(UiQuote, SplitsWordsAndStrings) {
    auto tokens = SplitTokens("  msgbox \"VEXIM Error\"\t\"x y\" -> OK  ");
    ASSERT_TRUE(tokens.has_value());
    std::vector<std::string> texts;
    for (const auto& t : *tokens) {
        texts.push_back(t.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"msgbox", "VEXIM Error", "x y", "->", "OK"}));
    // A quote ends a word without a blank.
    tokens = SplitTokens("file\"a\"");
    ASSERT_TRUE(tokens.has_value());
    ASSERT_EQ(tokens->size(), 2u);
    EXPECT_EQ((*tokens)[1].text, "a");
}

TEST(UiQuote, RefusesBrokenQuoting) {
    for (const char* line :
         {"\"open", "\"bad \\q escape\"", "\"ends in \\", "\"\\47\"", "\"\\777\""}) {
        EXPECT_FALSE(SplitTokens(line).has_value()) << line;
    }
}

}  // namespace
