#include "platform/posix/regedit4.h"

#include <cstdint>
#include <cstdio>
#include <unordered_map>

namespace platform::regedit4 {

namespace {

constexpr const char* kHeader = "REGEDIT4";
constexpr size_t kHexLineWidth = 76;

char Fold(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when `text` begins with `prefix`, letter case aside.
bool SamePrefix(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (Fold(text[i]) != Fold(prefix[i]))
            return false;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r'))
        --e;
    return s.substr(b, e - b);
}

// Reads a quoted text starting at s[pos] == '"'; `pos` ends after the closing quote.
bool ParseQuoted(const std::string& s, size_t& pos, std::string& out) {
    if (pos >= s.size() || s[pos] != '"')
        return false;
    out.clear();
    for (++pos; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c == '\\') {
            if (++pos >= s.size())
                return false;
            out += s[pos];
        } else {
            out += c;
        }
    }
    return false;
}

bool ParseHexBytes(const std::string& s, std::vector<uint8_t>& out) {
    out.clear();
    size_t pos = 0;
    while (pos < s.size()) {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
            ++pos;
        if (pos >= s.size())
            break;
        if (pos + 1 >= s.size())
            return false;
        const int hi = HexDigit(s[pos]), lo = HexDigit(s[pos + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<uint8_t>(hi * 16 + lo));
        pos += 2;
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
            ++pos;
        if (pos < s.size()) {
            if (s[pos] != ',')
                return false;
            ++pos;
        }
    }
    return true;
}

// The data part after '=': "text", dword:, hex:, hex(N):.
bool ParseData(const std::string& s, RegValue& value) {
    if (!s.empty() && s[0] == '"') {
        size_t pos = 0;
        std::string text;
        if (!ParseQuoted(s, pos, text) || pos != s.size())
            return false;
        value.type = RegType::String;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
        return true;
    }
    if (s.rfind("dword:", 0) == 0) {
        const std::string digits = s.substr(6);
        if (digits.size() != 8)
            return false;
        uint32_t v = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0)
                return false;
            v = v * 16 + static_cast<uint32_t>(d);
        }
        value.type = RegType::Dword;
        value.data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                      static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
        return true;
    }
    if (s.rfind("hex:", 0) == 0) {
        value.type = RegType::Binary;
        return ParseHexBytes(s.substr(4), value.data);
    }
    if (s.rfind("hex(", 0) == 0) {
        const size_t close = s.find("):");
        if (close == std::string::npos || close == 4)
            return false;
        uint32_t type = 0;
        for (size_t i = 4; i < close; ++i) {
            const int d = HexDigit(s[i]);
            if (d < 0 || type > 0x0FFFFFFF)
                return false;
            type = type * 16 + static_cast<uint32_t>(d);
        }
        value.type = static_cast<RegType>(type);
        return ParseHexBytes(s.substr(close + 2), value.data);
    }
    return false;
}

// The document as it is being parsed, with its keys and each key's values found by name. A
// store file may hold tens of thousands of sections; looking each one up along the list read so
// far made the parse quadratic. A deleted value leaves a gap that the end of the parse closes,
// so the indexes stay valid while lines are read.
class Builder {
  public:
    explicit Builder(Document& doc) : doc_(doc) {}

    void EnterKey(const std::string& path) {
        const auto [at, added] = keys_.try_emplace(Folded(path), doc_.keys.size());
        if (added)
            doc_.keys.push_back({path, {}});
        current_ = at->second;
    }
    bool InKey() const { return current_ != kNone; }

    void SetOrDelete(const std::string& name, RegValue* value) {
        std::vector<NamedValue>& values = doc_.keys[current_].values;
        // One index for the values of every key: the key's number, a NUL, the folded name.
        std::string id = std::to_string(current_);
        id += '\0';
        id += Folded(name);
        const auto found = values_.find(id);
        if (found != values_.end()) {
            if (value) {
                values[found->second].value = std::move(*value);
            } else {
                std::vector<bool>& gone = gone_[current_];
                gone.resize(values.size());
                gone[found->second] = true;
                values_.erase(found);
            }
            return;
        }
        if (value) {
            values_.emplace(std::move(id), values.size());
            values.push_back({name, std::move(*value)});
        }
    }

    // Closes the gaps of deleted values, keeping the order of the others.
    void Finish() {
        for (auto& [k, gone] : gone_) {
            std::vector<NamedValue>& values = doc_.keys[k].values;
            size_t kept = 0;
            for (size_t i = 0; i < values.size(); ++i) {
                if (i < gone.size() && gone[i])
                    continue;
                if (kept != i)
                    values[kept] = std::move(values[i]);
                ++kept;
            }
            values.resize(kept);
        }
    }

  private:
    static constexpr size_t kNone = SIZE_MAX;
    Document& doc_;
    std::unordered_map<std::string, size_t> keys_;        // folded path -> key
    std::unordered_map<std::string, size_t> values_;      // key, folded name -> value of that key
    std::unordered_map<size_t, std::vector<bool>> gone_;  // keys with deleted values
    size_t current_ = kNone;
};

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// A REG_SZ is written as "text" only when that gives back exactly its bytes: one NUL at the
// end and no control characters, which would break the line format.
bool WritableAsText(const RegValue& value) {
    if (value.type != RegType::String || value.data.empty() || value.data.back() != 0)
        return false;
    for (size_t i = 0; i + 1 < value.data.size(); ++i) {
        if (value.data[i] < 0x20 || value.data[i] == 0x7F)
            return false;
    }
    return true;
}

void AppendHex(std::string& out, const std::vector<uint8_t>& data) {
    size_t lineLength =
        out.size() - (out.rfind('\n') == std::string::npos ? 0 : out.rfind('\n') + 1);
    for (size_t i = 0; i < data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        out += byte;
        lineLength += 2;
        if (i + 1 < data.size()) {
            out += ',';
            ++lineLength;
            if (lineLength >= kHexLineWidth) {
                out += "\\\n  ";
                lineLength = 2;
            }
        }
    }
}

void AppendValue(std::string& out, const NamedValue& v) {
    out += v.name.empty() ? std::string("@") : Quote(v.name);
    out += '=';
    const RegValue& value = v.value;
    if (WritableAsText(value)) {
        out += Quote(std::string(value.data.begin(), value.data.end() - 1));
    } else if (value.type == RegType::Dword && value.data.size() == 4) {
        char text[16];
        const uint32_t n = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                           (static_cast<uint32_t>(value.data[3]) << 24);
        std::snprintf(text, sizeof text, "dword:%08x", n);
        out += text;
    } else if (value.type == RegType::Binary) {
        out += "hex:";
        AppendHex(out, value.data);
    } else {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
        out += prefix;
        AppendHex(out, value.data);
    }
    out += '\n';
}

}  // namespace

std::string Folded(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        c = Fold(c);
    return folded;
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && SamePrefix(a, b);
}

Key* FindKey(Document& doc, const std::string& path) {
    for (Key& key : doc.keys) {
        if (SameName(key.path, path))
            return &key;
    }
    return nullptr;
}

bool KeyExists(const Document& doc, const std::string& path) {
    for (const Key& key : doc.keys) {
        if (SameName(key.path, path))
            return true;
        if (key.path.size() > path.size() && key.path[path.size()] == '\\' &&
            SamePrefix(key.path, path)) {
            return true;
        }
    }
    return false;
}

NamedValue* FindValue(Key& key, const std::string& name) {
    for (NamedValue& v : key.values) {
        if (SameName(v.name, name))
            return &v;
    }
    return nullptr;
}

bool Parse(const std::string& text, Document& doc, std::string& error) {
    doc.keys.clear();
    Builder built(doc);
    bool sawHeader = false;
    size_t pos = 0, lineNumber = 0;
    while (pos < text.size()) {
        // One logical line: a trailing backslash continues a hex list on the next line.
        std::string line;
        const size_t firstLine = lineNumber + 1;
        for (;;) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string part = Trim(text.substr(pos, end - pos));
            pos = end + 1;
            ++lineNumber;
            // Strings always end in a quote and key lines in ']', so only hex lists continue.
            const bool more = !part.empty() && part.back() == '\\' && part.front() != '[';
            if (more)
                part.pop_back();
            line += part;
            if (!more || pos >= text.size())
                break;
        }
        if (line.empty() || line[0] == ';')
            continue;
        error = "line " + std::to_string(firstLine) + ": ";
        if (!sawHeader) {
            if (line != kHeader) {
                error += "not a REGEDIT4 file";
                return false;
            }
            sawHeader = true;
            continue;
        }
        if (line[0] == '[') {
            if (line.back() != ']' || line.size() < 3) {
                error += "bad key line";
                return false;
            }
            const std::string path = line.substr(1, line.size() - 2);
            if (path[0] == '-') {
                error += "key deletion is not kept in a store file";
                return false;
            }
            built.EnterKey(path);
            continue;
        }
        if (!built.InKey()) {
            error += "value outside a key";
            return false;
        }
        std::string name;
        size_t at = 0;
        if (line[0] == '@') {
            at = 1;
        } else if (!ParseQuoted(line, at, name)) {
            error += "bad value name";
            return false;
        }
        if (at >= line.size() || line[at] != '=') {
            error += "missing '='";
            return false;
        }
        const std::string data = Trim(line.substr(at + 1));
        if (data == "-") {
            built.SetOrDelete(name, nullptr);
            continue;
        }
        RegValue value;
        if (!ParseData(data, value)) {
            error += "bad value data";
            return false;
        }
        built.SetOrDelete(name, &value);
    }
    built.Finish();
    if (!sawHeader && !doc.keys.empty()) {
        error = "not a REGEDIT4 file";
        return false;
    }
    error.clear();
    return true;
}

std::string Format(const Document& doc) {
    std::string out = std::string(kHeader) + "\n";
    for (const Key& key : doc.keys) {
        out += "\n[" + key.path + "]\n";
        for (const NamedValue& v : key.values)
            AppendValue(out, v);
    }
    return out;
}

}  // namespace platform::regedit4
