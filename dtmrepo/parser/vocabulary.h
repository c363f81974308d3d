#pragma once

// The fixed vocabulary of description files: languages, access names, persistence values and
// data types with their byte sizes. The order of every table is part of it.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "toolshell/ascii_case.h"

namespace dtmrepo {

// Languages 1..6; per-language texts are indexed by these numbers.
inline constexpr int languageCount = 6;
inline constexpr std::array<std::string_view, languageCount + 1> languageCodes = {
    "", "en-us", "de-de", "fr-fr", "es-es", "it-it", "pt-br"};
// The short forms name the same languages: "en" is language 1.
inline constexpr std::array<std::string_view, languageCount + 1> languageShortForms = {
    "", "en", "de", "fr", "es", "it", "pt"};

inline constexpr std::array<std::string_view, 5> variableAccessNames = {
    "read", "write", "readWrite", "conditionalReadWrite", "noAccess"};
inline constexpr std::array<std::string_view, 3> groupAccessNames = {"Configuration", "GUIControl",
                                                                     "Diagnosis"};
inline constexpr std::array<std::string_view, 2> persistenceNames = {"true", "false"};

struct DataType {
    std::string_view name;
    int byteSize;  // STRING: one character; a declaration gives its length
};
inline constexpr std::array<DataType, 18> dataTypes = {{{"BOOL", 1},
                                                        {"BYTE", 1},
                                                        {"WORD", 2},
                                                        {"DWORD", 4},
                                                        {"LWORD", 8},
                                                        {"REAL", 4},
                                                        {"LREAL", 8},
                                                        {"STRING", 1},
                                                        {"ENUM", 2},
                                                        {"SINT", 1},
                                                        {"INT", 2},
                                                        {"DINT", 4},
                                                        {"LINT", 8},
                                                        {"USINT", 1},
                                                        {"UINT", 2},
                                                        {"UDINT", 4},
                                                        {"ULINT", 8},
                                                        {"STRUCT", 0}}};

// ASCII upper case, as the keyword comparisons use it.
using toolshell::upperCase;

// The table entry whose name equals `text` in upper case, or nothing.
std::optional<std::string_view> findName(std::string_view text, const auto& table) {
    const std::string upper = upperCase(text);
    for (std::string_view name : table) {
        if (upperCase(name) == upper) {
            return name;
        }
    }
    return std::nullopt;
}

// The data type named `upperName` (already upper case), or null.
const DataType* findDataType(std::string_view upperName);

}  // namespace dtmrepo
