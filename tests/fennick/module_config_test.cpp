#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "extractor/loop/assignment_sort.h"
#include "extractor/loop/module_config_reader.h"
#include "fennick_fixture.h"
#include "loop_fixture.h"
#include "svc/svc_record.h"

namespace fennick_test {
namespace {

using extractor::AssignmentList;
using extractor::sortAssignments;

TEST(AssignmentSort, InputsByWordThenBit) {
    const std::vector<std::string> list = {
        "x1 := IBY_DIO_d0_s3.Inputs.IW[5].3;",           "x2 := IBY_DIO_d0_s3.Inputs.IW[2];",
        "s1 := IBY_DIO_d0_s3.Inputs.IBS_Status[1];",     "x3 := IBY_DIO_d0_s3.Inputs.IW[5];",
        "v := INT_TO_WORD(IBY_DIO_d0_s3.Inputs.IW[5]);", "x4 := IBY_DIO_d0_s3.Inputs.IW[5].1;",
        "x5 := IBY_DIO_d0_s3.Inputs.IW[5].12;",          "x6 := IBY_DIO_d0_s3.Inputs.IW[241];",
        "s2 := IBY_DIO_d0_s3.Inputs.IBS_Status[0];",
    };
    const auto sorted = sortAssignments(list, AssignmentList::Inputs, nullptr);
    EXPECT_EQ(sorted.lines, (std::vector<std::string>{list[2], list[8], list[1], list[3], list[4],
                                                      list[5], list[0], list[6], list[7]}));
    EXPECT_TRUE(sorted.warnings.empty());
}

TEST(AssignmentSort, OutputsByWordThenBit) {
    const std::vector<std::string> list = {
        "IBY_DIO_d0_s3.Outputs.QW[7].2 := b;",
        "IBY_DIO_d0_s3.Outputs.QW[7] := w;",
        "IBY_DIO_d0_s3.Outputs.IBS_Command[2] := c;",
        "IBY_DIO_d0_s3.Outputs.QW[3] := INT_TO_WORD(v);",
        "IBY_DIO_d0_s3.Outputs.QW[7].0 := a;",
    };
    const auto sorted = sortAssignments(list, AssignmentList::Outputs, nullptr);
    EXPECT_EQ(sorted.lines,
              (std::vector<std::string>{list[2], list[3], list[1], list[4], list[0]}));
}

TEST(AssignmentSort, WordsWithoutAPlaceAreReported) {
    const std::vector<std::string> list = {
        "a := IBY_DIO_d0_s3.Inputs.IW[242];",
        "b := IBY_DIO_d0_s3.Inputs.IW[3].16;",
        "c := IBY_DIO_d0_s3.Inputs.IW[99999999999999999999];",
        "d := IBY_DIO_d0_s3.Inputs.IW[4];",
    };
    std::ostringstream console;
    const auto sorted = sortAssignments(list, AssignmentList::Inputs, &console);
    EXPECT_EQ(sorted.lines, (std::vector<std::string>{list[3]}));
    ASSERT_EQ(sorted.warnings.size(), 3u);
    EXPECT_NE(sorted.warnings[0].find("word 242"), std::string::npos);
    EXPECT_NE(sorted.warnings[1].find("word 3 bit 16"), std::string::npos);
    EXPECT_NE(sorted.warnings[0].find(list[0]), std::string::npos);
    EXPECT_EQ(console.str(), " Inputs. 4\n");
}

TEST(ServiceFile, LinesOfTheRecords) {
    const std::vector<std::string> lines =
        extractor::serviceFileLines({0x0711, 2, 0x0001, 0x00FF, 0x0306, 0});
    EXPECT_EQ(lines,
              (std::vector<std::string>{"", "", "#CMD#", "#0x0711#", "#0x0002#", "#0x0001#",
                                        "#0x00FF#", "", "", "#CMD#", "#0x0306#", "#0x0000#"}));
    // A record of no data words is followed by the next record at once.
    EXPECT_EQ(extractor::serviceFileLines({0x0711, 0, 0x0306, 1, 0x0005}),
              (std::vector<std::string>{"", "", "#CMD#", "#0x0711#", "#0x0000#", "", "", "#CMD#",
                                        "#0x0306#", "#0x0001#", "#0x0005#"}));
    // A count that ends inside a record leaves it short.
    EXPECT_EQ(extractor::serviceFileLines({0x0307, 5, 1}).size(), 6u);
}

TEST(ServiceFile, PlainNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"D:\\Svc\\Line1.svc", "Line1.svc"},
        {"Line1.svc", "Line1.svc"},
        {"..\\..\\Windows\\evil.svc", "evil.svc"},
        {"/etc/passwd", "passwd"},
        {"D:\\Svc\\", ""},
        {"D:\\Svc\\..", ""},
        {"C:evil.svc", ""},
        {"a\"&del *.svc", ""},
        {"line\r.svc", ""},
        {"what?.svc", ""},
        {"pipe|.svc", ""},
        {"NUL.svc", ""},
        {"com3", ""},
        // Legal on Windows, and used as they stand.
        {"D:\\Svc\\Line$1.svc", "Line$1.svc"},
        {"O'Brien.svc", "O'Brien.svc"},
        {"100%.svc", "100%.svc"},
        {"a`b.svc", "a`b.svc"},
        {"Line 1 (new).svc", "Line 1 (new).svc"},
        {"Console.svc", "Console.svc"},
    };
    for (const auto& [stored, plain] : cases) {
        EXPECT_EQ(extractor::plainServiceFileName(stored), plain) << stored;
    }
}

// The configuration block of the sample module, with its KW1 value line replaced.
TEST(ModuleConfiguration, WordCountFollowsKw1) {
    const std::pair<uint16_t, int> cases[] = {{242, 242}, {128, 128}, {0, 128}, {243, 128}};
    for (const auto& [kw1, words] : cases) {
        SCOPED_TRACE(kw1);
        ProjectSpec project = sampleProject();
        project.modules[0].kw1 = kw1;
        project.modules[0].kw0 = 0x00A1;
        const LoopRun run = runLoop(projectLines(project));
        ASSERT_FALSE(run.failure);
        EXPECT_EQ(run.module.kw0, 0xA1);
        EXPECT_EQ(run.module.kw1, kw1);
        EXPECT_EQ(run.module.kw2, 7);
        EXPECT_EQ(run.module.wordCount, words);
    }
}

TEST(ModuleConfiguration, ValueLinesReadFromTheThirdCharacterAfterTheQuote) {
    extractor::ModuleConfigReader reader;
    extractor::ModuleContext module;
    extractor::LoopState state = extractor::LoopState::AfterAddress;
    for (const char* line :
         {"<paramKW>", "<v value=\"zz0001\">", "<v value=\"..00F2\">", "<v value=\"0x\">"}) {
        reader.line(line, state, module);
    }
    EXPECT_EQ(module.kw0, 1);
    EXPECT_EQ(module.kw1, 242);
    EXPECT_EQ(module.wordCount, 242);
    EXPECT_EQ(module.kw2, 0);
    EXPECT_EQ(state, extractor::LoopState::AfterWords);
}

TEST(ModuleConfiguration, MalformedNames) {
    extractor::ModuleConfigReader reader;
    extractor::ModuleContext module;
    extractor::LoopState state = extractor::LoopState::NameLength;
    EXPECT_EQ(reader.line("<v value=\"0x0002\">", state, module),
              extractor::ModuleConfigReader::Step::Nothing);
    EXPECT_EQ(reader.line("<v value=\"0x0000\">", state, module),
              extractor::ModuleConfigReader::Step::Malformed);
    extractor::ModuleConfigReader wide;
    state = extractor::LoopState::NameCharacters;
    EXPECT_EQ(wide.line("<v value=\"0x0100\">", state, module),
              extractor::ModuleConfigReader::Step::Malformed);
}

class ServiceFileConversion : public FennickTest {};

TEST_F(ServiceFileConversion, RebuiltFileDecodesToTheConfiguredWords) {
    ProjectSpec project = sampleProject();
    const std::vector<uint16_t> words = {0x0307, 7,      0x0003, 0x0001, 0x0002, 0x0101,
                                         0x0202, 0x0102, 0x0101, 0x0701, 1,      0x0005};
    project.modules[0].serviceWords = words;
    ASSERT_EQ(runFennick({writeProject("Line.zef", project).string()}), 0) << transcript();
    const std::filesystem::path intermediate = path("Line_IBY_IntermediateFiles");
    for (const char* name : {"Line1.svc", "Line.svc"}) {
        SCOPED_TRACE(name);
        std::ifstream in(intermediate / name, std::ios::binary);
        ASSERT_TRUE(in);
        std::vector<uint16_t> read;
        for (const svc::SvcRecord& record : svc::readSvcRecords(in)) {
            read.push_back(record.serviceCode);
            read.push_back(record.wordCount);
            read.insert(read.end(), record.dataWords.begin(), record.dataWords.end());
        }
        EXPECT_EQ(read, words);
    }
    EXPECT_EQ(readFile(intermediate / "Line1.svc"),
              crlfText({"", "", "#CMD#", "#0x0307#", "#0x0007#", "#0x0003#", "#0x0001#", "#0x0002#",
                        "#0x0101#", "#0x0202#", "#0x0102#", "#0x0101#", "", "", "#CMD#", "#0x0701#",
                        "#0x0001#", "#0x0005#"}));
    // The decoder's outputs went with it, and its configuration program is in the project.
    for (const char* suffix :
         {"_parse.txt", "_config.xsy", "_map.xsy", "_init.xst", "_excel.csv"}) {
        EXPECT_TRUE(std::filesystem::exists(intermediate / ("Line" + std::string(suffix))))
            << suffix;
    }
    const std::string converted = readArchive(path("Line_IBY.zef")).at("unitpro.xef").data;
    EXPECT_NE(converted.find("IBY_Manage_d0_s3.Config[IBY_Manage_d0_s3.Entry].Name :=             "
                             "'Node_1.1';"),
              std::string::npos);
    EXPECT_EQ(xmlProblem(converted, path("tmp")), "");
}

// A stored name that is also the name of a file the conversion writes takes nothing of that
// file's text, nor gives it any.
TEST_F(ServiceFileConversion, NameOfAConversionFileMixesWithNothing) {
    for (const char* name : {"D:\\Svc\\Line_PCP.txt", "Line_INvars.txt", "D:\\unitpro_IBY.xef"}) {
        SCOPED_TRACE(name);
        ProjectSpec project = sampleProject();
        project.modules[0].svcName = name;
        ASSERT_EQ(runFennick({writeProject("Line.zef", project).string()}), 0) << transcript();
        const std::filesystem::path intermediate = path("Line_IBY_IntermediateFiles");
        EXPECT_EQ(readFile(path("Line_PCP.txt")).rfind("DFB: Pump_Ctrl (static1)", 0), 0u);
        EXPECT_EQ(readFile(intermediate / "Line_INvars.txt"),
                  crlfText({"Speed := INT_TO_WORD(IBY_DIO_d0_s3.Inputs.IW[5]);    (*  WARNING:  "
                            "NOT an INT *)"}));
        std::ifstream svcFile(intermediate / "Line.svc", std::ios::binary);
        std::vector<uint16_t> read;
        for (const svc::SvcRecord& record : svc::readSvcRecords(svcFile)) {
            read.push_back(record.serviceCode);
            read.push_back(record.wordCount);
            read.insert(read.end(), record.dataWords.begin(), record.dataWords.end());
        }
        EXPECT_EQ(read, sampleServiceWords());
        const std::string converted = readArchive(path("Line_IBY.zef")).at("unitpro.xef").data;
        EXPECT_EQ(xmlProblem(converted, path("tmp")), "");
        std::filesystem::remove_all(intermediate);
    }
}

TEST_F(ServiceFileConversion, HostileNameEndsWithAClearError) {
    for (const char* name : {"C:\\x\\..", "D:\\Svc\\a\" & del *.*", "\\\\server\\share\\"}) {
        SCOPED_TRACE(name);
        ProjectSpec project = sampleProject();
        project.modules[0].svcName = name;
        const std::filesystem::path input = writeProject("Line.zef", project);
        const std::vector<std::string> before = tree();
        EXPECT_EQ(runFennick({input.string()}), 1);
        ASSERT_EQ(boxes().size(), 1u);
        EXPECT_NE(boxes()[0].find("is not a plain file name"), std::string::npos) << boxes()[0];
        EXPECT_EQ(tree(), before);
        EXPECT_TRUE(leftoverWorkFolders().empty());
    }
}

}  // namespace
}  // namespace fennick_test
