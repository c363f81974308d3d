// Writes the sample Premium project archive that the demo converts: one TSXIBY100 module at
// rack 0 slot 3 with a small bus, located variables, a DFB and sections with communication
// calls.

#include <cstdio>
#include <fstream>
#include <string>

#include "project_builder.h"

int main(int argc, char** argv) {
    // --xef writes the project file alone (the seed of the passes' fuzz target).
    if (argc == 3 && std::string(argv[1]) == "--xef") {
        std::ofstream(argv[2], std::ios::binary)
            << fennick_test::crlfText(fennick_test::projectLines(fennick_test::sampleProject()));
        return 0;
    }
    // --xef-two: two modules, a block diagram and declarations over several lines.
    if (argc == 3 && std::string(argv[1]) == "--xef-two") {
        fennick_test::ProjectSpec project = fennick_test::sampleProject();
        project.modules = {fennick_test::moduleAt(0, 3), fennick_test::moduleAt(0, 5)};
        project.declarations.push_back(
            "\t\t<variables name=\"Ch\" typeName=\"T_GEN_MOD\" topologicalAddress=\"%CH0.3.0\">");
        project.declarations.push_back("\t\t\t<comment>channel</comment>");
        project.declarations.push_back("\t\t</variables>");
        project.sections.push_back(fennick_test::SectionSpec{
            "Blocks",
            "FBD",
            {"\t\t\t<FFBBlock instanceName=\"FBI_7\" typeName=\"READ_VAR('PMS'\">",
             "\t\t\t\t<inputVariable formalParameter=\"ADR\" "
             "effectiveParameter=\"ADDR('0.3.0.SYS')\"></inputVariable>",
             "\t\t\t</FFBBlock>"}});
        std::ofstream(argv[2], std::ios::binary)
            << fennick_test::crlfText(fennick_test::projectLines(project));
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_project <archive.zef> | --xef <unitpro.xef>\n");
        return 2;
    }
    if (!fennick_test::writeProjectArchive(argv[1], fennick_test::sampleProject())) {
        std::fprintf(stderr, "make_sample_project: can't write %s\n", argv[1]);
        return 1;
    }
    std::printf("Sample project written: %s\n", argv[1]);
    return 0;
}
