#pragma once

// The quoting that UI scripts and transcripts share: texts are written as double-quoted
// C-style strings so that one line holds one act, whatever the text contains.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::ui {

// "text" with \r \n \t \" \\ escaped, other control bytes as three-digit octal (\033);
// bytes from 0x80 pass unchanged.
std::string QuoteText(std::string_view text);

struct Token {
    std::string text;     // unescaped when quoted
    bool quoted = false;  // written between double quotes
};

// Splits a line into blank-separated words and quoted strings. Nothing when a quote is not
// closed or an escape is unknown.
std::optional<std::vector<Token>> SplitTokens(std::string_view line);

}  // namespace platform::ui
