#include "extractor/passes/module_search.h"

#include <gtest/gtest.h>

#include "project_builder.h"

namespace {

extractor::ModuleSearch search(const fennick_test::ProjectSpec& project) {
    extractor::ModuleSearch found;
    for (const std::string& line : fennick_test::projectLines(project)) {
        found.line(line);
    }
    found.finish();
    return found;
}

TEST(ModuleSearch, AddressesOfTheModules) {
    struct Case {
        const char* topoAddress;
        int rack, slot;
    } cases[] = {
        {"\\1\\0.3", 0, 3},
        {"\\\\0.3", 0, 3},  // two backslashes in a row
        {"\\2\\1.12", 1, 12},
        {"\\1\\ 4. 5", 4, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.topoAddress);
        fennick_test::ProjectSpec project;
        project.modules[0].topoAddress = c.topoAddress;
        const extractor::ModuleSearch found = search(project);
        EXPECT_EQ(found.error(), "");
        ASSERT_EQ(found.modules().size(), 1u);
        EXPECT_EQ(found.modules()[0].rack, c.rack);
        EXPECT_EQ(found.modules()[0].slot, c.slot);
    }
}

TEST(ModuleSearch, MalformedAddressesAreErrors) {
    for (const char* address : {"\\1", "\\1\\03", "\\1\\.3", "\\1\\0.", "no address"}) {
        SCOPED_TRACE(address);
        fennick_test::ProjectSpec project;
        project.modules[0].topoAddress = address;
        const extractor::ModuleSearch found = search(project);
        EXPECT_NE(found.error(), "");
        EXPECT_TRUE(found.modules().empty());
    }
}

TEST(ModuleSearch, CountsEveryModuleAndKeepsTwo) {
    fennick_test::ProjectSpec project;
    project.modules = {fennick_test::moduleAt(0, 3), fennick_test::moduleAt(0, 5),
                       fennick_test::moduleAt(1, 2)};
    const extractor::ModuleSearch found = search(project);
    EXPECT_EQ(found.moduleCount(), 3);
    ASSERT_EQ(found.modules().size(), 2u);
    EXPECT_EQ(found.modules()[1].slot, 5);
}

TEST(ModuleSearch, OnlyConfigurationBlocksCount) {
    // A part number in another element, or a TSXIBY100 line that does not follow "<moduleATS",
    // is not a module of the configuration.
    extractor::ModuleSearch found;
    for (const char* line : {"<comment>Was a TSXIBY100 partNumber=</comment>", "<moduleATS>",
                             "<partItem partNumber=\"TSXDEY16\"></partItem>",
                             "<partItem partNumber=\"TSXIBY100\"></partItem>", "</moduleATS>"}) {
        found.line(line);
    }
    found.finish();
    EXPECT_EQ(found.moduleCount(), 0);
}

}  // namespace
