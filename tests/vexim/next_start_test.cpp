// What one run leaves in the store for the next start: an unattended run saves only what its
// line set, and the next start, unattended or from the dialog, still downloads with the
// defaults of everything else. Checked in the simulated module's memory.

#include <gtest/gtest.h>

#include <functional>

#include "downloader/settings.h"
#include "platform/registry.h"
#include "vexim_fixture.h"

namespace {

class VeximNextStartTest : public vexim_test::VeximTest {};

// A key that holds only the drop, as a run of an older program or a hand edit can leave it.
void StoreOnlyTheDrop() {
    platform::RegistryKey key;
    ASSERT_EQ(key.Create(platform::RegRoot::CurrentUser, kSettingsKey), platform::RegStatus::Ok);
    ASSERT_EQ(key.SetDword("Drop", 9), platform::RegStatus::Ok);
}

TEST_F(VeximNextStartTest, NextStartDownloadsWithTheDefaultsOfWhatNoRunSaved) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    const std::string module = "127.0.0.1:" + std::to_string(port);
    const std::string refusing = "127.0.0.1:" + std::to_string(RefusingPort());
    const std::string first = WriteSampleObject("first.vxo");
    struct Case {
        std::string name;
        std::function<void()> prepareStore;  // after the key is gone
        std::string firstLine;
        int firstExit;
        int32_t baudIndex, parity;  // what the next start restores
    };
    const Case cases[] = {
        {"no key, first run downloads", [] {}, "1 " + first + " " + module + " 1", 0, 13, 1},
        {"no key, first run fails", [] {}, "1 " + first + " " + refusing + " 1", 2, 13, 1},
        {"incomplete key, first run fails", StoreOnlyTheDrop, "1 " + first + " " + refusing, 2, 13,
         1},
        // A complete key, saved by the dialog away from the defaults, keeps its values.
        {"complete key",
         [this] {
             SaveStartSettings([] {
                 linkSettings.baudIndex = 17;
                 linkSettings.parity = 2;
             });
         },
         "1 " + first + " " + module + " 1", 0, 17, 2},
    };
    size_t row = 0;
    for (const bool fromDialog : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name + (fromDialog ? ", next start from the dialog" : ", next run"));
            // A file of its own for each row, so that the module cannot hold it from before.
            ++row;
            const std::string next =
                WriteSampleObject("next" + std::to_string(row) + ".vxo", 40 + row);
            ForgetStoredSettings();
            c.prepareStore();
            ASSERT_EQ(StartVexim(c.firstLine), c.firstExit) << Transcript();

            // From the dialog the user names the file and the module's port; the rest is as the
            // dialog opens.
            const int exitCode =
                fromDialog
                    ? StartVexim("", "text 1004 \"" + next + "\"\ntext 1019 \"" +
                                         std::to_string(port) + "\"\ncommand 1053\ncommand 1\n")
                    : StartVexim("1 " + next + " " + module + " 1");
            EXPECT_EQ(exitCode, fromDialog ? 16 : 0) << Transcript();
            krtsim::StateDump dump = sim_->dump();
            EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, next, 1)) << Transcript();
            EXPECT_EQ(loadOptions.loadProgram, 1);
            EXPECT_EQ(loadOptions.eraseFlash, 1);
            EXPECT_EQ(loadOptions.runRegister, 33);
            EXPECT_EQ(linkSettings.baudIndex, c.baudIndex);
            EXPECT_EQ(linkSettings.parity, c.parity);
            EXPECT_EQ(linkSettings.dataBits, 8);
        }
    }
}

}  // namespace
