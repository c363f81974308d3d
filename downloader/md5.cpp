#include "downloader/md5.h"

#include <cstdio>
#include <cstring>

Md5Context FileDigest{};
bool FileDigestListed = false;

namespace {

// Per-round shift amounts and the sine-derived constants of RFC 1321.
constexpr uint32_t kShift[4][4] = {
    {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

uint32_t RotateLeft(uint32_t x, uint32_t n) {
    return (x << n) | (x >> (32 - n));
}

void TransformBlock(uint32_t state[4], const uint8_t* block) {
    uint32_t words[16];
    for (int i = 0; i < 16; ++i) {
        words[i] = block[4 * i] | (block[4 * i + 1] << 8) | (block[4 * i + 2] << 16) |
                   (static_cast<uint32_t>(block[4 * i + 3]) << 24);
    }
    Md5Transform(state, words);
}

}  // namespace

void Md5Init(Md5Context& context) {
    context.bitCount[0] = context.bitCount[1] = 0;
    context.state[0] = 0x67452301;
    context.state[1] = 0xefcdab89;
    context.state[2] = 0x98badcfe;
    context.state[3] = 0x10325476;
}

void Md5Transform(uint32_t state[4], const uint32_t words[16]) {
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (uint32_t i = 0; i < 64; ++i) {
        const uint32_t round = i / 16;
        uint32_t f = 0, g = 0;
        switch (round) {
            case 0:
                f = (b & c) | (~b & d);
                g = i;
                break;
            case 1:
                f = (d & b) | (~d & c);
                g = (5 * i + 1) % 16;
                break;
            case 2:
                f = b ^ c ^ d;
                g = (3 * i + 5) % 16;
                break;
            default:
                f = c ^ (b | ~d);
                g = (7 * i) % 16;
                break;
        }
        const uint32_t rotated = RotateLeft(a + f + kSine[i] + words[g], kShift[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void Md5Update(Md5Context& context, const uint8_t* bytes, uint32_t length) {
    uint32_t filled = (context.bitCount[0] >> 3) & 63;
    const uint32_t low = context.bitCount[0] + (length << 3);
    if (low < context.bitCount[0])
        ++context.bitCount[1];
    context.bitCount[0] = low;
    context.bitCount[1] += length >> 29;

    while (length > 0) {
        const uint32_t take = length < 64 - filled ? length : 64 - filled;
        std::memcpy(context.block + filled, bytes, take);
        filled += take;
        bytes += take;
        length -= take;
        if (filled == 64) {
            TransformBlock(context.state, context.block);
            filled = 0;
        }
    }
}

void Md5Final(Md5Context& context) {
    uint8_t lengthBytes[8];
    for (int i = 0; i < 4; ++i) {
        lengthBytes[i] = static_cast<uint8_t>(context.bitCount[0] >> (8 * i));
        lengthBytes[4 + i] = static_cast<uint8_t>(context.bitCount[1] >> (8 * i));
    }
    // 0x80, then zeros up to 56 bytes modulo 64, then the length: 1 to 64 padding bytes.
    static const uint8_t kPadding[64] = {0x80};
    const uint32_t filled = (context.bitCount[0] >> 3) & 63;
    const uint32_t padLength = filled < 56 ? 56 - filled : 120 - filled;
    Md5Update(context, kPadding, padLength);
    Md5Update(context, lengthBytes, 8);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            context.digest[4 * i + j] = static_cast<uint8_t>(context.state[i] >> (8 * j));
        }
    }
}

int32_t DigestFile(Md5Context& context, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return 1;
    // Worked on a copy: a read error part-way must not leave the digest of half a file behind
    // as if it were the file's.
    Md5Context work{};
    Md5Init(work);
    uint8_t buffer[500];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        Md5Update(work, buffer, static_cast<uint32_t>(got));
    }
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError)
        return 1;
    Md5Final(work);
    context = work;
    return 0;
}
