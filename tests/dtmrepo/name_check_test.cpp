#include <gtest/gtest.h>

#include <filesystem>

#include "dtmrepo/intake/description_names.h"

namespace {

using dtmrepo::checkDescriptionName;
using dtmrepo::scanDescriptionPath;

const std::string kUnderscore = "must include a single underscore";
const std::string kPoint = "must include a single decimal point";
const std::string kBlank = "must not include spaces after the underscore";

struct NameCase {
    const char* path;
    std::string refusal;  // the start of the refusal's rule text; empty: accepted
};

TEST(DtmNameCheck, ModuleFileNamesFollowTheForm) {
    const NameCase cases[] = {
        {"c:\\x\\Other name.with.points.txt", ""},  // not a module file: no check
        {"c:\\x\\PME KRT 0302_Pump.txt", ""},
        {"c:\\x\\PME KRT 0302_Pump_v_1.txt", ""},  // two underscores pass
        {"c:\\x\\PME KRT 0302_Pump.v1.txt", kPoint},
        {"c:\\x\\PME KRT 0302_Pump_v.1.txt", kUnderscore},  // the first broken rule speaks
        {"c:\\x\\PME KRT 0302_Pump 2.txt", kBlank},
        {"c:\\x\\PME KRT 0302 Pump.txt", kUnderscore},
        {"c:\\x\\PME TVQ 0302 x_Pu.mp.txt", kPoint},
        {"c:\\my files\\PME DWL 01_A.txt", ""},  // blanks in folders and before "_" do not count
        {"/home/u/PME HVN 0302_Pump.txt", ""},
        {"c:\\x\\PME KRT 0202 SampleSite.txt", ""},  // the help text's example
    };
    for (const NameCase& c : cases) {
        const auto refusal = checkDescriptionName(scanDescriptionPath(c.path));
        if (c.refusal.empty()) {
            EXPECT_FALSE(refusal.has_value()) << c.path << ": " << refusal.value_or("");
        } else {
            ASSERT_TRUE(refusal.has_value()) << c.path;
            EXPECT_NE(refusal->find(c.refusal), std::string::npos) << *refusal;
        }
    }
}

TEST(DtmNameCheck, RefusalTextsQuoteRootAndExtension) {
    EXPECT_EQ(*checkDescriptionName(scanDescriptionPath("c:\\PME KRT 0302 Pump.txt")),
              "ERROR - 'PME KRT 0302 Pumptxt' must include a single underscore in the root name "
              "'_' and must be of the form:\r\r 'PME KRT 03XX_name_v_x_yy.txt'  where 'name' is "
              "an identifier for the project.");
    EXPECT_EQ(*checkDescriptionName(scanDescriptionPath("c:\\PME KRT 0302_P ump.txt")),
              "ERROR - 'PME KRT 0302_P umptxt' must not include spaces after the underscore root "
              "name and must be of the form:\r\n 'PME KRT 03XX_name_v_x_yy.txt'  where 'name' is "
              "an identifier for the project.");
}

TEST(DtmNameCheck, NamesWithoutExtensionOrRootAndXmlFilesAreRefused) {
    EXPECT_NE(checkDescriptionName(scanDescriptionPath("c:\\x\\pump"))->find("has no extension"),
              std::string::npos);
    EXPECT_NE(checkDescriptionName(scanDescriptionPath("/x/.txt"))->find("has no root name"),
              std::string::npos);
    // The profile would be written over the file itself.
    EXPECT_NE(checkDescriptionName(scanDescriptionPath("c:\\x\\pump.xml"))->find(".XML file"),
              std::string::npos);
}

TEST(DtmNameCheck, DerivedNames) {
    const auto names = scanDescriptionPath("c:\\work\\PME KRT 0302_Pump.v1.txt").names;
    EXPECT_EQ(names.root, "PME KRT 0302_Pump.v1");
    EXPECT_EQ(names.extension, "txt");
    EXPECT_EQ(names.base, "c:\\work\\PME KRT 0302_Pump.v1");
    // The work files are named by the root and lie in the program's own work folder.
    EXPECT_EQ(names.flatProfile(), "PME KRT 0302_Pump.v1_slammed.XML");
    EXPECT_EQ(names.indentedProfile(), "PME KRT 0302_Pump.v1.XML");
    EXPECT_EQ(names.configurationCopy(), "PME KRT 0302_Pump.v1_config.tx2");
    EXPECT_EQ(names.ioCopy(), "PME KRT 0302_Pump.v1_io.tx2");
    auto working = names;
    working.workFolder = "/tmp/brondel-1";
    EXPECT_EQ(working.workFile(names.ioCopy()),
              std::filesystem::path("/tmp/brondel-1/PME KRT 0302_Pump.v1_io.tx2"));
    EXPECT_EQ(names.entryFileName(), "PME KRT 0302_Pump.v1.XML");
    EXPECT_EQ(scanDescriptionPath("pump.txt").names.root, "pump");
}

}  // namespace
