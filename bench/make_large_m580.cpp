// Writes a large M580 project archive for the conversion benchmark: the sample M580 project
// (one PMEDWL module at rack 0, slot 3) with its Application section grown by generated
// structured text (IBY_ names the conversion renames, and plain lines) until the project file
// reaches the size asked for. Leaves the project file itself beside the archive, for the stream
// editor the conversion is measured against.

#include <cstdio>
#include <string>

#include "bench/large_project.h"
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
            return bench::plainCodeLine(n);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const auto request = bench::largeProjectRequest(argc, argv, "make_large_m580");
    if (!request) {
        return 2;
    }
    const std::vector<std::string> lines = m580_test::projectLines();
    const int application = m580_test::findLine(lines, "<identProgram name=\"Application\"");
    if (application < 0) {
        std::fprintf(stderr, "the sample project has no Application section\n");
        return 1;
    }
    bench::ProjectFileWriter out(request->projectFile);
    long n = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out.line(lines[i]);
        // The section's first line opens its structured text; the generated lines follow it.
        if (i == static_cast<std::size_t>(application) + 1) {
            while (out.size() < request->bytes) {
                out.line(codeLine(n++));
            }
        }
    }
    if (!out.close()) {
        return 1;
    }
    std::vector<bench::ArchiveEntry> others;
    for (const m580_test::Entry& entry : m580_test::otherEntries()) {
        others.push_back({entry.name, entry.data, entry.stored});
    }
    return bench::writeProjectArchive(*request, out.size(), n, others) ? 0 : 1;
}
