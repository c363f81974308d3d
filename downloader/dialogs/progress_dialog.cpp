#include "downloader/dialogs/progress_dialog.h"

#include <cstdio>

#include "downloader/connection.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/load_user_code.h"
#include "downloader/loader_ui.h"
#include "downloader/log_file.h"
#include "downloader/settings.h"

namespace ui = platform::ui;

namespace {

constexpr int kConnectTimer = 1;
constexpr unsigned kConnectDelayMs = 10;

struct DownloadState {
    bool finished = false;
    bool succeeded = false;
};

std::string LinkDescription() {
    const LinkSettings& link = linkSettings;
    const std::string& file = loadOptions.fileName;
    char text[2048];
    if (link.connectMode == kConnectTcp) {
        std::snprintf(text, sizeof text, "Downloading %s\r\n%s:%u %u", file.c_str(),
                      link.host.c_str(), link.tcpPort, static_cast<unsigned>(link.drop));
    } else {
        std::snprintf(text, sizeof text, "Downloading %s\r\n%s drop %u", file.c_str(),
                      link.portName.c_str(), static_cast<unsigned>(link.drop));
    }
    return text;
}

void Open(ui::Window self) {
    ui::SetTitle(self, LastPathComponent(loadOptions.fileName) + " - Downloading File");
    ui::SetItemText(self, IDC_DOWNLOAD_TEXT, LinkDescription());
    ui::SetProgressRange(self, IDC_PROGRESS_BAR, 0, 100);
    ui::SetProgress(self, IDC_PROGRESS_BAR, 0);
    ui::ShowItem(self, ui::kIdOk, false);
    ui::ShowItem(self, ui::kIdCancel, true);
    progressDialogWindow = self;
    ui::SetTimer(self, kConnectTimer, kConnectDelayMs);
}

// The whole job runs in the first timer tick; the loader pumps messages between requests.
void RunJob(ui::Window self, DownloadState& state) {
    ui::KillTimer(self, kConnectTimer);
    const bool opened =
        linkSettings.connectMode == kConnectTcp ? OpenTcpConnection() : OpenSerialConnection();
    if (!opened) {
        // The opener has told the user why; the log keeps the outcome of every run.
        LogPrintf("Download of %s failed: the link to the module could not be opened.\n",
                  loadOptions.fileName.c_str());
    }
    const bool loaded = opened && LoadUserCode(loadOptions.ignoreHaltStatus != 0) == 1;
    if (CurrentConnection != nullptr)
        CloseConnection();
    ConnectionClosed = true;
    state.finished = true;
    state.succeeded = loaded;
    if (!loaded) {
        progressDialogWindow = nullptr;
        ui::EndDialog(self, 0);
    }
}

void Finish(ui::Window self) {
    progressDialogWindow = nullptr;
    ui::EndDialog(self, 0);
}

}  // namespace

std::string LastPathComponent(const std::string& path) {
    const size_t separator = path.find_last_of("\\:");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool RunDownloadDialog(ui::Window owner) {
    DownloadState state;
    ui::RunDialog(IDD_PROGRESS, owner, [&state](ui::Window self, const ui::Message& message) {
        switch (message.kind) {
            case ui::MessageKind::Init:
                Open(self);
                return true;
            case ui::MessageKind::Timer:
                if (message.id == kConnectTimer && !state.finished)
                    RunJob(self, state);
                return true;
            case ui::MessageKind::Command:
                // OK is shown only once the download has succeeded; Enter while it runs (the
                // dialog manager's OK) must not close the dialog under the loader.
                if (message.id == ui::kIdOk && !state.finished)
                    return true;
                if (message.id == ui::kIdOk || (message.id == ui::kIdCancel && state.finished)) {
                    Finish(self);
                } else if (message.id == ui::kIdCancel) {
                    CancelDownload();
                }
                return true;
            default:
                return false;
        }
    });
    // However the dialog went away, nothing may address it any more.
    progressDialogWindow = nullptr;
    return state.succeeded;
}
