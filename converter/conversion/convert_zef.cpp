#include "converter/conversion/convert_zef.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "converter/conversion/conversion_log.h"
#include "converter/conversion/device_type_warning.h"
#include "converter/conversion/device_types.h"
#include "converter/conversion/inventory.h"
#include "converter/conversion/inventory_checks.h"
#include "converter/conversion/ioddt_match.h"
#include "converter/conversion/project_passes.h"
#include "converter/conversion/rewrite_line.h"
#include "converter/conversion/zef_names.h"
#include "platform/ansi_path.h"
#include "platform/archive.h"
#include "platform/file_replace.h"
#include "platform/ui.h"
#include "toolshell/open_failure.h"
#include "toolshell/work_folder.h"

namespace vornick {

namespace fs = std::filesystem;
namespace ui = platform::ui;

namespace {

// The project file inside the archive, and the name of the rewritten one while it is written.
constexpr std::string_view projectEntry = "unitpro.xef";
constexpr std::string_view rewrittenName = "unitpro_IBY.xef";
// The copy kept beside the archive. It is not called unitpro.xef: Fennick keeps its own copy
// under that name in "<name>_IBY_IntermediateFiles", which is this folder when the M580 export
// carries Fennick's output name.
constexpr std::string_view intermediateCopyName = "unitpro_IBS.xef";

class Conversion {
  public:
    Conversion(std::string_view zefPath, std::string& reportText, std::ostream& console,
               const ConversionWindow& window)
        : names_(deriveZefNames(zefPath)),
          shownArchive_(zefPath),
          log_{reportText, console},
          window_(window) {}

    bool run();

  private:
    // Every box comes after the report that leads to it is on the screen.
    void showBox(const std::string& text, const std::string& caption, ui::Icon icon);
    void showError(const std::string& text);
    bool unpack();
    // Opens the unpacked project file; on failure shows why and returns nothing.
    std::optional<std::ifstream> openProject();
    // Opens the project file for one of the checking passes and says so.
    std::optional<std::ifstream> openForCheck(std::string_view reportTail);
    bool firstPass();
    bool secondPass();
    bool thirdPass();
    bool putInPlace();
    bool keepIntermediateCopy();
    bool pack();

    ZefNames names_;
    // Every message names the archive the user chose: the work folder is private and gone
    // when the message is read.
    std::string shownArchive_;
    ConversionLog log_;
    const ConversionWindow& window_;
    toolshell::WorkFolder work_{"vornick"};
    fs::path unpacked_;
    fs::path xefRead_;
    fs::path xefWrite_;
    std::string xefReadFilename_;
    std::string xefWriteFilename_;
    Inventory inventory_;
    IoddtMatch match_;
    int replacementCount_ = 0;
    // Empty when no hand fix is needed.
    std::string deviceTypeWarning_;
    std::string definedTwiceWarning_;
};

void Conversion::showBox(const std::string& text, const std::string& caption, ui::Icon icon) {
    if (window_.showReport) {
        window_.showReport();
    }
    ui::ShowMessageBox(window_.owner, text, caption, ui::Buttons::Ok, icon);
}

void Conversion::showError(const std::string& text) {
    log_.say("");
    log_.say(text);
    showBox(text, "ERROR", ui::Icon::Stop);
}

bool Conversion::run() {
    log_.reportText.clear();
    log_.report("\r\n zeffilename = '" + names_.zeffilename + "'");
    log_.report("\r\n zeffilepath = '" + names_.zeffilepath + "'");
    log_.report("\r\n zeffileroot = '" + names_.zeffileroot + "'");
    log_.say(" orig_zeffilename = " + names_.orig_zeffilename);
    log_.say(" zeffilename = " + names_.zeffilename);
    // The passes in the order they run; each one's failure has been shown when it returns false.
    return unpack() && firstPass() && secondPass() && thirdPass() && putInPlace() &&
           keepIntermediateCopy() && pack();
}

bool Conversion::unpack() {
    log_.say(
        " ---------------- Unpack the .zef into a work folder of its own ---------------------");
    if (!work_.made()) {
        showError("  ERROR: Unable to make a work folder: " + work_.error());
        return false;
    }
    unpacked_ = work_.path() / "project";
    xefRead_ = unpacked_ / fs::path(projectEntry);
    xefWrite_ = work_.path() / fs::path(rewrittenName);
    xefReadFilename_ = platform::AnsiFromPath(xefRead_);
    xefWriteFilename_ = platform::AnsiFromPath(xefWrite_);
    log_.say(" unpack " + platform::AnsiFromPath(names_.archive) + " into " +
             platform::AnsiFromPath(unpacked_));
    const platform::ArchiveResult unpacked = platform::UnpackArchive(names_.archive, unpacked_);
    if (!unpacked.ok) {
        showError("  ERROR: " + unpacked.error);
        return false;
    }
    log_.report("\r\n xefReadFilename = '" + xefReadFilename_ + "'");
    log_.report("\r\n xefWriteFilename = '" + xefWriteFilename_ + "'");
    log_.say("xefReadFilename = '" + xefReadFilename_ + "'");
    log_.say("xefWriteFilename = '" + xefWriteFilename_ + "'");
    log_.say(" ----------------  Open the source and target files  ---------------------");
    return true;
}

std::optional<std::ifstream> Conversion::openProject() {
    std::error_code probed;
    if (!fs::is_regular_file(xefRead_, probed)) {
        showError("  ERROR: File '" + shownArchive_ + "' does not contain the project file " +
                  std::string(projectEntry) + "!");
        return std::nullopt;
    }
    errno = 0;
    std::ifstream in(xefRead_, std::ios::binary);
    if (!in) {
        showError(toolshell::openFailureText(1, std::string(projectEntry) + " of " + shownArchive_,
                                             errno));
        return std::nullopt;
    }
    return in;
}

std::optional<std::ifstream> Conversion::openForCheck(std::string_view reportTail) {
    std::optional<std::ifstream> project = openProject();
    if (project) {
        const std::string opened = "File '" + xefReadFilename_ + "' open successful...";
        log_.say("  " + opened);
        log_.say(
            " ----------------  Make sure that there is at least one PMEDWL011 module in the "
            "configuration  ---------------------");
        log_.report("\r\n   " + opened + std::string(reportTail));
    }
    return project;
}

bool Conversion::firstPass() {
    std::optional<std::ifstream> project = openForCheck("");
    if (!project) {
        return false;
    }
    takeInventory(*project, inventory_, log_);
    if (auto failed = checkInventory(inventory_, shownArchive_)) {
        showError(*failed);
        return false;
    }
    return true;
}

bool Conversion::secondPass() {
    std::optional<std::ifstream> project =
        openForCheck(" checking for IODDT variable match to DTM");
    if (!project) {
        return false;
    }
    if (auto failed = matchIoddtVariables(*project, inventory_, match_, shownArchive_, log_)) {
        log_.report(failed->reportLines);
        showError(failed->boxText);
        return false;
    }
    return true;
}

bool Conversion::thirdPass() {
    std::optional<std::ifstream> project = openProject();
    if (!project) {
        return false;
    }
    errno = 0;
    std::ofstream rewritten(xefWrite_, std::ios::binary | std::ios::trunc);
    if (!rewritten) {
        showError("  ERROR: The rewritten project of '" + shownArchive_ +
                  "' cannot be made: open FAIL... Err = " + std::to_string(errno));
        return false;
    }
    log_.say("  File '" + xefWriteFilename_ + "' open successful...");
    RewriteState state = startRewrite(inventory_);
    rewriteProject(*project, rewritten, inventory_, state, log_);
    replacementCount_ = state.replacementCount;
    deviceTypeWarning_ = deviceTypeWarning(inventory_, match_, deviceTypedBlocks(state));
    definedTwiceWarning_ = state.definedNames.warning();
    rewritten.close();
    if (state.overgrownLine > 0) {
        showError("  ERROR: File '" + shownArchive_ + "': " + std::string(projectEntry) + " line " +
                  std::to_string(state.overgrownLine) +
                  " grows beyond bounds under the renames: a DTM name or IP address "
                  "holds the names it replaces!");
        return false;
    }
    if (project->bad() || !rewritten) {
        showError("  ERROR: The rewritten project of '" + shownArchive_ +
                  "' could not be written in full!");
        return false;
    }
    return true;
}

bool Conversion::putInPlace() {
    std::error_code failed;
    fs::remove(xefRead_, failed);
    if (!failed) {
        fs::rename(xefWrite_, xefRead_, failed);
    }
    if (failed) {
        showError("  ERROR: Unable to put the rewritten project of '" + shownArchive_ +
                  "' in place: " + failed.message());
        return false;
    }
    return true;
}

bool Conversion::keepIntermediateCopy() {
    const fs::path folder = names_.intermediateFolder();
    const fs::path copy = folder / fs::path(intermediateCopyName);
    const fs::path partial = folder / fs::path(".~" + std::string(intermediateCopyName) + ".part");
    const std::string shownCopy = platform::AnsiFromPath(copy);
    // A run killed from here on leaves the partial copy, and the folder if it made it; the next
    // run removes them.
    work_.noteStray(toolshell::WorkFolder::Stray::FolderIfEmpty, folder);
    work_.noteStray(toolshell::WorkFolder::Stray::File, partial);
    std::error_code failed;
    fs::create_directories(folder, failed);
    if (!failed && !fs::is_directory(folder, failed)) {
        failed = std::make_error_code(std::errc::not_a_directory);
    }
    if (!failed) {
        fs::copy_file(xefRead_, partial, fs::copy_options::overwrite_existing, failed);
    }
    if (!failed && !platform::MoveFileOver(platform::AnsiFromPath(partial), shownCopy)) {
        failed = std::make_error_code(std::errc::io_error);
    }
    if (failed) {
        std::error_code ignored;
        fs::remove(partial, ignored);
        showError("  ERROR: Unable to write '" + shownCopy + "': " + failed.message());
        return false;
    }
    log_.report("\r\n  Intermediate copy: " + shownCopy);
    return true;
}

bool Conversion::pack() {
    const fs::path output = names_.outputArchive();
    const std::string shownOutput = names_.orig_zeffilename + "_IBS.zef";
    log_.say(" pack " + platform::AnsiFromPath(unpacked_) + " into " + shownOutput);
    // The archive road writes ".~<name>.<n>..." beside the new archive and renames it in; a run
    // killed meanwhile leaves it, and the next run removes it.
    fs::path roadTemporary = output.parent_path() / ".~";
    roadTemporary += output.filename();
    roadTemporary += ".";
    work_.noteStray(toolshell::WorkFolder::Stray::FilesStartingWith, roadTemporary);
    const platform::ArchiveResult packed =
        platform::RepackArchive(names_.archive, unpacked_, {std::string(projectEntry)}, output);
    std::error_code ignored;
    if (!packed.ok || !fs::is_regular_file(output, ignored)) {
        showError("  ERROR: " + (packed.ok ? shownOutput + " was not created" : packed.error));
        return false;
    }
    const std::string replaced = "Replaced " + std::to_string(replacementCount_) + " variables.";
    std::string box = " Created: " + shownOutput + "\r\n " + replaced;
    // The report keeps its closing lines; a warning goes in front of them.
    bool warned = false;
    for (const std::string* warning : {&deviceTypeWarning_, &definedTwiceWarning_}) {
        if (!warning->empty()) {
            log_.say(*warning);
            log_.report("\r\n  " + *warning);
            box += "\r\n\r\n " + *warning;
            warned = true;
        }
    }
    log_.report("\r\n  Created: " + shownOutput);
    log_.report("\r\n  " + replaced);
    // A project that needs a hand fix is made, but it is not ready to build.
    showBox(box, "Success", warned ? ui::Icon::Warning : ui::Icon::Information);
    return true;
}

}  // namespace

bool convertZefToIbs(std::string_view zefPath, std::string& reportText, std::ostream& console,
                     const ConversionWindow& window) {
    Conversion conversion(zefPath, reportText, console, window);
    return conversion.run();
}

}  // namespace vornick
