// A project whose IBY data types and blocks are those the Premium conversion writes (its IBY
// template set, line for line), migrated to M580 with a PMEDWL module and its DTM entry added:
// Vornick drops the device types, puts an exchange call in front of every marker, fills in the
// IP addresses and names everything IBS_, and the project stays well-formed XML.

#include <gtest/gtest.h>

#include "extractor/iby_template_set.h"
#include "tests/converter/conversion_fixture.h"
#include "tests/converter/m580_project.h"

namespace {

namespace fs = std::filesystem;

class FennickTemplateSet : public converter_test::ConversionTest {};

TEST_F(FennickTemplateSet, TheWholeSetBecomesTheIbsSet) {
    m580_test::ProjectOptions options;
    options.modules.push_back(m580_test::secondModule());
    extractor::writeIbyTemplateSet(
        [&](std::string_view line) { options.templateSet.emplace_back(line); }, {0, 3, 0, 5});
    const std::vector<std::string> input = m580_test::projectLines(options);
    const auto count = [](const std::vector<std::string>& lines, const std::string& text) {
        int found = 0;
        for (const std::string& line : lines) {
            found += line.find(text) != std::string::npos;
        }
        return found;
    };
    const int markers = count(input, "_DATA_EXCH  *)");
    ASSERT_EQ(markers, 6);
    ASSERT_EQ(count(input, "PMEDWLIP1"), 3);

    const fs::path archive = folder() / "plant.zef";
    m580_test::writeZef(archive, m580_test::joinLines(input));
    ASSERT_TRUE(convert(archive)) << transcript();
    const std::string text = converter_test::zipEntries(folder() / "plant_IBS.zef")["unitpro.xef"];
    EXPECT_EQ(converter_test::xmlProblems(text, folder()), "");
    const std::vector<std::string> lines = converter_test::splitCrLf(text);

    EXPECT_EQ(count(lines, "<DDTSource DDTName=\"T_IBY_DIO"), 0);
    EXPECT_EQ(count(lines, "T_IBY_DIO"), 0);
    EXPECT_EQ(count(lines, "\tDATA_EXCH (ADR := ADDM(ADDMstring) (*ANY_ARRAY_INT*),"), markers);
    EXPECT_EQ(count(lines, "_DATA_EXCH  *)"), markers);
    EXPECT_EQ(count(lines, "PMEDWLIP"), 0);
    EXPECT_EQ(count(lines, "<variableInit value=\"192.168.10.3\">"), 3);
    EXPECT_EQ(count(lines, "<variableInit value=\"192.168.10.5\">"), 3);
    EXPECT_EQ(count(lines, "nameOfFBType=\"IBS_Layout_Xfer\""), 1);
    EXPECT_EQ(count(lines, "nameOfFBType=\"IBS_SEND_REQ_DYNAMIC\""), 1);
    EXPECT_EQ(count(lines, "<DDTSource DDTName=\"IBS_Manage\""), 1);
    EXPECT_GT(count(lines, "typeName=\"T_PMEDWL_A\""), 0);
    for (const std::string& line : lines) {
        if (line.find("IBY_") != std::string::npos) {
            // The racks and slots of the dynamic blocks keep their names.
            EXPECT_TRUE(line.find("IBY_Rack_") != std::string::npos ||
                        line.find("IBY_Slot_") != std::string::npos)
                << line;
        }
    }
}

}  // namespace
