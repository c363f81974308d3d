#include <gtest/gtest.h>

#include <vector>

#include "downloader/fixup_list.h"
#include "downloader/relocation.h"

namespace {

class FixupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ClearFixups();
        carryPending = false;
        codeBase = dataBase = hookBase = 0;
    }
};

std::vector<uint32_t> ListedOffsets() {
    std::vector<uint32_t> offsets;
    RewindFixups();
    while (const FixupEntry* entry = NextFixup()) {
        offsets.push_back(entry->offset);
    }
    RewindFixups();
    return offsets;
}

}  // namespace

TEST_F(FixupTest, KeptInOffsetOrderLaterEqualOffsetsFirst) {
    const uint32_t offsets[] = {40, 8, 100, 8, 0x80000000u, 60, 2};
    for (size_t i = 0; i < std::size(offsets); ++i) {
        AddFixup(offsets[i], kCodeFixup + (i == 3 ? 1 : 0));
    }
    EXPECT_EQ(ListedOffsets(), (std::vector<uint32_t>{2, 8, 8, 40, 60, 100, 0x80000000u}));
    EXPECT_EQ(FixupAt(1).type, kDataFixup);  // the later of the two at offset 8
    EXPECT_EQ(FixupAt(2).type, kCodeFixup);
}

TEST_F(FixupTest, CursorStepsBackNotBelowZero) {
    for (uint32_t offset : {0u, 4u, 8u}) {
        AddFixup(offset, kCodeFixup);
    }
    NextFixup();
    NextFixup();
    StepBackFixups(1);
    EXPECT_EQ(NextFixup()->offset, 4u);
    StepBackFixups(10);
    EXPECT_EQ(NextFixup()->offset, 0u);
    NextFixup();
    NextFixup();
    EXPECT_EQ(NextFixup(), nullptr);
    ClearFixups();
    EXPECT_EQ(FixupCount(), 0u);
    EXPECT_EQ(NextFixup(), nullptr);
}

TEST_F(FixupTest, ManyEntriesGrowTheList) {
    for (uint32_t i = 20000; i > 0; --i) {
        AddFixup(i * 4, kHookFixup);
    }
    ASSERT_EQ(FixupCount(), 20000u);
    EXPECT_EQ(FixupAt(0).offset, 4u);
    EXPECT_EQ(FixupAt(19999).offset, 80000u);
}

// Linkers often list relocations from the highest offset down, three blocks of them, a quarter
// of a million in a large object: every one is handed out once, in offset order.
TEST_F(FixupTest, ObjectSizedListsFromTheTopDownComeOutInOrder) {
    constexpr uint32_t kPerType = 250000 / 3;
    const uint32_t types[] = {kCodeFixup, kDataFixup, kHookFixup};
    for (size_t t = 0; t < 3; ++t) {
        for (uint32_t i = kPerType; i > 0; --i) {
            AddFixup((3 * i + static_cast<uint32_t>(t)) * 4, types[t]);
        }
    }
    ASSERT_EQ(FixupCount(), size_t{3} * kPerType);
    uint32_t expectedOffset = 12;
    size_t handedOut = 0;
    while (const FixupEntry* entry = NextFixup()) {
        ASSERT_EQ(entry->offset, expectedOffset) << handedOut;
        ASSERT_EQ(entry->type, types[(expectedOffset / 4) % 3]) << handedOut;
        expectedOffset += 4;
        ++handedOut;
    }
    EXPECT_EQ(handedOut, size_t{3} * kPerType);
}

// Entries added after the list was read join it in order, ahead of older ones at their offset.
TEST_F(FixupTest, EntriesAddedAfterAReadJoinInOrder) {
    AddFixup(8, kCodeFixup);
    AddFixup(4, kCodeFixup);
    AddFixup(8, kDataFixup);
    EXPECT_EQ(ListedOffsets(), (std::vector<uint32_t>{4, 8, 8}));
    EXPECT_EQ(FixupAt(1).type, kDataFixup);
    AddFixup(8, kHookFixup);
    AddFixup(2, kCodeFixup);
    AddFixup(12, kDataFixup);
    AddFixup(8, kCodeFixup);
    EXPECT_EQ(ListedOffsets(), (std::vector<uint32_t>{2, 4, 8, 8, 8, 8, 12}));
    // At offset 8, newest first: code, hook, then the data and code entries of the first read.
    const uint32_t atEight[] = {kCodeFixup, kHookFixup, kDataFixup, kCodeFixup};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(FixupAt(2 + i).type, atEight[i]) << i;
    }
}

TEST_F(FixupTest, RelocatesEachTypeByItsDelta) {
    AddFixup(0, kCodeFixup);
    AddFixup(4, kDataFixup);
    AddFixup(8, kHookFixup);
    codeBase = 0x00010000;
    dataBase = 0xFFFFFFFF;  // -1, modulo 2^32
    hookBase = 0x00000002;
    uint16_t words[7] = {0x0001, 0xFFFF, 0x0000, 0x0000, 0x1234, 0xFFFF, 0x7777};
    EXPECT_EQ(ApplyFixups(words, 7, 0), 7u);
    const uint16_t expected[7] = {0x0002, 0xFFFF, 0xFFFF, 0xFFFF, 0x1235, 0x0001, 0x7777};
    EXPECT_TRUE(std::equal(words, words + 7, expected));
    EXPECT_FALSE(carryPending);
}

TEST_F(FixupTest, AValueAtAChunkEdgeIsCarriedIntoTheNextChunk) {
    // 200 payload words in chunks of 99: a value at words 98-99 holds word 98 back.
    AddFixup(98 * 2, kCodeFixup);
    AddFixup(150 * 2, kCodeFixup);
    codeBase = 0x10;
    std::vector<uint16_t> payload(200);
    for (size_t i = 0; i < payload.size(); ++i) {
        payload[i] = static_cast<uint16_t>(i);
    }
    std::vector<uint16_t> sent;
    std::vector<uint32_t> chunkSizes;
    uint32_t wordsSent = 0;
    for (size_t read = 0; read < payload.size(); read += 99) {
        uint16_t chunk[100];
        const uint32_t count = static_cast<uint32_t>(std::min<size_t>(99, payload.size() - read));
        std::copy_n(payload.begin() + read, count, chunk);
        const uint32_t toSend = ApplyFixups(chunk, count, wordsSent);
        chunkSizes.push_back(toSend);
        sent.insert(sent.end(), chunk, chunk + toSend);
        wordsSent += toSend;
    }
    EXPECT_EQ(chunkSizes, (std::vector<uint32_t>{98, 100, 2}));
    ASSERT_EQ(sent.size(), 200u);
    EXPECT_EQ(sent[98], 98);
    EXPECT_EQ(sent[99], 99 + 0x10);
    EXPECT_EQ(sent[151], 151 + 0x10);
    EXPECT_EQ(sent[150], 150);
    EXPECT_FALSE(carryPending);
}

TEST_F(FixupTest, ASingleWordChunkHeldBackSendsNothingNow) {
    AddFixup(10, kCodeFixup);
    uint16_t chunk[2] = {0xAAAA, 0};
    EXPECT_EQ(ApplyFixups(chunk, 1, 5), 0u);
    EXPECT_TRUE(carryPending);
    EXPECT_EQ(carriedWord, 0xAAAA);
}
