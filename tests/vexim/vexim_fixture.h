#pragma once

// Runs vexim in this process the way its entry does: a private settings store, temporary
// folder and log, the headless UI playing a script, and (when a test asks) the KRT module
// simulator on Modbus/TCP. Every test starts from the program's start state.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "krtsim_harness.h"
#include "platform/ui.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace vexim_test {

class VeximTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A store without vexim's key, as on a PC where it never ran.
    void ForgetStoredSettings();
    // The same, with one serial device more in the port list, as COM port `comName` ("COM12").
    void ListSerialPort(const std::string& device, const std::string& comName);
    // Settings saved before the program starts: the defaults, changed by `edit`.
    void SaveStartSettings(const std::function<void()>& edit);

    // Runs vexim with this command line while the UI plays `script`; returns the exit code.
    int RunVexim(const std::string& commandLine, const std::string& script = "");
    // The same, as a new start of the program: from the start state (zeros and empty texts),
    // with nothing kept from an earlier run but what the store and the files hold.
    int StartVexim(const std::string& commandLine, const std::string& script = "");

    // Runs the main dialog alone (settings as they are), calling `observe` after every message
    // that the dialog's procedure has handled.
    int RunMainDialogObserved(
        const std::string& script,
        const std::function<void(platform::ui::Window, const platform::ui::Message&)>& observe);

    // Starts the UI session alone, for a test that opens a dialog itself.
    void StartUi(const std::string& script);

    // A loopback port this test holds with nothing listening: a connection to it is refused.
    uint16_t RefusingPort();

    // Starts krtsim on TCP; its port, or 0 (and a failure) when it did not start.
    uint16_t StartModule(std::vector<std::string> options = {});
    // The default settings, pointed at the module on this loopback TCP port, channel 1.
    void LinkToModule(uint16_t port);
    // Writes a small user-code object for the block-write loader; its name relative to the
    // current folder, the test's temporary folder.
    std::string WriteSampleObject(const std::string& name, size_t words = 32);

    std::string TempPath(const std::string& name) const { return directory_ + "/" + name; }
    std::string Transcript() const;
    // Transcript lines that begin with `prefix`.
    std::vector<std::string> TranscriptLines(const std::string& prefix) const;
    std::string LogText() const;

    std::unique_ptr<krtsim::KrtSim> sim_;

  private:
    std::string directory_;
    std::string previousDirectory_;
    std::optional<std::string> previousTmpdir_;
    std::unique_ptr<ClosedPort> closedPort_;
};

// `msgbox "<caption>" "<text>" -> <answer>`, as the transcript records a message box.
std::string MessageBoxLine(const std::string& caption, const std::string& text,
                           const std::string& answer = "OK");
std::string Quoted(const std::string& text);

// The digest stored behind the program in a channel equals the file's MD5 digest.
bool ModuleHoldsFile(krtsim::StateDump& dump, const std::string& path, int channel);

}  // namespace vexim_test
