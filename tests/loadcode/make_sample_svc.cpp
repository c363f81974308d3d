// Writes a sample service file of the suites, for the demo and for trying the programs by hand:
// Tamsel's sample, or with --field the plant sample that the suites damage a line at a time.
//   make_sample_svc [--field] <path>

#include <cstdio>
#include <fstream>
#include <string_view>

#include "svc_field_sample.h"
#include "tamsel_sample.h"

int main(int argc, char** argv) {
    const bool field = argc == 3 && std::string_view(argv[1]) == "--field";
    if (argc != 2 && !field) {
        std::fprintf(stderr, "usage: make_sample_svc [--field] <path>\n");
        return 2;
    }
    const char* path = argv[argc - 1];
    std::ofstream out(path, std::ios::binary);
    out << svc::testing::svcText(field ? svc::testing::fieldSampleRecords()
                                       : loadcode::testing::tamselSampleRecords());
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return 1;
    }
    std::printf("wrote %s\n", path);
    return 0;
}
