// The names of the converted project, read by a real XML parser: every type it uses is defined
// once (or is a library type the M580 project already used), every name is declared once in its
// scope, every block instance its code calls is declared. First the check itself, on projects
// that break each rule; then Vornick's output for the projects Fennick's template set makes.

#include <gtest/gtest.h>

#include "extractor/iby_template_set.h"
#include "tests/converter/conversion_fixture.h"
#include "tests/converter/m580_project.h"
#include "tests/converter/project_definitions.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class ConvertedDefinitions : public converter_test::ConversionTest {};

std::string project(const Lines& body) {
    Lines lines{"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>",
                "<FEFExchangeFile>"};
    lines.insert(lines.end(), body.begin(), body.end());
    lines.push_back("</FEFExchangeFile>");
    return m580_test::joinLines(lines);
}

// A data type, a function block with a parameter and a call of a library procedure, a data
// block with an instance of each, and a section that calls the block's instance.
Lines sound() {
    return {"\t<DDTSource DDTName=\"T_Pump\"><structure>",
            "\t\t<variables name=\"Speed\" typeName=\"ARRAY[0..3] OF INT\"></variables>",
            "\t\t<variables name=\"Name\" typeName=\"string[16]\"></variables>",
            "\t</structure></DDTSource>",
            "\t<FBSource nameOfFBType=\"Drive\"><inOutParameters>",
            "\t\t<variables name=\"Pump\" typeName=\"T_Pump\"></variables>",
            "\t</inOutParameters><FBProgram name=\"Run\"><STSource>",
            "(* Drive (Pump); in a comment is no call *)",
            "IF Pump.Speed[0] &gt; 0 THEN SEND_REQ (1, 2); END_IF;",
            "</STSource></FBProgram></FBSource>",
            "\t<dataBlock>",
            "\t\t<variables name=\"P1\" typeName=\"T_Pump\"></variables>",
            "\t\t<variables name=\"D1\" typeName=\"Drive\"></variables>",
            "\t</dataBlock>",
            "\t<program><identProgram name=\"Main\" type=\"section\"></identProgram><STSource>",
            "D1 (P1);",
            "\tx := 'D2 (P1);';",
            "</STSource></program>"};
}

Lines replaced(Lines lines, const std::string& from, const std::string& to) {
    for (std::string& line : lines) {
        const std::size_t at = line.find(from);
        if (at != std::string::npos) {
            line.replace(at, from.size(), to);
            return lines;
        }
    }
    ADD_FAILURE() << from;
    return lines;
}

Lines inserted(Lines lines, const std::string& before, const Lines& more) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(before) != std::string::npos) {
            lines.insert(lines.begin() + static_cast<long>(i), more.begin(), more.end());
            return lines;
        }
    }
    ADD_FAILURE() << before;
    return lines;
}

TEST_F(ConvertedDefinitions, TheCheckFindsEachFault) {
    const std::string original = project(sound());
    const struct {
        const char* what;
        Lines converted;
        std::vector<std::string> faults;
    } cases[] = {
        {"sound", sound(), {}},
        {"type used, not defined",
         replaced(sound(), "name=\"P1\" typeName=\"T_Pump\"", "name=\"P1\" typeName=\"T_Valve\""),
         {"type T_Valve used but not defined"}},
        {"array of an undefined type",
         replaced(sound(), "ARRAY[0..3] OF INT", "ARRAY[0..3] OF T_Valve"),
         {"type T_Valve used but not defined"}},
        {"type defined twice, in another letter case",
         inserted(sound(), "<dataBlock>",
                  {"\t<DDTSource DDTName=\"t_pump\"><structure></structure></DDTSource>"}),
         {"type T_Pump defined 2 times"}},
        {"variable declared twice",
         inserted(sound(), "</dataBlock>",
                  {"\t\t<variables name=\"p1\" typeName=\"T_Pump\"></variables>"}),
         {"P1 declared 2 times in the data blocks"}},
        {"member declared twice",
         inserted(sound(), "</structure></DDTSource>",
                  {"\t\t<variables name=\"Speed\" typeName=\"INT\"></variables>"}),
         {"Speed declared 2 times in data type T_Pump"}},
        {"section twice",
         inserted(sound(), "\t<dataBlock>",
                  {"\t<program><identProgram name=\"Main\"></identProgram></program>"}),
         {"Main declared 2 times in the sections"}},
        {"instance called, not declared",
         replaced(sound(), "D1 (P1);", "D2 (P1);"),
         {"D2 called in section Main but not declared"}},
        {"diagram block of an undeclared instance",
         inserted(sound(), "</program>",
                  {"<FBDSource><networkFBD><FFBBlock instanceName=\"D3\" typeName=\"Drive\">"
                   "</FFBBlock></networkFBD></FBDSource>"}),
         {"D3 called in section Main but not declared"}},
        {"call in a block, not declared",
         replaced(sound(), "SEND_REQ (1, 2);", "SEND_REQ (1, 2); Drive2 (Pump);"),
         {"Drive2 called in function block Drive but not declared"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m580_test::definitionFaults(project(c.converted), original, folder()), c.faults)
            << c.what;
    }
}

}  // namespace

namespace {

std::vector<std::string> templateSet(const std::vector<m580_test::Module>& modules) {
    extractor::IbyModuleAddresses addresses;
    addresses.rack1 = modules[0].rack;
    addresses.slot1 = modules[0].slot;
    if (modules.size() > 1) {
        addresses.rack2 = modules[1].rack;
        addresses.slot2 = modules[1].slot;
    }
    std::vector<std::string> lines;
    extractor::writeIbyTemplateSet([&](std::string_view line) { lines.emplace_back(line); },
                                   addresses);
    return lines;
}

TEST_F(ConvertedDefinitions, VornicksOutputDefinesEverythingItUsesOnce) {
    const struct {
        const char* what;
        std::vector<m580_test::Module> modules;
    } cases[] = {
        {"one module", {m580_test::Module{}}},
        {"two modules", {m580_test::Module{}, m580_test::secondModule()}},
    };
    for (const auto& c : cases) {
        m580_test::ProjectOptions options;
        options.modules = c.modules;
        options.templateSet = templateSet(c.modules);
        const std::string input = m580_test::joinLines(m580_test::projectLines(options));
        const fs::path archive = folder() / (std::string(c.what) + ".zef");
        m580_test::writeZef(archive, input);
        ASSERT_TRUE(convert(archive)) << c.what << transcript();
        const std::string output = converter_test::zipEntries(
            folder() / (std::string(c.what) + "_IBS.zef"))["unitpro.xef"];
        // Fennick's write blocks declare EMIS twice, as the Premium conversion writes them;
        // Vornick adds no fault of its own.
        EXPECT_EQ(m580_test::addedDefinitionFaults(output, input, folder(), {"DATA_EXCH"}),
                  std::vector<std::string>{})
            << c.what;
    }
}

}  // namespace
