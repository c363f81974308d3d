// Writes a large M580 project archive for the conversion benchmark: the sample M580 project
// (one PMEDWL module at rack 0, slot 3) with its Application section grown by generated
// structured text (IBY_ names the conversion renames, and plain lines) until the project file
// reaches the size asked for. Leaves the project file itself beside the archive, for the stream
// editor the conversion is measured against.

#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/converter/m580_project.h"

namespace {

std::string codeLine(long n) {
    switch (n % 6) {
        case 0:
            return "Level_" + std::to_string(n % 97) + " := IBY_DIO_d0_s3.Inputs.IW[" +
                   std::to_string(n % 16) + "] + Offset; (* scaled input " + std::to_string(n) +
                   " *)";
        case 1:
            return "IF IBY_DIO_d0_s3.Freshness AND IBY_Manage_d0_s3.Module.Ready THEN Alarm_" +
                   std::to_string(n % 13) + " := FALSE; END_IF;";
        case 2:
            return "IBY_DIO_d0_s3.Outputs.QW[" + std::to_string(n % 16) + "] := Setpoint_" +
                   std::to_string(n % 31) + ";";
        default:
            return "Total_" + std::to_string(n % 50) + " := Total_" + std::to_string(n % 50) +
                   " + Sample_" + std::to_string(n % 17) + " * Gain;";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_large_m580 <archive.zef> <megabytes>\n");
        return 2;
    }
    const std::string archive = argv[1];
    const long long wanted = std::atoll(argv[2]) * 1000000LL;
    const std::string xef = archive + ".unitpro.xef";
    const std::vector<std::string> lines = m580_test::projectLines();
    const int application = m580_test::findLine(lines, "<identProgram name=\"Application\"");
    if (application < 0) {
        std::fprintf(stderr, "the sample project has no Application section\n");
        return 1;
    }
    std::ofstream out(xef, std::ios::binary);
    long long size = 0;
    long n = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out << lines[i] << "\r\n";
        size += static_cast<long long>(lines[i].size()) + 2;
        // The section's first line opens its structured text; the generated lines follow it.
        if (i == static_cast<std::size_t>(application) + 1) {
            while (size < wanted) {
                const std::string line = codeLine(n++);
                out << line << "\r\n";
                size += static_cast<long long>(line.size()) + 2;
            }
        }
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "can't write %s\n", xef.c_str());
        return 1;
    }

    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (zip == nullptr) {
        return 1;
    }
    zip_source_t* source = zip_source_file(zip, xef.c_str(), 0, -1);
    if (source == nullptr || zip_file_add(zip, "unitpro.xef", source, 0) < 0) {
        return 1;
    }
    for (const m580_test::Entry& entry : m580_test::otherEntries()) {
        zip_source_t* data = zip_source_buffer(zip, entry.data.data(), entry.data.size(), 0);
        const zip_int64_t index = zip_file_add(zip, entry.name.c_str(), data, 0);
        if (index < 0) {
            return 1;
        }
        if (entry.stored) {
            zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        }
    }
    if (zip_close(zip) != 0) {
        return 1;
    }
    std::printf("%s: project file of %lld bytes, %ld generated lines\n", archive.c_str(), size, n);
    return 0;
}
