// Writes a large M580 project archive for the conversion benchmark: the sample M580 project
// (one PMEDWL module at rack 0, slot 3) with its Application section grown and 199 more
// sections after it, all of generated structured text (IBY_ names the conversion renames, and
// plain lines), until the project file reaches the size asked for. Leaves the project file itself
// beside the archive, for the stream editor the conversion is measured against.

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

// The sections of generated text, the Application section among them.
constexpr int sectionCount = 200;

std::string generatedSectionName(int section) {
    return "Application_" + std::to_string(section + 1);
}

int main(int argc, char** argv) {
    const auto request = bench::largeProjectRequest(argc, argv, "make_large_m580");
    if (!request) {
        return 2;
    }
    const std::vector<std::string> lines = m580_test::projectLines();
    const int application = m580_test::findLine(lines, "<identProgram name=\"Application\"");
    const int applicationOrder = m580_test::findLine(lines, "<sectionDesc name=\"Application\"");
    if (application < 0 || applicationOrder < 0) {
        std::fprintf(stderr, "the sample project has no Application section\n");
        return 1;
    }
    bench::ProjectFileWriter out(request->projectFile);
    const long long sectionBytes = request->bytes / sectionCount;
    long n = 0;
    int filled = 0;
    auto fillSection = [&] {
        ++filled;
        while (out.size() < sectionBytes * filled) {
            out.line(codeLine(n++));
        }
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out.line(lines[i]);
        const auto at = static_cast<int>(i);
        // The section's first line opens its structured text; the generated lines follow it.
        if (at == application + 1) {
            fillSection();
        }
        if (at > application + 1 && filled == 1 && lines[i] == "\t</program>") {
            for (int section = 1; section < sectionCount; ++section) {
                out.line("\t<program>");
                out.line("\t\t<identProgram name=\"" + generatedSectionName(section) +
                         "\" type=\"section\" task=\"MAST\"></identProgram>");
                out.line("<STSource>" + codeLine(n++));
                fillSection();
                out.line("</STSource>");
                out.line("\t</program>");
            }
        }
        if (at == applicationOrder) {
            for (int section = 1; section < sectionCount; ++section) {
                out.line("\t\t\t\t<sectionDesc name=\"" + generatedSectionName(section) +
                         "\" SectionOrder=\"" + std::to_string(100 + section) +
                         "\"></sectionDesc>");
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
