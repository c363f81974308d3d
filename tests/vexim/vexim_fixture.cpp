#include "vexim_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "downloader/connection.h"
#include "downloader/dialogs/dialog_tables.h"
#include "downloader/dialogs/main_dialog.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/history.h"
#include "downloader/main/program_start.h"
#include "downloader/md5.h"
#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "platform/ui_headless.h"
#include "platform/ui_quote.h"
#include "tests/ui/box_line.h"
#include "vxo_builder.h"

namespace ui = platform::ui;

namespace vexim_test {

namespace {

// Two COM ports of our own; devices present on the machine may follow them in the list.
constexpr const char* kStartStore =
    "REGEDIT4\n\n"
    "[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n"
    "\"/dev/vexim-test-port-1\"=\"COM1\"\n"
    "\"/dev/vexim-test-port-2\"=\"COM2\"\n";

void ResetProgramState() {
    linkSettings = LinkSettings{};
    loadOptions = LoadOptions{};
    historyCount = 0;
    for (auto& name : profileHistory)
        name.clear();
    CurrentConnection = nullptr;
    ConnectionClosed = false;
    DownloadCancelled = false;
    mainDialogWindow = nullptr;
    progressDialogWindow = nullptr;
}

}  // namespace

std::string Quoted(const std::string& text) {
    return ui::QuoteText(text);
}

std::string MessageBoxLine(const std::string& caption, const std::string& text,
                           const std::string& answer) {
    return "msgbox " + Quoted(caption) + " " + Quoted(text) + " -> " + answer;
}

void VeximTest::SetUp() {
    // The program's temporary files go into the test's folder; the folder itself goes where
    // the run's $TMPDIR says, which is given back at the end.
    if (const char* tmpdir = std::getenv("TMPDIR"))
        previousTmpdir_ = tmpdir;
    std::string pattern = (std::filesystem::temp_directory_path() / "vexim_test_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << pattern;
    directory_ = pattern;
    // Command lines name files relative to here: a leading "/" starts a switch.
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
    ForgetStoredSettings();
    ::setenv("CALVENTO_REGISTRY", TempPath("registry.reg").c_str(), 1);
    ::setenv("TMPDIR", directory_.c_str(), 1);
    ::unsetenv("CALVENTO_UI_SCRIPT");
    ::unsetenv("CALVENTO_UI_TRANSCRIPT");
    ResetProgramState();
    StartUi("");
}

void VeximTest::TearDown() {
    CloseConnection();
    ResetProgramState();
    if (sim_)
        sim_->stop();
    closedPort_.reset();
    std::error_code error;
    if (!previousDirectory_.empty())
        std::filesystem::current_path(previousDirectory_, error);
    if (!directory_.empty())
        std::filesystem::remove_all(directory_, error);
    if (previousTmpdir_)
        ::setenv("TMPDIR", previousTmpdir_->c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

void VeximTest::StartUi(const std::string& script) {
    ui::headless::StartSession(script);
    RegisterVeximResources();
}

void VeximTest::ForgetStoredSettings() {
    std::ofstream(TempPath("registry.reg")) << kStartStore;
}

void VeximTest::ListSerialPort(const std::string& device, const std::string& comName) {
    std::string name;
    for (char c : device) {
        if (c == '\\' || c == '"')
            name += '\\';
        name += c;
    }
    std::ofstream(TempPath("registry.reg"))
        << kStartStore << "\"" << name << "\"=\"" << comName << "\"\n";
}

void VeximTest::SaveStartSettings(const std::function<void()>& edit) {
    LoadDefaultSettings(nullptr);
    edit();
    ASSERT_EQ(SaveSettings(), 1);
    ResetProgramState();
}

int VeximTest::RunVexim(const std::string& commandLine, const std::string& script) {
    StartUi(script);
    return vexim::WinMain(commandLine);
}

int VeximTest::StartVexim(const std::string& commandLine, const std::string& script) {
    ResetProgramState();
    return RunVexim(commandLine, script);
}

int VeximTest::RunMainDialogObserved(
    const std::string& script, const std::function<void(ui::Window, const ui::Message&)>& observe) {
    StartUi(script);
    const int result =
        ui::RunDialog(IDD_MAIN, nullptr, [&observe](ui::Window self, const ui::Message& message) {
            const bool handled = MainDialogProc(self, message);
            observe(self, message);
            return handled;
        });
    mainDialogWindow = nullptr;
    return result;
}

uint16_t VeximTest::RefusingPort() {
    if (!closedPort_)
        closedPort_ = std::make_unique<ClosedPort>();
    EXPECT_NE(closedPort_->Port(), 0);
    return closedPort_->Port();
}

uint16_t VeximTest::StartModule(std::vector<std::string> options) {
    sim_ = std::make_unique<krtsim::KrtSim>(std::move(options));
    if (!sim_->start(krtsim::Framing::Tcp)) {
        ADD_FAILURE() << "krtsim did not start: " << sim_->output();
        return 0;
    }
    return sim_->port();
}

void VeximTest::LinkToModule(uint16_t port) {
    LoadDefaultSettings(nullptr);
    linkSettings.connectMode = kConnectTcp;
    linkSettings.host = "127.0.0.1";
    linkSettings.tcpPort = port;
    linkSettings.drop = 1;
    linkSettings.retries = 3;
    linkSettings.timeoutMs = 2000;
    loadOptions.channel = 1;
}

std::string VeximTest::WriteSampleObject(const std::string& name, size_t words) {
    vxo::Builder object;
    object.Text(kKrtVersionBlock, "2").Code(vxo::CountingWords(words));
    object.WriteTo(TempPath(name));
    return name;
}

std::string VeximTest::Transcript() const {
    return ui::headless::Transcript();
}

std::vector<std::string> VeximTest::TranscriptLines(const std::string& prefix) const {
    std::vector<std::string> lines;
    std::istringstream in(Transcript());
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0)
            lines.push_back(ui_fixture::WithoutBoxDetails(line));
    }
    return lines;
}

std::string VeximTest::LogText() const {
    std::ifstream in(TempPath("vexim.log"), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ModuleHoldsFile(krtsim::StateDump& dump, const std::string& path, int channel) {
    Md5Context context{};
    if (DigestFile(context, path) != 0)
        return false;
    const std::vector<uint16_t> flash = dump.channelFlash(channel);
    if (flash.size() < 2)
        return false;
    const uint32_t length = uint32_t{flash[0]} << 16 | flash[1];
    if (length + 10 > flash.size())
        return false;
    for (size_t i = 0; i < 8; ++i) {
        const uint16_t word = flash[length + 2 + i];
        if (context.digest[2 * i] != (word & 0xFF) || context.digest[2 * i + 1] != word >> 8) {
            return false;
        }
    }
    return true;
}

}  // namespace vexim_test
