// Downloads the loader refuses before it changes anything on the module, each with its message.

#include <gtest/gtest.h>

#include <functional>

#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "loader_fixture.h"
#include "vxo_builder.h"

namespace {

using loader_test::MessageBoxLine;

struct RefusalCase {
    const char* name;
    std::vector<std::string> moduleOptions;
    std::function<void(vxo::Builder&)> shape;
    std::function<void()> options;  // after the plain options for "object.vxo" on channel 1
    const char* caption;
    const char* message;  // "%s" stands for the object's path
};

const std::vector<uint16_t> kCode = vxo::CountingWords(20);

std::vector<RefusalCase> Cases() {
    auto none = [](vxo::Builder&) {};
    auto keep = [] {};
    return {
        {"WriteProtected",
         {"--protect", "1"},
         none,
         keep,
         "Write error",
         "Application space is write protected"},
        {"TooLarge",
         {"--space", "1=40"},
         none,
         keep,
         "VEXIM Error",
         "Application file is too large for space."},
        {"InvalidChannel",
         {},
         none,
         [] { loadOptions.channel = 3; },
         "VEXIM Error",
         "Invalid channel 3. Must be 1..2. or F1..F2"},
        {"NoFileName",
         {},
         none,
         [] { loadOptions.fileName.clear(); },
         "VEXIM Error",
         "You didn't select a file"},
        {"MissingFile",
         {},
         none,
         [] { loadOptions.fileName += ".missing"; },
         "VEXIM Error",
         "Unable to load %s.missing.vxo."},
        {"StatusRegister",
         {},
         none,
         [] { loadOptions.statusRegister = 2081; },
         "VEXIM Error",
         "Invalid status register 2081. Must be 1..2080"},
        {"RunRegister",
         {},
         none,
         [] { loadOptions.runRegister = 2049; },
         "VEXIM Error",
         "Invalid run control register 2049. Must be 1..2048"},
        {"BlockPastTheEnd",
         {},
         [](vxo::Builder& b) { b.BlockWithLength(kCommentBlock, {'a'}, 5000).EndAfterBlocks(); },
         keep,
         "Load Error",
         "Unexpected end of file, check your application."},
        {"NoApplicationBlock",
         {},
         [](vxo::Builder& b) { b.Text(kCommentBlock, "x").EndAfterBlocks(); },
         keep,
         "Load Error",
         "Unexpected end of file, check your application."},
        {"OddFixup",
         {},
         [](vxo::Builder& b) {
             b.Fixups(kCodeFixupBlock, 0, {4, 9});
         },
         keep,
         "Load Error",
         "Relocation at an odd offset, check your application."},
        {"FixupPastTheObject",
         {},
         [](vxo::Builder& b) { b.Fixups(kHookFixupBlock, 0, {40}); },
         keep,
         "Load Error",
         "Relocation beyond the end of the object code, check your application."},
        {"SerialUnreadable",
         {"--fault", "fc=20,do=exception,code=2"},
         none,
         keep,
         "Load Error",
         "Timeout during read."},
        {"NameUnreadable",
         {"--fault", "fc=3,do=exception,code=2"},
         none,
         keep,
         "Load Error",
         "Timeout during read."},
        // Requests 4 to 6 are the three attempts at register 35.
        {"ProtectionUnreadable",
         {"--fault", "req=4,do=exception,code=2", "--fault", "req=5,do=exception,code=2", "--fault",
          "req=6,do=exception,code=2"},
         none,
         keep,
         "Write error",
         "Timeout During Read"},
        {"ShortMagic",
         {},
         [](vxo::Builder& b) { b.Raw().Code({0x714E}).WithoutCrcWord(); },
         keep,
         "Load Error",
         "Unexpected end of file, check your application."},
    };
}

// Test names show the case, not its bytes.
void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.name;
}

class LoadRefusalTest : public loader_test::SimulatorTest,
                        public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(LoadRefusalTest, RefusedWithItsMessage) {
    const RefusalCase& refusal = GetParam();
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, refusal.moduleOptions));
    const std::string path = TempPath("object.vxo");
    vxo::Builder object;
    object.Text(kKrtVersionBlock, "2").Code(kCode);
    refusal.shape(object);
    object.WriteTo(path);
    LoadOptionsFor(path, 1);
    refusal.options();

    EXPECT_EQ(RunLoad(), 0);

    std::string message = refusal.message;
    if (const size_t at = message.find("%s"); at != std::string::npos) {
        message.replace(at, 2, path);
    }
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(refusal.caption, message, "OK")});
    for (const auto& request : Requests()) {
        EXPECT_TRUE(request.functionCode == 3 || request.functionCode == 20 ||
                    (request.functionCode == 66 && request.field("sub") == 16))
            << "the module was changed by request " << request.number;
    }
}

INSTANTIATE_TEST_SUITE_P(Refusals, LoadRefusalTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
