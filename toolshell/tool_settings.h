#pragma once

// Tool settings: each tool program keeps its settings as string values (REG_SZ) in its own key
// below "SOFTWARE\Calvento R&D\" of the current user, at most 511 characters each. On Linux
// the same keys and values live in the settings store file.

#include <cstddef>
#include <string>
#include <string_view>

namespace toolshell {

inline constexpr std::string_view toolSettingsKeyBase = "SOFTWARE\\Calvento R&D\\";

// The longest text a setting holds (a 512-byte value with its terminating zero).
inline constexpr std::size_t toolSettingMaxChars = 511;

// The key of one program, e.g. toolSettingsKey("FENNICK") is "SOFTWARE\Calvento R&D\FENNICK".
std::string toolSettingsKey(std::string_view programKey);

enum class SettingRead {
    Read,         // the text was replaced by the stored value
    KeyMissing,   // the key could not be opened
    NotReadable,  // no such value, or not a string type
    TooLong,      // a value is stored, but its data does not fit in 512 bytes
};

// Reads a REG_SZ or REG_EXPAND_SZ value into `text`. Anything but Read leaves `text` exactly as
// it was, so a caller's earlier value or default survives. A value longer than `maxChars` (for
// callers whose variable is narrower than a setting) is cut to fit; one whose data does not
// fit in 512 bytes at all is not readable.
SettingRead readRegistryString(const std::string& keyPath, const std::string& valueName,
                               std::string& text, std::size_t maxChars = toolSettingMaxChars);

// Creates the key when missing and stores `text` as REG_SZ with its terminating zero. A failure
// means only that the setting is not kept; the programs go on with the value they hold.
void writeRegistryString(const std::string& keyPath, const std::string& valueName,
                         const std::string& text);

// The convention every tool follows for a setting: read it into `text`; when the text is then
// empty, put the default there and write it back so the next start finds it. A stored value
// too long to read is the user's own: the default serves this run, and the value is kept.
void readToolSetting(const std::string& keyPath, const std::string& valueName, std::string& text,
                     std::string_view defaultText, std::size_t maxChars = toolSettingMaxChars);

}  // namespace toolshell
