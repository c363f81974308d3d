#include "loader_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "downloader/connection.h"
#include "downloader/dialogs/dialog_tables.h"
#include "downloader/dialogs/progress_dialog.h"
#include "downloader/load_user_code.h"
#include "downloader/loader_ui.h"
#include "downloader/log_file.h"
#include "downloader/settings.h"
#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "platform/ui_quote.h"
#include "tests/ui/box_line.h"

namespace ui = platform::ui;

namespace loader_test {

namespace {

constexpr int kMainDialog = 102;
constexpr int kProgressDialog = 104;

void RegisterProgressDialog() {
    ui::DialogSpec dialog;
    dialog.id = kProgressDialog;
    dialog.title = "ZKRT Download";
    dialog.controls = {{1033, ui::ControlKind::Static, ""},
                       {1032, ui::ControlKind::Static, ""},
                       {1031, ui::ControlKind::Progress, ""},
                       {ui::kIdCancel, ui::ControlKind::Button, "Cancel"},
                       {ui::kIdOk, ui::ControlKind::Button, "OK"}};
    ui::RegisterDialog(dialog);
    ui::DialogSpec main;
    main.id = kMainDialog;
    main.title = "VEXIM";
    ui::RegisterDialog(main);
}

// Whether a fault among the simulator's options leaves a request unanswered or answers it late:
// those tests are about the wait running out.
bool LeavesARequestWaiting(const std::vector<std::string>& options) {
    return std::any_of(options.begin(), options.end(), [](const std::string& option) {
        for (const char* action : {"do=noreply", "do=late", "do=drop"}) {
            if (option.find(action) != std::string::npos)
                return true;
        }
        return false;
    });
}

}  // namespace

const char* DialogName(ProgressDialog dialog) {
    return dialog == ProgressDialog::kVexim ? "vexim's progress dialog" : "fixture's procedure";
}

LogCapture::LogCapture() {
    LogFile = std::tmpfile();
}

LogCapture::~LogCapture() {
    std::fclose(LogFile);
    LogFile = nullptr;
}

std::string LogCapture::Text() const {
    std::string text;
    std::rewind(LogFile);
    char buffer[512];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, LogFile)) > 0) {
        text.append(buffer, got);
    }
    return text;
}

std::string FramingName(const ::testing::TestParamInfo<krtsim::Framing>& info) {
    switch (info.param) {
        case krtsim::Framing::Tcp:
            return "Tcp";
        case krtsim::Framing::Rtu:
            return "Rtu";
        default:
            return "Ascii";
    }
}

std::string Describe(const krtsim::LoggedRequest& request) {
    std::string text = std::to_string(request.functionCode);
    for (const auto& [key, value] : request.fields) {
        if (key != "values" && key != "result" && key != "fc" && key != "unit") {
            text += " " + key + "=" + value;
        }
    }
    return text;
}

std::string Quoted(const std::string& text) {
    return ui::QuoteText(text);
}

std::string MessageBoxLine(const std::string& caption, const std::string& text,
                           const std::string& answer) {
    return "msgbox " + Quoted(caption) + " " + Quoted(text) + " -> " + answer;
}

void SimulatorTest::TearDown() {
    CloseConnection();
    progressDialogWindow = nullptr;
    mainDialogWindow = nullptr;
    if (sim_) {
        sim_->stop();
    }
    if (!directory_.empty()) {
        std::error_code error;
        std::filesystem::remove_all(directory_, error);
    }
}

bool SimulatorTest::StartModule(krtsim::Framing framing, std::vector<std::string> options) {
    const bool expiring = LeavesARequestWaiting(options);
    sim_ = std::make_unique<krtsim::KrtSim>(std::move(options));
    if (!sim_->start(framing)) {
        ADD_FAILURE() << "krtsim did not start: " << sim_->output();
        return false;
    }
    linkSettings = LinkSettings{};
    linkSettings.drop = 1;
    // A module that answers gets a wait no busy machine runs out of: backups, module queries and
    // configuration ask each request once, and a reply late under load would fail them. Where
    // a fault leaves a request waiting, the wait is short so that its expiry comes soon.
    linkSettings.timeoutMs = expiring ? 300 : 5000;
    linkSettings.retries = 3;
    linkSettings.dataBits = 8;
    linkSettings.baudIndex = 19;  // 115200; a pty ignores it
    if (framing == krtsim::Framing::Tcp) {
        linkSettings.connectMode = kConnectTcp;
        linkSettings.host = "127.0.0.1";
        linkSettings.tcpPort = sim_->port();
    } else {
        linkSettings.connectMode = kConnectSerial;
        linkSettings.portName = sim_->devicePath();
        linkSettings.ascii = framing == krtsim::Framing::Ascii ? 1 : 0;
    }
    return true;
}

void SimulatorTest::LoadOptionsFor(const std::string& file, int16_t channel) {
    loadOptions = LoadOptions{};
    loadOptions.fileName = file;
    loadOptions.channel = channel;
    loadOptions.autoStart = 1;
    loadOptions.eraseFlash = 1;
    loadOptions.loadProgram = 1;
}

void SimulatorTest::StartUi(const std::string& script, ProgressDialog dialog) {
    ui::headless::StartSession(script);
    if (dialog == ProgressDialog::kVexim)
        RegisterVeximResources();
    else
        RegisterProgressDialog();
}

int SimulatorTest::RunLoad(const std::string& script, bool ignoreHalt, ProgressDialog dialog) {
    StartUi(script, dialog);
    historyAdds_ = 0;
    int result = -1;
    // The progress dialog runs over a main dialog, which the loader tells of a finished download.
    auto mainProcedure = [&](ui::Window main, const ui::Message& message) {
        if (message.kind == ui::MessageKind::Init) {
            mainDialogWindow = main;
            if (dialog == ProgressDialog::kVexim) {
                // As the main dialog's Start Download does.
                loadOptions.ignoreHaltStatus = ignoreHalt ? 1 : 0;
                ConnectionClosed = false;
                DownloadCancelled = false;
                result = RunDownloadDialog(main) ? 1 : 0;
            } else {
                ui::RunDialog(kProgressDialog, main,
                              [&](ui::Window self, const ui::Message& inner) {
                                  return ProgressProcedure(self, inner, ignoreHalt, result);
                              });
            }
            mainDialogWindow = nullptr;
            ui::EndDialog(main, 0);
            return true;
        }
        if (message.kind == ui::MessageKind::User && message.message == UM_ADD_HISTORY) {
            ++historyAdds_;
            return true;
        }
        return false;
    };
    ui::RunDialog(kMainDialog, nullptr, mainProcedure);
    return result;
}

void SimulatorTest::InDialog(const std::string& script, const std::function<void()>& job) {
    StartUi(script);
    ui::RunDialog(kMainDialog, nullptr, [&](ui::Window self, const ui::Message& message) {
        if (message.kind != ui::MessageKind::Init) {
            return false;
        }
        job();
        ui::EndDialog(self, 0);
        return true;
    });
}

bool SimulatorTest::ProgressProcedure(ui::Window self, const ui::Message& message, bool ignoreHalt,
                                      int& result) {
    if (message.kind == ui::MessageKind::Init) {
        progressDialogWindow = self;
        ui::SetProgressRange(self, 1031, 0, 100);
        ConnectionClosed = false;
        DownloadCancelled = false;
        const bool opened =
            linkSettings.connectMode == kConnectTcp ? OpenTcpConnection() : OpenSerialConnection();
        result = opened ? LoadUserCode(ignoreHalt) : 0;
        CloseConnection();
        progressDialogWindow = nullptr;
        ui::EndDialog(self, 0);
        return true;
    }
    if (message.kind == ui::MessageKind::Command && message.id == ui::kIdCancel) {
        CancelDownload();  // as the progress dialog does
        return true;
    }
    return false;
}

std::vector<krtsim::LoggedRequest> SimulatorTest::Requests(int from) const {
    std::vector<krtsim::LoggedRequest> all = sim_->requests();
    std::vector<krtsim::LoggedRequest> wanted;
    for (const auto& request : all) {
        if (request.number >= from) {
            wanted.push_back(request);
        }
    }
    return wanted;
}

std::string SimulatorTest::Transcript() const {
    return ui::headless::Transcript();
}

std::vector<std::string> SimulatorTest::TranscriptLines(const std::string& prefix) const {
    std::vector<std::string> lines;
    std::istringstream in(Transcript());
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) == 0) {
            lines.push_back(ui_fixture::WithoutBoxDetails(line));
        }
    }
    return lines;
}

std::string SimulatorTest::TempPath(const std::string& name) const {
    auto* self = const_cast<SimulatorTest*>(this);
    if (self->directory_.empty()) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "loader_test_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            ADD_FAILURE() << "cannot make a temporary folder from " << pattern;
            return name;
        }
        self->directory_ = pattern;
    }
    return directory_ + "/" + name;
}

}  // namespace loader_test
