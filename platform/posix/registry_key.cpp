// The settings store kept in the REGEDIT4 store file. Opening a key reads the file once and
// keeps that key's values, which its queries answer from (a routine opens a key, reads its
// settings and closes it: one read of the file, not one per value). Every change reads the file
// afresh and rewrites it whole under the store lock, so several programs (and tests) can share
// one file the way they share the registry; the key then holds the values just written.

#include <errno.h>
#include <string.h>

#include <cstring>
#include <unordered_map>

#include "platform/posix/registry_store.h"
#include "platform/posix/serial_comm.h"
#include "platform/registry.h"

namespace platform {

namespace {

// What an open key answers from: its values as read when it was opened or last changed, found
// by name without regard to letter case.
struct KeyValues {
    std::vector<regedit4::NamedValue> values;
    std::unordered_map<std::string, size_t> byName;  // folded name -> index of the first
};

KeyValues* NewKeyValues(std::vector<regedit4::NamedValue> values) {
    auto* held = new KeyValues{std::move(values), {}};
    held->byName.reserve(held->values.size());
    for (size_t i = 0; i < held->values.size(); ++i)
        held->byName.try_emplace(regedit4::Folded(held->values[i].name), i);
    return held;
}

// The key's values as the registry would list them; the serial port list is made up here.
RegStatus LoadValues(RegRoot root, const std::string& path,
                     std::vector<regedit4::NamedValue>& values, bool& keyExists,
                     uint32_t& systemError) {
    regedit4::Document doc;
    const RegStatus status = store::Load(doc, systemError);
    if (status != RegStatus::Ok)
        return status;
    if (serialcomm::IsSerialCommKey(root, path)) {
        values = serialcomm::Values(doc, serialcomm::PresentDevices());
        keyExists = !values.empty();
        return RegStatus::Ok;
    }
    const std::string full = store::FullPath(root, path);
    keyExists = path.empty() || regedit4::KeyExists(doc, full);
    const regedit4::Key* key = regedit4::FindKey(doc, full);
    values = key ? key->values : std::vector<regedit4::NamedValue>{};
    return RegStatus::Ok;
}

// One change of the store under its lock: `change` edits the key (made when missing) and says
// whether the file must be written; a key that had to be made is written in any case. On
// success `values` holds the key's values as they now stand in the file.
template <typename Change>
RegStatus ChangeKey(RegRoot root, const std::string& path, uint32_t& error,
                    std::vector<regedit4::NamedValue>& values, Change change) {
    store::StoreLock lock;
    regedit4::Document doc;
    const RegStatus status = store::Load(doc, error);
    if (status != RegStatus::Ok)
        return status;
    const std::string full = store::FullPath(root, path);
    regedit4::Key* key = regedit4::FindKey(doc, full);
    const bool made = key == nullptr;
    if (made) {
        doc.keys.push_back({full, {}});
        key = &doc.keys.back();
    }
    const bool changed = change(*key);
    const RegStatus saved = changed || made ? store::Save(doc, error) : RegStatus::Ok;
    if (saved == RegStatus::Ok)
        values = std::move(key->values);
    return saved;
}

bool ValidName(const std::string& name) {
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    }
    return true;
}

bool ValidPath(const std::string& path) {
    if (!ValidName(path))
        return false;
    return path.empty() ||
           (path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == std::string::npos);
}

}  // namespace

RegStatus RegistryKey::Open(RegRoot root, const std::string& path) {
    Close();
    if (!ValidPath(path))
        return Fail(RegStatus::NotFound, ENOENT);
    std::vector<regedit4::NamedValue> values;
    bool exists = false;
    uint32_t error = 0;
    const RegStatus status = LoadValues(root, path, values, exists, error);
    if (status != RegStatus::Ok)
        return Fail(status, error);
    if (!exists)
        return Fail(RegStatus::NotFound, ENOENT);
    return Opened(root, path, NewKeyValues(std::move(values)));
}

RegStatus RegistryKey::Create(RegRoot root, const std::string& path) {
    Close();
    // Like HKEY_LOCAL_MACHINE for a user without administrator rights.
    if (root != RegRoot::CurrentUser)
        return Fail(RegStatus::Denied, EACCES);
    if (!ValidPath(path))
        return Fail(RegStatus::Failed, EINVAL);
    uint32_t error = 0;
    std::vector<regedit4::NamedValue> values;
    const RegStatus status =
        ChangeKey(root, path, error, values, [](regedit4::Key&) { return false; });
    return status == RegStatus::Ok ? Opened(root, path, NewKeyValues(std::move(values)))
                                   : Fail(status, error);
}

void RegistryKey::Close() {
    delete static_cast<KeyValues*>(handle_);
    handle_ = nullptr;
    open_ = false;
    path_.clear();
}

RegStatus RegistryKey::Query(const std::string& name, RegType* type, void* data, uint32_t* size) {
    if (!open_ || !size)
        return Fail(RegStatus::Failed, EINVAL);
    const auto* held = static_cast<const KeyValues*>(handle_);
    const auto found = held->byName.find(regedit4::Folded(name));
    if (found == held->byName.end())
        return Fail(RegStatus::NotFound, ENOENT);
    const RegValue& value = held->values[found->second].value;
    const uint32_t needed = static_cast<uint32_t>(value.data.size());
    if (type)
        *type = value.type;
    if (data && *size < needed) {
        *size = needed;
        return Fail(RegStatus::MoreData, ERANGE);
    }
    if (data && needed)
        std::memcpy(data, value.data.data(), needed);
    *size = needed;
    return RegStatus::Ok;
}

RegStatus RegistryKey::SetValue(const std::string& name, RegType type, const void* data,
                                uint32_t size) {
    if (!open_ || (size && !data) || !ValidName(name))
        return Fail(RegStatus::Failed, EINVAL);
    if (root_ != RegRoot::CurrentUser)
        return Fail(RegStatus::Denied, EACCES);
    const auto* bytes = static_cast<const uint8_t*>(data);
    RegValue value{type, std::vector<uint8_t>(bytes, bytes + size)};
    uint32_t error = 0;
    std::vector<regedit4::NamedValue> values;
    const RegStatus status = ChangeKey(root_, path_, error, values, [&](regedit4::Key& key) {
        if (regedit4::NamedValue* existing = regedit4::FindValue(key, name)) {
            existing->value = std::move(value);
        } else {
            key.values.push_back({name, std::move(value)});
        }
        return true;
    });
    if (status != RegStatus::Ok)
        return Fail(status, error);
    delete static_cast<KeyValues*>(handle_);
    handle_ = NewKeyValues(std::move(values));
    return status;
}

RegStatus RegistryKey::EnumValue(uint32_t index, std::string& name, RegValue& value) {
    if (!open_)
        return Fail(RegStatus::Failed, EINVAL);
    const auto* held = static_cast<const KeyValues*>(handle_);
    if (index >= held->values.size())
        return Fail(RegStatus::NoMoreItems, ENOENT);
    name = held->values[index].name;
    value = held->values[index].value;
    return RegStatus::Ok;
}

std::string RegistryKey::ErrorText() const {
    if (lastError_ == store::kNotRegedit4Error)
        return "The settings file is not a REGEDIT4 text.";
    if (lastError_ == store::kStoreTooLargeError)
        return store::kStoreTooLargeText;
    std::string text = strerror(static_cast<int>(lastError_));
    if (text.size() > 100)
        text.resize(100);
    return text;
}

std::string SerialDeviceForPort(const std::string& comName) {
    if (!comName.empty() && comName[0] == '/')
        return comName;
    std::string wanted = comName;
    if (!wanted.empty() && wanted.back() == ':')
        wanted.pop_back();
    for (const SerialPortEntry& port : ListSerialPorts()) {
        std::string com = port.comName;
        if (!com.empty() && com.back() == ':')
            com.pop_back();
        if (!wanted.empty() && regedit4::SameName(com, wanted))
            return port.device;
    }
    return {};
}

}  // namespace platform
