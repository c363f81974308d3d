// The decoder as the load-code generator uses it: same records, a few texts and one table rule
// of its own.

#include <gtest/gtest.h>

#include <sstream>

#include "svc/svc_file_decoder.h"
#include "svc_fixture.h"

namespace svc::testing {
namespace {

struct VariantRun {
    std::vector<std::string> listing;
    std::vector<std::string> console;
    SvcDeviceTable devices;
    SvcMapTable map;
};

VariantRun decodeWith(SvcDecoderVariant variant, const std::vector<Record>& records) {
    VariantRun run;
    std::ostringstream listing;
    std::ostringstream console;
    SvcListingOutput out(listing, &console);
    SvcFileDecoder decoder(out, {}, run.devices, run.map, variant);
    for (const std::string& line : crlfLines(svcText(records))) {
        decoder.decodeLine(line);
    }
    decoder.decodeLine("");  // ends any echo a record left open
    run.listing = crlfLines(listing.str());
    run.console = lfLines(console.str());
    return run;
}

const std::string W6 = "      ";

const std::vector<Record> kVariantRecords = {
    configurationRecord(1, {{0x0101, 0x0202}, {0x0102, 0x0101}}),
    {0x0307, {0x0001, 0x0003, 0x0001, 0x0103, 0x0202}, {}},
    {0x0321, {0x0101, 0x0001, 0x0010, 0x0203, 0x0004, 0x0508, 0x0000}, {}},
    {0x0325,
     {0x0002, 0x4001, 0x0000, 0x0100, 0x0102, 0x6011, 0x0000, 0x8001, 0x0201, 0x6010, 0x0102,
      0x6011, 0x0302, 0x4142},
     {}},
    {0x0750, {0x0000, 0x0103, 0x0007}, {}},
};

TEST(SvcDecoderVariant, TamselFormsDifferOnlyWhereNamed) {
    const VariantRun tamsel = decodeWith(svcTamselDecoderVariant(), kVariantRecords);
    const VariantRun fennick = decodeWith({}, kVariantRecords);
    struct Difference {
        std::string tamselListing;
        std::string tamselConsole;
        std::string fennickListing;
    };
    const Difference differences[] = {
        {"#0x0000#" + W6 + "  Extension,Length (not used) = 0",
         "#0x0000#" + W6 + "  Extension,Length = 0", "#0x0000#" + W6 + "  Extension,Length = 0"},
        {"#0x0100#" + W6 + "     MAP_Start_Bit = 1  DataCons = 0\t\t\t(16 bit consistancy)",
         "#0x0100#" + W6 + "     MAP_Start_Bit = 1  DataCons = 0\t\t\t(16 bit consistancy)",
         "#0x0100#" + W6 + "     MAP_Start_Bit = 1  DataCons = 0\t\t(16 bit consistancy)"},
        {"#0x0302#" + W6 + "     MAP_Extension_Length = 3  Extension = x2",
         "#0x0302#" + W6 + "     MAP_Extension_Length = 3  Extension = x2",
         "#0x0302#" + W6 + "     MAP_Extension = 3  Extension = x2"},
        {"#0x4142#" + W6 + "     Extension = x41, x42",
         "#0x4142#" + W6 + "     Extension = x41, x42",
         "#0x4142#" + W6 + "     (else) Extension = x41, x42"},
        {"#0x0103#" + W6 + "  Variable ID = 0103  Varible Word Count = 1" + std::string(12, ' ') +
             "Address of the Diagnostic Parameter Register",
         "#0x0103#" + W6 + "  Variable ID = 0103  Varible Word Count = 1" + std::string(12, ' ') +
             "Address of the Diagnostic Parameter Register",
         "#0x0103#" + W6 + "  Variable Count = 259"},
    };
    for (const Difference& d : differences) {
        EXPECT_EQ(countOf(tamsel.listing, d.tamselListing), 1) << d.tamselListing;
        EXPECT_EQ(countOf(tamsel.console, d.tamselConsole), 1) << d.tamselConsole;
        EXPECT_EQ(countOf(fennick.listing, d.fennickListing), 1) << d.fennickListing;
    }
}

// A later configuration record whose attributes reach fewer places than an earlier one's: the
// load-code generator reads those places by the earlier layout.
TEST(SvcDecoderVariant, EntryLayoutCarriesOverOnlyForTheLoadCodeGenerator) {
    const VariantRun tamsel = decodeWith(svcTamselDecoderVariant(), kVariantRecords);
    const VariantRun fennick = decodeWith({}, kVariantRecords);
    EXPECT_EQ(tamsel.devices.deviceCount, 3);
    EXPECT_EQ(fennick.devices.deviceCount, 3);
    EXPECT_EQ(tamsel.devices.row(3)->lengthCode, 2);
    EXPECT_EQ(tamsel.devices.row(3)->directionText, "Input");
    EXPECT_EQ(fennick.devices.row(3)->lengthCode, 0);
    EXPECT_EQ(fennick.devices.row(3)->directionText, "");
}

}  // namespace
}  // namespace svc::testing
