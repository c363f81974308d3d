#pragma once

// The line-by-line decoder of a service file: it echoes every input line into the listing,
// decodes the words of each record by its service code and fills the device and map tables.
// It holds no file of its own, so a caller can feed it lines from anywhere.

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "svc/svc_decode_tables.h"
#include "svc/svc_listing_output.h"
#include "svc/svc_record.h"

namespace svc {

// Rack and slot of the InterBus-S module whose service file is decoded; they name the PLC
// words (%IW, %QW) of the listing and the spreadsheet.
struct SvcModuleContext {
    int moduleRack = 0;
    int moduleSlot = 0;
};

// The other decoder of the tool family (the PMEDWL load-code generator) reads the same records
// with a few texts and table rules of its own; everything else is shared.
struct SvcDecoderVariant {
    // Listing copy of a description's extension word: "  Extension,Length (not used) = ".
    bool marksUnusedDescriptionExtension = false;
    // Three tabs, not two, before the consistency of an output entry's start-bit word.
    bool widerOutputStartBitGap = false;
    // A direct link's extension words read "MAP_Extension_Length" and "Extension" in both copies.
    bool directLinkExtensionOwnTexts = false;
    // A Set_Value count of 0 is followed by another count rather than by the variables.
    bool zeroVariableCountRepeats = true;
    // A Load_Configuration record keeps the entry layout that earlier records left at places its
    // own attributes do not reach. Its additional-information words then also claim the place
    // just past the entry (a later, wider record reads that place by it), so an entry must leave
    // that place inside the layout to be decoded at all.
    bool entryLayoutCarriesOver = false;
    // Three tabs, not two, before "(Output)" on an output entry's destination-index word.
    bool widerOutputDestinationIndexGap = false;
    // The console copy of an input entry's extension words reads as the listing does.
    bool inputExtensionConsoleAsListing = false;
    // PCP ID bits 10 leave a device's PCP length as it was instead of setting it to 0.
    bool pcpLengthKeptForIdBits10 = false;
    // A PDR index of 0 or from 16#C000 on uses up a MAP_Index number in the listing. It still
    // keeps no row: one with PDR_Index 0 would end the PLC map at its place.
    bool nonEntryPdrTakesMapIndex = false;
};

// Fennick's decoder is the default; Tamsel's differs as named.
inline SvcDecoderVariant svcTamselDecoderVariant() {
    SvcDecoderVariant variant;
    variant.marksUnusedDescriptionExtension = true;
    variant.widerOutputStartBitGap = true;
    variant.directLinkExtensionOwnTexts = true;
    variant.zeroVariableCountRepeats = false;
    variant.entryLayoutCarriesOver = true;
    variant.widerOutputDestinationIndexGap = true;
    variant.inputExtensionConsoleAsListing = true;
    variant.pcpLengthKeptForIdBits10 = true;
    variant.nonEntryPdrTakesMapIndex = true;
    return variant;
}

// A record whose data words do not add up: it ends (at a line without "#", a new "#CMD#" or the
// end of the file) with more or fewer data words than its word count announces, or inside an
// entry short of them. A word line lost or written twice shifts every later word of the record,
// so the tables and files built from it would be wrong without a sign. A service that the
// tables do not know names a record whose head (the "#CMD#", service code or word count line)
// was most likely lost, when its words do not make up its count.
struct SvcCountMismatch {
    int wordsRead = 0;
    int wordCount = 0;
    long long recordLine = 0;  // the line of the record's "#CMD#", counted from 1
    bool lastRecord = true;    // no record starts after it
    std::string codeDigits;    // the service code as written
    bool knownService = true;
};

// A line that a record reads as a word but that is not "#0x" + four hexadecimal digits + "#".
struct SvcMalformedLine {
    long long lineNumber = 0;  // counted from 1
};

// A word line after a record has ended and before the next "#CMD#": the record head it belonged
// to was lost, and its words would be dropped without a sign. Word lines before the first record
// are only echoed: a file may open with notes.
struct SvcStrayWord {
    long long lineNumber = 0;  // counted from 1
};

class SvcFileDecoder {
  public:
    SvcFileDecoder(SvcListingOutput& out, SvcModuleContext module, SvcDeviceTable& devices,
                   SvcMapTable& map, SvcDecoderVariant variant = {});

    // One input line without its line end.
    void decodeLine(std::string_view line);
    // After the last line: ends the last record.
    void finish();

    // The first record whose data words do not add up and that the file is refused for: any
    // record that ends inside an entry short of its words, a record of a service that the
    // tables are built from (0307, 0321, 0325, 0264) or whose words the load code follows
    // (0306, 0711), or a record of a service nobody knows.
    std::optional<SvcCountMismatch> countMismatch() const { return countMismatch_; }

    // The records of other services whose data words do not match their count, as warned about
    // in the listing at the record's end.
    const std::vector<std::string>& countWarnings() const { return countWarnings_; }

    // The first line that a record read as a word though it is not one.
    std::optional<SvcMalformedLine> malformedLine() const { return malformedLine_; }

    // The first word line that stands outside any record after the first "#CMD#".
    std::optional<SvcStrayWord> strayWord() const { return strayWord_; }

    // The records read so far that named their service; none means that the input is not a
    // service file at all (an empty file, a file of another kind).
    int servicesRead() const { return servicesRead_; }

    // A Load_Configuration entry has at most this many words with a kind of their own.
    static constexpr int maxLayoutWords = 261;

  private:
    enum class MapEntryKind { None, Input, Output, DirectLink };

    void startRecordWords(uint16_t wordCount);
    void endRecord();
    bool refusesCountMismatch() const;
    bool entryOpen() const;
    bool configurationEntryOpen() const;  // svc_configuration_decoding.cpp
    bool crlEntryOpen() const;            // svc_configuration_decoding.cpp
    bool mapEntryOpen() const;            // svc_map_decoding.cpp
    void decodeDataWord(const SvcLineEvent& word);
    void decodeAnyOtherWord(uint16_t word, int number);
    void decodeSetValue(const SvcLineEvent& word);
    void decodeActivateConfiguration(uint16_t word, int number);
    void decodeInitiateLoadConfiguration(uint16_t word);
    void decodeSetIndication(uint16_t word);
    // Load_Configuration (svc_configuration_decoding.cpp).
    void decodeLoadConfiguration(uint16_t word);
    bool buildEntryLayout(uint16_t entryCount);  // false: the record has no entries
    void decodeEntryWord(uint16_t word);
    void decodeDeviceCode(SvcDevice& device, long long row, uint16_t word);
    // Load_CRL_Attributes_Loc (svc_configuration_decoding.cpp).
    void decodeCrlAttributes(uint16_t word);
    void storeCrlAttributeValue(uint16_t word);
    // Process-data description and reference lists (svc_map_decoding.cpp).
    void printMapCount(uint16_t count);
    void decodeDescriptionList(uint16_t word);
    void decodeReferenceList(uint16_t word);
    void openReferenceEntry(uint16_t pdrIndex);
    void decodeInputEntryWord(uint16_t word);
    void decodeOutputEntryWord(uint16_t word);
    void decodeDirectLinkEntryWord(uint16_t word);
    void decodeStartBitWord(uint16_t word, const char* gap);
    // How an entry's extension words read: input entries differ between the two copies.
    enum class ExtensionForm { Input, Output, DirectLink };
    void decodeExtensionLengthWord(uint16_t word, ExtensionForm form);
    void decodeExtensionWord(uint16_t word, ExtensionForm form);
    SvcMapEntry& openMapEntry();
    std::string plcWordText(const char* area, double wordNumber) const;

    SvcListingOutput& out_;
    SvcModuleContext module_;
    SvcDecoderVariant variant_;
    SvcDeviceTable& devices_;
    SvcMapTable& map_;
    SvcRecordReader reader_;

    int servicesRead_ = 0;
    long long lineNumber_ = 0;
    long long recordLine_ = 0;
    bool recordStarted_ = false;  // a "#CMD#" has been read
    std::optional<SvcCountMismatch> countMismatch_;
    std::vector<std::string> countWarnings_;
    std::optional<SvcMalformedLine> malformedLine_;
    std::optional<SvcStrayWord> strayWord_;

    // The current record.
    std::string codeDigits_;
    uint16_t serviceCode_ = 0;
    bool wordCountRead_ = false;  // only then can its data words be compared with the count
    uint16_t wordCount_ = 0;
    int dataWordsRead_ = 0;
    int subState_ = 0;  // the step of the service's own word sequence
    int position_ = 0;  // the word's place in a configuration entry or a map entry

    // Set_Value.
    int pendingValueWords_ = 0;
    uint32_t longValue_ = 0;

    // Load_Configuration: runs across records so that several records extend one table.
    uint16_t usedAttributes_ = 0;
    long long startEntry_ = 0;
    int wordsPerEntry_ = 0;
    std::array<int, maxLayoutWords> layout_{};
    long long deviceRow_ = 0;
    int pcpNodeCounter_ = 1;

    // Load_CRL_Attributes_Loc. One value word per reference until a known code says otherwise,
    // so an unknown code cannot turn the rest of its record into values of one reference.
    int attributeCode_ = 0;
    int attributeValueWords_ = 1;
    int attributeValueCounter_ = 0;
    long long crlDeviceRow_ = 0;

    // Map entries: one running entry number for both list services, and the MAP_Index numbers
    // that words opening no entry used up since the numbering last started.
    long long entryNumber_ = 0;
    long long skippedMapIndexes_ = 0;
    uint16_t recordDevice_ = 0;
    MapEntryKind entryKind_ = MapEntryKind::None;
    SvcMapEntry* entry_ = nullptr;

    // Words for rows outside the tables are decoded and printed into these, never stored.
    SvcDevice discardedDevice_;
    SvcMapEntry discardedEntry_;
};

// Feeds every line of `input` to `decoder` as SvcLineSource gives them, ends the last record and
// the listing's open line at the end. False when the stream failed while reading.
bool decodeSvcLines(std::istream& input, SvcFileDecoder& decoder, SvcListingOutput& out);

}  // namespace svc
