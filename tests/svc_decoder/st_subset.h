#pragma once

// Runs the structured text of a generated function block over variables the test sets, so that
// a suite can check what the PLC will compute rather than how the text reads. It knows the
// subset the generated blocks use: one statement per line; assignments, IF/ELSE, WHILE and FOR;
// OR, XOR, AND, NOT, comparisons, + - * /; bit access (x.0); SHR, BYTE_AS_WORD,
// WORD_TO_INT, INT_TO_WORD, INT_TO_BYTE, LEN_INT and STRING_TO_ASCII (two characters to an
// INT, the first in the high byte); "(* *)" comments, also over several lines; the XML
// entities of "<" and ">". Names are not case-sensitive. Anything else fails the run.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace svc::testing {

class StProgram {
  public:
    // The program text as it stands between <STSource> and </STSource>.
    explicit StProgram(std::string text);

    void set(const std::string& name, int64_t value);  // "Manage.Config[0].Module_ID"
    void setText(const std::string& name, const std::string& value);
    int64_t get(const std::string& name) const;  // 0 for a variable never set

    // Runs the program once; false (with error()) on a statement outside the subset or more
    // than a million statements.
    bool run();
    const std::string& error() const { return error_; }

  private:
    struct Value {
        int64_t number = 0;
        std::string text;
        bool isText = false;
        std::vector<int64_t> array;
        bool isArray = false;
    };
    class Expression;

    bool runLines(std::size_t from, std::size_t to);
    std::size_t matchingEnd(std::size_t from, const char* open, const char* close,
                            std::size_t* elseLine) const;
    Value evaluate(const std::string& expression);
    std::string key(const std::string& reference);
    void assign(const std::string& reference, const Value& value);
    Value read(const std::string& reference);

    std::vector<std::string> lines_;
    std::map<std::string, Value> variables_;
    std::string error_;
    long long steps_ = 0;
};

}  // namespace svc::testing
