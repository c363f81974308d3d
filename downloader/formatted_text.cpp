#include "downloader/formatted_text.h"

#include <cstdio>
#include <vector>

std::string FormattedText(std::size_t limit, const char* format, va_list arguments) {
    std::vector<char> text(limit + 1);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    return text.data();
}

std::string Formatted(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string text = FormattedText(kShownTextLimit, format, arguments);
    va_end(arguments);
    return text;
}
