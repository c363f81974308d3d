// File > Rebuild .txt from Unity Pro .XSY: a description file is written beside the export,
// named after its device variable.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "dtmrepo/intake/xsy_rebuild.h"
#include "dtmrepo/repository/index_lines.h"
#include "dtmrepo/text_files.h"
#include "dtmrepo/window/brondel_messages.h"
#include "dtmrepo/window/commands.h"
#include "dtmrepo/window/shown_text.h"
#include "platform/ansi_path.h"
#include "toolshell/open_file_dialog.h"

namespace dtmrepo {

namespace ui = platform::ui;
namespace fs = std::filesystem;

namespace {

// The chosen path up to and including its last folder separator.
std::string folderOf(const std::string& path) {
    const size_t last = path.find_last_of("\\/");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::optional<std::string> missingDirection(const std::vector<std::string>& lines) {
    const auto holds = [&lines](const std::string& heading) {
        return std::find(lines.begin(), lines.end(), heading) != lines.end();
    };
    if (!holds("varHeading,\t\tInputVars")) {
        return "input";
    }
    if (!holds("varHeading,\t\tOutputVars")) {
        return "output";
    }
    return std::nullopt;
}

}  // namespace

void rebuildCommand(BrondelState& state) {
    state.currentFile.clear();
    state.currentFile = toolshell::openFileDialog(
        state.mainWindow, {{"XSY Files, (*.XSY)", "*.XSY"}, {"All Files, (*.*)", "*.*"}},
        "Rebuild .txt from Unity Pro .XSY");
    ui::Invalidate(state.mainWindow);
    if (state.currentFile.empty()) {
        state.reportText.clear();
        showOutcome(state, 14);
        return;
    }
    const std::string folder = folderOf(state.currentFile);
    state.reportText = "\r\n  sourcepath= " + folder;
    std::ifstream xsy(platform::PathFromAnsi(state.currentFile), std::ios::binary);
    if (!xsy) {
        showOpenFailure(state.mainWindow, 1, state.currentFile, false, 2);
        showOutcome(state, 14);
        return;
    }
    state.reportText += "\r\n  searching " + state.currentFile;
    XsyRebuild rebuilt = rebuildFromVariablesExport(xsy, folder, state.revisionDate);
    state.errorCount = rebuilt.errorCount;
    if (rebuilt.rootName.empty()) {
        state.reportText += rebuilt.report;
        showOutcome(state, 14);
        return;
    }
    // The device variable is export text (UTF-8); the file name is in the system's code page.
    const std::string fileRoot = platform::AnsiFromUtf8(rebuilt.rootName);
    const std::string output = folder + fileRoot + ".txt";
    if (auto problem = checkRepositoryName(rebuilt.rootName, "the device variable's name")) {
        state.reportText += rebuilt.report + "\r\n   ERROR - " + *problem;
        ++state.errorCount;
        showOutcome(state, 14);
        return;
    }
    // A description without an input or an output assembly installs with every later offset
    // wrong: none is written, and the report says which part the export lacked.
    if (auto missing = missingDirection(rebuilt.lines)) {
        state.reportText += rebuilt.report + "\r\n   ERROR - the export holds no " + *missing +
                            " member with a comment, so no description was written to " + output;
        ++state.errorCount;
        showOutcome(state, 14);
        return;
    }
    const fs::path outputPath = platform::PathFromAnsi(output);
    std::error_code error;
    if (fs::exists(outputPath, error) &&
        !confirm(state.mainWindow, "'OK' to Replace " + fileRoot, "Replace")) {
        // The existing description stays as it is.
        state.reportText += rebuilt.report.substr(0, rebuilt.reportAtOutput) +
                            "\r\n  Cancelled Building: " + output;
        showOutcome(state, 14);
        return;
    }
    state.reportText += rebuilt.report;
    // A rebuild killed before its move left its staging file here.
    removeStagingFiles(outputPath.parent_path());
    if (!writeTextFileLines(outputPath, rebuilt.lines)) {
        showOpenFailure(state.mainWindow, 2, output, true, 3);
    } else {
        state.reportText += "\r\n  Wrote " + output;
    }
    showOutcome(state, 14);
}

}  // namespace dtmrepo
