// The settings store on Windows: the registry itself, through advapi32.

#include "platform/registry.h"

#include <windows.h>

#include <vector>

namespace platform {

namespace {

HKEY RootKey(RegRoot root) {
    return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

RegStatus StatusOf(LONG error) {
    switch (error) {
        case ERROR_SUCCESS:
            return RegStatus::Ok;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return RegStatus::NotFound;
        case ERROR_MORE_DATA:
            return RegStatus::MoreData;
        case ERROR_NO_MORE_ITEMS:
            return RegStatus::NoMoreItems;
        case ERROR_ACCESS_DENIED:
            return RegStatus::Denied;
        default:
            return RegStatus::Failed;
    }
}

HKEY Handle(void* handle) {
    return static_cast<HKEY>(handle);
}

}  // namespace

RegStatus RegistryKey::Open(RegRoot root, const std::string& path) {
    Close();
    HKEY key = nullptr;
    const LONG error = RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_READ, &key);
    if (error != ERROR_SUCCESS)
        return Fail(StatusOf(error), static_cast<uint32_t>(error));
    return Opened(root, path, key);
}

RegStatus RegistryKey::Create(RegRoot root, const std::string& path) {
    Close();
    HKEY key = nullptr;
    const LONG error = RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, 0,
                                       KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    if (error != ERROR_SUCCESS)
        return Fail(StatusOf(error), static_cast<uint32_t>(error));
    return Opened(root, path, key);
}

void RegistryKey::Close() {
    if (handle_)
        RegCloseKey(Handle(handle_));
    handle_ = nullptr;
    open_ = false;
    path_.clear();
}

RegStatus RegistryKey::Query(const std::string& name, RegType* type, void* data, uint32_t* size) {
    if (!open_ || !size)
        return Fail(RegStatus::Failed, ERROR_INVALID_PARAMETER);
    DWORD valueType = 0;
    DWORD bytes = *size;
    const LONG error = RegQueryValueExA(Handle(handle_), name.c_str(), nullptr, &valueType,
                                        static_cast<BYTE*>(data), &bytes);
    *size = bytes;
    if (error == ERROR_SUCCESS || error == ERROR_MORE_DATA) {
        if (type)
            *type = static_cast<RegType>(valueType);
    }
    return error == ERROR_SUCCESS ? RegStatus::Ok
                                  : Fail(StatusOf(error), static_cast<uint32_t>(error));
}

RegStatus RegistryKey::SetValue(const std::string& name, RegType type, const void* data,
                                uint32_t size) {
    if (!open_)
        return Fail(RegStatus::Failed, ERROR_INVALID_HANDLE);
    const LONG error = RegSetValueExA(Handle(handle_), name.c_str(), 0, static_cast<DWORD>(type),
                                      static_cast<const BYTE*>(data), size);
    return error == ERROR_SUCCESS ? RegStatus::Ok
                                  : Fail(StatusOf(error), static_cast<uint32_t>(error));
}

RegStatus RegistryKey::EnumValue(uint32_t index, std::string& name, RegValue& value) {
    if (!open_)
        return Fail(RegStatus::Failed, ERROR_INVALID_HANDLE);
    DWORD maxName = 0, maxData = 0;
    LONG error = RegQueryInfoKeyA(Handle(handle_), nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, &maxName, &maxData, nullptr, nullptr);
    if (error != ERROR_SUCCESS)
        return Fail(StatusOf(error), static_cast<uint32_t>(error));
    std::vector<char> nameBuffer(maxName + 1);
    std::vector<BYTE> dataBuffer(maxData);
    DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
    DWORD dataLength = maxData;
    DWORD valueType = 0;
    error = RegEnumValueA(Handle(handle_), index, nameBuffer.data(), &nameLength, nullptr,
                          &valueType, dataBuffer.data(), &dataLength);
    if (error != ERROR_SUCCESS)
        return Fail(StatusOf(error), static_cast<uint32_t>(error));
    name.assign(nameBuffer.data(), nameLength);
    value.type = static_cast<RegType>(valueType);
    value.data.assign(dataBuffer.begin(), dataBuffer.begin() + dataLength);
    return RegStatus::Ok;
}

std::string RegistryKey::ErrorText() const {
    char text[101] = {};
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, lastError_,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text - 1, nullptr);
    return std::string(text, length);
}

std::string SerialDeviceForPort(const std::string& comName) {
    std::string name = comName;
    if (!name.empty() && name.back() == ':')
        name.pop_back();
    if (name.empty())
        return {};
    // The \\.\ form opens COM10 and above as well as COM1 to COM9.
    return "\\\\.\\" + name;
}

}  // namespace platform
