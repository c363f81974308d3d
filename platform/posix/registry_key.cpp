// The settings store kept in the REGEDIT4 store file. Every call reads the file afresh, and
// every change rewrites it whole under the store lock, so several programs (and tests) can
// share one file the way they share the registry.

#include <errno.h>
#include <string.h>

#include <cstring>

#include "platform/posix/registry_store.h"
#include "platform/posix/serial_comm.h"
#include "platform/registry.h"

namespace platform {

namespace {

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
// whether the file must be written; a key that had to be made is written in any case.
template <typename Change>
RegStatus ChangeKey(RegRoot root, const std::string& path, uint32_t& error, Change change) {
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
    return changed || made ? store::Save(doc, error) : RegStatus::Ok;
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
    return Opened(root, path, nullptr);
}

RegStatus RegistryKey::Create(RegRoot root, const std::string& path) {
    Close();
    // Like HKEY_LOCAL_MACHINE for a user without administrator rights.
    if (root != RegRoot::CurrentUser)
        return Fail(RegStatus::Denied, EACCES);
    if (!ValidPath(path))
        return Fail(RegStatus::Failed, EINVAL);
    uint32_t error = 0;
    const RegStatus status = ChangeKey(root, path, error, [](regedit4::Key&) { return false; });
    return status == RegStatus::Ok ? Opened(root, path, nullptr) : Fail(status, error);
}

void RegistryKey::Close() {
    open_ = false;
    path_.clear();
}

RegStatus RegistryKey::Query(const std::string& name, RegType* type, void* data, uint32_t* size) {
    if (!open_ || !size)
        return Fail(RegStatus::Failed, EINVAL);
    std::vector<regedit4::NamedValue> values;
    bool exists = false;
    uint32_t error = 0;
    const RegStatus status = LoadValues(root_, path_, values, exists, error);
    if (status != RegStatus::Ok)
        return Fail(status, error);
    for (const regedit4::NamedValue& v : values) {
        if (!regedit4::SameName(v.name, name))
            continue;
        const uint32_t needed = static_cast<uint32_t>(v.value.data.size());
        if (type)
            *type = v.value.type;
        if (data && *size < needed) {
            *size = needed;
            return Fail(RegStatus::MoreData, ERANGE);
        }
        if (data && needed)
            std::memcpy(data, v.value.data.data(), needed);
        *size = needed;
        return RegStatus::Ok;
    }
    return Fail(RegStatus::NotFound, ENOENT);
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
    const RegStatus status = ChangeKey(root_, path_, error, [&](regedit4::Key& key) {
        if (regedit4::NamedValue* existing = regedit4::FindValue(key, name)) {
            existing->value = std::move(value);
        } else {
            key.values.push_back({name, std::move(value)});
        }
        return true;
    });
    return status == RegStatus::Ok ? status : Fail(status, error);
}

RegStatus RegistryKey::EnumValue(uint32_t index, std::string& name, RegValue& value) {
    if (!open_)
        return Fail(RegStatus::Failed, EINVAL);
    std::vector<regedit4::NamedValue> values;
    bool exists = false;
    uint32_t error = 0;
    const RegStatus status = LoadValues(root_, path_, values, exists, error);
    if (status != RegStatus::Ok)
        return Fail(status, error);
    if (index >= values.size())
        return Fail(RegStatus::NoMoreItems, ENOENT);
    name = values[index].name;
    value = values[index].value;
    return RegStatus::Ok;
}

std::string RegistryKey::ErrorText() const {
    if (lastError_ == EILSEQ)
        return "The settings file is not a REGEDIT4 text.";
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
