// Writes the sample service file of Tamsel's suites, for the demo.
//   make_sample_svc <path>

#include <cstdio>
#include <fstream>

#include "tamsel_sample.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_svc <path>\n");
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << svc::testing::svcText(loadcode::testing::tamselSampleRecords());
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
