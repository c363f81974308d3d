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

namespace svc::testing {
namespace {

TEST(SvcDecoderVariant, OutputDestinationIndexAndInputExtensionForms) {
    const std::vector<Record> records = {
        {0x0325,
         {0x0002, 0x4001, 0x0000, 0x0000, 0x0102, 0x6011, 0x0000, 0x0001, 0x0101, 0x6010, 0x0200,
          0x0000, 0x0341, 0x4243},
         {}},
    };
    const VariantRun tamsel = decodeWith(svcTamselDecoderVariant(), records);
    const VariantRun fennick = decodeWith({}, records);
    const std::string index = "#0x6011#" + W6 + "     MAP_Destination_Index = 6011  x6011";
    EXPECT_EQ(countOf(tamsel.listing, index + "\t\t\t(Output)"), 1);
    EXPECT_EQ(countOf(tamsel.console, index + "\t\t\t(Output)"), 1);
    EXPECT_EQ(countOf(fennick.listing, index + "\t\t(Output)"), 1);
    // The load-code generator's console copy of an input extension reads as its listing.
    for (const std::string& line : {"#0x0341#" + W6 + "     MAP_Extension = 3  Extension = x41",
                                    "#0x4243#" + W6 + "     (else) Extension = x42, x43"}) {
        EXPECT_EQ(countOf(tamsel.listing, line), 1) << line;
        EXPECT_EQ(countOf(tamsel.console, line), 1) << line;
        EXPECT_EQ(countOf(fennick.listing, line), 1) << line;
        EXPECT_EQ(countOf(fennick.console, line), 0) << line;
    }
}

// ID bits 10 of a PCP device name no PCP length: the load-code generator keeps the one the
// device had, the other decoder sets 0.
TEST(SvcDecoderVariant, PcpIdBits10KeepTheLengthForTheLoadCodeGenerator) {
    const std::vector<Record> records = {configurationRecord(1, {{0x0101, 0x01C1}}),
                                         configurationRecord(1, {{0x0101, 0x01C2}})};
    EXPECT_EQ(decodeWith(svcTamselDecoderVariant(), records).devices.row(1)->pcpLength, 4);
    EXPECT_EQ(decodeWith({}, records).devices.row(1)->pcpLength, 0);
}

// Words opening no entry use up a MAP_Index number in the load-code generator's listing; the
// entry after them still takes row 1.
TEST(SvcDecoderVariant, NonEntryWordsUseUpMapIndexNumbers) {
    const std::vector<Record> records = {
        {0x0325, {0x0001, 0x0000, 0xC001, 0x0001, 0x0101, 0x6010, 0x0200, 0x0000, 0x0000}, {}}};
    const VariantRun tamsel = decodeWith(svcTamselDecoderVariant(), records);
    const VariantRun fennick = decodeWith({}, records);
    // The three words share one listing line: the first two open no entry.
    const auto numbered = [](int second, int third) {
        return "#0x0000#" + W6 + "  ----- MAP_PDR_Index = x0  (MAP_Index = 1) " +
               std::string(12, ' ') + "#0xC001#" + W6 +
               "  ----- MAP_PDR_Index = xC001  (MAP_Index = " + std::to_string(second) + ") " +
               std::string(9, ' ') + "#0x0001#" + W6 +
               "  ----- MAP_PDR_Index = x1  (MAP_Index = " + std::to_string(third) + ") " +
               std::string(12, ' ') + "(Input)\tPDR Index =  x0001 (Input)";
    };
    EXPECT_EQ(countOf(tamsel.listing, numbered(2, 3)), 1);
    EXPECT_EQ(countOf(fennick.listing, numbered(1, 1)), 1);
    for (const VariantRun* run : {&tamsel, &fennick}) {
        EXPECT_EQ(run->map.storedCount, 1);
        EXPECT_EQ(run->map.rows[1].mapPdrIndex, 1);
    }
}

// Additional information claims the place after the entry too, where a later, wider record with
// fewer attributes reads by the layout the earlier ones left.
TEST(SvcDecoderVariant, AdditionalInformationClaimsThePlaceAfterTheEntry) {
    const std::vector<Record> records = {
        {0x0307, {0x003B, 0x0001, 0x0001, 0x0101, 0x0202, 0x0001, 0x0203, 0x0004}, {}},
        {0x0307, {0x4001, 0x0002, 0x0001, 0x0102, 0x0000}, {}},
        {0x0307, {0x0003, 0x0003, 0x0001, 0x0103, 0x0202, 0x0007, 0x0809, 0x000A}, {}},
    };
    const VariantRun tamsel = decodeWith(svcTamselDecoderVariant(), records);
    const SvcDevice& third = *tamsel.devices.row(3);
    EXPECT_EQ(third.deviceLevel, 0);  // place 2 is additional information now
    EXPECT_EQ(third.logicalGroup, 8);
    EXPECT_EQ(third.alternative, 9);
    EXPECT_EQ(third.errorCharacteristic, 10);
}

// Where the layout carries over, an entry must leave the place after it inside the layout.
TEST(SvcDecoderVariant, EntryTooWideForTheLayoutHasNoEntriesForTheLoadCodeGenerator) {
    for (const int wordsPerEntry :
         {SvcFileDecoder::maxLayoutWords - 1, SvcFileDecoder::maxLayoutWords}) {
        SCOPED_TRACE(wordsPerEntry);
        const std::vector<Record> records = {{0x0307,
                                              {0x4001, 0x0001, 0x0001, 0x0101, 0x0000},
                                              static_cast<uint16_t>(wordsPerEntry + 3)}};
        const int expected = wordsPerEntry < SvcFileDecoder::maxLayoutWords ? 1 : 0;
        EXPECT_EQ(decodeWith(svcTamselDecoderVariant(), records).devices.deviceCount, expected);
        EXPECT_EQ(decodeWith({}, records).devices.deviceCount, 1);
    }
}

}  // namespace
}  // namespace svc::testing
