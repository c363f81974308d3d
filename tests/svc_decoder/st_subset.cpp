#include "st_subset.h"

#include <cctype>
#include <stdexcept>

namespace svc::testing {
namespace {

std::string trimmed(const std::string& text) {
    std::size_t from = 0;
    std::size_t to = text.size();
    while (from < to && std::isspace(static_cast<unsigned char>(text[from]))) {
        ++from;
    }
    while (to > from && std::isspace(static_cast<unsigned char>(text[to - 1]))) {
        --to;
    }
    return text.substr(from, to - from);
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// Lower case outside string literals: the language's names are not case-sensitive.
std::string folded(const std::string& line) {
    std::string result = line;
    bool inText = false;
    for (char& c : result) {
        if (c == '\'') {
            inText = !inText;
        } else if (!inText) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return result;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

StProgram::StProgram(std::string text) {
    replaceAll(text, "&gt;", ">");
    replaceAll(text, "&lt;", "<");
    replaceAll(text, "&amp;", "&");
    // Comments go first, those over several lines included.
    std::string code;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, 2, "(*") == 0) {
            const std::size_t end = text.find("*)", at + 2);
            at = end == std::string::npos ? text.size() : end + 2;
            continue;
        }
        code += text[at++];
    }
    std::size_t start = 0;
    while (start <= code.size()) {
        std::size_t end = code.find('\n', start);
        if (end == std::string::npos) {
            end = code.size();
        }
        const std::string line = folded(trimmed(code.substr(start, end - start)));
        if (!line.empty()) {
            lines_.push_back(line);
        }
        start = end + 1;
    }
}

// ---------------------------------------------------------------------------------------------
// Expressions

class StProgram::Expression {
  public:
    Expression(StProgram& program, const std::string& text) : program_(program), text_(text) {}

    Value parse() {
        Value value = orExpression();
        skipBlanks();
        if (at_ != text_.size()) {
            fail("unexpected text");
        }
        return value;
    }

    // A variable reference as a canonical key: indexes evaluated, "a.b[3].c".
    std::string reference() {
        std::string key = name();
        while (true) {
            skipBlanks();
            if (peek() == '[') {
                ++at_;
                const Value index = orExpression();
                expect(']');
                key += "[" + std::to_string(index.number) + "]";
            } else if (peek() == '.' && at_ + 1 < text_.size() &&
                       std::isalpha(static_cast<unsigned char>(text_[at_ + 1]))) {
                ++at_;
                key += "." + name();
            } else {
                return key;
            }
        }
    }

    bool atEnd() {
        skipBlanks();
        return at_ == text_.size();
    }

  private:
    [[noreturn]] void fail(const std::string& why) const {
        throw std::runtime_error(why + " at \"" + text_.substr(at_) + "\" in \"" + text_ + "\"");
    }
    void skipBlanks() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        }
    }
    char peek() {
        skipBlanks();
        return at_ < text_.size() ? text_[at_] : '\0';
    }
    void expect(char c) {
        if (peek() != c) {
            fail(std::string("expected '") + c + "'");
        }
        ++at_;
    }
    bool word(const char* keyword) {
        skipBlanks();
        const std::string k = keyword;
        if (text_.compare(at_, k.size(), k) != 0) {
            return false;
        }
        const std::size_t after = at_ + k.size();
        if (after < text_.size() &&
            (std::isalnum(static_cast<unsigned char>(text_[after])) || text_[after] == '_')) {
            return false;
        }
        at_ = after;
        return true;
    }
    std::string name() {
        skipBlanks();
        const std::size_t from = at_;
        while (at_ < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[at_])) || text_[at_] == '_')) {
            ++at_;
        }
        if (from == at_) {
            fail("expected a name");
        }
        return text_.substr(from, at_ - from);
    }

    static Value number(int64_t n) {
        Value value;
        value.number = n;
        return value;
    }

    Value orExpression() {
        Value left = xorExpression();
        while (word("or")) {
            left = number((left.number != 0 || xorExpression().number != 0) ? 1 : 0);
        }
        return left;
    }
    Value xorExpression() {
        Value left = andExpression();
        while (word("xor")) {
            left = number(left.number ^ andExpression().number);
        }
        return left;
    }
    Value andExpression() {
        Value left = comparison();
        while (word("and")) {
            left = number(left.number & comparison().number);
        }
        return left;
    }
    Value comparison() {
        const Value left = sum();
        skipBlanks();
        for (const char* op : {"<>", "<=", ">=", "=", "<", ">"}) {
            const std::string o = op;
            if (text_.compare(at_, o.size(), o) == 0) {
                at_ += o.size();
                const int64_t a = left.number;
                const int64_t b = sum().number;
                const bool result = o == "<>"   ? a != b
                                    : o == "<=" ? a <= b
                                    : o == ">=" ? a >= b
                                    : o == "="  ? a == b
                                    : o == "<"  ? a < b
                                                : a > b;
                return number(result ? 1 : 0);
            }
        }
        return left;
    }
    Value sum() {
        Value left = product();
        while (true) {
            const char c = peek();
            if (c == '+' || c == '-') {
                ++at_;
                const int64_t right = product().number;
                left = number(c == '+' ? left.number + right : left.number - right);
            } else {
                return left;
            }
        }
    }
    Value product() {
        Value left = unary();
        while (true) {
            const char c = peek();
            if (c == '*' || c == '/') {
                ++at_;
                const int64_t right = unary().number;
                if (c == '/' && right == 0) {
                    fail("division by 0");
                }
                left = number(c == '*' ? left.number * right : left.number / right);
            } else {
                return left;
            }
        }
    }
    Value unary() {
        if (word("not")) {
            return number(unary().number == 0 ? 1 : 0);
        }
        if (peek() == '-') {
            ++at_;
            return number(-unary().number);
        }
        return primary();
    }
    Value primary() {
        const char c = peek();
        if (c == '(') {
            ++at_;
            Value value = orExpression();
            expect(')');
            return value;
        }
        if (c == '\'') {
            const std::size_t end = text_.find('\'', at_ + 1);
            if (end == std::string::npos) {
                fail("unclosed text");
            }
            Value value;
            value.isText = true;
            value.text = text_.substr(at_ + 1, end - at_ - 1);
            at_ = end + 1;
            return value;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            return literal();
        }
        if (word("true")) {
            return number(1);
        }
        if (word("false")) {
            return number(0);
        }
        const std::size_t start = at_;
        const std::string head = name();
        if (peek() == '(') {
            return call(head);
        }
        at_ = start;
        const std::string key = reference();
        Value value = program_.read(key);
        // Bit access: x.0 to x.15.
        if (peek() == '.' && at_ + 1 < text_.size() &&
            std::isdigit(static_cast<unsigned char>(text_[at_ + 1]))) {
            ++at_;
            const int bit = static_cast<int>(literal().number);
            return number((value.number >> bit) & 1);
        }
        return value;
    }
    Value literal() {
        std::size_t from = at_;
        while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        }
        if (at_ < text_.size() && text_[at_] == '#') {
            const int base = std::stoi(text_.substr(from, at_ - from));
            from = ++at_;
            while (at_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[at_]))) {
                ++at_;
            }
            return number(std::stoll(text_.substr(from, at_ - from), nullptr, base));
        }
        return number(std::stoll(text_.substr(from, at_ - from)));
    }
    Value call(const std::string& function) {
        expect('(');
        std::vector<Value> args;
        if (peek() != ')') {
            args.push_back(orExpression());
            while (peek() == ',') {
                ++at_;
                args.push_back(orExpression());
            }
        }
        expect(')');
        const auto arg = [&](std::size_t i) {
            if (i >= args.size()) {
                fail("too few arguments for " + function);
            }
            return args[i];
        };
        if (function == "shr") {
            return number((arg(0).number & 0xFFFF) >> arg(1).number);
        }
        if (function == "byte_as_word") {
            const int64_t high = args.size() > 1 ? (args[1].number & 0xFF) << 8 : 0;
            return number((arg(0).number & 0xFF) | high);
        }
        if (function == "word_to_int") {
            const int64_t w = arg(0).number & 0xFFFF;
            return number(w >= 0x8000 ? w - 0x10000 : w);
        }
        if (function == "int_to_word") {
            return number(arg(0).number & 0xFFFF);
        }
        if (function == "int_to_byte") {
            return number(arg(0).number & 0xFF);
        }
        if (function == "len_int") {
            return number(static_cast<int64_t>(arg(0).text.size()));
        }
        if (function == "string_to_ascii") {
            Value value;
            value.isArray = true;
            const std::string& text = arg(0).text;
            for (std::size_t i = 0; i < text.size(); i += 2) {
                const int64_t high = static_cast<unsigned char>(text[i]);
                const int64_t low =
                    i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
                value.array.push_back((high << 8) | low);
            }
            return value;
        }
        fail("unknown function " + function);
    }

    StProgram& program_;
    const std::string& text_;
    std::size_t at_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Variables

std::string StProgram::key(const std::string& reference) {
    Expression expression(*this, reference);
    std::string result = expression.reference();
    if (!expression.atEnd()) {
        throw std::runtime_error("not a variable: " + reference);
    }
    return result;
}

void StProgram::set(const std::string& name, int64_t value) {
    Value v;
    v.number = value;
    variables_[key(folded(name))] = v;
}

void StProgram::setText(const std::string& name, const std::string& value) {
    Value v;
    v.isText = true;
    v.text = value;
    variables_[key(folded(name))] = v;
}

int64_t StProgram::get(const std::string& name) const {
    const auto found = variables_.find(const_cast<StProgram*>(this)->key(folded(name)));
    return found == variables_.end() ? 0 : found->second.number;
}

StProgram::Value StProgram::read(const std::string& reference) {
    const auto found = variables_.find(reference);
    return found == variables_.end() ? Value{} : found->second;
}

void StProgram::assign(const std::string& reference, const Value& value) {
    if (value.isArray) {
        for (std::size_t i = 0; i < value.array.size(); ++i) {
            Value element;
            element.number = value.array[i];
            variables_[reference + "[" + std::to_string(i) + "]"] = element;
        }
        return;
    }
    variables_[reference] = value;
}

StProgram::Value StProgram::evaluate(const std::string& expression) {
    return Expression(*this, expression).parse();
}

// ---------------------------------------------------------------------------------------------
// Statements

std::size_t StProgram::matchingEnd(std::size_t from, const char* open, const char* close,
                                   std::size_t* elseLine) const {
    int depth = 0;
    for (std::size_t i = from; i < lines_.size(); ++i) {
        const std::string& line = lines_[i];
        if (startsWith(line, open) &&
            (line.size() == std::string(open).size() ||
             !std::isalnum(static_cast<unsigned char>(line[std::string(open).size()])))) {
            ++depth;
        } else if (startsWith(line, close)) {
            if (--depth == 0) {
                return i;
            }
        } else if (elseLine != nullptr && depth == 1 && line == "else") {
            *elseLine = i;
        }
    }
    throw std::runtime_error(std::string("no ") + close + " for line \"" + lines_[from] + "\"");
}

bool StProgram::run() {
    try {
        return runLines(0, lines_.size());
    } catch (const std::exception& e) {
        error_ = e.what();
        return false;
    }
}

bool StProgram::runLines(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (++steps_ > 1000000) {
            throw std::runtime_error("more than a million statements");
        }
        const std::string& line = lines_[i];
        if (startsWith(line, "if ") && endsWith(line, " then")) {
            std::size_t elseLine = 0;
            const std::size_t end = matchingEnd(i, "if", "end_if", &elseLine);
            const bool condition = evaluate(line.substr(3, line.size() - 8)).number != 0;
            const std::size_t thenEnd = elseLine != 0 ? elseLine : end;
            if (condition) {
                runLines(i + 1, thenEnd);
            } else if (elseLine != 0) {
                runLines(elseLine + 1, end);
            }
            i = end;
        } else if (startsWith(line, "while") && endsWith(line, " do")) {
            const std::size_t end = matchingEnd(i, "while", "end_while", nullptr);
            const std::string condition = line.substr(5, line.size() - 8);
            while (evaluate(condition).number != 0) {
                runLines(i + 1, end);
                if (++steps_ > 1000000) {
                    throw std::runtime_error("more than a million statements");
                }
            }
            i = end;
        } else if (startsWith(line, "for ") && endsWith(line, " do")) {
            const std::size_t end = matchingEnd(i, "for", "end_for", nullptr);
            const std::string head = line.substr(4, line.size() - 7);
            const std::size_t assignAt = head.find(":=");
            const std::size_t toAt = head.find(" to ");
            if (assignAt == std::string::npos || toAt == std::string::npos) {
                throw std::runtime_error("not a FOR loop: " + line);
            }
            const std::string variable = key(trimmed(head.substr(0, assignAt)));
            const int64_t first = evaluate(head.substr(assignAt + 2, toAt - assignAt - 2)).number;
            const int64_t last = evaluate(head.substr(toAt + 4)).number;
            for (int64_t n = first; n <= last; ++n) {
                Value counter;
                counter.number = n;
                assign(variable, counter);
                runLines(i + 1, end);
            }
            i = end;
        } else if (line.find(":=") != std::string::npos && endsWith(line, ";")) {
            const std::size_t at = line.find(":=");
            const std::string target = key(trimmed(line.substr(0, at)));
            assign(target, evaluate(line.substr(at + 2, line.size() - at - 3)));
        } else {
            throw std::runtime_error("statement outside the subset: " + line);
        }
    }
    return true;
}

}  // namespace svc::testing
