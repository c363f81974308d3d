#include "platform/ui_quote.h"

namespace platform::ui {

std::string QuoteText(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    out += '\\';
                    out += static_cast<char>('0' + (byte >> 6));
                    out += static_cast<char>('0' + ((byte >> 3) & 7));
                    out += static_cast<char>('0' + (byte & 7));
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

// Reads the quoted string that starts at line[pos] (the opening quote); pos ends after the
// closing quote.
std::optional<std::string> ReadQuoted(std::string_view line, size_t& pos) {
    std::string text;
    ++pos;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"') {
            return text;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (pos >= line.size()) {
            return std::nullopt;
        }
        const char e = line[pos++];
        switch (e) {
            case 'r':
                text += '\r';
                break;
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case '"':
                text += '"';
                break;
            case '\\':
                text += '\\';
                break;
            default: {
                if (!IsOctal(e) || pos + 1 >= line.size() || !IsOctal(line[pos]) ||
                    !IsOctal(line[pos + 1])) {
                    return std::nullopt;
                }
                const int value = (e - '0') * 64 + (line[pos] - '0') * 8 + (line[pos + 1] - '0');
                if (value > 0xFF) {
                    return std::nullopt;
                }
                text += static_cast<char>(value);
                pos += 2;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::vector<Token>> SplitTokens(std::string_view line) {
    std::vector<Token> tokens;
    size_t pos = 0;
    while (true) {
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        if (pos >= line.size()) {
            return tokens;
        }
        if (line[pos] == '"') {
            auto text = ReadQuoted(line, pos);
            if (!text) {
                return std::nullopt;
            }
            tokens.push_back({std::move(*text), true});
            continue;
        }
        const size_t start = pos;
        while (pos < line.size() && !IsBlank(line[pos]) && line[pos] != '"') {
            ++pos;
        }
        tokens.push_back({std::string(line.substr(start, pos - start)), false});
    }
}

}  // namespace platform::ui
