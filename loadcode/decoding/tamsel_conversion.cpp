#include "loadcode/decoding/tamsel_conversion.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "loadcode/decoding/tamsel_decode.h"
#include "platform/ansi_path.h"
#include "platform/ui.h"
#include "svc/svc_failure_text.h"
#include "svc/svc_staged_file.h"

namespace loadcode {
namespace {

namespace ui = platform::ui;

constexpr int kServiceFileSite = 1;
constexpr int kListingSite = 2;
constexpr int kLoadFileSite = 15;

std::filesystem::path withSuffix(const std::filesystem::path& root, const char* suffix) {
    std::filesystem::path path = root;
    path += suffix;
    return path;
}

// The boxes belong to the window the conversion was started from, so that a click on it cannot
// hide them; errors carry the stop icon.
TamselConversionResult failed(ui::Window owner, const std::string& text) {
    ui::ShowMessageBox(owner, text, "OK", ui::Buttons::Ok, ui::Icon::Stop);
    return {};
}

// The user reads file names in the ANSI code page, as the dialog gave them.
TamselConversionResult failedFile(ui::Window owner, int site, const char* what,
                                  const std::filesystem::path& path, int errorNumber) {
    return failed(owner,
                  svc::svcFailureText(site, what, platform::AnsiFromPath(path), errorNumber));
}

// Every output is first written under a new name beside its final one, so a folder that takes
// no new file stops the run even where the earlier output itself is writable: the user is told
// about the folder, not about a file he can see is fine.
TamselConversionResult failedToOpen(ui::Window owner, int site, const svc::SvcStagedFile& file) {
    if (file.folderRefusedNewFile()) {
        return failedFile(owner, site, "Unable to create a file in the folder ",
                          file.finalPath().parent_path(), file.errorNumber());
    }
    return failedFile(owner, site, "Unable to open ", file.finalPath(), file.errorNumber());
}

// The warnings stand first when the load file configures only part of the bus, so that the
// user reads them before the name of the file.
void showFinished(ui::Window owner, const std::filesystem::path& loadFile,
                  const std::vector<std::string>& warnings, bool incomplete) {
    const std::string created = " Created: " + platform::AnsiFromPath(loadFile);
    std::string text;
    if (incomplete) {
        for (const std::string& warning : warnings) {
            text += " " + warning + "\r\n";
        }
        text += created;
    } else {
        text = created;
        for (const std::string& warning : warnings) {
            text += "\r\n " + warning;
        }
    }
    ui::ShowMessageBox(owner, text, incomplete ? "Finished - incomplete" : "Finished",
                       ui::Buttons::Ok, ui::Icon::Information);
}

}  // namespace

std::filesystem::path tamselRootPath(const std::filesystem::path& svcPath) {
    return svcPath.parent_path() / svcPath.stem();
}

TamselConversionResult tamselConvertSvcFile(platform::ui::Window owner,
                                            const std::filesystem::path& svcPath,
                                            const std::string& dtmName,
                                            const std::array<std::string, 2>& pcpTags,
                                            std::ostream& console) {
    const std::filesystem::path root = tamselRootPath(svcPath);
    std::error_code ignored;
    if (std::filesystem::is_directory(svcPath, ignored)) {
        return failedFile(owner, kServiceFileSite, "Unable to open ", svcPath, EISDIR);
    }
    errno = 0;
    std::ifstream input(svcPath, std::ios::in | std::ios::binary);
    if (!input.is_open()) {
        return failedFile(owner, kServiceFileSite, "Unable to open ", svcPath,
                          errno != 0 ? errno : ENOENT);
    }
    svc::SvcStagedFile listing(withSuffix(root, "_parse.txt"));
    if (!listing.open()) {
        return failedToOpen(owner, kListingSite, listing);
    }
    svc::SvcStagedFile loadFile(withSuffix(root, "_LOAD.xst"));
    if (!loadFile.open()) {
        return failedToOpen(owner, kLoadFileSite, loadFile);
    }

    const TamselDecodeOutcome outcome =
        decodeTamselService(input, listing.stream(), loadFile.stream(), console, dtmName, pcpTags);
    if (outcome.readFailed) {
        return failedFile(owner, kServiceFileSite, "Unable to read ", svcPath, EIO);
    }
    if (outcome.malformedLine) {
        return failed(owner,
                      svc::svcMalformedLineText(kServiceFileSite, platform::AnsiFromPath(svcPath),
                                                *outcome.malformedLine));
    }
    if (outcome.strayWord) {
        return failed(owner,
                      svc::svcStrayWordText(kServiceFileSite, platform::AnsiFromPath(svcPath),
                                            *outcome.strayWord));
    }
    if (outcome.countMismatch) {
        return failed(owner,
                      svc::svcCountMismatchText(kServiceFileSite, platform::AnsiFromPath(svcPath),
                                                *outcome.countMismatch));
    }
    if (outcome.noService) {
        return failed(owner,
                      svc::svcNoServiceText(kServiceFileSite, platform::AnsiFromPath(svcPath)));
    }
    TamselConversionResult result;
    result.warnings = outcome.warnings;

    for (svc::SvcStagedFile* file : {&listing, &loadFile}) {
        if (!file->close()) {
            return failedFile(owner, file == &listing ? kListingSite : kLoadFileSite,
                              "Unable to write ", file->finalPath(), file->errorNumber());
        }
    }
    svc::SvcStagedFile* unmoved = nullptr;
    if (!svc::SvcStagedFile::commitTogether({&listing, &loadFile}, unmoved)) {
        return failedFile(owner, unmoved == &listing ? kListingSite : kLoadFileSite,
                          "Unable to write ", unmoved->finalPath(), unmoved->errorNumber());
    }

    showFinished(owner, loadFile.finalPath(), result.warnings, outcome.incomplete);
    result.finished = true;
    return result;
}

}  // namespace loadcode
