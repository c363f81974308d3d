#include "loadcode/decoding/tamsel_decode.h"

#include <memory>

#include "loadcode/loadfile/load_file.h"
#include "svc/svc_decode_tables.h"
#include "svc/svc_listing_output.h"
#include "svc/svc_spreadsheet.h"

namespace loadcode {

TamselDecodeOutcome decodeTamselService(std::istream& input, std::ostream& listing,
                                        std::ostream& loadFile, std::ostream& console,
                                        const std::string& dtmName,
                                        const std::array<std::string, 2>& pcpTags) {
    // Both tables are large; they live on the heap for the one conversion.
    auto deviceTable = std::make_unique<svc::SvcDeviceTable>();
    auto mapTable = std::make_unique<svc::SvcMapTable>();
    svc::SvcListingOutput out(listing, &console);
    svc::SvcFileDecoder decoder(out, {}, *deviceTable, *mapTable, svc::svcTamselDecoderVariant());
    TamselDecodeOutcome outcome;
    outcome.readFailed = !svc::decodeSvcLines(input, decoder, out);
    outcome.malformedLine = decoder.malformedLine();
    outcome.strayWord = decoder.strayWord();
    outcome.countMismatch = decoder.countMismatch();
    outcome.noService = decoder.servicesRead() == 0;
    if (!outcome.complete()) {
        return outcome;
    }
    // The record warnings stand in the listing where their records end.
    outcome.warnings = decoder.countWarnings();
    outcome.incomplete = svc::svcTablesExceedPlcArrays(*deviceTable, *mapTable);
    for (const std::string& warning : svc::svcTableWarnings(*deviceTable, *mapTable)) {
        out.write(warning);
        out.endLine();
        outcome.warnings.push_back(warning);
    }
    writeTamselLoadFile(loadFile, *deviceTable, *mapTable, dtmName, pcpTags);
    svc::writeSvcSpreadsheet(nullptr, &console, *deviceTable, {});
    console.flush();
    return outcome;
}

}  // namespace loadcode
