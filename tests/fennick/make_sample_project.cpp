// Writes the sample Premium project archive that the demo converts: one TSXIBY100 module at
// rack 0 slot 3 with a small bus, located variables, a DFB and sections with communication
// calls.

#include <cstdio>
#include <fstream>
#include <string>

#include "project_builder.h"

int main(int argc, char** argv) {
    // --xef writes the project file alone (the seed of the passes' fuzz target).
    if (argc == 3 && std::string(argv[1]) == "--xef") {
        std::ofstream(argv[2], std::ios::binary)
            << fennick_test::crlfText(fennick_test::projectLines(fennick_test::sampleProject()));
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_project <archive.zef> | --xef <unitpro.xef>\n");
        return 2;
    }
    if (!fennick_test::writeProjectArchive(argv[1], fennick_test::sampleProject())) {
        std::fprintf(stderr, "make_sample_project: can't write %s\n", argv[1]);
        return 1;
    }
    std::printf("Sample project written: %s\n", argv[1]);
    return 0;
}
