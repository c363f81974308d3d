// Reads a KRT module simulator dump and checks that the digest stored behind the program in a
// channel is the MD5 digest of the user-code file that was downloaded.
//   check_stored_digest <dump file> <object file> [channel]
// Exit 0 when they match, 1 when not, 2 on bad input.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "downloader/md5.h"
#include "krtsim_harness.h"

namespace {

std::string Hex(const uint8_t* bytes, size_t count) {
    std::string text;
    char pair[3];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
        text += pair;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: check_stored_digest <dump> <object> [channel]\n");
        return 2;
    }
    const int channel = argc > 3 ? std::stoi(argv[3]) : 1;
    std::ifstream in(argv[1]);
    std::stringstream text;
    text << in.rdbuf();
    const auto dump = krtsim::StateDump::parse(text.str());
    if (!dump) {
        std::fprintf(stderr, "check_stored_digest: cannot read the dump %s\n", argv[1]);
        return 2;
    }
    Md5Context context{};
    if (DigestFile(context, argv[2]) != 0) {
        std::fprintf(stderr, "check_stored_digest: cannot read %s\n", argv[2]);
        return 2;
    }
    // Word 0 and 1 hold the stored length L in words; the digest follows at word L + 2, each
    // word holding two digest bytes, low byte first.
    const std::vector<uint16_t> flash = dump->channelFlash(channel);
    if (flash.size() < 2)
        return 2;
    const uint32_t length = uint32_t{flash[0]} << 16 | flash[1];
    if (length + 10 > flash.size()) {
        std::printf("channel %d: stored length %u words does not fit the space\n", channel, length);
        return 1;
    }
    uint8_t stored[16];
    for (size_t i = 0; i < 8; ++i) {
        stored[2 * i] = static_cast<uint8_t>(flash[length + 2 + i] & 0xFF);
        stored[2 * i + 1] = static_cast<uint8_t>(flash[length + 2 + i] >> 8);
    }
    const std::string file = Hex(context.digest, 16);
    const std::string module = Hex(stored, 16);
    std::printf("channel %d holds %u words; stored digest %s\n", channel, length, module.c_str());
    std::printf("file digest                       %s\n", file.c_str());
    std::printf(file == module ? "the stored digest matches the file\n"
                               : "the stored digest does NOT match the file\n");
    return file == module ? 0 : 1;
}
