// A project that already defines a name the renames give Fennick's code (the IBS set of the
// load-code library imported by hand, a user's own IBS_Manage) is converted, and holds that name
// twice: the report and the Success box say which names, and where.

#include <gtest/gtest.h>

#include <sstream>

#include "extractor/iby_template_set.h"
#include "platform/ui_headless.h"
#include "svc/ibs_templates.h"
#include "tests/converter/conversion_fixture.h"
#include "tests/converter/m580_project.h"
#include "tests/converter/project_definitions.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class DefinedTwice : public converter_test::ConversionTest {
  protected:
    // Converts the project; the text after the replacement count in the Success box, or the
    // box itself when it is not a Success box.
    std::string boxWarning(const Lines& lines, const std::string& name) {
        platform::ui::headless::StartSession("");
        const fs::path input = folder() / (name + ".zef");
        m580_test::writeZef(input, m580_test::joinLines(lines));
        EXPECT_TRUE(convert(input)) << name << transcript();
        const std::vector<converter_test::Box> boxes = shownBoxes();
        if (boxes.size() != 1 || boxes[0].caption != "Success") {
            return "unexpected boxes: " + transcript();
        }
        const std::size_t end = boxes[0].text.find(" variables.");
        return end == std::string::npos ? boxes[0].text : boxes[0].text.substr(end + 11);
    }
};

// The line number (from 1) of the first line holding `text`.
std::string lineOf(const Lines& lines, const std::string& text) {
    return std::to_string(m580_test::findLine(lines, text) + 1);
}

Lines insertedBefore(Lines lines, const std::string& before, const Lines& more) {
    const int at = m580_test::findLine(lines, before);
    EXPECT_GE(at, 0) << before;
    lines.insert(lines.begin() + at, more.begin(), more.end());
    return lines;
}

const std::string kHead =
    "WARNING: After the renames these names are defined more than once, so the project does "
    "not build until the extra definitions are removed by hand: ";

TEST_F(DefinedTwice, EachNameDefinedTwiceIsNamedWithItsLines) {
    const Lines plain = m580_test::projectLines();
    const std::string manageType = "<DDTSource DDTName=\"IBY_Manage\"";
    const Lines libraryType = insertedBefore(
        plain, manageType,
        {"\t<DDTSource DDTName=\"IBS_Manage\" version=\"1.01\" "
         "dateTime=\"dt#2020-02-25-22:05:59\">",
         "\t\t<structure>", "\t\t\t<variables name=\"Active\" typeName=\"BOOL\"></variables>",
         "\t\t</structure>", "\t</DDTSource>"});
    const Lines smallLetters = insertedBefore(
        plain, manageType, {"\t<DDTSource DDTName=\"ibs_manage\">", "\t</DDTSource>"});
    const std::string instance = "name=\"IBY_Manage_d0_s3\"";
    const Lines libraryInstance = insertedBefore(
        plain, "</dataBlock>",
        {"\t\t<variables name=\"IBS_Manage_PMEDWL_A\" typeName=\"IBS_Manage\"></variables>"});
    const Lines section =
        insertedBefore(plain, "<tasks>",
                       {"\t<program>",
                        "\t\t<identProgram name=\"IBS_LOAD_PMEDWL_A\" type=\"section\" "
                        "task=\"MAST\"></identProgram>",
                        "<STSource>x := 1;", "</STSource>", "\t</program>"});
    // Names near the generated ones, and the generated names where they define nothing.
    const Lines neighbours = insertedBefore(
        insertedBefore(plain, "</dataBlock>",
                       {"\t\t<variables name=\"IBS_Manage_PMEDWL_A2\" typeName=\"IBS_Manage\">"
                        "</variables>",
                        "\t\t<variables name=\"Pump\" typeName=\"IBS_Manage\">",
                        "\t\t\t<comment>IBS_Manage_PMEDWL_A</comment>", "\t\t</variables>"}),
        manageType, {"\t<DDTSource DDTName=\"IBS_Manager\">", "\t</DDTSource>"});
    const struct {
        const char* what;
        const Lines& lines;
        std::string warning;  // empty: none
    } cases[] = {
        {"data type of the library", libraryType,
         kHead + "IBS_Manage: data type at unitpro.xef line " +
             lineOf(libraryType, "DDTName=\"IBS_Manage\"") + ", data type at line " +
             lineOf(libraryType, manageType) + " (was IBY_Manage)."},
        {"in small letters", smallLetters,
         kHead + "ibs_manage: data type at unitpro.xef line " +
             lineOf(smallLetters, "DDTName=\"ibs_manage\"") + ", data type at line " +
             lineOf(smallLetters, manageType) + " (was IBY_Manage)."},
        {"instance of the library", libraryInstance,
         kHead + "IBS_Manage_PMEDWL_A: variable at unitpro.xef line " +
             lineOf(libraryInstance, instance) + " (was IBY_Manage_d0_s3), variable at line " +
             lineOf(libraryInstance, "name=\"IBS_Manage_PMEDWL_A\"") + "."},
        {"section", section,
         kHead + "IBS_LOAD_PMEDWL_A: section at unitpro.xef line " +
             lineOf(section, "<identProgram name=\"IBY_LOAD_d0_s3\"") +
             " (was IBY_LOAD_d0_s3), section at line " +
             lineOf(section, "<identProgram name=\"IBS_LOAD_PMEDWL_A\"") + "."},
        {"neighbours", neighbours, ""},
    };
    for (const auto& c : cases) {
        const std::string warning = boxWarning(c.lines, c.what);
        EXPECT_EQ(warning, c.warning.empty() ? "" : "\r\n\r\n " + c.warning) << c.what;
        // The report says it too, ahead of its closing lines.
        EXPECT_EQ(report.find("\r\n  " + c.warning + "\r\n  Created: ") != std::string::npos,
                  !c.warning.empty())
            << c.what << report;
        EXPECT_EQ(shownBoxes().size() == 1 ? shownBoxes()[0].icon : "",
                  c.warning.empty() ? "information" : "warning")
            << c.what;
    }
}

TEST_F(DefinedTwice, TheLoadCodeLibraryImportedBesideFennicksSet) {
    // The load file's data block and IBS set for the DTM, imported into the M580 project that
    // holds Fennick's whole IBY set: every name the project's real XML parser finds defined
    // twice, and only those, is named.
    m580_test::ProjectOptions options;
    extractor::writeIbyTemplateSet(
        [&](std::string_view line) { options.templateSet.emplace_back(line); }, {0, 3, -1, -1});
    Lines lines = m580_test::projectLines(options);
    std::ostringstream set;
    svc::printIbsTemplateSet(set, svc::IbsTemplateNames{"PMEDWL_A", "DIOibs"});
    Lines library;
    std::istringstream read(set.str());
    for (std::string line; std::getline(read, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        library.push_back(line);
    }
    lines = insertedBefore(lines, "<dataBlock>", library);
    lines = insertedBefore(
        lines, "</dataBlock>",
        {"\t\t<variables name=\"IBS_Layout_CRC_PMEDWL_A\" typeName=\"IBS_Layout_CRC\">"
         "</variables>",
         "\t\t<variables name=\"IBS_Layout_Xfer_PMEDWL_A\" typeName=\"IBS_Layout_Xfer\">"
         "</variables>",
         "\t\t<variables name=\"IBS_Manage_PMEDWL_A\" typeName=\"IBS_Manage\"></variables>"});
    const std::string warning = boxWarning(lines, "plant");
    ASSERT_EQ(warning.rfind("\r\n\r\n " + kHead, 0), 0u) << warning;

    const std::string output =
        converter_test::zipEntries(folder() / "plant_IBS.zef")["unitpro.xef"];
    std::vector<std::string> named;
    for (const std::string& fault :
         m580_test::addedDefinitionFaults(output, m580_test::joinLines(lines), folder())) {
        const std::size_t twice = fault.find(" defined 2 times");
        const std::size_t declared = fault.find(" declared 2 times in the data blocks");
        if (twice != std::string::npos) {
            named.push_back(fault.substr(5, twice - 5));  // "type X"
        } else if (declared != std::string::npos) {
            named.push_back(fault.substr(0, declared));
        }
    }
    ASSERT_GE(named.size(), 6u);
    std::string rest = warning.substr(5 + kHead.size());
    for (const std::string& name : named) {
        const std::size_t at = rest.find(name + ": ");
        EXPECT_NE(at, std::string::npos) << name << " in " << warning;
        if (at != std::string::npos) {
            rest.erase(at, name.size() + 2);
        }
    }
    // No other name: every entry of the warning was one of those.
    EXPECT_EQ(rest.find(": "), std::string::npos) << rest;
}

}  // namespace
