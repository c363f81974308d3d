// Writes a small user-code object for the block-write loader: a version block, code and data
// fixups and 64 counting words (or as many as asked). Used by the demo and the Windows check.
//   make_sample_vxo <path> [<payload words>]

#include <cstdio>
#include <cstdlib>
#include <string>

#include "downloader/user_code_format.h"
#include "vxo_builder.h"

int main(int argc, char** argv) {
    const size_t words = argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 64;
    if ((argc != 2 && argc != 3) || words == 0) {
        std::fprintf(stderr, "usage: make_sample_vxo <path> [<payload words>]\n");
        return 2;
    }
    vxo::Builder object;
    object.Text(kKrtVersionBlock, "2")
        .Fixups(kCodeFixupBlock, 0x00001000, {2})
        .Fixups(kDataFixupBlock, 0x00002000, {8})
        .Code(vxo::CountingWords(words));
    object.WriteTo(argv[1]);
    std::printf("wrote %s (%zu payload words)\n", argv[1], object.PayloadWords().size());
    return 0;
}
