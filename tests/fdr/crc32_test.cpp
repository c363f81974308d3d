#include "fdr/prm/crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace {

uint32_t Crc(const std::string& text) {
    return fdr::calcCrc32(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

TEST(Crc32, KnownAnswers) {
    const struct {
        std::string text;
        uint32_t crc;
    } cases[] = {
        {"123456789", 0xCBF43926u},
        {"abc", 0x352441C2u},
        {"", 0x00000000u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Crc(c.text), c.crc) << c.text;
}

TEST(Crc32, OnlyTheFirstNBytesCount) {
    const std::string text = "123456789 and more";
    EXPECT_EQ(fdr::calcCrc32(reinterpret_cast<const uint8_t*>(text.data()), 9), 0xCBF43926u);
}

TEST(Crc32, AgreesWithZlibOverEveryByteValue) {
    std::vector<uint8_t> bytes;
    for (int round = 0; round < 3; ++round) {
        for (int value = 0; value < 256; ++value)
            bytes.push_back(static_cast<uint8_t>(value * 7 + round));
    }
    for (size_t length : {size_t{1}, size_t{255}, size_t{256}, bytes.size()}) {
        const uLong expected = crc32(crc32(0L, Z_NULL, 0), bytes.data(), static_cast<uInt>(length));
        EXPECT_EQ(fdr::calcCrc32(bytes.data(), length), expected) << length;
    }
}

}  // namespace
