#include "toolshell/tool_settings.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/registry.h"

namespace toolshell {
namespace {

constexpr std::size_t kReadBufferBytes = toolSettingMaxChars + 1;

}  // namespace

std::string toolSettingsKey(std::string_view programKey) {
    return std::string(toolSettingsKeyBase) + std::string(programKey);
}

SettingRead readRegistryString(const std::string& keyPath, const std::string& valueName,
                               std::string& text, std::size_t maxChars) {
    platform::RegistryKey key;
    if (key.Open(platform::RegRoot::CurrentUser, keyPath) != platform::RegStatus::Ok) {
        return SettingRead::KeyMissing;
    }
    // The value is read into a buffer of our own, so a failed or foreign-typed read can never
    // leave part of its data in the caller's text.
    std::array<char, kReadBufferBytes> buffer{};
    platform::RegType type = platform::RegType::None;
    uint32_t size = static_cast<uint32_t>(buffer.size());
    const platform::RegStatus status = key.Query(valueName, &type, buffer.data(), &size);
    if (status == platform::RegStatus::MoreData) {
        return SettingRead::TooLong;
    }
    if (status != platform::RegStatus::Ok ||
        (type != platform::RegType::String && type != platform::RegType::ExpandString)) {
        return SettingRead::NotReadable;
    }
    // A value stored without its terminating zero ends at its real length, never past it.
    const std::size_t stored = std::min<std::size_t>(size, buffer.size());
    const auto end = std::find(buffer.begin(), buffer.begin() + stored, '\0');
    const std::size_t length = std::min<std::size_t>(
        {static_cast<std::size_t>(end - buffer.begin()), toolSettingMaxChars, maxChars});
    text.assign(buffer.data(), length);
    return SettingRead::Read;
}

void writeRegistryString(const std::string& keyPath, const std::string& valueName,
                         const std::string& text) {
    platform::RegistryKey key;
    if (key.Create(platform::RegRoot::CurrentUser, keyPath) != platform::RegStatus::Ok) {
        return;
    }
    key.SetString(valueName, text);
}

void readToolSetting(const std::string& keyPath, const std::string& valueName, std::string& text,
                     std::string_view defaultText, std::size_t maxChars) {
    const SettingRead read = readRegistryString(keyPath, valueName, text, maxChars);
    if (text.empty()) {
        text = std::string(defaultText.substr(0, maxChars));
        if (read != SettingRead::TooLong) {
            writeRegistryString(keyPath, valueName, text);
        }
    }
}

}  // namespace toolshell
