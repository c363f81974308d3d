// Reads a KRT module simulator dump and checks that a channel holds a whole program: the stored
// length L (words 0 and 1) covers the payload and its CRC word, and the CRC over those L words
// is 0, as the module's own check demands. A download that skipped or lost words fails, even
// when the digest behind the program was written.
//   check_stored_program <dump file> [channel]
// Exit 0 when the program checks, 1 when not, 2 on bad input.

#include <cstdio>
#include <fstream>
#include <sstream>

#include "downloader/payload_crc.h"
#include "krtsim_harness.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: check_stored_program <dump> [channel]\n");
        return 2;
    }
    const int channel = argc > 2 ? std::stoi(argv[2]) : 1;
    std::ifstream in(argv[1]);
    std::stringstream text;
    text << in.rdbuf();
    const auto dump = krtsim::StateDump::parse(text.str());
    if (!in || !dump) {
        std::fprintf(stderr, "check_stored_program: cannot read the dump %s\n", argv[1]);
        return 2;
    }
    const std::vector<uint16_t> flash = dump->channelFlash(channel);
    if (flash.size() < 2)
        return 2;
    const uint32_t length = uint32_t{flash[0]} << 16 | flash[1];
    if (length < 2 || length + 2 > flash.size()) {
        std::printf("channel %d: stored length %u words is no program in the space\n", channel,
                    length);
        return 1;
    }
    const uint16_t crc = PayloadCrc(0xFFFF, flash.data() + 2, static_cast<int32_t>(length));
    std::printf("channel %d holds %u words; their CRC %s\n", channel, length,
                crc == 0 ? "checks" : "does NOT check: words are missing or wrong");
    return crc == 0 ? 0 : 1;
}
