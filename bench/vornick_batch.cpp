// Vornick's conversion of one project archive without its window, as the window runs it once
// the user has picked the file: message boxes take their safe answer (headless UI).
//   vornick_batch <archive.zef>

#include <cstdio>
#include <iostream>
#include <string>

#include "converter/conversion/convert_zef.h"
#include "platform/ui_headless.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vornick_batch <archive.zef>\n");
        return 2;
    }
    platform::ui::headless::StartSession("");
    std::string report;
    const bool created = vornick::convertZefToIbs(argv[1], report, std::cout);
    if (!created) {
        std::cerr << platform::ui::headless::Transcript();
    }
    return created ? 0 : 1;
}
