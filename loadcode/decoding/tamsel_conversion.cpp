#include "loadcode/decoding/tamsel_conversion.h"

#include <cerrno>
#include <fstream>
#include <memory>
#include <optional>
#include <system_error>

#include "loadcode/loadfile/load_file.h"
#include "platform/ansi_path.h"
#include "platform/ui.h"
#include "svc/svc_decode_tables.h"
#include "svc/svc_failure_text.h"
#include "svc/svc_file_decoder.h"
#include "svc/svc_listing_output.h"
#include "svc/svc_spreadsheet.h"
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

TamselConversionResult failed(const std::string& text) {
    ui::ShowMessageBox(nullptr, text, "OK");
    return {};
}

// The user reads file names in the ANSI code page, as the dialog gave them.
TamselConversionResult failedFile(int site, const char* what, const std::filesystem::path& path,
                                  int errorNumber) {
    return failed(svc::svcFailureText(site, what, platform::AnsiFromPath(path), errorNumber));
}

}  // namespace

std::filesystem::path tamselRootPath(const std::filesystem::path& svcPath) {
    return svcPath.parent_path() / svcPath.stem();
}

TamselConversionResult tamselConvertSvcFile(const std::filesystem::path& svcPath,
                                            const std::string& dtmName,
                                            const std::array<std::string, 2>& pcpTags,
                                            std::ostream& console) {
    const std::filesystem::path root = tamselRootPath(svcPath);
    std::error_code ignored;
    if (std::filesystem::is_directory(svcPath, ignored)) {
        return failedFile(kServiceFileSite, "Unable to open ", svcPath, EISDIR);
    }
    errno = 0;
    std::ifstream input(svcPath, std::ios::in | std::ios::binary);
    if (!input.is_open()) {
        return failedFile(kServiceFileSite, "Unable to open ", svcPath,
                          errno != 0 ? errno : ENOENT);
    }
    svc::SvcStagedFile listing(withSuffix(root, "_parse.txt"));
    if (!listing.open()) {
        return failedFile(kListingSite, "Unable to open ", listing.finalPath(),
                          listing.errorNumber());
    }
    svc::SvcStagedFile loadFile(withSuffix(root, "_LOAD.xst"));
    if (!loadFile.open()) {
        return failedFile(kLoadFileSite, "Unable to open ", loadFile.finalPath(),
                          loadFile.errorNumber());
    }

    // Both tables are large; they live on the heap for the one conversion.
    auto deviceTable = std::make_unique<svc::SvcDeviceTable>();
    auto mapTable = std::make_unique<svc::SvcMapTable>();
    svc::SvcListingOutput out(listing.stream(), &console);
    svc::SvcFileDecoder decoder(out, {}, *deviceTable, *mapTable, svc::svcTamselDecoderVariant());
    if (!svc::decodeSvcLines(input, decoder, out)) {
        return failedFile(kServiceFileSite, "Unable to read ", svcPath, EIO);
    }
    if (const std::optional<svc::SvcTruncation> truncation = decoder.truncation()) {
        return failed(
            svc::svcTruncationText(kServiceFileSite, platform::AnsiFromPath(svcPath), *truncation));
    }

    TamselConversionResult result;
    result.warnings = svc::svcTableWarnings(*deviceTable, *mapTable);
    for (const std::string& warning : result.warnings) {
        out.write(warning);
        out.endLine();
    }
    writeTamselLoadFile(loadFile.stream(), *deviceTable, *mapTable, dtmName, pcpTags);
    svc::writeSvcSpreadsheet(nullptr, &console, *deviceTable, {});
    console.flush();

    for (svc::SvcStagedFile* file : {&listing, &loadFile}) {
        if (!file->close()) {
            return failedFile(file == &listing ? kListingSite : kLoadFileSite, "Unable to write ",
                              file->finalPath(), file->errorNumber());
        }
    }
    for (svc::SvcStagedFile* file : {&listing, &loadFile}) {
        if (!file->commit()) {
            return failedFile(file == &listing ? kListingSite : kLoadFileSite, "Unable to write ",
                              file->finalPath(), file->errorNumber());
        }
    }

    std::string text = " Created: " + platform::AnsiFromPath(loadFile.finalPath());
    for (const std::string& warning : result.warnings) {
        text += "\r\n " + warning;
    }
    ui::ShowMessageBox(nullptr, text, "Finished");
    result.finished = true;
    return result;
}

}  // namespace loadcode
