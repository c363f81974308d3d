#include "platform/ui_resource_script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace platform::ui {

namespace {

struct RcToken {
    enum Kind { Word, String, Punct } kind;
    std::string text;
};

// Resource-script strings double a quote to write one; C escapes are understood as well.
std::vector<RcToken> Tokenize(std::string_view text) {
    std::vector<RcToken> tokens;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (text.compare(i, 2, "//") == 0) {
            i = text.find('\n', i);
            i = i == std::string_view::npos ? text.size() : i;
        } else if (text.compare(i, 2, "/*") == 0) {
            i = text.find("*/", i + 2);
            i = i == std::string_view::npos ? text.size() : i + 2;
        } else if (c == '#') {
            // Preprocessor lines are read separately (ParseDefines).
            i = text.find('\n', i);
            i = i == std::string_view::npos ? text.size() : i;
        } else if (c == '"') {
            std::string value;
            ++i;
            while (i < text.size()) {
                if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                    value += '"';
                    i += 2;
                } else if (text[i] == '"') {
                    ++i;
                    break;
                } else if (text[i] == '\\' && i + 1 < text.size()) {
                    const char e = text[i + 1];
                    value += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
                    i += 2;
                } else {
                    value += text[i++];
                }
            }
            tokens.push_back({RcToken::String, value});
        } else if (c == ',' || c == '|' || c == '{' || c == '}' || c == '(' || c == ')') {
            tokens.push_back({RcToken::Punct, std::string(1, c)});
            ++i;
        } else {
            const size_t start = i;
            while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) &&
                   std::string_view(",|{}()\"").find(text[i]) == std::string_view::npos) {
                ++i;
            }
            tokens.push_back({RcToken::Word, std::string(text.substr(start, i - start))});
        }
    }
    return tokens;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::optional<int> ParseNumber(std::string_view word) {
    bool negative = !word.empty() && word[0] == '-';
    if (negative) {
        word.remove_prefix(1);
    }
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word.remove_prefix(2);
    }
    if (!word.empty() && (word.back() == 'L' || word.back() == 'l')) {
        word.remove_suffix(1);
    }
    long value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
    if (word.empty() || error != std::errc() || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

class Parser {
  public:
    Parser(std::string_view text, std::map<std::string, int> symbols)
        : tokens_(Tokenize(text)), symbols_(std::move(symbols)) {
        symbols_.emplace("IDOK", kIdOk);
        symbols_.emplace("IDCANCEL", kIdCancel);
        symbols_.emplace("IDC_STATIC", kIdStatic);
        for (auto& [name, value] : ParseDefines(text)) {
            symbols_[name] = value;
        }
    }

    ResourceScript Run() {
        while (!AtEnd()) {
            TopLevelStatement();
        }
        return std::move(result_);
    }

  private:
    bool AtEnd() const { return pos_ >= tokens_.size(); }
    const RcToken& Peek() const { return tokens_[pos_]; }
    bool PeekWord(std::string_view upper) const {
        return !AtEnd() && Peek().kind == RcToken::Word && Upper(Peek().text) == upper;
    }
    bool PeekBegin() const {
        return PeekWord("BEGIN") ||
               (!AtEnd() && Peek().kind == RcToken::Punct && Peek().text == "{");
    }
    bool PeekEnd() const {
        return PeekWord("END") || (!AtEnd() && Peek().kind == RcToken::Punct && Peek().text == "}");
    }
    bool SkipComma() {
        if (!AtEnd() && Peek().kind == RcToken::Punct && Peek().text == ",") {
            ++pos_;
            return true;
        }
        return false;
    }
    void Error(const std::string& what) { result_.errors.push_back(what); }

    std::optional<int> Value(const RcToken& token) const {
        if (token.kind != RcToken::Word) {
            return std::nullopt;
        }
        if (auto number = ParseNumber(token.text)) {
            return number;
        }
        auto it = symbols_.find(token.text);
        return it == symbols_.end() ? std::nullopt : std::optional<int>(it->second);
    }

    // The fields of a statement, separated by commas; a field is one string or number, or
    // words joined by '|' (a style). Two values with no separator between them mean that the
    // next statement has begun.
    std::vector<std::vector<RcToken>> Fields() {
        std::vector<std::vector<RcToken>> fields(1);
        auto isPunct = [](const RcToken& t, const char* p) {
            return t.kind == RcToken::Punct && t.text == p;
        };
        auto isNot = [](const RcToken& t) {
            return t.kind == RcToken::Word && Upper(t.text) == "NOT";
        };
        while (!AtEnd()) {
            const RcToken& token = Peek();
            if (isPunct(token, ",")) {
                ++pos_;
                fields.emplace_back();
                continue;
            }
            if (isPunct(token, "{") || isPunct(token, "}")) {
                break;
            }
            const auto& field = fields.back();
            if (!field.empty() && !isPunct(token, "|") && !isPunct(field.back(), "|") &&
                !isNot(field.back())) {
                break;
            }
            fields.back().push_back(token);
            ++pos_;
        }
        return fields;
    }

    void SkipBlock() {
        int depth = 0;
        while (!AtEnd()) {
            if (PeekBegin()) {
                ++depth;
            } else if (PeekEnd()) {
                --depth;
                if (depth <= 0) {
                    ++pos_;
                    return;
                }
            }
            ++pos_;
        }
    }

    void TopLevelStatement() {
        const RcToken name = Peek();
        ++pos_;
        const std::string upperName = Upper(name.text);
        if (upperName == "LANGUAGE") {
            Fields();
            return;
        }
        if (upperName == "STRINGTABLE") {
            SkipResource();
            return;
        }
        if (AtEnd()) {
            return;
        }
        const std::string type = Upper(Peek().text);
        ++pos_;
        if (type == "DIALOG" || type == "DIALOGEX") {
            Dialog(name);
        } else if (type == "MENU" || type == "MENUEX") {
            MenuResource(name);
        } else {
            SkipResource();
        }
    }

    // Other resources end with their file name (ICON, BITMAP, ...) or their block.
    void SkipResource() {
        while (!AtEnd()) {
            if (Peek().kind == RcToken::String) {
                ++pos_;
                return;
            }
            if (PeekBegin()) {
                SkipBlock();
                return;
            }
            ++pos_;
        }
    }

    void Dialog(const RcToken& name) {
        DialogSpec dialog;
        if (auto id = Value(name)) {
            dialog.id = *id;
        } else {
            Error("dialog " + name.text + " has no number");
        }
        Fields();  // x, y, width, height
        while (!AtEnd() && !PeekBegin()) {
            const std::string option = Upper(Peek().text);
            ++pos_;
            if (option == "CAPTION" && !AtEnd() && Peek().kind == RcToken::String) {
                dialog.title = Peek().text;
                ++pos_;
            } else if (option == "MENU" && !AtEnd()) {
                dialog.menuId = Value(Peek()).value_or(0);
                ++pos_;
            } else {
                Fields();  // STYLE, EXSTYLE, FONT, CLASS, ...: not compared
            }
        }
        if (AtEnd()) {
            Error("dialog " + std::to_string(dialog.id) + " has no body");
            return;
        }
        ++pos_;
        while (!AtEnd() && !PeekEnd()) {
            Control(dialog);
        }
        if (!AtEnd()) {
            ++pos_;
        }
        result_.dialogs.push_back(std::move(dialog));
    }

    static bool HasStyle(const std::vector<RcToken>& field, std::string_view style) {
        bool negated = false;
        for (const auto& token : field) {
            if (token.kind == RcToken::Word && Upper(token.text) == "NOT") {
                negated = true;
                continue;
            }
            if (token.kind == RcToken::Word && token.text == style && !negated) {
                return true;
            }
            negated = false;
        }
        return false;
    }

    static std::optional<ControlKind> KindOfClass(const std::string& cls,
                                                  const std::vector<RcToken>& style) {
        const std::string c = Upper(cls);
        if (c == "BUTTON") {
            if (HasStyle(style, "BS_AUTOCHECKBOX") || HasStyle(style, "BS_CHECKBOX")) {
                return ControlKind::Check;
            }
            if (HasStyle(style, "BS_AUTORADIOBUTTON") || HasStyle(style, "BS_RADIOBUTTON")) {
                return ControlKind::Radio;
            }
            return HasStyle(style, "BS_GROUPBOX") ? ControlKind::Group : ControlKind::Button;
        }
        if (c == "STATIC") {
            return HasStyle(style, "SS_ICON") ? ControlKind::Icon : ControlKind::Static;
        }
        if (c == "EDIT") {
            return ControlKind::Edit;
        }
        if (c == "COMBOBOX") {
            return HasStyle(style, "CBS_DROPDOWNLIST") ? ControlKind::ComboList
                                                       : ControlKind::Combo;
        }
        if (c == "LISTBOX") {
            return ControlKind::ListBox;
        }
        if (c == "SYSLISTVIEW32" || c == "WC_LISTVIEW") {
            return ControlKind::ListView;
        }
        if (c == "SYSTABCONTROL32" || c == "WC_TABCONTROL") {
            return ControlKind::Tab;
        }
        if (c == "MSCTLS_PROGRESS32" || c == "PROGRESS_CLASS") {
            return ControlKind::Progress;
        }
        if (c == "SYSIPADDRESS32" || c == "WC_IPADDRESS") {
            return ControlKind::IpAddress;
        }
        if (c == "SYSTREEVIEW32" || c == "WC_TREEVIEW") {
            return ControlKind::TreeView;
        }
        return std::nullopt;
    }

    void Control(DialogSpec& dialog) {
        const std::string keyword = Upper(Peek().text);
        const std::string where = "dialog " + std::to_string(dialog.id) + ", " + keyword;
        ++pos_;
        static const std::map<std::string, ControlKind> kWithText = {
            {"LTEXT", ControlKind::Static},
            {"CTEXT", ControlKind::Static},
            {"RTEXT", ControlKind::Static},
            {"PUSHBUTTON", ControlKind::Button},
            {"DEFPUSHBUTTON", ControlKind::Button},
            {"AUTOCHECKBOX", ControlKind::Check},
            {"CHECKBOX", ControlKind::Check},
            {"AUTORADIOBUTTON", ControlKind::Radio},
            {"RADIOBUTTON", ControlKind::Radio},
            {"GROUPBOX", ControlKind::Group},
            {"ICON", ControlKind::Icon},
        };
        static const std::map<std::string, ControlKind> kWithoutText = {
            {"EDITTEXT", ControlKind::Edit},
            {"COMBOBOX", ControlKind::Combo},
            {"LISTBOX", ControlKind::ListBox},
        };
        ControlSpec control;
        if (auto it = kWithText.find(keyword); it != kWithText.end()) {
            auto fields = Fields();
            if (fields.size() < 6 || fields[0].size() != 1 || fields[1].size() != 1) {
                Error(where + ": cannot read it");
                return;
            }
            control.kind = it->second;
            control.text = fields[0][0].text;
            control.id = Value(fields[1][0]).value_or(kIdStatic);
            if (!Value(fields[1][0])) {
                Error(where + ": unknown id " + fields[1][0].text);
            }
        } else if (auto it2 = kWithoutText.find(keyword); it2 != kWithoutText.end()) {
            auto fields = Fields();
            if (fields.size() < 5 || fields[0].size() != 1 || !Value(fields[0][0])) {
                Error(where + ": cannot read it");
                return;
            }
            control.kind = it2->second;
            control.id = *Value(fields[0][0]);
            if (control.kind == ControlKind::Combo && fields.size() > 5 &&
                HasStyle(fields[5], "CBS_DROPDOWNLIST")) {
                control.kind = ControlKind::ComboList;
            }
        } else if (keyword == "CONTROL") {
            auto fields = Fields();
            if (fields.size() < 8 || fields[0].size() != 1 || fields[1].size() != 1 ||
                fields[2].size() != 1) {
                Error(where + ": cannot read it");
                return;
            }
            control.text = fields[0][0].text;
            control.id = Value(fields[1][0]).value_or(kIdStatic);
            auto kind = KindOfClass(fields[2][0].text, fields[3]);
            if (!kind) {
                Error(where + ": unknown class " + fields[2][0].text);
                return;
            }
            control.kind = *kind;
        } else {
            Error(where + ": unknown control statement");
            Fields();
            return;
        }
        dialog.controls.push_back(std::move(control));
    }

    void MenuResource(const RcToken& name) {
        MenuSpec menu;
        menu.id = Value(name).value_or(0);
        if (!PeekBegin()) {
            Error("menu " + name.text + " has no body");
            return;
        }
        ++pos_;
        MenuBody(menu, 0);
        result_.menus.push_back(std::move(menu));
    }

    void MenuBody(MenuSpec& menu, int depth) {
        while (!AtEnd() && !PeekEnd()) {
            const std::string keyword = Upper(Peek().text);
            ++pos_;
            MenuEntrySpec entry;
            entry.depth = depth;
            if (keyword == "POPUP") {
                auto fields = Fields();
                entry.popup = true;
                entry.text = !fields[0].empty() ? fields[0][0].text : std::string();
                menu.entries.push_back(entry);
                if (PeekBegin()) {
                    ++pos_;
                    MenuBody(menu, depth + 1);
                }
            } else if (keyword == "MENUITEM") {
                if (PeekWord("SEPARATOR")) {
                    ++pos_;
                    entry.separator = true;
                } else {
                    auto fields = Fields();
                    if (fields.size() < 2 || fields[0].empty() || fields[1].empty()) {
                        Error("menu " + std::to_string(menu.id) + ": cannot read an item");
                        continue;
                    }
                    entry.text = fields[0][0].text;
                    entry.command = Value(fields[1][0]).value_or(0);
                }
                menu.entries.push_back(entry);
            } else {
                Error("menu " + std::to_string(menu.id) + ": unknown statement " + keyword);
            }
        }
        if (!AtEnd()) {
            ++pos_;
        }
    }

    std::vector<RcToken> tokens_;
    size_t pos_ = 0;
    std::map<std::string, int> symbols_;
    ResourceScript result_;
};

}  // namespace

std::map<std::string, int> ParseDefines(std::string_view text) {
    std::map<std::string, int> defines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        end = end == std::string_view::npos ? text.size() : end;
        const std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        const size_t hash = line.find_first_not_of(" \t");
        if (hash == std::string_view::npos || line[hash] != '#') {
            continue;
        }
        const auto tokens = Tokenize(line.substr(hash + 1));
        if (tokens.size() >= 3 && tokens[0].text == "define") {
            if (auto value = ParseNumber(tokens[2].text)) {
                defines[tokens[1].text] = *value;
            }
        }
    }
    return defines;
}

ResourceScript ParseResourceScript(std::string_view text,
                                   const std::map<std::string, int>& symbols) {
    return Parser(text, symbols).Run();
}

}  // namespace platform::ui
