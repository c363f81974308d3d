// The MD5 digest against the published known answers, across the padding boundaries, and of
// files read in 500-byte pieces.

#include "downloader/md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "temp_store.h"

namespace {

std::string Hex(const uint8_t (&digest)[16]) {
    std::string text;
    char byte[3];
    for (uint8_t b : digest) {
        std::snprintf(byte, sizeof byte, "%02x", b);
        text += byte;
    }
    return text;
}

std::string DigestOf(const std::string& message) {
    Md5Context context{};
    Md5Init(context);
    Md5Update(context, reinterpret_cast<const uint8_t*>(message.data()),
              static_cast<uint32_t>(message.size()));
    Md5Final(context);
    return Hex(context.digest);
}

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

struct KnownAnswer {
    std::string message;
    const char* digest;
};

// RFC 1321's test suite, then runs of 'a' that end just before, on and after the 56-byte
// length boundary and the 64-byte block boundary, and the 500-byte read size.
std::vector<KnownAnswer> KnownAnswers() {
    return {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {Repeat("1234567890", 8), "57edf4a22be3c955ac49da2e2107b67a"},
        {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
        {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
        {std::string(57, 'a'), "652b906d60af96844ebd21b674f35e93"},
        {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
        {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
        {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
        {std::string(119, 'a'), "8a7bd0732ed6a28ce75f6dabc90e1613"},
        {std::string(120, 'a'), "5f61c0ccad4cac44c75ff505e1f1e537"},
        {std::string(500, 'a'), "be39ba69b8fe1601f6f24f85fa20ce6c"},
        {std::string(1000, 'a'), "cabe45dcc9ae5b66ba86600cca6b8ba8"},
        {std::string(1001, 'a'), "5a3054495c680f2bfa06e05ccf0809ae"},
    };
}

}  // namespace

TEST(Md5Test, KnownAnswersInOnePiece) {
    for (const KnownAnswer& k : KnownAnswers()) {
        EXPECT_EQ(DigestOf(k.message), k.digest) << k.message.size() << " bytes";
    }
}

TEST(Md5Test, KnownAnswersByteByByte) {
    for (const KnownAnswer& k : KnownAnswers()) {
        Md5Context context{};
        Md5Init(context);
        for (char c : k.message) {
            const uint8_t byte = static_cast<uint8_t>(c);
            Md5Update(context, &byte, 1);
        }
        Md5Final(context);
        EXPECT_EQ(Hex(context.digest), k.digest) << k.message.size() << " bytes";
    }
}

TEST(Md5Test, BitCountCarriesIntoTheHighWord) {
    Md5Context context{};
    Md5Init(context);
    context.bitCount[0] = 0xFFFFFFF8u;  // as after 2^29 - 1 bytes
    const uint8_t byte = 0;
    Md5Update(context, &byte, 1);
    EXPECT_EQ(context.bitCount[0], 0u);
    EXPECT_EQ(context.bitCount[1], 1u);
}

TEST(Md5Test, FileDigestMatchesTheKnownAnswers) {
    TempStore folder;
    for (const KnownAnswer& k : KnownAnswers()) {
        const std::string path = folder.folder() + "/code.vxo";
        std::ofstream(path, std::ios::binary) << k.message;
        Md5Context context{};
        ASSERT_EQ(DigestFile(context, path), 0);
        EXPECT_EQ(Hex(context.digest), k.digest) << k.message.size() << " bytes";
    }
}

TEST(Md5Test, UnreadableFileKeepsThePreviousDigest) {
    TempStore folder;
    const std::string path = folder.folder() + "/code.vxo";
    std::ofstream(path, std::ios::binary) << "abc";
    ASSERT_EQ(DigestFile(FileDigest, path), 0);
    for (const std::string& bad : {folder.folder() + "/missing.vxo", folder.folder()}) {
        EXPECT_EQ(DigestFile(FileDigest, bad), 1) << bad;
        EXPECT_EQ(Hex(FileDigest.digest), "900150983cd24fb0d6963f7d28e17f72") << bad;
    }
}
