#pragma once

// The settings store. On Windows it is the registry itself; elsewhere it is one REGEDIT4 text
// file ($CALVENTO_REGISTRY, else ~/.config/calvento/registry.reg) holding the same keys, value
// names, types and bytes. Both answer like the registry API: a value that is missing says so,
// a buffer that is too small gets "more data" and the size it needs, so callers handle an
// unreadable value the same way on both systems.
//
// The store file is read once when a key is opened: its queries answer from what was read then
// (or from what the key last wrote). A store file over 16 MiB is refused whole (Open and Create
// fail), as is a change that would make it larger; ErrorText says why.
//
// Key paths are written as in the registry, with backslashes ("SOFTWARE\\Calvento R&D\\VEXIM");
// key and value names match without regard to letter case, as in the registry.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class RegRoot {
    CurrentUser,   // HKEY_CURRENT_USER
    LocalMachine,  // HKEY_LOCAL_MACHINE (read only; the serial port list lives there)
};

// The registry's own type numbers, so stored data keeps its meaning on both systems.
enum class RegType : uint32_t {
    None = 0,
    String = 1,        // REG_SZ: text with its terminating NUL
    ExpandString = 2,  // REG_EXPAND_SZ
    Binary = 3,        // REG_BINARY
    Dword = 4,         // REG_DWORD: normally 4 bytes little-endian; some values hold 2
};

enum class RegStatus {
    Ok,
    NotFound,     // no such key or value
    MoreData,     // the buffer is too small; the size it needs was returned
    NoMoreItems,  // enumeration past the last value
    WrongType,    // a typed query found a value of another type or size
    Denied,       // access refused
    Failed,       // any other failure (I/O error, malformed store file)
};

struct RegValue {
    RegType type = RegType::None;
    std::vector<uint8_t> data;
};

// One open key. Closed by Close() or when it goes out of scope.
class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens an existing key for reading (KEY_READ). NotFound when it does not exist.
    RegStatus Open(RegRoot root, const std::string& path);
    // Opens the key for reading and writing, creating it and its parents when missing.
    RegStatus Create(RegRoot root, const std::string& path);
    void Close();
    bool IsOpen() const { return open_; }

    // Like RegQueryValueEx: `data` may be null to ask only for the size. When `*size` is too
    // small the answer is MoreData with the needed size in `*size`; the buffer's content is
    // then undefined. `type` may be null.
    RegStatus Query(const std::string& name, RegType* type, void* data, uint32_t* size);
    // The whole value, whatever its size.
    RegStatus Query(const std::string& name, RegValue& value);

    // A REG_SZ or REG_EXPAND_SZ value, up to its first NUL. MoreData (and `text` unchanged)
    // when the text is longer than `maxChars`.
    RegStatus QueryString(const std::string& name, std::string& text, size_t maxChars);
    // A REG_DWORD value of exactly 4 bytes; WrongType for any other type or size.
    RegStatus QueryDword(const std::string& name, uint32_t& value);

    RegStatus SetValue(const std::string& name, RegType type, const void* data, uint32_t size);
    // REG_SZ, stored with its terminating NUL.
    RegStatus SetString(const std::string& name, const std::string& text);
    RegStatus SetDword(const std::string& name, uint32_t value);
    // A REG_DWORD holding only 2 bytes of data, the form some 16-bit settings are kept in.
    RegStatus SetShortDword(const std::string& name, uint16_t value);
    RegStatus SetBinary(const std::string& name, const void* data, uint32_t size);

    // Like RegEnumValue: the index-th value of the key, NoMoreItems past the last.
    RegStatus EnumValue(uint32_t index, std::string& name, RegValue& value);

    // The system's message text for the last failure of this key (at most 100 characters),
    // for log lines such as "\terror: %s\n".
    std::string ErrorText() const;

  private:
    RegStatus Opened(RegRoot root, const std::string& path, void* handle);
    RegStatus Fail(RegStatus status, uint32_t systemError);

    bool open_ = false;
    RegRoot root_ = RegRoot::CurrentUser;
    std::string path_;
    void* handle_ = nullptr;  // the registry handle on Windows; the key's values elsewhere
    uint32_t lastError_ = 0;  // the system error code of the last failure
};

// Windows' serial port list: HKEY_LOCAL_MACHINE "HARDWARE\DEVICEMAP\SERIALCOMM", one value per
// port, named by the device, holding its COM name. Off Windows the serial devices present
// (/dev/ttyUSB*, /dev/ttyACM*, the /dev/ttyS* with a UART) are listed as COM1, COM2, ...;
// entries that the store file holds under that key come first and keep their names, so a
// test or a user can give a pseudo-terminal or a particular adapter a COM name:
//   [HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM]
//   "/dev/pts/3"="COM7"
inline constexpr const char* kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

struct SerialPortEntry {
    std::string device;   // the value name: "\Device\Serial0" on Windows, "/dev/ttyUSB0" here
    std::string comName;  // the value data: "COM1"
};

// The serial ports in the order the system lists them.
std::vector<SerialPortEntry> ListSerialPorts();

// The device to open for a COM name ("COM3" or "COM3:", any letter case): "\\.\COM3" on
// Windows, the mapped device elsewhere. A name that is already a device path ("/dev/...")
// is returned as it is. Empty when no device carries that name.
std::string SerialDeviceForPort(const std::string& comName);

}  // namespace platform
