#include "toolshell/running_job.h"

namespace toolshell {

namespace ui = platform::ui;

RunningJob::RunningJob(ui::Window window, std::string_view what)
    : window_(window), title_(ui::GetTitle(window)) {
    ui::SetTitle(window_, std::string(what) + " - " + title_);
    // The window paints nothing more until the job ends: what it shows now stays.
    ui::PaintNow(window_);
}

RunningJob::~RunningJob() {
    ui::SetTitle(window_, title_);
}

std::string fileNameOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return std::string(separator == std::string_view::npos ? path : path.substr(separator + 1));
}

}  // namespace toolshell
