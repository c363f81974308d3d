#pragma once

// Halbrick's main window: a window of the system's dialog class with the program's controls,
// and no window procedure of its own. The message loop hands every message to the control it
// is for first, then to `observe`, which acts on the keys, clicks and commands that concern
// the program by comparing window handles.

#include <ostream>

#include "fdr/ftp/ftp_session.h"
#include "fdr/window/halbrick_state.h"
#include "platform/ui.h"

namespace fdr {

class HalbrickWindow {
  public:
    HalbrickWindow(HalbrickState& state, std::ostream& trace, const FtpSessionSettings& settings)
        : state_(state), trace_(trace), settings_(settings) {}

    // Creates the main window, its children and menu, sets the progress bar to its range and
    // position 0 and gives the focus to the query button. False when no window could be made.
    bool create();
    // Puts the kept address into the address field, or the prompt when none of 7 to 15
    // characters was kept.
    void restoreAddress();

    // The message loop's observer.
    bool observe(const platform::ui::Message& message);

    platform::ui::Window mainWindow() const { return main_; }

  private:
    bool observeMain(const platform::ui::Message& message);
    void observeQueryButton(const platform::ui::Message& message);
    void observePreset(const platform::ui::Message& message, platform::ui::Window next,
                       platform::ui::Window previous, std::string_view address);
    // Tab moves the focus to `next`, Shift+Tab to `previous`; true when the key was one of them.
    bool tabbed(const platform::ui::Message& message, platform::ui::Window next,
                platform::ui::Window previous);
    void observeDetailButton(const platform::ui::Message& message);
    void observeAddressField(const platform::ui::Message& message);

    void runQuery();
    void setProgress(int position);
    void resetProgress() { setProgress(0); }
    void promptWhenEmpty(std::size_t readLength);
    void showAboutBox();
    void fitReportField();

    HalbrickState& state_;
    std::ostream& trace_;
    FtpSessionSettings settings_;
    platform::ui::Window main_ = nullptr;
    platform::ui::Window queryButton_ = nullptr;
    platform::ui::Window addressField_ = nullptr;
    platform::ui::Window presetUsb_ = nullptr;
    platform::ui::Window preset192_ = nullptr;
    platform::ui::Window preset172_ = nullptr;
    platform::ui::Window detailButton_ = nullptr;
    platform::ui::Window reportField_ = nullptr;
};

}  // namespace fdr
