// Writes a sample M580 project: a Premium project with one TSXIBY100 module at rack 0, slot 3
// (or a second one at slot 5) as the Premium conversion leaves it, migrated to M580, with the
// PMEDWL modules and their DTM entries added. As an archive, or as the bare project file (the
// fuzz seeds). Or Fennick's own "_IBY.zef" as the migration and Control Expert leave it, with
// the PMEDWL modules and their DTMs added.
// The DTM's device variable may carry its id in another element, as other projects spell it:
// --device-id-element gives that element for the first module, with {id} standing for its id.
//   make_sample_m580 [options] <archive.zef>
//   make_sample_m580 [options] --project-file <unitpro.xef>
//   make_sample_m580 [options] --from-iby <name_IBY.zef> <archive.zef>
// options: --two-modules, --dtm-id <id>, --device-id-element '<attribute value="{id}" .../>'

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
        } else if (option == "--dtm-id" && at + 1 < argc) {
            options.modules.front().dtmId = argv[++at];
        } else if (option == "--device-id-element" && at + 1 < argc) {
            options.modules.front().deviceIdElement = argv[++at];
        } else if (option == "--project-file") {
            projectFile = true;
        } else if (option == "--from-iby" && at + 1 < argc) {
            fromIby = argv[++at];
        } else {
            at = argc;
        }
    }
    if (at != argc - 1) {
        std::cerr << "usage: make_sample_m580 [--two-modules] [--dtm-id <id>] "
                     "[--device-id-element <element>] [--project-file | --from-iby "
                     "<name_IBY.zef>] <file>\n";
        return 2;
    }
    m580_test::Module& first = options.modules.front();
    for (std::size_t at; (at = first.deviceIdElement.find("{id}")) != std::string::npos;) {
        first.deviceIdElement.replace(at, 4, first.dtmId);
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
