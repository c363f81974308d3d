#pragma once

// MD5 (RFC 1321): the digest that identifies a user-code file. It is shown with the file's
// information, stored in the module behind a downloaded program and compared with the digest
// a module reports.

#include <cstdint>
#include <string>

struct Md5Context {
    uint32_t bitCount[2];  // message bits processed, modulo 2^64, low word first
    uint32_t state[4];     // the chaining values A, B, C, D
    uint8_t block[64];     // the partial input block
    uint8_t digest[16];    // the digest, written by Md5Final
};

void Md5Init(Md5Context& context);
void Md5Update(Md5Context& context, const uint8_t* bytes, uint32_t length);
// Pads, processes the last block and writes the digest in RFC 1321 byte order.
void Md5Final(Md5Context& context);
// The compression function over one 64-byte block given as 16 little-endian words.
void Md5Transform(uint32_t state[4], const uint32_t words[16]);

// Digests the whole file: 0 when done, 1 when the file cannot be opened (then the context,
// and so the previous digest, is left as it was).
int32_t DigestFile(Md5Context& context, const std::string& path);

// The digest of the user-code file last examined; the download stores these 16 bytes in the
// module and the information views show them.
extern Md5Context FileDigest;
// False while the Program Info list shows no file: FileDigest is then cleared, so that no module
// is said to match a file that is no longer listed.
extern bool FileDigestListed;
