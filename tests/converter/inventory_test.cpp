// The first pass: what it finds in the project, and the checks that stop a conversion.

#include <gtest/gtest.h>

#include <sstream>

#include "converter/conversion/inventory_checks.h"
#include "converter/conversion/inventory_line.h"
#include "converter/conversion/project_passes.h"
#include "tests/converter/m580_project.h"

namespace {

using m580_test::Module;
using m580_test::ProjectOptions;
using vornick::Inventory;

const std::string kXef = "/work/plant/unitpro.xef";

struct Pass {
    Inventory inventory;
    std::string report;
    std::ostringstream console;
};

void takeInventory(Pass& pass, const std::vector<std::string>& lines) {
    std::istringstream in(m580_test::joinLines(lines));
    vornick::ConversionLog log{pass.report, pass.console};
    vornick::takeInventory(in, pass.inventory, log);
}

std::optional<std::string> checked(const std::vector<std::string>& lines) {
    Pass pass;
    takeInventory(pass, lines);
    return vornick::checkInventory(pass.inventory, kXef);
}

Module module(int rack, int slot, const std::string& name, const std::string& id) {
    Module m;
    m.rack = rack;
    m.slot = slot;
    m.dtmName = name;
    m.dtmId = id;
    m.ipAddress = "10.0." + std::to_string(rack) + "." + std::to_string(slot);
    return m;
}

TEST(Inventory, ReadsModulesDeclarationsAndDtmEntries) {
    ProjectOptions options;
    options.modules = {module(0, 3, "PMEDWL_A", "1"), module(1, 5, "PMEDWL_B", "2")};
    Pass pass;
    takeInventory(pass, m580_test::projectLines(options));
    const Inventory& found = pass.inventory;
    ASSERT_EQ(found.moduleCount, 2);
    ASSERT_EQ(found.ibyCount, 2);
    ASSERT_EQ(found.dtmCount, 2);
    EXPECT_EQ(found.IBSrack[2], 1);
    EXPECT_EQ(found.IBSslot[2], 5);
    EXPECT_EQ(found.ibySuffix[1], "_d0_s3");
    EXPECT_EQ(found.ibySuffix[2], "_d1_s5");
    EXPECT_EQ(found.dtmEntryName[2], "PMEDWL_B");
    EXPECT_EQ(found.dtmId[2], "2");
    EXPECT_EQ(found.dtmIpAddress[2], "10.0.1.5");
    EXPECT_EQ(found.dtmIdentifier[2], "C1_5");
    EXPECT_EQ(found.IBSDTMrack[2], 1);
    EXPECT_EQ(found.IBSDTMslot[2], 5);
    EXPECT_NE(pass.report.find("\r\n Found PMEDWL(2)  at rack = 1   slot = 5"), std::string::npos);
    EXPECT_NE(pass.report.find("\r\n Found IBY_DIO(1)  at rack = 0   slot = 3"), std::string::npos);
    EXPECT_NE(pass.report.find("\r\n Found PMEDWL DTM(2) Name='PMEDWL_B'   'C1_5' at Rack='1'  "
                               "Slot='5'  IPaddress='10.0.1.5'   DeviceID='2'"),
              std::string::npos);
    EXPECT_EQ(vornick::checkInventory(pass.inventory, kXef), std::nullopt);
}

TEST(Inventory, OneModuleLeavesTheSecondEntriesAtTheirStartValues) {
    Pass pass;
    takeInventory(pass, m580_test::projectLines());
    EXPECT_EQ(pass.inventory.moduleCount, 1);
    EXPECT_EQ(pass.inventory.dtmId[2], "Not yet set");
    EXPECT_EQ(pass.inventory.dtmIpAddress[2], "Not yet set");
    EXPECT_EQ(pass.inventory.dtmEntryName[2], "Not yet set");
    EXPECT_EQ(vornick::checkInventory(pass.inventory, kXef), std::nullopt);
}

TEST(Inventory, TheLineAfterAModuleLineIsItsAddressNeverAModule) {
    Pass pass;
    takeInventory(pass, {"<partItem partNumber=\"BMX PMEDWL0111\">",
                         "<partItem partNumber=\"BMX PMEDWL0111\" at=\"\\\\0.4\">",
                         "<topologicalAddress value=\"\\\\0.5\">"});
    EXPECT_EQ(pass.inventory.moduleCount, 1);
    EXPECT_EQ(pass.inventory.IBSslot[1], 4);
}

TEST(Inventory, PlacesAreReadFromAddressesSuffixesAndIdentifiers) {
    using vornick::RackSlot;
    const auto same = [](RackSlot a, RackSlot b) {
        return a.rack == b.rack && a.slot == b.slot && a.read == b.read;
    };
    EXPECT_TRUE(same(vornick::moduleAddress("<a value=\"\\\\2.11\">"), {2, 11, true}));
    EXPECT_TRUE(same(vornick::moduleAddress("<a value=\"\\\\2\">"), {0, 0, false}));
    EXPECT_TRUE(same(vornick::moduleAddress("<a value=\"2.11\">"), {0, 0, false}));
    EXPECT_TRUE(same(vornick::ibyDeclarationSuffix(
                         "<variables name=\"IBY_IODDT_IN_d1_s12\" typeName=\"IBY_IODDT_IN\">"),
                     {1, 12, true}));
    EXPECT_TRUE(
        same(vornick::ibyDeclarationSuffix("<variables name=\"IBY_IODDT_IN_d1\">"), {0, 0, false}));
    // The rack is read only after a leading "C": 0_3 and 1_3 both give rack 0.
    EXPECT_TRUE(same(vornick::dtmIdentifierPlace("C0_3"), {0, 3, true}));
    EXPECT_TRUE(same(vornick::dtmIdentifierPlace("C12_4_x"), {12, 4, true}));
    EXPECT_TRUE(same(vornick::dtmIdentifierPlace("0_3"), {0, 3, true}));
    EXPECT_TRUE(same(vornick::dtmIdentifierPlace("1_3"), {0, 3, true}));
    EXPECT_TRUE(same(vornick::dtmIdentifierPlace("C1"), {1, 0, false}));
}

// A project changed in one place, and the check that must refuse it.
struct Refusal {
    const char* what;
    std::function<void(std::vector<std::string>&)> change;
    std::string message;
};

void replaceIn(std::vector<std::string>& lines, const std::string& from, const std::string& to) {
    const int at = m580_test::findLine(lines, from);
    ASSERT_GE(at, 0) << from;
    std::string& line = lines[static_cast<std::size_t>(at)];
    line.replace(line.find(from), from.size(), to);
}

void eraseLine(std::vector<std::string>& lines, const std::string& holding) {
    const int at = m580_test::findLine(lines, holding);
    ASSERT_GE(at, 0) << holding;
    lines.erase(lines.begin() + at);
}

TEST(Inventory, EachCheckRefusesWithItsMessage) {
    const std::string file = "  ERROR: File '" + kXef + "'";
    const std::vector<Refusal> refusals = {
        {"no module", [](auto& l) { replaceIn(l, "PMEDWL0111", "PMEDWL0112"); },
         file + " does not contain at least one PMEDWL Module!"},
        {"no DTM entry", [](auto& l) { eraseLine(l, "M58B_XX_PMEDWL01"); },
         file + " found 1 PMEDWL but only  0 DTM entries!"},
        {"no IBY declaration", [](auto& l) { eraseLine(l, "name=\"IBY_IODDT_IN_d0_s3\""); },
         file + " found 1 PMEDWL but only  0 IBY modules!"},
        // The IBY declaration under the name Vornick gives it: the project is its own output.
        {"converted already",
         [](auto& l) {
             replaceIn(l, "name=\"IBY_IODDT_IN_d0_s3\" typeName=\"IBY_IODDT_IN\"",
                       "name=\"IBS_IODDT_IN_PMEDWL_A\" typeName=\"IBS_IODDT_IN\"");
         },
         file + " has been converted already: it declares IBS_IODDT_IN_PMEDWL_A and no IBY "
                "module!"},
        {"no IBY declaration, a user's IBS block type",
         [](auto& l) {
             eraseLine(l, "name=\"IBY_IODDT_IN_d0_s3\"");
             replaceIn(l, "nameOfFBType=\"IBY_IODDT_IN\"", "nameOfFBType=\"IBS_IODDT_IN\"");
         },
         file + " found 1 PMEDWL but only  0 IBY modules!"},
        {"DTM in another slot",
         [](auto& l) { replaceIn(l, "identifier=\"C0_3\"", "identifier=\"C0_4\""); },
         file + " IBSslot(1) does not match IBSDTMslot(1)!"},
        {"DTM in rack 1 without the C",
         [](auto& l) {
             replaceIn(l, "\\\\0.3", "\\\\1.3");
             replaceIn(l, "identifier=\"C0_3\"", "identifier=\"1_3\"");
         },
         file + " IBSrack(1) does not match IBSDTMrack(1)!"},
        {"third module",
         [](auto& l) {
             const int at = m580_test::findLine(l, "PMEDWL0111");
             const std::vector<std::string> copy(l.begin() + at, l.begin() + at + 3);
             l.insert(l.begin() + at, copy.begin(), copy.end());
             l.insert(l.begin() + at, copy.begin(), copy.end());
         },
         file + " found 3 PMEDWL modules but at most 2 can be converted!"},
        {"third DTM entry",
         [](auto& l) {
             const int at = m580_test::findLine(l, "M58B_XX_PMEDWL01");
             l.insert(l.begin() + at, 2, l[static_cast<std::size_t>(at)]);
         },
         file + " found 3 PMEDWL DTM entries but at most 2 can be converted!"},
        {"third IBY declaration",
         [](auto& l) {
             const int at = m580_test::findLine(l, "name=\"IBY_IODDT_IN_d0_s3\"");
             l.insert(l.begin() + at, 2, l[static_cast<std::size_t>(at)]);
         },
         file + " found 3 IBY modules but at most 2 can be converted!"},
        {"DTM without a name", [](auto& l) { replaceIn(l, " name=\"PMEDWL_A\" id=", " id="); },
         file + " DTM(1) has no name value!"},
        {"DTM without an id", [](auto& l) { replaceIn(l, " id=\"1\"", ""); },
         file + " DTM(1) has no id value!"},
        {"DTM without an address", [](auto& l) { replaceIn(l, " ipAddress=\"192.168.10.3\"", ""); },
         file + " DTM(1) has no ipAddress value!"},
        {"DTM without an identifier", [](auto& l) { replaceIn(l, " identifier=\"C0_3\"", ""); },
         file + " DTM(1) has no identifier value!"},
        {"DTM identifier without a slot",
         [](auto& l) { replaceIn(l, "identifier=\"C0_3\"", "identifier=\"C0\""); },
         file + " DTM(1) identifier 'C0' names no rack and slot!"},
        {"module without an address", [](auto& l) { replaceIn(l, "\\\\0.3\"", "\""); },
         file + " PMEDWL(1) has no rack and slot in its address!"},
        {"module line last in the file",
         [](auto& l) {
             const int at = m580_test::findLine(l, "PMEDWL0111");
             l.push_back(l[static_cast<std::size_t>(at)]);
             l.erase(l.begin() + at, l.begin() + at + 3);
         },
         file + " PMEDWL(1) has no rack and slot in its address!"},
        {"IBY declaration without a slot",
         [](auto& l) { replaceIn(l, "name=\"IBY_IODDT_IN_d0_s3\"", "name=\"IBY_IODDT_IN_d0\""); },
         file + " IBY_DIO(1) has no rack and slot in its name!"},
        {"IBY declaration of another module",
         [](auto& l) {
             replaceIn(l, "name=\"IBY_IODDT_IN_d0_s3\"", "name=\"IBY_IODDT_IN_d0_s4\"");
         },
         file + " found no IBY module at rack = 0   slot = 3 for DTM(1)!"},
    };
    for (const Refusal& refusal : refusals) {
        std::vector<std::string> lines = m580_test::projectLines();
        refusal.change(lines);
        EXPECT_EQ(checked(lines), refusal.message) << refusal.what;
    }
}

TEST(Inventory, DtmEntriesListedAgainstTheModuleOrderAreRefused) {
    ProjectOptions options;
    options.modules = {module(0, 3, "PMEDWL_A", "1"), module(0, 5, "PMEDWL_B", "2")};
    options.dtmEntriesReversed = true;
    EXPECT_EQ(checked(m580_test::projectLines(options)),
              "  ERROR: File '" + kXef + "' IBSslot(1) does not match IBSDTMslot(1)!");
}

TEST(Inventory, TheBlocksNameEachModulesPlaceByInitialValues) {
    // IBY_Rack_2 and IBY_Slot_2 of a dynamic block, in the shapes their initial values take; the
    // first block that gives a value counts.
    const std::vector<std::string> rack{"\t\t\t<variables name=\"IBY_Rack_2\" typeName=\"INT\">",
                                        "\t\t\t\t<variableInit value=\"1\"></variableInit>",
                                        "\t\t\t</variables>"};
    const std::string slotOnOneLine =
        "\t\t\t<variables name=\"IBY_Slot_2\" typeName=\"INT\"><variableInit value=\"5\"/>"
        "</variables>";
    const std::string slotWithoutValue =
        "\t\t\t<variables name=\"IBY_Slot_2\" typeName=\"INT\"></variables>";
    const std::string other =
        "\t\t\t<variables name=\"Count\" typeName=\"INT\"><variableInit value=\"7\"/>"
        "</variables>";
    const struct {
        const char* what;
        std::vector<std::string> lines;
        bool read;
    } cases[] = {
        {"own line and declaration line", {rack[0], rack[1], rack[2], slotOnOneLine}, true},
        {"a later block differs",
         {rack[0], rack[1], rack[2], slotOnOneLine,
          "\t\t\t<variables name=\"IBY_Slot_2\" typeName=\"INT\"><variableInit value=\"9\"/>"
          "</variables>"},
         true},
        {"no value of its own", {rack[0], rack[1], rack[2], slotWithoutValue, other}, false},
    };
    for (const auto& c : cases) {
        Pass pass;
        takeInventory(pass, c.lines);
        EXPECT_TRUE(pass.inventory.placeholderRackRead[2]) << c.what;
        EXPECT_EQ(pass.inventory.placeholderRack[2], 1) << c.what;
        EXPECT_EQ(pass.inventory.placeholderSlotRead[2], c.read) << c.what;
        EXPECT_EQ(pass.inventory.placeholderSlot[2], c.read ? 5 : 0) << c.what;
        EXPECT_FALSE(pass.inventory.placeholderRackRead[1]) << c.what;
    }
}

TEST(Inventory, IbyDeclarationsArePairedWithTheDtmEntryOfTheirPlace) {
    ProjectOptions options;
    options.modules = {module(0, 3, "PMEDWL_A", "1"), module(0, 5, "PMEDWL_B", "2")};
    const std::vector<std::string> project = m580_test::projectLines(options);
    // The second module's declarations first: the pairing follows rack and slot, not order.
    // The IP placeholders follow the blocks' IBY_Rack_k and IBY_Slot_k, which name the module
    // at slot 3 first; only blocks without them leave the declarations' order, the order the
    // Premium conversion met the modules in, to decide.
    const struct {
        const char* what;
        bool placesGiven;
        int firstPlaceholderDtm;
    } cases[] = {{"places given", true, 1}, {"no places", false, 2}};
    for (const auto& c : cases) {
        std::vector<std::string> lines = project;
        const int first = m580_test::findLine(lines, "name=\"IBY_IODDT_IN_d0_s3\"");
        const int second = m580_test::findLine(lines, "name=\"IBY_IODDT_IN_d0_s5\"");
        std::swap(lines[static_cast<std::size_t>(first)], lines[static_cast<std::size_t>(second)]);
        if (!c.placesGiven) {
            for (int at; (at = m580_test::findLine(lines, "<variables name=\"IBY_Rack_")) >= 0 ||
                         (at = m580_test::findLine(lines, "<variables name=\"IBY_Slot_")) >= 0;) {
                lines.erase(lines.begin() + at, lines.begin() + at + 3);
            }
        }
        Pass pass;
        takeInventory(pass, lines);
        EXPECT_EQ(pass.inventory.ibySuffix[1], "_d0_s5") << c.what;
        ASSERT_EQ(vornick::checkInventory(pass.inventory, kXef), std::nullopt) << c.what;
        EXPECT_EQ(pass.inventory.ibySuffix[1], "_d0_s3") << c.what;
        EXPECT_EQ(pass.inventory.ibySuffix[2], "_d0_s5") << c.what;
        EXPECT_EQ(pass.inventory.IBYslot[2], 5) << c.what;
        EXPECT_EQ(pass.inventory.placeholderDtm[1], c.firstPlaceholderDtm) << c.what;
        EXPECT_EQ(pass.inventory.placeholderDtm[2], 3 - c.firstPlaceholderDtm) << c.what;
    }
}

}  // namespace
