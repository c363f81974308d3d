#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// The most a box or the status line shows of one text; what is longer is cut there.
inline constexpr std::size_t kShownTextLimit = 1023;

// `format` filled in printf-style, cut at `limit` characters.
std::string FormattedText(std::size_t limit, const char* format, va_list arguments);

// A formatted text of at most kShownTextLimit characters, for the loaders' questions and
// messages.
std::string Formatted(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
