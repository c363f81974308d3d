// Tamsel's window as a keyboard user and a user dragging its frame meet it: the DTM-name field
// takes the keys, and the window cannot shrink past the field.

#include <gtest/gtest.h>

#include <sstream>

#include "loadcode/window/tamsel_window.h"
#include "platform/ui_headless.h"
#include "tamsel_fixture.h"

namespace loadcode::testing {
namespace {

namespace ui = platform::ui;

constexpr int kFieldId = 1001;

class TamselKeys : public TamselTest {
  protected:
    // Makes Tamsel's window, gives the focus to the window itself when asked (as after a click
    // on it), plays `script` and returns the window.
    ui::Window run(const std::string& script, bool focusWindowFirst) {
        ui::headless::StartSession(script);
        ui::RegisterWindowClass("TamselKeys", [this](ui::Window window, const ui::Message& m) {
            return tamselWndProc(program_, console_, window, m);
        });
        ui::WindowSpec spec;
        spec.className = "TamselKeys";
        spec.title = "Tamsel Rev. 04JUN2020";
        spec.width = 400;
        spec.height = 200;
        ui::Window window = ui::CreateMainWindow(spec);
        if (focusWindowFirst) {
            ui::SetFocus(window);
        }
        ui::RunMessageLoop();
        return window;
    }

    TamselProgram program_;
    std::ostringstream console_;
};

TEST_F(TamselKeys, TheFieldHasTheKeysOnceTheWindowIsActive) {
    run("", false);
    EXPECT_EQ(ui::headless::FocusedId(), kFieldId);
    run("activate 0\nactivate 1\n", true);
    EXPECT_EQ(ui::headless::FocusedId(), kFieldId);
}

TEST_F(TamselKeys, TabLeadsToTheField) {
    for (const char* script : {"key 0 9\n", "key 0 9 shift\n", "key 1001 9\n"}) {
        run(script, true);
        EXPECT_EQ(ui::headless::FocusedId(), kFieldId) << script;
    }
    // Other keys leave the focus where it is.
    run("key 0 65\n", true);
    EXPECT_EQ(ui::headless::FocusedId(), 0);
}

TEST_F(TamselKeys, TheWindowCannotShrinkPastTheField) {
    // The field ends at 290 x 70; the label starts at 5.
    const struct {
        const char* script;
        int width, height;
    } cases[] = {
        {"size 120 30\n", 300, 80},
        {"size 290 200\n", 300, 200},
        {"size 500 60\n", 500, 80},
        {"size 640 480\n", 640, 480},
    };
    for (const auto& c : cases) {
        const ui::Rect client = ui::GetClientRect(run(c.script, false));
        EXPECT_EQ(client.Width(), c.width) << c.script;
        EXPECT_EQ(client.Height(), c.height) << c.script;
    }
}

}  // namespace
}  // namespace loadcode::testing
