// The settings store over an arbitrary (hand-edited, damaged) store file: the REGEDIT4 text, the
// registry calls on it, and vexim restoring its settings from it.
//
// A text that parses is given back by its own formatting: Parse(Format(d)) == d. Whatever the
// file holds, vexim's restored settings are usable ones, and a value set through the store loses
// nothing else: every other value reads back as before, and a file that could not be read is
// left exactly as it was.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "downloader/settings.h"
#include "platform/posix/regedit4.h"
#include "platform/registry.h"
#include "scratch_files.h"

namespace {

namespace regedit4 = platform::regedit4;
using platform::RegRoot;
using platform::RegStatus;

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

bool SameValue(const platform::RegValue& a, const platform::RegValue& b) {
    return a.type == b.type && a.data == b.data;
}

bool SameDocument(const regedit4::Document& a, const regedit4::Document& b) {
    if (a.keys.size() != b.keys.size())
        return false;
    for (size_t k = 0; k < a.keys.size(); ++k) {
        const regedit4::Key& x = a.keys[k];
        const regedit4::Key& y = b.keys[k];
        if (x.path != y.path || x.values.size() != y.values.size())
            return false;
        for (size_t v = 0; v < x.values.size(); ++v) {
            if (x.values[v].name != y.values[v].name ||
                !SameValue(x.values[v].value, y.values[v].value))
                return false;
        }
    }
    return true;
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string& StorePath() {
    static const std::string path = [] {
        const std::string store = fuzz::ScratchFolder() + "/registry.reg";
        ::setenv("CALVENTO_REGISTRY", store.c_str(), 1);
        return store;
    }();
    return path;
}

void CheckRestoredSettings() {
    linkSettings = LinkSettings{};
    loadOptions = LoadOptions{};
    if (RestoreSettings() != 1)
        return;
    Check(linkSettings.timeoutMs >= 500 && linkSettings.timeoutMs <= kLongestTimeoutMs);
    Check(linkSettings.retries >= 1);
    Check(linkSettings.drop >= 0 && linkSettings.drop <= 255);
    const int16_t channel = loadOptions.channel;
    Check(channel == 1 || channel == 2 || channel == 10 || channel == 11);
    Check(loadOptions.fileName.size() <= kMaxFileName);
    Check(linkSettings.portName.size() <= kMaxPortName);
    Check(linkSettings.host.size() <= kMaxHost);
}

// Every key of the key tree below the settings key, each value queried and enumerated.
void ReadAll(const regedit4::Document& doc) {
    for (const regedit4::Key& key : doc.keys) {
        const std::string prefix = "HKEY_CURRENT_USER\\";
        if (key.path.rfind(prefix, 0) != 0)
            continue;
        platform::RegistryKey open;
        if (open.Open(RegRoot::CurrentUser, key.path.substr(prefix.size())) != RegStatus::Ok)
            continue;
        std::string name;
        platform::RegValue value;
        for (uint32_t i = 0; open.EnumValue(i, name, value) == RegStatus::Ok; ++i) {
            platform::RegValue queried;
            Check(open.Query(name, queried) == RegStatus::Ok);
            uint32_t size = 0;
            Check(open.Query(name, nullptr, nullptr, &size) == RegStatus::Ok);
            Check(size == queried.data.size());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    regedit4::Document doc;
    std::string error;
    const bool parsed = regedit4::Parse(text, doc, error);
    if (parsed) {
        regedit4::Document again;
        Check(regedit4::Parse(regedit4::Format(doc), again, error));
        Check(SameDocument(doc, again));
    }

    const std::string& store = StorePath();
    fuzz::WriteScratchFile("registry.reg", data, size);
    CheckRestoredSettings();
    if (parsed)
        ReadAll(doc);

    platform::RegistryKey key;
    const RegStatus created = key.Create(RegRoot::CurrentUser, kSettingsKey);
    const RegStatus set =
        created == RegStatus::Ok ? key.SetDword("Fuzz Value", 0x12345678) : created;
    key.Close();
    if (set != RegStatus::Ok) {
        Check(ReadWhole(store) == text);
        return 0;
    }
    // Only a file with nothing in it may be taken for an empty store.
    Check(parsed || text.find_first_not_of(" \t\r\n") == std::string::npos);
    if (!parsed)
        return 0;
    regedit4::Document after;
    Check(regedit4::Parse(ReadWhole(store), after, error));
    const std::string settingsPath = std::string("HKEY_CURRENT_USER\\") + kSettingsKey;
    for (const regedit4::Key& before : doc.keys) {
        regedit4::Key* first = regedit4::FindKey(doc, before.path);
        regedit4::Key* now = regedit4::FindKey(after, before.path);
        Check(now != nullptr);
        for (const regedit4::NamedValue& value : first->values) {
            if (regedit4::SameName(before.path, settingsPath) &&
                regedit4::SameName(value.name, "Fuzz Value"))
                continue;
            const regedit4::NamedValue* original = regedit4::FindValue(*first, value.name);
            const regedit4::NamedValue* kept = regedit4::FindValue(*now, value.name);
            Check(kept != nullptr && SameValue(original->value, kept->value));
        }
    }
    return 0;
}
