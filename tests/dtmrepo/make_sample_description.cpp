// Writes a sample description file and a scratch repository for the demo:
//   make_sample_description <folder>
// makes <folder>/unity (a DDXML repository with an empty index and the Logics folder), writes
// <folder>/PME KRT 0302_Demo.txt from the keyword-line format, and points Brondel's UnityPath
// setting (in the settings store that $CALVENTO_REGISTRY names) at the repository.

#include <filesystem>
#include <iostream>

#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/description_fixture.h"
#include "toolshell/tool_settings.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_sample_description <folder>\n";
        return 1;
    }
    namespace fs = std::filesystem;
    const fs::path folder = argv[1];
    const std::string unity = (folder / "unity").string();
    dtmrepo_test::makeRepository(unity);
    const std::string description = (folder / "PME KRT 0302_Demo.txt").string();
    dtmrepo_test::writeFile(description, dtmrepo_test::fileText(dtmrepo_test::fullDescription()));
    toolshell::writeRegistryString(toolshell::toolSettingsKey("VADADOZAVOZAVOZ"), "UnityPath",
                                   unity);
    std::cout << description << "\n" << unity << "\n";
    return 0;
}
