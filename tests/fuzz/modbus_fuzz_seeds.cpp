// Writes the seed corpus of the Modbus fuzz targets into <corpus folder>/<target>/.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/fuzz/modbus_fuzz_master.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: modbus_fuzz_seeds CORPUS_FOLDER\n");
        return 1;
    }
    const struct {
        const char* target;
        ModbusWire wire;
    } targets[] = {
        {"modbus_reply_decoder", ModbusWire::kDecoderOnly},
        {"modbus_rtu_receiver", ModbusWire::kRtu},
        {"modbus_ascii_receiver", ModbusWire::kAscii},
        {"modbus_tcp_receiver", ModbusWire::kTcp},
    };
    for (const auto& t : targets) {
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / t.target;
        std::filesystem::create_directories(folder);
        int number = 0;
        for (const auto& seed : ModbusFuzzSeeds(t.wire)) {
            const std::filesystem::path file =
                folder / ("seed-" + std::to_string(++number) + ".bin");
            std::ofstream out(file, std::ios::binary);
            out.write(reinterpret_cast<const char*>(seed.data()),
                      static_cast<std::streamsize>(seed.size()));
            if (!out) {
                std::fprintf(stderr, "can't write %s\n", file.string().c_str());
                return 1;
            }
        }
    }
    return 0;
}
