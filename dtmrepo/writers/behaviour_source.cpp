#include "dtmrepo/writers/behaviour_source.h"

#include <algorithm>
#include <array>

#include "dtmrepo/parser/vocabulary.h"
#include "dtmrepo/writers/profile_writer.h"

namespace dtmrepo {

namespace {

constexpr std::array<std::string_view, 77> kKeywords = {
    "abstract", "as",         "base",    "bool",     "break",     "byte",     "case",
    "catch",    "char",       "checked", "class",    "const",     "continue", "decimal",
    "default",  "delegate",   "do",      "double",   "else",      "enum",     "event",
    "explicit", "extern",     "false",   "finally",  "fixed",     "float",    "for",
    "foreach",  "goto",       "if",      "implicit", "in",        "int",      "interface",
    "internal", "is",         "lock",    "long",     "namespace", "new",      "null",
    "object",   "operator",   "out",     "override", "params",    "private",  "protected",
    "public",   "readonly",   "ref",     "return",   "sbyte",     "sealed",   "short",
    "sizeof",   "stackalloc", "static",  "string",   "struct",    "switch",   "this",
    "throw",    "true",       "try",     "typeof",   "uint",      "ulong",    "unchecked",
    "unsafe",   "ushort",     "using",   "virtual",  "void",      "volatile", "while"};

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isIdentifier(const std::string& name) {
    if (name.empty() || !isLetter(name[0])) {
        return false;
    }
    for (char c : name) {
        if (!isLetter(c) && !(c >= '0' && c <= '9')) {
            return false;
        }
    }
    return std::find(kKeywords.begin(), kKeywords.end(), name) == kKeywords.end();
}

bool sameName(const std::string& a, const std::string& b) {
    return upperCase(a) == upperCase(b);
}

}  // namespace

std::string behaviourClassName(const std::string& sourceName) {
    std::string name =
        sourceName.size() > 3 ? sourceName.substr(0, sourceName.size() - 3) : sourceName;
    for (char& c : name) {
        if (!isLetter(c) && !(c >= '0' && c <= '9')) {
            c = '_';
        }
    }
    if (name.empty() || !isLetter(name[0])) {
        name.insert(0, "_");
    }
    if (!isIdentifier(name)) {
        name += "_";  // a keyword
    }
    return name;
}

std::optional<std::string> checkBehaviourNames(const DescriptionRecord& r) {
    for (const std::string& name : r.accessInNames) {
        if (!isIdentifier(name)) {
            return "'varAccessIN' name must be a C# identifier!  '" + name + "'";
        }
    }
    for (const VariableEntry& v : r.sections[0]) {
        if (v.accessLink != AccessLink::None && !isIdentifier(v.varName)) {
            return "a conditional variable's 'varName' must be a C# identifier!  '" + v.varName +
                   "'";
        }
    }
    return std::nullopt;
}

std::vector<std::string> behaviourSourceLines(const DescriptionRecord& r) {
    if (r.accessInNames.empty()) {
        return {};
    }
    // Every method takes all inputs and outputs of the configuration variables, in their
    // order, as the profile lists them for each behaviour.
    std::string parameters;
    std::vector<const VariableEntry*> outputs;
    for (const VariableEntry& v : r.sections[0]) {
        if (v.accessLink == AccessLink::None) {
            continue;
        }
        parameters += parameters.empty() ? " " : ", ";
        parameters += (v.accessLink == AccessLink::In ? "string " : "out string ") + v.varName;
        if (v.accessLink == AccessLink::Out) {
            outputs.push_back(&v);
        }
    }
    std::vector<std::string> out = {
        "using System;", "namespace DDXML_V4._2", "{",
        "     public class " + behaviourClassName(behaviourSourceName(r)), "     {"};
    for (const std::string& input : r.accessInNames) {
        // The method tests its own input and sets the outputs that name it.
        std::string condition = input;
        for (const VariableEntry& v : r.sections[0]) {
            if (v.accessLink == AccessLink::In && sameName(v.accessLinkName, input)) {
                condition = v.varName;
            }
        }
        auto setLinked = [&](const std::string& value) {
            for (const VariableEntry* v : outputs) {
                if (sameName(v->accessLinkName, input)) {
                    out.push_back("                    " + v->varName + " = \"" + value + "\";");
                }
            }
        };
        out.push_back("          public static bool DTM_" + input + "(" + parameters + ")");
        out.push_back("          {");
        for (const VariableEntry* v : outputs) {
            out.push_back("               " + v->varName + " = \"\";");
        }
        out.push_back(" ");
        out.push_back("               if (" + condition +
                      ".Equals(\"0\", StringComparison.InvariantCultureIgnoreCase))");
        out.push_back("               {");
        setLinked("read");
        out.push_back("               }");
        out.push_back("               else if (" + condition +
                      ".Equals(\"1\", StringComparison.InvariantCultureIgnoreCase))");
        out.push_back("               {");
        setLinked("readWrite");
        out.push_back("               }");
        out.push_back("               return true;");
        out.push_back("          }");
    }
    out.push_back("     }");
    out.push_back("}");
    return out;
}

}  // namespace dtmrepo
