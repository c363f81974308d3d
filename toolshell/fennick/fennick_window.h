#pragma once

// Fennick's main window: the settings re-read and the PowerShell check before every message,
// the menu and report window built on creation, and the commands of the menu. File/Open runs
// one conversion, after which the program ends.

#include "platform/ui.h"
#include "toolshell/fennick/fennick_values.h"

namespace fennick {

class FennickWindow {
  public:
    explicit FennickWindow(FennickValues& values) : values_(values) {}

    // The window procedure.
    bool handle(platform::ui::Window self, const platform::ui::Message& message);

  private:
    // False when the message must not be handled: the program is ending.
    bool checksBeforeMessage(platform::ui::Window self);
    void command(platform::ui::Window self, int id);
    void openAndConvert(platform::ui::Window self);

    FennickValues& values_;
    bool checking_ = false;  // a box of the check is up; its own messages skip the check
    bool quitting_ = false;  // the check failed: no message is handled any more
};

}  // namespace fennick
