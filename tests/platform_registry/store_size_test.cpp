// A store file of any size a user may meet is read whole and answers by name, and one beyond the
// store's limit is refused whole with a message, never read in part nor made by our own writes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/regedit4.h"
#include "platform/posix/registry_store.h"
#include "platform/registry.h"
#include "temp_store.h"

using platform::RegistryKey;
using platform::RegRoot;
using platform::RegStatus;
namespace regedit4 = platform::regedit4;

namespace {

constexpr const char* kKey = "SOFTWARE\\Calvento R&D\\TEST";
constexpr const char* kKeyLine = "[HKEY_CURRENT_USER\\SOFTWARE\\Calvento R&D\\TEST]\n";

std::string ToolKey(size_t n) {
    return "HKEY_CURRENT_USER\\SOFTWARE\\Calvento R&D\\Tool " + std::to_string(n);
}

// Eight digits that differ for each section.
std::string ValueDigits(size_t n) {
    return std::to_string(10000000 + n);
}

// A store text of `bytes` bytes exactly: the test key with one value, padded by a comment.
std::string StoreOfSize(size_t bytes) {
    const std::string body = std::string("REGEDIT4\n\n") + kKeyLine + "\"Drop\"=dword:00000007\n";
    std::string text = body + ";";
    text.append(bytes - text.size() - 1, 'x');
    text += '\n';
    return text;
}

}  // namespace

// Tens of thousands of sections, some named twice in other letter cases and with values
// deleted and set again: each name is one key, its values merged in the order first set.
TEST(StoreSizeTest, ManySectionsAreEachFoundByName) {
    constexpr size_t kSections = 40000;
    std::string text = "REGEDIT4\n";
    for (size_t n = 0; n < kSections; ++n) {
        text += "\n[" + ToolKey(n) + "]\n\"Value\"=dword:" + ValueDigits(n) + "\n";
    }
    // Back to earlier sections under other letter cases.
    text +=
        "\n[HKEY_CURRENT_USER\\software\\CALVENTO R&D\\tool 7]\n"
        "\"Second\"=\"b\"\n\"Third\"=\"c\"\n\"second\"=-\n\"VALUE\"=dword:00000001\n";
    text +=
        "\n[HKEY_CURRENT_USER\\software\\CALVENTO R&D\\tool 8]\n"
        "\"Second\"=\"b\"\n\"value\"=-\n\"VALUE\"=dword:00000001\n";
    text += "\n[" + ToolKey(kSections - 1) + "]\n\"Value\"=\"last\"\n";

    regedit4::Document doc;
    std::string error;
    ASSERT_TRUE(regedit4::Parse(text, doc, error)) << error;
    ASSERT_EQ(doc.keys.size(), kSections);
    for (size_t n : {size_t{0}, size_t{6}, size_t{1234}, kSections - 2}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(doc.keys[n].path, ToolKey(n));
        ASSERT_EQ(doc.keys[n].values.size(), 1u);
        const uint32_t stored = static_cast<uint32_t>(std::stoul(ValueDigits(n), nullptr, 16));
        EXPECT_EQ(doc.keys[n].values[0].value.data,
                  (std::vector<uint8_t>{
                      static_cast<uint8_t>(stored), static_cast<uint8_t>(stored >> 8),
                      static_cast<uint8_t>(stored >> 16), static_cast<uint8_t>(stored >> 24)}));
    }
    // A value set again keeps its place and name; one deleted and set again goes last.
    const regedit4::Key& seven = doc.keys[7];
    ASSERT_EQ(seven.values.size(), 2u);
    EXPECT_EQ(seven.values[0].name, "Value");
    EXPECT_EQ(seven.values[0].value.data, (std::vector<uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(seven.values[1].name, "Third");
    const regedit4::Key& eight = doc.keys[8];
    ASSERT_EQ(eight.values.size(), 2u);
    EXPECT_EQ(eight.values[0].name, "Second");
    EXPECT_EQ(eight.values[1].name, "VALUE");
    EXPECT_EQ(eight.values[1].value.data, (std::vector<uint8_t>{1, 0, 0, 0}));
    const regedit4::Key& last = doc.keys[kSections - 1];
    ASSERT_EQ(last.values.size(), 1u);
    EXPECT_EQ(last.values[0].value.type, platform::RegType::String);

    // The same through the store, and the text written back reads as the same document.
    TempStore store;
    store.Write(text);
    RegistryKey key;
    ASSERT_EQ(key.Open(RegRoot::CurrentUser, "SOFTWARE\\Calvento R&D\\Tool 39998"), RegStatus::Ok);
    uint32_t value = 0;
    EXPECT_EQ(key.QueryDword("value", value), RegStatus::Ok);
    EXPECT_EQ(value, 0x10039998u);
    regedit4::Document again;
    ASSERT_TRUE(regedit4::Parse(regedit4::Format(doc), again, error)) << error;
    EXPECT_EQ(regedit4::Format(again), regedit4::Format(doc));
}

// A key answers from the store as it was opened: the values a routine reads belong together,
// even when another program rewrites the store between two of its reads. Its own writes show.
TEST(StoreSizeTest, AnOpenKeyAnswersFromOneReadingOfTheStore) {
    TempStore store;
    {
        RegistryKey writer;
        ASSERT_EQ(writer.Create(RegRoot::CurrentUser, kKey), RegStatus::Ok);
        ASSERT_EQ(writer.SetDword("FileCount", 2), RegStatus::Ok);
        ASSERT_EQ(writer.SetString("History", "two records"), RegStatus::Ok);
    }
    RegistryKey reader;
    ASSERT_EQ(reader.Open(RegRoot::CurrentUser, kKey), RegStatus::Ok);
    uint32_t count = 0;
    ASSERT_EQ(reader.QueryDword("FileCount", count), RegStatus::Ok);
    {
        RegistryKey other;
        ASSERT_EQ(other.Create(RegRoot::CurrentUser, kKey), RegStatus::Ok);
        ASSERT_EQ(other.SetDword("FileCount", 5), RegStatus::Ok);
        ASSERT_EQ(other.SetString("History", "five records"), RegStatus::Ok);
    }
    std::string history;
    EXPECT_EQ(reader.QueryString("History", history, 100), RegStatus::Ok);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(history, "two records");
    std::string name;
    platform::RegValue value;
    EXPECT_EQ(reader.EnumValue(2, name, value), RegStatus::NoMoreItems);

    // A key that writes sees the store as it wrote it, the other program's values included.
    RegistryKey both;
    ASSERT_EQ(both.Create(RegRoot::CurrentUser, kKey), RegStatus::Ok);
    store.Write(std::string("REGEDIT4\n\n") + kKeyLine + "\"FileCount\"=dword:00000006\n");
    ASSERT_EQ(both.SetDword("Drop", 9), RegStatus::Ok);
    EXPECT_EQ(both.QueryDword("FileCount", count), RegStatus::Ok);
    EXPECT_EQ(count, 6u);
    EXPECT_EQ(both.QueryDword("DROP", count), RegStatus::Ok);
    EXPECT_EQ(count, 9u);
}

// The limit itself is a store; a byte more is refused whole, with the reason, and kept as it is.
TEST(StoreSizeTest, StoreOverTheLimitIsRefusedWhole) {
    const struct {
        size_t bytes;
        bool read;
    } cases[] = {{platform::store::kLargestStoreBytes, true},
                 {platform::store::kLargestStoreBytes + 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        TempStore store;
        const std::string text = StoreOfSize(c.bytes);
        ASSERT_EQ(text.size(), c.bytes);
        store.Write(text);
        RegistryKey key;
        if (c.read) {
            ASSERT_EQ(key.Open(RegRoot::CurrentUser, kKey), RegStatus::Ok);
            uint32_t drop = 0;
            EXPECT_EQ(key.QueryDword("Drop", drop), RegStatus::Ok);
            EXPECT_EQ(drop, 7u);
            continue;
        }
        EXPECT_EQ(key.Open(RegRoot::CurrentUser, kKey), RegStatus::Failed);
        EXPECT_FALSE(key.IsOpen());
        EXPECT_EQ(key.ErrorText(), "The settings file is larger than 16 MiB.");
        EXPECT_EQ(key.Create(RegRoot::CurrentUser, kKey), RegStatus::Failed);
        EXPECT_EQ(key.ErrorText(), "The settings file is larger than 16 MiB.");
        EXPECT_EQ(store.Read(), text);
    }
}

// A value that would take the store past the limit is refused and the store keeps what it held:
// a write never makes the settings unreadable.
TEST(StoreSizeTest, WriteThatWouldPassTheLimitLeavesTheStore) {
    TempStore store;
    RegistryKey key;
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, kKey), RegStatus::Ok);
    ASSERT_EQ(key.SetDword("Drop", 7), RegStatus::Ok);
    const std::string before = store.Read();
    // Three characters of text per byte: far over the limit.
    const std::vector<uint8_t> huge(platform::store::kLargestStoreBytes / 3 + 1, 0xAB);
    EXPECT_EQ(key.SetBinary("History", huge.data(), static_cast<uint32_t>(huge.size())),
              RegStatus::Failed);
    EXPECT_EQ(key.ErrorText(), "The settings file is larger than 16 MiB.");
    EXPECT_EQ(store.Read(), before);
    RegistryKey again;
    ASSERT_EQ(again.Open(RegRoot::CurrentUser, kKey), RegStatus::Ok);
    uint32_t drop = 0;
    EXPECT_EQ(again.QueryDword("Drop", drop), RegStatus::Ok);
    EXPECT_EQ(drop, 7u);
    platform::RegValue history;
    EXPECT_EQ(again.Query("History", history), RegStatus::NotFound);
}
