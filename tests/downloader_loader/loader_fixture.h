#pragma once

// Runs the downloader's module jobs against the KRT module simulator: starts krtsim on TCP or a
// pty (RTU, ASCII), points the Link settings at it, answers the loader's questions from a
// headless UI script, and reads back the request log, the memory dump and the UI transcript.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "krtsim_harness.h"
#include "platform/ui.h"

namespace loader_test {

// Where RunLoad runs the loader: inside this fixture's own progress procedure, which reaches
// every step the same way, or inside vexim's real progress dialog.
enum class ProgressDialog { kFixture, kVexim };
const char* DialogName(ProgressDialog dialog);
inline constexpr ProgressDialog kBothDialogs[] = {ProgressDialog::kFixture, ProgressDialog::kVexim};

class SimulatorTest : public ::testing::Test {
  protected:
    void TearDown() override;

    // Starts krtsim with these options; false (and a test failure) when it does not come up.
    bool StartModule(krtsim::Framing framing, std::vector<std::string> options = {});
    // Sets the Load options to a plain download of `file` into `channel` with everything on.
    void LoadOptionsFor(const std::string& file, int16_t channel);

    // Runs LoadUserCode inside a progress dialog, answering from `script`: 1 when it loaded.
    int RunLoad(const std::string& script = "", bool ignoreHalt = false,
                ProgressDialog dialog = ProgressDialog::kFixture);
    // Runs `job` with the UI session answering from `script`.
    template <class Job>
    auto WithScript(const std::string& script, Job job) {
        StartUi(script);
        return job();
    }

    // Runs `job` while a dialog is open (events such as a device removal need a window).
    void InDialog(const std::string& script, const std::function<void()>& job);

    // Requests logged by krtsim from request number `from` on.
    std::vector<krtsim::LoggedRequest> Requests(int from = 1) const;
    krtsim::StateDump Dump() { return sim_->dump(); }
    std::string Transcript() const;
    // Transcript lines that begin with `prefix` ("msgbox", "status", "progress").
    std::vector<std::string> TranscriptLines(const std::string& prefix) const;
    std::string TempPath(const std::string& name) const;

    std::unique_ptr<krtsim::KrtSim> sim_;
    // Downloads the main dialog was told to put in its history during the last RunLoad.
    int historyAdds_ = 0;

  private:
    void StartUi(const std::string& script, ProgressDialog dialog = ProgressDialog::kFixture);
    bool ProgressProcedure(platform::ui::Window self, const platform::ui::Message& message,
                           bool ignoreHalt, int& result);
    std::string directory_;
};

// Captures the log lines written while it lives.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    std::string Text() const;
};

// Test-name suffix for a framing parameter.
std::string FramingName(const ::testing::TestParamInfo<krtsim::Framing>& info);

// A logged request as "<fc> <field>=<value> ..." without its unit, values and result.
std::string Describe(const krtsim::LoggedRequest& request);

// The transcript form of a text: quoted with \r, \n and \" escaped.
std::string Quoted(const std::string& text);
// `msgbox "<caption>" "<text>" -> <answer>`.
std::string MessageBoxLine(const std::string& caption, const std::string& text,
                           const std::string& answer);

}  // namespace loader_test
