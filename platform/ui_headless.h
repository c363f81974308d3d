#pragma once

// Controls for the headless UI backend (Linux builds and tests). A session starts by itself on
// first use from $CALVENTO_UI_SCRIPT and $CALVENTO_UI_TRANSCRIPT; tests start their own.

#include <string>
#include <string_view>

namespace platform::ui::headless {

// Forgets every window, menu, window class, timer and queued message, reads the events from
// `script` and records the transcript in memory (see Transcript). Registered dialog and menu
// tables are kept.
void StartSession(std::string_view script);

// The transcript lines recorded since StartSession, each ending in "\n".
std::string Transcript();

// The identifier of the control that has the focus; 0 for a window or none.
int FocusedId();

}  // namespace platform::ui::headless
