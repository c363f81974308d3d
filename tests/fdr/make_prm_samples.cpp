// Writes a folder of sample device-replacement files, as a controller's FDR server holds
// them: two module files, a file of another maker's device, and a module file whose
// checksum does not match. The demo serves them; the fuzz corpus starts from them.
//
// Usage: make_prm_samples FOLDER

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/fdr/prm_builder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_prm_samples FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    auto write = [&folder](const std::string& name, const std::vector<uint8_t>& bytes) {
        prm_builder::writeFile((folder / name).string(), bytes);
    };
    write("rack1_PMEKRT_slot2.prm", prm_builder::build(prm_builder::sampleModuleFile("PMEKRT")));
    prm_builder::PrmFile ibs = prm_builder::sampleModuleFile("PMEDWL_IBS");
    ibs.productId = "PMEDWL0200";
    write("rack1_PMEDWL_IBS_slot4.prm", prm_builder::build(ibs));
    write("rack1_ATV320_drive.prm", prm_builder::build(prm_builder::sampleModuleFile("ATV")));
    std::vector<uint8_t> damaged = prm_builder::build(prm_builder::sampleModuleFile("PMEKRT"));
    damaged[100] ^= 0x20;  // one byte changed after the checksum was stored
    write("rack2_PMEKRT_slot3.prm", damaged);
    return 0;
}
