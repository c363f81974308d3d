// A Premium project with its TSXIBY100 modules, taken the whole way the user takes it: Fennick
// converts it ("<name>_IBY.zef", a second pass for a second module), the migration to M580 and
// Control Expert add the PMEDWL modules and their DTMs, and Vornick turns that project into
// "<name>_IBS.zef", whose code drives the PMEDWL modules under their DTM names.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <regex>

#include "tests/converter/project_definitions.h"
#include "tests/pipeline/pipeline_fixture.h"

namespace {

namespace fs = std::filesystem;
using fennick_test::ModuleSpec;
using fennick_test::ProjectSpec;
using m580_test::Module;
using Lines = std::vector<std::string>;

struct Journey {
    const char* what;
    std::vector<ModuleSpec> premiumModules;  // in the order the Premium project lists them
    const char* fennickArchive;              // what Fennick leaves for the migration
    std::vector<Module> pmedwlModules;       // in the order of the M580 rack and its DTMs
};

std::ostream& operator<<(std::ostream& out, const Journey& journey) {
    return out << journey.what;
}

Module pmedwl(int slot, const char* dtmName, const char* id, const char* ip,
              const std::string& deviceIdElement = "") {
    Module module;
    module.rack = 0;
    module.slot = slot;
    module.dtmName = dtmName;
    module.dtmId = id;
    module.ipAddress = ip;
    module.deviceIdElement = deviceIdElement;
    return module;
}

// The sample project (located variables and calls of the module at slot 3) with its modules;
// with two, a located variable and a call of the module at slot 5. The comments Fennick leaves
// on the unlocated variables ("%IW0.3.0.1 (Interbus-S)") hold the numbers Control Expert gives
// the DTMs as ids.
ProjectSpec premiumProject(const Journey& journey) {
    ProjectSpec project = fennick_test::sampleProject();
    project.modules = journey.premiumModules;
    project.declarations.push_back(
        "\t\t<variables name=\"Level\" typeName=\"INT\" topologicalAddress=\"%IW0.3.0.1\">"
        "</variables>");
    if (journey.premiumModules.size() > 1) {
        project.declarations.push_back(
            "\t\t<variables name=\"Flow\" typeName=\"INT\" topologicalAddress=\"%IW0.5.0.4\">"
            "</variables>");
        project.sections[0].lines.push_back("SEND_REQ(ADDR('0.5.0.2'), 1, E, G, R);");
    }
    return project;
}

bool holdsLine(const Lines& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

int countHolding(const Lines& lines, const std::string& text) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(text) != std::string::npos;
    }));
}

// A line of the project matches the pattern, in which an IP address stands for itself.
bool holdsCall(const Lines& lines, const std::string& head, const std::string& ip,
               const std::string& tail) {
    const std::regex call(head + std::regex_replace(ip, std::regex("\\."), "\\.") + tail);
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return std::regex_match(line, call); });
}

const Module& moduleAtSlot(const std::vector<Module>& modules, int slot) {
    const auto found = std::find_if(modules.begin(), modules.end(),
                                    [&](const Module& module) { return module.slot == slot; });
    EXPECT_NE(found, modules.end()) << slot;
    return found != modules.end() ? *found : modules.front();
}

// No IBY_ name is left (in any letter case) but the rack and slot variables of the dynamic
// communication blocks; no placeholder and no IBY device type.
void expectNoIbyNameLeft(const Lines& lines) {
    for (const std::string& line : lines) {
        std::string rest = line;
        std::transform(rest.begin(), rest.end(), rest.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        for (const std::string kept : {"IBY_RACK_", "IBY_SLOT_"}) {
            for (std::size_t at; (at = rest.find(kept)) != std::string::npos;) {
                rest.erase(at, kept.size());
            }
        }
        EXPECT_EQ(rest.find("IBY_"), std::string::npos) << line;
        for (const char* placeholder :
             {"PMEDWLIP", "IBYSENDREQIP", "IBYREADVARIP", "IBYWRITEVARIP", "T_IBY_DIO"}) {
            EXPECT_EQ(line.find(placeholder), std::string::npos) << line;
        }
    }
}

// The module's instances are declared and called under its DTM's name, with its device
// variable. The first module's sections take the name too; the second one's keep their place.
void expectModuleUnderItsDtmName(const Lines& lines, const Module& module, bool first) {
    const std::string& name = module.dtmName;
    const std::string suffix =
        "_d" + std::to_string(module.rack) + "_s" + std::to_string(module.slot);
    SCOPED_TRACE(name);
    for (const std::string type :
         {"IBS_Manage", "IBS_Layout_Xfer", "IBS_Layout_CRC", "IBS_IODDT_IN", "IBS_IODDT_OUT"}) {
        EXPECT_TRUE(holdsLine(lines, "\t\t<variables name=\"" + type + "_" + name +
                                         "\" typeName=\"" + type + "\"></variables>"))
            << type;
    }
    EXPECT_TRUE(
        holdsLine(lines, "\t\t<variables name=\"" + name + "\" typeName=\"T_" + name + "\">"));
    EXPECT_TRUE(
        holdsLine(lines, "IBS_IODDT_IN_" + name + " (" + name + ", IBS_Manage_" + name + ");"));
    EXPECT_TRUE(holdsLine(lines, "IBS_Layout_Xfer_" + name + " (" + name + ", IBS_Manage_" + name +
                                     "); \t\t(* Move Config and Map to PMEDWL *)"));
    if (first) {
        EXPECT_EQ(countHolding(lines, suffix), 0);
        for (const std::string section : {"IBS_IN_", "IBS_LOAD_", "IBS_OUT_"}) {
            EXPECT_EQ(countHolding(lines, "<sectionDesc name=\"" + section + name + "\""), 1);
            EXPECT_EQ(countHolding(lines, "<identProgram name=\"" + section + name + "\""), 1);
        }
        return;
    }
    const std::regex section("\"IBS_(IN|LOAD|OUT)" + suffix + "\"");
    for (const std::string& line : lines) {
        if (line.find(suffix) != std::string::npos) {
            EXPECT_TRUE(std::regex_search(line, section)) << line;
        }
    }
}

// The application's located variables read and write the device variable of their module, and
// its calls go to their module's IP address.
void expectApplicationReachesItsModules(const Lines& lines, const std::vector<Module>& modules) {
    const Module& slot3 = moduleAtSlot(modules, 3);
    const std::string& name3 = slot3.dtmName;
    for (const std::string& line : {
             "\tSpeed := INT_TO_WORD(" + name3 + ".Inputs.IW[5]);    (*  WARNING:  NOT an INT *)",
             "\tLevel := " + name3 + ".Inputs.IW[1];",
             "\t" + name3 + ".Outputs.QW[2] := Valve;",
         }) {
        EXPECT_TRUE(holdsLine(lines, line)) << line;
    }
    EXPECT_TRUE(holdsCall(lines, "IBS_SEND_REQ_[0-9]+\\(254,'", slot3.ipAddress,
                          "', 16#31, Emis, Gest, Recp\\);"));
    EXPECT_TRUE(
        holdsCall(lines, "IBS_READ_VAR_[0-9]+\\(7, '", slot3.ipAddress, "', 3, 1, GEST, TAB\\);"));
    // The call in the DFB.
    EXPECT_TRUE(holdsCall(lines, "  IBS_SEND_REQ_[0-9]+\\(5,'", slot3.ipAddress,
                          "', 16#31, Emis, Gest, Recp\\);"));
    if (modules.size() > 1) {
        const Module& slot5 = moduleAtSlot(modules, 5);
        EXPECT_TRUE(holdsLine(lines, "\tFlow := " + slot5.dtmName + ".Inputs.IW[4];"));
        EXPECT_TRUE(
            holdsCall(lines, "IBS_SEND_REQ_[0-9]+\\(2,'", slot5.ipAddress, "', 1, E, G, R\\);"));
    }
}

// A dynamic communication block sends a request whose route names module k's rack and slot
// (IBY_Rack_k, IBY_Slot_k) to the address IBS_IPk: that must be the IP address of the PMEDWL
// module in that place. A place where no module stands (0, 0 with one module) is not checked.
void expectRoutesReachTheirModules(const Lines& lines, const std::vector<Module>& modules) {
    const std::regex variable("<variables name=\"([^\"]+)\"");
    const std::regex initial("<variableInit value=\"([^\"]*)\"");
    std::map<std::string, std::string> values;
    std::string current;
    int blocks = 0;
    for (const std::string& line : lines) {
        std::smatch found;
        if (line.find("<FBSource ") != std::string::npos) {
            values.clear();
        } else if (std::regex_search(line, found, variable)) {
            current = found[1];
        } else if (std::regex_search(line, found, initial)) {
            values[current] = found[1];
        } else if (line.find("</FBSource>") != std::string::npos && values.count("IBS_IP1")) {
            ++blocks;
            for (const std::string k : {"1", "2"}) {
                const int rack = std::stoi(values["IBY_Rack_" + k]);
                const int slot = std::stoi(values["IBY_Slot_" + k]);
                for (const Module& module : modules) {
                    if (module.rack == rack && module.slot == slot) {
                        EXPECT_EQ(values["IBS_IP" + k], module.ipAddress)
                            << "route " << k << " to rack " << rack << " slot " << slot;
                    }
                }
            }
        }
    }
    EXPECT_EQ(blocks, 3);
}

// Each exchange marker of the communication blocks has its exchange call in front of it.
void expectExchangeCalls(const Lines& lines) {
    const std::string call = "\tDATA_EXCH (ADR := ADDM(ADDMstring) (*ANY_ARRAY_INT*),";
    int markers = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("_DATA_EXCH  *)") != std::string::npos) {
            ++markers;
            ASSERT_GE(i, 5u);
            EXPECT_EQ(lines[i - 5], call);
        }
    }
    EXPECT_EQ(markers, 6);
    EXPECT_EQ(countHolding(lines, call), markers);
}

class PremiumToIbs : public pipeline_test::PipelineTest,
                     public ::testing::WithParamInterface<Journey> {};

TEST_P(PremiumToIbs, TheIbsProjectDrivesThePmedwlModulesUnderTheirDtmNames) {
    const Journey& journey = GetParam();
    const fs::path premium = writeProject("Line.zef", premiumProject(journey));
    ASSERT_EQ(runProgram(FENNICK_EXECUTABLE, {premium.string()}, "", "fennick"), 0)
        << programTranscript("fennick");
    const fs::path m580 = path("Line_M580.zef");
    ASSERT_NO_THROW(
        m580_test::migrateArchive(path(journey.fennickArchive), m580, journey.pmedwlModules));
    const std::string m580Bytes = fennick_test::readFile(m580);
    ASSERT_EQ(
        runProgram(VORNICK_EXECUTABLE, {}, "menu 100\nfile \"" + m580.string() + "\"\n", "vornick"),
        0);

    // The user sees the success and, last in the report, how many names were replaced.
    const std::string transcript = programTranscript("vornick");
    const fs::path ibs = path("Line_M580_IBS.zef");
    EXPECT_NE(
        transcript.find("msgbox \"Success\" \" Created: " + ibs.string() + "\\r\\n Replaced "),
        std::string::npos)
        << transcript;
    EXPECT_TRUE(std::regex_search(
        transcript, std::regex(R"(\\r\\n  Replaced [1-9][0-9]* variables\."\nmsgbox "Success")")))
        << transcript;
    ASSERT_TRUE(fs::exists(ibs));
    EXPECT_EQ(fennick_test::readFile(m580), m580Bytes);

    // Every other entry of the project went through both programs untouched.
    const auto premiumEntries = fennick_test::readArchive(premium);
    const auto m580Entries = fennick_test::readArchive(m580);
    const auto ibsEntries = fennick_test::readArchive(ibs);
    ASSERT_EQ(ibsEntries.size(), premiumEntries.size());
    for (const auto& [name, entry] : m580Entries) {
        SCOPED_TRACE(name);
        ASSERT_EQ(ibsEntries.count(name), 1u);
        if (name != "unitpro.xef") {
            EXPECT_EQ(ibsEntries.at(name).rawBytes, entry.rawBytes);
            EXPECT_EQ(ibsEntries.at(name).crc, entry.crc);
            EXPECT_EQ(ibsEntries.at(name).method, entry.method);
            EXPECT_EQ(ibsEntries.at(name).data, premiumEntries.at(name).data);
        }
    }

    const std::string project = ibsEntries.at("unitpro.xef").data;
    EXPECT_EQ(fennick_test::xmlProblem(project, path("tmp")), "");
    // Every type the project uses is defined once, every instance its code calls is declared
    // once, as far as the M580 project Vornick was given had them so.
    EXPECT_EQ(m580_test::addedDefinitionFaults(project, m580Entries.at("unitpro.xef").data,
                                               path("tmp"), {"DATA_EXCH"}),
              std::vector<std::string>{});
    const Lines lines = fennick_test::crlfLines(project);
    expectNoIbyNameLeft(lines);
    for (std::size_t k = 0; k < journey.pmedwlModules.size(); ++k) {
        expectModuleUnderItsDtmName(lines, journey.pmedwlModules[k], k == 0);
    }
    expectApplicationReachesItsModules(lines, journey.pmedwlModules);
    expectRoutesReachTheirModules(lines, journey.pmedwlModules);
    expectExchangeCalls(lines);
}

INSTANTIATE_TEST_SUITE_P(
    Modules, PremiumToIbs,
    ::testing::Values(Journey{"OneModule",
                              {fennick_test::moduleAt(0, 3)},
                              "Line_IBY.zef",
                              {pmedwl(3, "PMEDWL_A", "1", "192.168.10.3")}},
                      Journey{"TwoModules",
                              {fennick_test::moduleAt(0, 3), fennick_test::moduleAt(0, 5)},
                              "Line_IBY_IBY.zef",
                              {pmedwl(3, "PMEDWL_A", "1", "192.168.10.3"),
                               pmedwl(5, "PMEDWL_B", "2", "192.168.10.5")}},
                      // Fennick converts the module it meets first, at slot 5; the M580 rack
                      // and its DTMs list slot 3 first.
                      Journey{"TwoModulesMetInTheOtherOrder",
                              {fennick_test::moduleAt(0, 5), fennick_test::moduleAt(0, 3)},
                              "Line_IBY_IBY.zef",
                              {pmedwl(3, "PMEDWL_A", "1", "192.168.10.3"),
                               pmedwl(5, "PMEDWL_B", "2", "192.168.10.5")}},
                      // The DTM's device variable carries its id in the spellings projects use.
                      Journey{"DeviceIdSpelledDeviceID",
                              {fennick_test::moduleAt(0, 3)},
                              "Line_IBY.zef",
                              {pmedwl(3, "PMEDWL_A", "DTM7781", "192.168.10.3",
                                      "<attribute name=\"DeviceID\" value=\"DTM7781\">"
                                      "</attribute>")}},
                      Journey{"DeviceIdValueFirst",
                              {fennick_test::moduleAt(0, 3)},
                              "Line_IBY.zef",
                              {pmedwl(3, "PMEDWL_A", "DTM7781", "192.168.10.3",
                                      "<attribute value=\"DTM7781\" name=\"DeviceId\"/>")}},
                      Journey{"DeviceIdInAnotherAttribute",
                              {fennick_test::moduleAt(0, 3)},
                              "Line_IBY.zef",
                              {pmedwl(3, "PMEDWL_A", "DTM7781", "192.168.10.3",
                                      "<attribute name=\"DeviceDTM\" value=\"DTM7781\">"
                                      "</attribute>")}},
                      Journey{"DeviceIdInSingleQuotesWithBlanks",
                              {fennick_test::moduleAt(0, 3)},
                              "Line_IBY.zef",
                              {pmedwl(3, "PMEDWL_A", "DTM7781", "192.168.10.3",
                                      "<attribute name = 'DeviceId' value = 'DTM7781' />")}},
                      Journey{"TwoModulesTheirIdsSpelledApart",
                              {fennick_test::moduleAt(0, 3), fennick_test::moduleAt(0, 5)},
                              "Line_IBY_IBY.zef",
                              {pmedwl(3, "PMEDWL_A", "DTM7781", "192.168.10.3",
                                      "<attribute name=\"DeviceDTM\" value=\"DTM7781\"/>"),
                               pmedwl(5, "PMEDWL_B", "DTM7782", "192.168.10.5",
                                      "<attribute value='DTM7782' name='DeviceID'></attribute>")}}),
    [](const ::testing::TestParamInfo<Journey>& info) { return std::string(info.param.what); });

}  // namespace
