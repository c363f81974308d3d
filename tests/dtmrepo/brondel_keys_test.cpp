// Brondel's window from the keyboard: Tab and Shift+Tab go between the repository tree and the
// report, and the window gives the keys back to the child that had them when it is activated.

#include <gtest/gtest.h>

#include "dtmrepo/window/repository_tree_view.h"
#include "platform/ui_headless.h"
#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/description_fixture.h"

namespace {

namespace ui = platform::ui;
using dtmrepo::reportEditId;
using dtmrepo::treeViewId;

TEST(DtmBrondelKeys, TabGoesBetweenTheTreeAndTheReport) {
    const std::string unity = dtmrepo_test::freshFolder("keys");
    dtmrepo_test::writeIndex(unity, {});
    dtmrepo_test::BrondelHarness harness(unity, unity);
    const std::string tree = std::to_string(treeViewId);
    const std::string report = std::to_string(reportEditId);
    const struct {
        std::string script;
        int focused;
    } cases[] = {
        // The tree has the keys once the window is up.
        {"", treeViewId},
        {"key " + tree + " 9\n", reportEditId},
        {"key " + tree + " 9\nkey " + report + " 9\n", treeViewId},
        {"key " + tree + " 9 shift\n", reportEditId},
        {"key " + report + " 9 shift\n", treeViewId},
        // From the window itself (after a click on its frame) Tab leads into the tree.
        {"key 0 9\n", treeViewId},
        {"key 0 9 shift\n", reportEditId},
        // Other keys move nothing.
        {"key " + tree + " 65\n", treeViewId},
        // Back from another window, the child that had the keys has them again.
        {"click " + report + "\nactivate 0\nactivate 1\n", reportEditId},
        {"key " + tree + " 9\nclick " + tree + "\nactivate 0\nactivate 1\n", treeViewId},
    };
    for (const auto& c : cases) {
        harness.run(c.script);
        EXPECT_EQ(ui::headless::FocusedId(), c.focused) << c.script;
    }
}

}  // namespace
