// Writes a sample M580 project: a Premium project with one TSXIBY100 module at rack 0, slot 3
// (or a second one at slot 5) as the Premium conversion leaves it, migrated to M580, with the
// PMEDWL modules and their DTM entries added. As an archive, or as the bare project file (the
// fuzz seeds). Or Fennick's own "_IBY.zef" as the migration and Control Expert leave it, with
// the PMEDWL modules and their DTMs added.
//   make_sample_m580 [--two-modules] <archive.zef>
//   make_sample_m580 [--two-modules] --project-file <unitpro.xef>
//   make_sample_m580 [--two-modules] --from-iby <name_IBY.zef> <archive.zef>

#include <fstream>
#include <iostream>
#include <string>

#include "tests/converter/m580_project.h"

int main(int argc, char** argv) {
    m580_test::ProjectOptions options;
    bool projectFile = false;
    std::string fromIby;
    int at = 1;
    for (; at < argc && std::string(argv[at]).rfind("--", 0) == 0; ++at) {
        const std::string option = argv[at];
        if (option == "--two-modules") {
            options.modules.push_back(m580_test::secondModule());
        } else if (option == "--project-file") {
            projectFile = true;
        } else if (option == "--from-iby" && at + 1 < argc) {
            fromIby = argv[++at];
        } else {
            at = argc;
        }
    }
    if (at != argc - 1) {
        std::cerr << "usage: make_sample_m580 [--two-modules] [--project-file | --from-iby "
                     "<name_IBY.zef>] <file>\n";
        return 2;
    }
    if (!fromIby.empty()) {
        try {
            m580_test::migrateArchive(fromIby, argv[at], options.modules);
        } catch (const std::exception& failure) {
            std::cerr << "make_sample_m580: " << failure.what() << "\n";
            return 1;
        }
        std::cout << "wrote " << argv[at] << ": " << fromIby << " with " << options.modules.size()
                  << " PMEDWL module(s) added, DTM PMEDWL_A at rack 0 slot 3, 192.168.10.3\n";
        return 0;
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
