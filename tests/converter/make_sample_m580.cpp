// Writes a sample M580 project archive: a Premium project with one TSXIBY100 module at rack 0,
// slot 3 as the Premium conversion leaves it, migrated to M580, with the PMEDWL module and its
// DTM entry added.
//   make_sample_m580 <archive.zef>

#include <iostream>

#include "tests/converter/m580_project.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sample_m580 <archive.zef>\n";
        return 2;
    }
    m580_test::writeZef(argv[1], m580_test::joinLines(m580_test::projectLines()));
    std::cout << "wrote " << argv[1] << ": PMEDWL at rack 0 slot 3, DTM PMEDWL_A, 192.168.10.3\n";
    return 0;
}
