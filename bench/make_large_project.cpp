// Writes a large Premium project archive for the conversion benchmark: the sample project with
// program sections of generated structured text (located references, communication calls and
// plain lines) until the project file reaches the size asked for. Also leaves the project file
// itself beside the archive, for the stream editor that the conversion is measured against.

#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "project_builder.h"

namespace {

std::string codeLine(long n) {
    switch (n % 8) {
        case 0:
            return "Level_" + std::to_string(n % 97) + " := %IW0.3.0." + std::to_string(n % 200) +
                   " + Offset; (* scaled input " + std::to_string(n) + " *)";
        case 1:
            return "IF %MW0.3.MOD.2.1 OR %I0.3.MOD.ERR THEN Alarm_" + std::to_string(n % 13) +
                   " := TRUE; END_IF;";
        case 2:
            return "%QW0.3.0." + std::to_string(n % 200) + " := Setpoint_" +
                   std::to_string(n % 31) + ";";
        case 3:
            return n % 1000 == 3 ? "SEND_REQ(ADDR('0.3.0.5'), 16#31, Emis, Gest, Recp);"
                                 : "Counter := Counter + 1; (* plain arithmetic *)";
        default:
            return "Total_" + std::to_string(n % 50) + " := Total_" + std::to_string(n % 50) +
                   " + Sample_" + std::to_string(n % 17) + " * Gain;";
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_large_project <archive.zef> <megabytes>\n");
        return 2;
    }
    const std::string archive = argv[1];
    const long long wanted = std::atoll(argv[2]) * 1000000LL;
    const std::string xef = archive + ".unitpro.xef";
    fennick_test::ProjectSpec project = fennick_test::sampleProject();
    std::vector<std::string> lines = fennick_test::projectLines(project);
    lines.pop_back();  // the closing root tag follows the generated sections
    std::ofstream out(xef, std::ios::binary);
    long long size = 0;
    for (const std::string& line : lines) {
        out << line << "\r\n";
        size += static_cast<long long>(line.size()) + 2;
    }
    long n = 0;
    for (int section = 1; size < wanted; ++section) {
        const std::string head = "\t<program>\r\n\t\t<identProgram name=\"Gen" +
                                 std::to_string(section) +
                                 "\" type=\"section\" task=\"MAST\"></identProgram>\r\n\t\t"
                                 "<STSource>(* generated *)\r\n";
        out << head;
        size += static_cast<long long>(head.size());
        for (int k = 0; k < 20000 && size < wanted; ++k) {
            const std::string line = codeLine(n++);
            out << line << "\r\n";
            size += static_cast<long long>(line.size()) + 2;
        }
        out << "</STSource>\r\n\t</program>\r\n";
        size += 26;
    }
    out << "</FEFExchangeFile>\r\n";
    out.close();

    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (zip == nullptr) {
        return 1;
    }
    zip_source_t* source = zip_source_file(zip, xef.c_str(), 0, -1);
    if (source == nullptr || zip_file_add(zip, "unitpro.xef", source, 0) < 0 ||
        zip_close(zip) != 0) {
        return 1;
    }
    std::printf("%s: project file of %lld bytes, %ld generated lines\n", archive.c_str(), size, n);
    return 0;
}
