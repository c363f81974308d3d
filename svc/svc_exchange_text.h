#pragma once

// Line-level helpers for the Control Expert exchange files: every line ends in CR LF, and text
// inside comments and structured text has the characters that XML reserves escaped.

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

namespace svc {

inline constexpr std::string_view svcXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";

void putLine(std::ostream& out, std::string_view text);

// Writes a block of lines separated by LF, each ended in CR LF. A block ending in LF has no
// empty last line.
void putLines(std::ostream& out, std::string_view block);

// Hands each line of a block of lines separated by LF to `take`, without its LF. A block ending
// in LF has no empty last line.
void forEachBlockLine(std::string_view block, const std::function<void(std::string_view)>& take);

// The block with `tabs` tab characters in front of each line, every line ended in LF.
std::string indentedByTabs(std::string_view block, int tabs);

// "&", "<" and ">" as "&amp;", "&lt;" and "&gt;".
std::string xmlEscaped(std::string_view text);

// Every occurrence of `from` in `text` replaced by `to`, scanning once from left to right.
std::string replacedEverywhere(std::string_view text, std::string_view from, std::string_view to);

// The four lines that open a structured-text exchange file.
void putStExchangeHead(std::ostream& out);

}  // namespace svc
