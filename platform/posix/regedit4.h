#pragma once

// The REGEDIT4 export text that the store file is kept in: the format regedit itself writes,
// so a user can read it, edit it and carry values between a Windows registry and this file.

#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform::regedit4 {

struct NamedValue {
    std::string name;  // empty for the key's default value ("@")
    RegValue value;
};

struct Key {
    std::string path;  // full path with its root: "HKEY_CURRENT_USER\SOFTWARE\..."
    std::vector<NamedValue> values;
};

struct Document {
    std::vector<Key> keys;
};

// Parses the whole text. On a malformed line returns false with `error` naming the line, and
// leaves `doc` unspecified.
bool Parse(const std::string& text, Document& doc, std::string& error);

// The text of the document; Parse(Format(doc)) gives back the same keys, values and bytes.
std::string Format(const Document& doc);

// Letter case does not matter in key and value names, as in the registry.
bool SameName(const std::string& a, const std::string& b);
// The name with its letters in one case: equal for names that are the same name.
std::string Folded(const std::string& name);

Key* FindKey(Document& doc, const std::string& path);
// True when the key has a section of its own or below it (a parent exists through its children).
bool KeyExists(const Document& doc, const std::string& path);
NamedValue* FindValue(Key& key, const std::string& name);

}  // namespace platform::regedit4
