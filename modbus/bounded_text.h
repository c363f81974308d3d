#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

// Copies text into a fixed field, cut to fit and always terminated: the streams keep their
// last error text in such a field.
template <size_t N>
void CopyBoundedText(char (&field)[N], std::string_view text) {
    static_assert(N > 0);
    const size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}
