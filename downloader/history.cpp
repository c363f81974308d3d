#include "downloader/history.h"

#include <cstring>
#include <vector>

#include "downloader/settings.h"
#include "platform/debug_output.h"
#include "platform/registry.h"

using platform::RegistryKey;
using platform::RegRoot;
using platform::RegStatus;

SystemProfile downloadHistory[kHistorySize];
int32_t historyCount = 0;
std::string profileHistory[kHistorySize];

namespace {

constexpr size_t kProfileNameWidth = 260;
constexpr size_t kProfileHistoryBytes = kHistorySize * kProfileNameWidth;  // 2080
constexpr size_t kHistoryBytes = kHistorySize * kSystemProfileSize;        // 11432

char Fold(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameFileName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    }
    return true;
}

// A name ends at its first NUL and at the latest at the last byte of its slot.
std::string SlotText(const uint8_t* slot, size_t available) {
    const size_t width = available < kProfileNameWidth ? available : kProfileNameWidth;
    size_t length = 0;
    while (length + 1 < width && slot[length] != 0)
        ++length;
    return std::string(reinterpret_cast<const char*>(slot), length);
}

void ReadProfileHistory(RegistryKey& key) {
    platform::RegValue value;
    const bool readable = key.Query("ProfileHistory", value) == RegStatus::Ok &&
                          value.data.size() <= kProfileHistoryBytes;
    for (int32_t i = 0; i < kHistorySize; ++i) {
        const size_t offset = static_cast<size_t>(i) * kProfileNameWidth;
        profileHistory[i] = readable && offset < value.data.size()
                                ? SlotText(value.data.data() + offset, value.data.size() - offset)
                                : std::string();
    }
}

// False when "History" is missing or unreadable; the records it holds are decoded as far as
// whole records go.
bool ReadDownloadHistory(RegistryKey& key, int32_t& wholeRecords) {
    platform::RegValue value;
    if (key.Query("History", value) != RegStatus::Ok || value.data.size() > kHistoryBytes)
        return false;
    wholeRecords = static_cast<int32_t>(value.data.size() / kSystemProfileSize);
    for (int32_t i = 0; i < wholeRecords; ++i) {
        downloadHistory[i] = DecodeProfile(value.data.data() + i * kSystemProfileSize);
    }
    return true;
}

}  // namespace

void ListHistoryFiles(platform::ui::Window mainDialog) {
    if (!mainDialog)
        return;
    platform::ui::ClearItems(mainDialog, kFileBox);
    for (int32_t i = 0; i < historyCount; ++i) {
        platform::ui::AddItem(mainDialog, kFileBox, downloadHistory[i].fileName);
    }
}

void RestoreFiles(platform::ui::Window mainDialog) {
    RegistryKey key;
    if (key.Open(RegRoot::CurrentUser, kSettingsKey) != RegStatus::Ok) {
        platform::DebugOutput("RestoreFiles failed to open Registry Key!\n");
        return;
    }
    platform::DebugOutput("RestoreFiles opened Registry Key!\n");
    uint32_t count = 0;
    if (key.QueryDword("FileCount", count) == RegStatus::Ok)
        historyCount = static_cast<int32_t>(count);
    if (historyCount < 0 || historyCount > kHistorySize)
        historyCount = 0;
    ReadProfileHistory(key);
    int32_t wholeRecords = 0;
    if (!ReadDownloadHistory(key, wholeRecords)) {
        // Without the records there is nothing the count could stand for.
        historyCount = 0;
        return;
    }
    for (int32_t i = 0; i < historyCount; ++i) {
        if (i >= wholeRecords || downloadHistory[i].recordSize != kSystemProfileSize) {
            historyCount = i;
            break;
        }
    }
    key.Close();
    if (!mainDialog)
        return;
    for (int32_t i = 0; i < historyCount; ++i) {
        platform::ui::AddItem(mainDialog, kFileBox, downloadHistory[i].fileName);
    }
}

void SaveHistory() {
    RegistryKey key;
    if (key.Create(RegRoot::CurrentUser, kSettingsKey) != RegStatus::Ok)
        return;
    std::vector<uint8_t> names(kProfileHistoryBytes, 0);
    for (int32_t i = 0; i < kHistorySize; ++i) {
        const std::string& name = profileHistory[i];
        if (name.size() < kProfileNameWidth) {
            std::memcpy(names.data() + i * kProfileNameWidth, name.data(), name.size());
        }
    }
    std::vector<uint8_t> records(kHistoryBytes, 0);
    for (int32_t i = 0; i < kHistorySize; ++i) {
        ProfileBytes bytes{};
        if (EncodeProfile(downloadHistory[i], bytes)) {
            std::memcpy(records.data() + i * kSystemProfileSize, bytes.data(), bytes.size());
        }
    }
    key.SetDword("FileCount", static_cast<uint32_t>(historyCount));
    key.SetBinary("ProfileHistory", names.data(), static_cast<uint32_t>(names.size()));
    key.SetBinary("History", records.data(), static_cast<uint32_t>(records.size()));
}

bool AddDownloadHistory(const SystemProfile& record) {
    SystemProfile entry = record;
    entry.recordSize = kSystemProfileSize;
    ProfileBytes check{};
    if (!EncodeProfile(entry, check))
        return false;
    int32_t found = -1;
    for (int32_t i = 0; i < historyCount; ++i) {
        if (SameFileName(downloadHistory[i].fileName, entry.fileName)) {
            found = i;
            break;
        }
    }
    // Shift the newer records down one place: over the old entry of this file, or past the
    // end, where the oldest of a full history falls off.
    const int32_t moved =
        found >= 0 ? found : (historyCount < kHistorySize ? historyCount : kHistorySize - 1);
    for (int32_t i = moved; i > 0; --i)
        downloadHistory[i] = downloadHistory[i - 1];
    downloadHistory[0] = entry;
    if (found < 0 && historyCount < kHistorySize)
        ++historyCount;
    SaveHistory();
    return true;
}

void AddProfileHistory(const std::string& name) {
    if (name.empty() || name.size() >= kProfileNameWidth)
        return;
    for (const std::string& stored : profileHistory) {
        if (stored == name)
            return;
    }
    for (int32_t i = kHistorySize - 1; i > 0; --i)
        profileHistory[i] = profileHistory[i - 1];
    profileHistory[0] = name;
}
