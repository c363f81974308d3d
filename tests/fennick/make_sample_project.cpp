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
    // --xef-drawn: drawn communication blocks with their pins, references no rule converts,
    // declarations with their attributes in another order and an empty one-line data block.
    if (argc == 3 && std::string(argv[1]) == "--xef-drawn") {
        fennick_test::ProjectSpec project = fennick_test::sampleProject();
        project.dataTypes.push_back("\t<DDTSource DDTName=\"T_IBY_DIO_OUTPUTS\">");
        project.dataTypes.push_back("\t</DDTSource>");
        project.declarations = {
            "\t\t<variables typeName=\"BOOL\" topologicalAddress=\"%I0.3.0.ERR\" name=\"E\"/>",
            "\t\t<variables name=\"F\" typeName=\"INT\" topologicalAddress=\"%MW0.3.MOD.2\">",
            "\t\t\t<variableInit value=\"3\"></variableInit>",
            "\t\t\t<comment>faults</comment>",
            "\t\t</variables>",
        };
        project.dfbs[0].privateVariables.clear();
        project.sections.push_back(fennick_test::SectionSpec{
            "Drawn",
            "FBD",
            {"\t\t\t<FFBBlock instanceName=\"FBI_4_1\" typeName=\"READ_VAR\" enEnO=\"true\">",
             "\t\t\t\t<inputVariable formalParameter=\"EN\"></inputVariable>",
             "\t\t\t\t<inputVariable formalParameter=\"ADR\" "
             "effectiveParameter=\"ADDR(&apos;0.3.0.7&apos;)\"></inputVariable>",
             "\t\t\t\t<inputVariable formalParameter=\"OBJ\" effectiveParameter=\"'PMS'\"/>",
             "\t\t\t\t<inputVariable formalParameter=\"NUM\" "
             "effectiveParameter=\"%MW0.3.MOD.2.3\"/>",
             "\t\t\t\t<outputVariable formalParameter=\"RECP\" effectiveParameter=\"Tab\"/>",
             "\t\t\t</FFBBlock>", "\t\t\t<FFBBlock instanceName=\"FBI_4_2\" typeName=\"SEND_REQ\">",
             "\t\t\t\t<inputVariable formalParameter=\"ADR\" effectiveParameter=\"Route\"/>",
             "\t\t\t</FFBBlock>"}});
        std::vector<std::string> lines = fennick_test::projectLines(project);
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            if (lines[i] == "\t<FBProgram name=\"Logic\">" ||
                lines[i] == "\t\t<FBProgram name=\"Logic\">") {
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i),
                             "\t\t<privateLocalVariables/>");
                break;
            }
        }
        std::ofstream(argv[2], std::ios::binary) << fennick_test::crlfText(lines);
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
