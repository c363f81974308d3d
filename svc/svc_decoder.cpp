#include "svc/svc_decoder.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <iostream>
#include <memory>
#include <system_error>

#include "svc/svc_decode_tables.h"
#include "svc/svc_exchange_files.h"
#include "svc/svc_failure_text.h"
#include "svc/svc_listing_output.h"
#include "svc/svc_spreadsheet.h"
#include "svc/svc_staged_file.h"

namespace svc {
namespace {

constexpr int kInputFileNumber = 11;
constexpr int kFirstOutputFileNumber = 12;
constexpr std::size_t kOutputCount = std::size(svcOutputSuffixes);

std::filesystem::path withSuffix(const std::filesystem::path& root, const char* suffix) {
    std::filesystem::path path = root;
    path += suffix;
    return path;
}

void removeEarlierOutputs(const std::filesystem::path& root) {
    for (const char* suffix : svcOutputSuffixes) {
        std::error_code ignored;
        std::filesystem::remove(withSuffix(root, suffix), ignored);
    }
}

SvcDecodeResult failed(const std::filesystem::path& root, std::string errorText) {
    removeEarlierOutputs(root);
    SvcDecodeResult result;
    result.errorText = std::move(errorText);
    return result;
}

}  // namespace

SvcDecodeResult decodeSvcFile(const std::filesystem::path& rootPath,
                              const SvcDecodeOptions& options) {
    std::ostream& console = options.console != nullptr ? *options.console : std::cout;

    const std::filesystem::path inputPath = withSuffix(rootPath, ".svc");
    std::error_code ignored;
    if (std::filesystem::is_directory(inputPath, ignored)) {
        // Some platforms open a folder as a file that reads as empty.
        return failed(rootPath, svcFailureText(kInputFileNumber, "Unable to open ",
                                               inputPath.string(), EISDIR));
    }
    errno = 0;
    std::ifstream input(inputPath, std::ios::in | std::ios::binary);
    if (!input.is_open()) {
        return failed(rootPath, svcFailureText(kInputFileNumber, "Unable to open ",
                                               inputPath.string(), errno != 0 ? errno : ENOENT));
    }

    std::array<std::unique_ptr<SvcStagedFile>, kOutputCount> outputs;
    for (std::size_t i = 0; i < kOutputCount; ++i) {
        outputs[i] = std::make_unique<SvcStagedFile>(withSuffix(rootPath, svcOutputSuffixes[i]));
        if (!outputs[i]->open()) {
            return failed(
                rootPath,
                svcFailureText(kFirstOutputFileNumber + static_cast<int>(i), "Unable to open ",
                               outputs[i]->finalPath().string(), outputs[i]->errorNumber()));
        }
    }
    std::ostream& listing = outputs[0]->stream();

    // Both tables are large; they live on the heap for the one call.
    auto svcDeviceTable = std::make_unique<SvcDeviceTable>();
    auto svcMapTable = std::make_unique<SvcMapTable>();
    SvcListingOutput out(listing, &console);
    SvcFileDecoder decoder(out, options.module, *svcDeviceTable, *svcMapTable);
    if (!decodeSvcLines(input, decoder, out)) {
        return failed(rootPath,
                      svcFailureText(kInputFileNumber, "Unable to read ", inputPath.string(), EIO));
    }
    if (const std::optional<SvcMalformedLine> malformed = decoder.malformedLine()) {
        return failed(rootPath,
                      svcMalformedLineText(kInputFileNumber, inputPath.string(), *malformed));
    }
    if (const std::optional<SvcStrayWord> stray = decoder.strayWord()) {
        return failed(rootPath, svcStrayWordText(kInputFileNumber, inputPath.string(), *stray));
    }
    if (const std::optional<SvcCountMismatch> mismatch = decoder.countMismatch()) {
        return failed(rootPath,
                      svcCountMismatchText(kInputFileNumber, inputPath.string(), *mismatch));
    }

    SvcDecodeResult result;
    result.deviceCount = svcDeviceTable->deviceCount;
    result.mapEntryCount = svcMapTable->storedCount;
    // The listing and its console copy said the record warnings where the records end.
    result.warnings = decoder.countWarnings();
    for (const std::string& warning : svcTableWarnings(*svcDeviceTable, *svcMapTable)) {
        console << warning << '\n';
        result.warnings.push_back(warning);
    }
    writeSvcConfigXsy(outputs[1]->stream(), *svcDeviceTable, svcPlcArrayEntries);
    writeSvcMapXsy(outputs[2]->stream(), *svcMapTable, svcPlcArrayEntries);
    writeSvcInitXst(outputs[3]->stream(), *svcDeviceTable, *svcMapTable, options.pcpMarkText,
                    svcPlcArrayEntries);
    writeSvcSpreadsheet(&outputs[4]->stream(), &console, *svcDeviceTable, options.module);
    console.flush();

    for (std::size_t i = 0; i < kOutputCount; ++i) {
        if (!outputs[i]->close()) {
            return failed(
                rootPath,
                svcFailureText(kFirstOutputFileNumber + static_cast<int>(i), "Unable to write ",
                               outputs[i]->finalPath().string(), outputs[i]->errorNumber()));
        }
    }
    for (std::size_t i = 0; i < kOutputCount; ++i) {
        if (!outputs[i]->commit()) {
            return failed(
                rootPath,
                svcFailureText(kFirstOutputFileNumber + static_cast<int>(i), "Unable to write ",
                               outputs[i]->finalPath().string(), outputs[i]->errorNumber()));
        }
    }
    result.ok = true;
    return result;
}

}  // namespace svc
