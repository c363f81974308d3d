#include "downloader/payload_crc.h"

#include <gtest/gtest.h>

#include "vxo_builder.h"

TEST(PayloadCrcTest, AClosedPayloadChecksToZero) {
    for (size_t size : {1u, 2u, 99u, 200u}) {
        std::vector<uint16_t> words = vxo::CountingWords(size, 0xA55A);
        words.push_back(PayloadCrc(0xFFFF, words.data(), static_cast<int32_t>(words.size())));
        EXPECT_EQ(PayloadCrc(0xFFFF, words.data(), static_cast<int32_t>(words.size())), 0) << size;
        EXPECT_EQ(words.back(), vxo::CrcWordFor(vxo::CountingWords(size, 0xA55A)));
    }
}

TEST(PayloadCrcTest, KnownValueAndByteOrder) {
    // The Modbus CRC of bytes 01 02 is 0xE181; fed as the word 0x0102 it comes back swapped.
    const uint16_t word = 0x0102;
    EXPECT_EQ(PayloadCrc(0xFFFF, &word, 1), 0x81E1);
    const uint16_t swapped = 0x0201;
    EXPECT_NE(PayloadCrc(0xFFFF, &swapped, 1), 0x81E1);
}

TEST(PayloadCrcTest, RunsContinueAcrossPieces) {
    const std::vector<uint16_t> words = vxo::CountingWords(250, 7);
    const uint16_t whole = PayloadCrc(0xFFFF, words.data(), 250);
    uint16_t pieces = 0xFFFF;
    for (int start = 0; start < 250; start += 99) {
        pieces = PayloadCrc(pieces, words.data() + start, std::min(99, 250 - start));
    }
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(PayloadCrc(0x1234, words.data(), 0), 0x1234);
}

TEST(PayloadCrcTest, ADamagedWordIsNoticed) {
    std::vector<uint16_t> words = vxo::CountingWords(40);
    words.push_back(vxo::CrcWordFor(vxo::CountingWords(40)));
    words[17] ^= 0x0100;
    EXPECT_NE(PayloadCrc(0xFFFF, words.data(), static_cast<int32_t>(words.size())), 0);
}
