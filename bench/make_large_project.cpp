// Writes a large Premium project archive for the conversion benchmark: the sample project with
// program sections of generated structured text (located references, communication calls and
// plain lines) until the project file reaches the size asked for. Also leaves the project file
// itself beside the archive, for the stream editor that the conversion is measured against.

#include <string>

#include "bench/large_project.h"
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
            return bench::plainCodeLine(n);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const auto request = bench::largeProjectRequest(argc, argv, "make_large_project");
    if (!request) {
        return 2;
    }
    fennick_test::ProjectSpec project = fennick_test::sampleProject();
    std::vector<std::string> lines = fennick_test::projectLines(project);
    lines.pop_back();  // the closing root tag follows the generated sections
    bench::ProjectFileWriter out(request->projectFile);
    for (const std::string& line : lines) {
        out.line(line);
    }
    long n = 0;
    for (int section = 1; out.size() < request->bytes; ++section) {
        out.line("\t<program>");
        out.line("\t\t<identProgram name=\"Gen" + std::to_string(section) +
                 "\" type=\"section\" task=\"MAST\"></identProgram>");
        out.line("\t\t<STSource>(* generated *)");
        for (int k = 0; k < 20000 && out.size() < request->bytes; ++k) {
            out.line(codeLine(n++));
        }
        out.line("</STSource>");
        out.line("\t</program>");
    }
    out.line("</FEFExchangeFile>");
    if (!out.close()) {
        return 1;
    }
    return bench::writeProjectArchive(*request, out.size(), n) ? 0 : 1;
}
