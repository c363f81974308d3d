#pragma once

// What a tool's window shows while a long job runs on its thread and the window cannot answer
// (a conversion waiting on PowerShell, a query waiting on a slow server): the wait cursor, and
// the title saying what runs ("Converting plant.ZEF... - Fennick Rev. 07SEP2021"), which also
// names the job on the taskbar and in the title Windows gives a window that stops answering.
// The title comes back when the job ends.

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace toolshell {

class RunningJob {
  public:
    // `what` says what runs, as "Converting plant.ZEF...".
    RunningJob(platform::ui::Window window, std::string_view what);
    ~RunningJob();
    RunningJob(const RunningJob&) = delete;
    RunningJob& operator=(const RunningJob&) = delete;

  private:
    platform::ui::WaitCursor cursor_;
    platform::ui::Window window_;
    std::string title_;
};

// The name of the file a path names: what follows its last "\", "/" or ":".
std::string fileNameOf(std::string_view path);

}  // namespace toolshell
