// Writes a sample M580 project: a Premium project with one TSXIBY100 module at rack 0, slot 3
// (or a second one at slot 5) as the Premium conversion leaves it, migrated to M580, with the
// PMEDWL modules and their DTM entries added. As an archive, or as the bare project file (the
// fuzz seeds).
//   make_sample_m580 [--two-modules] <archive.zef>
//   make_sample_m580 [--two-modules] --project-file <unitpro.xef>

#include <fstream>
#include <iostream>
#include <string>

#include "tests/converter/m580_project.h"

int main(int argc, char** argv) {
    m580_test::ProjectOptions options;
    bool projectFile = false;
    int at = 1;
    for (; at < argc && std::string(argv[at]).rfind("--", 0) == 0; ++at) {
        const std::string option = argv[at];
        if (option == "--two-modules") {
            options.modules.push_back(m580_test::secondModule());
        } else if (option == "--project-file") {
            projectFile = true;
        } else {
            at = argc;
        }
    }
    if (at != argc - 1) {
        std::cerr << "usage: make_sample_m580 [--two-modules] [--project-file] <file>\n";
        return 2;
    }
    const std::string text = m580_test::joinLines(m580_test::projectLines(options));
    if (projectFile) {
        std::ofstream(argv[at], std::ios::binary) << text;
    } else {
        m580_test::writeZef(argv[at], text);
    }
    std::cout << "wrote " << argv[at] << ": " << options.modules.size()
              << " PMEDWL module(s), DTM PMEDWL_A at rack 0 slot 3, 192.168.10.3\n";
    return 0;
}
