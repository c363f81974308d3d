// The archive work of a conversion on its own, to time it beside the passes over the project
// file: unpacking an archive into a folder, or packing a rewritten entry from that folder into
// a new archive.
//   archive_steps unpack <archive.zef> <folder>
//   archive_steps repack <archive.zef> <folder> <entry> <output.zef>

#include <cstdio>
#include <string>

#include "platform/archive.h"

int main(int argc, char** argv) {
    const std::string step = argc > 1 ? argv[1] : "";
    platform::ArchiveResult result;
    if (step == "unpack" && argc == 4) {
        result = platform::UnpackArchive(argv[2], argv[3]);
    } else if (step == "repack" && argc == 6) {
        result = platform::RepackArchive(argv[2], argv[3], {argv[4]}, argv[5]);
    } else {
        std::fprintf(stderr,
                     "usage: archive_steps unpack <archive> <folder>\n"
                     "       archive_steps repack <archive> <folder> <entry> <output>\n");
        return 2;
    }
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.error.c_str());
        return 1;
    }
    return 0;
}
