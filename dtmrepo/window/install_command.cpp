// File > Install new .txt: the description is checked and parsed, its profile and
// conditional-behaviour source written in the program's own work folder, and, when it had no
// errors, entered into the repository and the tree. Nothing is left beside the description.

#include "dtmrepo/intake/install_intake.h"
#include "dtmrepo/repository/entry_ownership.h"
#include "dtmrepo/repository/index_lines.h"
#include "dtmrepo/repository/repository_operations.h"
#include "dtmrepo/repository/repository_paths.h"
#include "dtmrepo/repository/tree_items.h"
#include "dtmrepo/text_files.h"
#include "dtmrepo/window/brondel_messages.h"
#include "dtmrepo/window/commands.h"
#include "dtmrepo/window/repository_tree_view.h"
#include "dtmrepo/window/shown_text.h"
#include "dtmrepo/writers/behaviour_source.h"
#include "dtmrepo/writers/profile_layout.h"
#include "dtmrepo/writers/profile_writer.h"
#include "platform/ansi_path.h"
#include "toolshell/open_file_dialog.h"
#include "toolshell/work_folder.h"

namespace dtmrepo {

namespace ui = platform::ui;
namespace fs = std::filesystem;

namespace {

// A work file named by profile text (UTF-8), such as the product identifier.
fs::path workFile(const IntakeOutcome& intake, const std::string& name) {
    return intake.names.workFile(platform::AnsiFromUtf8(name));
}

// The files an install writes for the repository step (in the work folder).
struct WrittenFiles {
    std::optional<fs::path> behaviourSource;
};

void failedOpen(ui::Window owner, CheckReport& report, int site, const std::string& path,
                int fileNumber, const Trace& trace) {
    showOpenFailure(owner, site, path, true, fileNumber);
    report.error("Unable to write '" + path + "'", trace);
}

// A name that may become a file name beside the description or in the repository.
bool isPlainName(const std::string& name) {
    return !checkRepositoryName(name, "").has_value();
}

WrittenFiles writeProfileFiles(ui::Window owner, const IntakeOutcome& intake, CheckReport& report,
                               const Trace& trace) {
    WrittenFiles written;
    const DescriptionRecord& record = intake.record;
    const std::vector<std::string> flat = flatProfileLines(record);
    if (!writeTextFileLines(intake.names.workFile(intake.names.flatProfile()), flat)) {
        failedOpen(owner, report, 17, intake.names.flatProfile(), 2, trace);
    }
    // The source is written under the name the profile gives it; an identifier that could lead
    // out of its folder names no file at all (it is reported).
    const std::vector<std::string> source = behaviourSourceLines(record);
    if (!source.empty() && isPlainName(record.productId)) {
        const fs::path path = workFile(intake, behaviourSourceName(record));
        if (writeTextFileLines(path, source)) {
            written.behaviourSource = path;
        } else {
            failedOpen(owner, report, 18, behaviourSourceName(record), 7, trace);
        }
    }
    const LayoutResult layout = indentProfile(flat, trace);
    report.warningCount += layout.unknownCount;
    if (!writeTextFileLines(intake.names.workFile(intake.names.indentedProfile()), layout.lines)) {
        failedOpen(owner, report, 20, intake.names.indentedProfile(), 2, trace);
    }
    return written;
}

// The names that become repository files must be plain file names.
void checkNames(const IntakeOutcome& intake, CheckReport& report, const Trace& trace) {
    // The root is a file name in the system's code page; the check reads UTF-8.
    const std::string root = platform::Utf8FromAnsi(intake.names.root);
    if (auto problem = checkRepositoryName(root, "the description's name")) {
        report.error(*problem, trace);
    }
    if (intake.productIdentifier != root) {
        if (auto problem =
                checkRepositoryName(intake.productIdentifier, "the product identifier")) {
            report.error(*problem, trace);
        }
    }
    // A ProductID line past the first parameter group reaches the parser as it stands, and
    // the profile and its conditional-behaviour source are named by what the parser read.
    const std::string& parsed = intake.record.productId;
    if (parsed != intake.productIdentifier && parsed != root) {
        if (auto problem = checkRepositoryName(parsed, "the product identifier")) {
            report.error(*problem, trace);
        }
    }
    if (auto problem = checkBehaviourNames(intake.record)) {
        report.error(*problem, trace);
    }
}

// An install refused before it writes anything, shown as a refused name is.
void refuseInstall(BrondelState& state, const std::string& refusal) {
    state.reportText = refusal;
    state.errorCount = 1;
    state.errorValue = 5;
    showOutcome(state, 11);
}

void enterIntoRepository(BrondelState& state, const IntakeOutcome& intake,
                         const WrittenFiles& written, CheckReport& report) {
    InstallRequest request;
    request.unityPath = state.UnityPath;
    request.description = platform::PathFromAnsi(intake.names.chosenPath);
    request.indentedProfile = intake.names.workFile(intake.names.indentedProfile());
    request.entryFileName = intake.names.entryFileName();
    request.entryLine = indexEntryLine(intake.record, intake.names);
    request.behaviourSource = written.behaviourSource;
    request.behaviourName = platform::AnsiFromUtf8(behaviourSourceName(intake.record));
    const RepositoryOutcome outcome = installIntoRepository(request);
    switch (outcome.result) {
        case RepositoryOutcome::Result::Done:
            break;
        case RepositoryOutcome::Result::OpenFailed:
            showOpenFailure(state.mainWindow, outcome.openFailure.site, outcome.openFailure.path,
                            outcome.openFailure.output, outcome.openFailure.fileNumber);
            report.error("Unable to read the repository index '" + outcome.openFailure.path + "'",
                         state.trace);
            return;
        case RepositoryOutcome::Result::Refused:
            report.error(outcome.refusal, state.trace);
            return;
        case RepositoryOutcome::Result::Busy:
            report.error(repositoryBusyText, state.trace);
            return;
        case RepositoryOutcome::Result::NoPlace:
            report.error("The repository index holds no lines, so the entry has no place in it.",
                         state.trace);
            return;
        case RepositoryOutcome::Result::ChangeFailed:
            showChangeFailure(state.mainWindow, outcome.failure.errorNumber,
                              outcome.failure.command);
            report.error(changeFailureText(outcome.failure), state.trace);
            return;
    }
    state.entryStatus = outcome.matched ? 2 : 1;
    state.trace.line(
        1, outcome.matched ? "Match, no need to add."
                           : "No Match, adding " + intake.productIdentifier + "_repository.XML...");
    // The entry goes to the end of the tree, in place of its old items.
    const std::string key = intake.names.root;
    deleteEntryItems(state, key);
    addEntryItems(state, installedEntryItems(key, intake.record));
    state.inputByteCount = intake.record.inputByteCount();
    state.outputByteCount = intake.record.outputByteCount();
    // The work folder goes with the command: the profile is shown where it was inserted.
    state.insertedProfile =
        displayPath(RepositoryPaths(state.UnityPath).profile(request.entryFileName));
}

}  // namespace

void installCommand(BrondelState& state) {
    state.currentFile.clear();
    state.currentFile = toolshell::openFileDialog(
        state.mainWindow, {{"Text Files, (*.TXT)", "*.TXT"}, {"All Files, (*.*)", "*.*"}},
        "Install new .txt");
    ui::Invalidate(state.mainWindow);
    if (state.currentFile.empty()) {
        return;
    }
    state.reportText.clear();
    // Checked before the intake reads the description.
    const DescriptionNames chosen = scanDescriptionPath(state.currentFile).names;
    if (auto refusal = checkInstallTargets(state.UnityPath, chosen.entryFileName(), {})) {
        refuseInstall(state, *refusal);
        return;
    }
    const toolshell::WorkFolder work("brondel");
    if (!work.made()) {
        state.errorCount = 1;
        state.reportText = "Building: " + state.currentFile +
                           "\r\nERROR - no work folder for the install: " + work.error();
        showOutcome(state, 1);
        return;
    }
    IntakeOutcome intake = runInstallIntake(state.currentFile, work.path(),
                                            {state.revisionDate, currentTimeStamp()}, state.trace);
    switch (intake.result) {
        case IntakeOutcome::Result::Refused:
            refuseInstall(state, intake.refusal);
            return;
        case IntakeOutcome::Result::OpenFailed:
            state.errorCount = 1;
            showOpenFailure(state.mainWindow, intake.openFailure.site, intake.openFailure.path,
                            intake.openFailure.output, intake.openFailure.fileNumber);
            return;
        case IntakeOutcome::Result::Stopped:
            state.reportText = intake.report.shown();
            state.errorCount = intake.report.errorCount;
            state.warningCount = intake.report.warningCount;
            state.errorValue = 5;
            showOutcome(state, 4);
            return;
        case IntakeOutcome::Result::Parsed:
            break;
    }
    CheckReport& report = intake.report;
    checkNames(intake, report, state.trace);
    const WrittenFiles written = writeProfileFiles(state.mainWindow, intake, report, state.trace);

    if (isPlainName(intake.productIdentifier)) {
        const std::string entryFile = intake.productIdentifier + "_repository.XML";
        if (!writeTextFileLines(workFile(intake, entryFile),
                                {indexEntryLine(intake.record, intake.names)})) {
            showOpenFailure(state.mainWindow, 21, entryFile, true, 3);
        }
    }
    if (report.errorCount == 0) {
        enterIntoRepository(state, intake, written, report);
    }
    state.reportText = report.shown();
    state.errorCount = report.errorCount;
    state.warningCount = report.warningCount;
    showOutcome(state, state.errorCount == 0 ? 2 : 1);
}

}  // namespace dtmrepo
