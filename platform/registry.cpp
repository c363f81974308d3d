// The parts of the settings store that are the same on every system: the typed helpers over
// the raw query and set, and the serial port list read through the store.

#include "platform/registry.h"

#include <utility>

namespace platform {

RegistryKey::~RegistryKey() {
    Close();
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept {
    *this = std::move(other);
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        open_ = std::exchange(other.open_, false);
        root_ = other.root_;
        path_ = std::move(other.path_);
        handle_ = std::exchange(other.handle_, nullptr);
        lastError_ = other.lastError_;
    }
    return *this;
}

RegStatus RegistryKey::Query(const std::string& name, RegValue& value) {
    RegType type = RegType::None;
    uint32_t size = 0;
    RegStatus status = Query(name, &type, nullptr, &size);
    // The value may grow between the two calls; ask again until the buffer holds it.
    for (int attempt = 0; status == RegStatus::Ok && attempt < 4; ++attempt) {
        std::vector<uint8_t> data(size);
        status = Query(name, &type, data.data(), &size);
        if (status == RegStatus::Ok) {
            data.resize(size);
            value.type = type;
            value.data = std::move(data);
            return status;
        }
        if (status == RegStatus::MoreData)
            status = RegStatus::Ok;
    }
    return status == RegStatus::Ok ? RegStatus::Failed : status;
}

RegStatus RegistryKey::QueryString(const std::string& name, std::string& text, size_t maxChars) {
    RegValue value;
    const RegStatus status = Query(name, value);
    if (status != RegStatus::Ok)
        return status;
    if (value.type != RegType::String && value.type != RegType::ExpandString)
        return RegStatus::WrongType;
    size_t length = 0;
    while (length < value.data.size() && value.data[length] != 0)
        ++length;
    if (length > maxChars)
        return RegStatus::MoreData;
    text.assign(value.data.begin(), value.data.begin() + static_cast<std::ptrdiff_t>(length));
    return RegStatus::Ok;
}

RegStatus RegistryKey::QueryDword(const std::string& name, uint32_t& value) {
    uint8_t data[4];
    uint32_t size = sizeof data;
    RegType type = RegType::None;
    const RegStatus status = Query(name, &type, data, &size);
    if (status == RegStatus::MoreData)
        return RegStatus::WrongType;
    if (status != RegStatus::Ok)
        return status;
    if (type != RegType::Dword || size != 4)
        return RegStatus::WrongType;
    value = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
    return RegStatus::Ok;
}

RegStatus RegistryKey::SetString(const std::string& name, const std::string& text) {
    // A text with a NUL inside would be cut short on reading; store only what is read back.
    const std::string stored = text.substr(0, text.find('\0'));
    return SetValue(name, RegType::String, stored.c_str(),
                    static_cast<uint32_t>(stored.size() + 1));
}

RegStatus RegistryKey::SetDword(const std::string& name, uint32_t value) {
    const uint8_t data[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return SetValue(name, RegType::Dword, data, sizeof data);
}

RegStatus RegistryKey::SetShortDword(const std::string& name, uint16_t value) {
    const uint8_t data[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    return SetValue(name, RegType::Dword, data, sizeof data);
}

RegStatus RegistryKey::SetBinary(const std::string& name, const void* data, uint32_t size) {
    return SetValue(name, RegType::Binary, data, size);
}

RegStatus RegistryKey::Opened(RegRoot root, const std::string& path, void* handle) {
    open_ = true;
    root_ = root;
    path_ = path;
    handle_ = handle;
    return RegStatus::Ok;
}

RegStatus RegistryKey::Fail(RegStatus status, uint32_t systemError) {
    lastError_ = systemError;
    return status;
}

std::vector<SerialPortEntry> ListSerialPorts() {
    std::vector<SerialPortEntry> ports;
    RegistryKey key;
    if (key.Open(RegRoot::LocalMachine, kSerialCommKey) != RegStatus::Ok)
        return ports;
    std::string name;
    RegValue value;
    for (uint32_t i = 0; key.EnumValue(i, name, value) == RegStatus::Ok; ++i) {
        if (value.type != RegType::String)
            continue;
        std::string com(value.data.begin(), value.data.end());
        com.resize(com.find('\0') == std::string::npos ? com.size() : com.find('\0'));
        ports.push_back({name, com});
    }
    return ports;
}

}  // namespace platform
