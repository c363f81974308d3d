#include "svc/svc_decoder.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <iostream>
#include <memory>
#include <system_error>

#include "svc/svc_decode_tables.h"
#include "svc/svc_exchange_files.h"
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

std::string failureText(int fileNumber, const char* what, const std::filesystem::path& path,
                        int errorNumber) {
    // Appended piece by piece: GCC 12 warns falsely on "literal" + temporary (-Wrestrict).
    std::string text = "(";
    text += std::to_string(fileNumber);
    text += ") ";
    text += what;
    text += path.string();
    text += " Err = ";
    text += std::to_string(errorNumber);
    return text;
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

// The PLC arrays hold fewer rows than the decoder's tables: say what is left out.
void warnAboutPlcArrays(int deviceCount, int mapEntryCount, std::ostream& console,
                        std::vector<std::string>& warnings) {
    const auto warn = [&](int count, const char* what) {
        if (count > svcPlcArrayEntries) {
            warnings.push_back("WARNING: " + std::to_string(count) + " " + what +
                               ", but the PLC array holds " + std::to_string(svcPlcArrayEntries) +
                               " and its end entry; only the first " +
                               std::to_string(svcPlcArrayEntries) + " are written");
            console << warnings.back() << '\n';
        }
    };
    warn(deviceCount, "devices");
    warn(mapEntryCount, "MAP entries");
}

}  // namespace

SvcDecodeResult decodeSvcFile(const std::filesystem::path& rootPath,
                              const SvcDecodeOptions& options) {
    std::ostream& console = options.console != nullptr ? *options.console : std::cout;

    const std::filesystem::path inputPath = withSuffix(rootPath, ".svc");
    std::error_code ignored;
    if (std::filesystem::is_directory(inputPath, ignored)) {
        // Some platforms open a folder as a file that reads as empty.
        return failed(rootPath,
                      failureText(kInputFileNumber, "Unable to open ", inputPath, EISDIR));
    }
    errno = 0;
    std::ifstream input(inputPath, std::ios::in | std::ios::binary);
    if (!input.is_open()) {
        return failed(rootPath, failureText(kInputFileNumber, "Unable to open ", inputPath,
                                            errno != 0 ? errno : ENOENT));
    }

    std::array<std::unique_ptr<SvcStagedFile>, kOutputCount> outputs;
    for (std::size_t i = 0; i < kOutputCount; ++i) {
        outputs[i] = std::make_unique<SvcStagedFile>(withSuffix(rootPath, svcOutputSuffixes[i]));
        if (!outputs[i]->open()) {
            return failed(rootPath, failureText(kFirstOutputFileNumber + static_cast<int>(i),
                                                "Unable to open ", outputs[i]->finalPath(),
                                                outputs[i]->errorNumber()));
        }
    }
    std::ostream& listing = outputs[0]->stream();

    // Both tables are large; they live on the heap for the one call.
    auto svcDeviceTable = std::make_unique<SvcDeviceTable>();
    auto svcMapTable = std::make_unique<SvcMapTable>();
    {
        SvcListingOutput out(listing, &console);
        SvcFileDecoder decoder(out, options.module, *svcDeviceTable, *svcMapTable);
        std::string line;
        while (std::getline(input, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            decoder.decodeLine(line);
        }
        out.finishListing();
    }
    if (input.bad()) {
        return failed(rootPath, failureText(kInputFileNumber, "Unable to read ", inputPath, EIO));
    }

    SvcDecodeResult result;
    result.deviceCount = svcDeviceTable->deviceCount;
    result.mapEntryCount = svcMapTable->storedCount;
    warnAboutPlcArrays(result.deviceCount, result.mapEntryCount, console, result.warnings);
    writeSvcConfigXsy(outputs[1]->stream(), *svcDeviceTable, svcPlcArrayEntries);
    writeSvcMapXsy(outputs[2]->stream(), *svcMapTable, svcPlcArrayEntries);
    writeSvcInitXst(outputs[3]->stream(), *svcDeviceTable, *svcMapTable, options.pcpMarkText,
                    svcPlcArrayEntries);
    writeSvcSpreadsheet(&outputs[4]->stream(), &console, *svcDeviceTable, options.module);
    console.flush();

    for (std::size_t i = 0; i < kOutputCount; ++i) {
        if (!outputs[i]->close()) {
            return failed(rootPath, failureText(kFirstOutputFileNumber + static_cast<int>(i),
                                                "Unable to write ", outputs[i]->finalPath(),
                                                outputs[i]->errorNumber()));
        }
    }
    for (std::size_t i = 0; i < kOutputCount; ++i) {
        if (!outputs[i]->commit()) {
            return failed(rootPath, failureText(kFirstOutputFileNumber + static_cast<int>(i),
                                                "Unable to write ", outputs[i]->finalPath(),
                                                outputs[i]->errorNumber()));
        }
    }
    result.ok = true;
    return result;
}

}  // namespace svc
