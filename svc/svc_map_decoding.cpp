// Put_Process_Data_Description_List (0321) and Load_Process_Data_Reference_List (0325): the map
// table, and the device table's input and output addresses.

#include "svc/svc_file_decoder.h"
#include "svc/svc_number_text.h"

namespace svc {
namespace {

// Bits of consistency by the DataCons code.
int consistencyBits(int code) {
    switch (code) {
        case 0:
            return 16;
        case 1:
            return 32;
        case 2:
            return 8;
        case 3:
            return 64;
        default:
            return 0;
    }
}

std::string byteText(uint16_t word) {
    return decimalText(word >> 8) + "." + decimalText(word & 0xFF);
}

// First word of an entry, then the words of the entry by their place.
constexpr int kFirstEntryWord = 2;
constexpr int kExtensionLengthWord = 6;

}  // namespace

// Both list services announce their entry count the same way.
void SvcFileDecoder::printMapCount(uint16_t count) {
    out_.write("  MAP Count = " + decimalText(count),
               "  MAP Count = " + decimalText(map_.mapTotal));
    out_.endLine();
    out_.writeListingOnly("  \t\tTotal MAP Count = " + decimalText(map_.mapTotal));
    out_.endListingLine();
}

// Opens the next row of the map table; an entry beyond the table is decoded but not kept.
SvcMapEntry& SvcFileDecoder::openMapEntry() {
    ++entryNumber_;
    ++map_.entriesListed;
    entry_ = map_.storeRow(entryNumber_);
    if (entry_ == nullptr) {
        ++map_.entriesNotStored;
        entry_ = &discardedEntry_;
    }
    *entry_ = SvcMapEntry{};
    return *entry_;
}

std::string SvcFileDecoder::plcWordText(const char* area, double wordNumber) const {
    return std::string(area) + decimalText(module_.moduleRack) + "." +
           decimalText(module_.moduleSlot) + ".0." + realText(wordNumber);
}

void SvcFileDecoder::decodeDescriptionList(uint16_t word) {
    switch (subState_) {
        case 0:
            recordDevice_ = word;
            out_.write("  Device = " + byteText(word));
            out_.endLine();
            subState_ = 1;
            return;
        case 1:
            if (map_.mapTotal == 0) {
                entryNumber_ = 0;
                skippedMapIndexes_ = 0;
            }
            map_.mapTotal += word;
            printMapCount(word);
            subState_ = 2;
            return;
        case 2: {
            SvcMapEntry& entry = openMapEntry();
            entry.mapSourceNumber = recordDevice_;
            entry.mapPdrIndex = word;
            out_.write("  PDD Index = " + hexText(word));
            break;
        }
        case 3:
            entry_->mapSourceIndex = word;
            out_.write("  Data Direction = " + hexText(word >> 8) +
                       ", Data Type = " + hexText(word & 0xFF));
            break;
        case 4:
            entry_->mapDestination = word;
            out_.write("  Byte Position = " + hexText(word));
            break;
        case 5:
            entry_->mapDestinationIndex = word;
            out_.write("  Bit Position = " + decimalText(word >> 8) +
                       ", Length = " + decimalText(word & 0xFF));
            break;
        default:
            // A description carries no consistency of its own: 3 marks it in the PLC map.
            entry_->mapStartBit = 0;
            entry_->mapDataCons = 3;
            if (variant_.marksUnusedDescriptionExtension) {
                out_.write("  Extension,Length (not used) = " + hexText(word),
                           "  Extension,Length = " + hexText(word));
            } else {
                out_.write("  Extension,Length = " + hexText(word));
            }
            out_.endLine();
            subState_ = 2;
            return;
    }
    out_.endLine();
    ++subState_;
}

void SvcFileDecoder::decodeReferenceList(uint16_t word) {
    if (subState_ == 0) {
        map_.mapTotal += word;
        printMapCount(word);
        // A list that leaves the total at 0 starts the numbering again, so that the first
        // entry of a later list is row 1, the first row the writers read.
        if (map_.mapTotal == 0) {
            entryNumber_ = 0;
            skippedMapIndexes_ = 0;
        }
        subState_ = 1;
        return;
    }
    switch (entryKind_) {
        case MapEntryKind::None:
            openReferenceEntry(word);
            return;
        case MapEntryKind::Input:
            decodeInputEntryWord(word);
            break;
        case MapEntryKind::Output:
            decodeOutputEntryWord(word);
            break;
        case MapEntryKind::DirectLink:
            decodeDirectLinkEntryWord(word);
            break;
    }
    // An entry ends after its extension words: the extension length in bytes, halved, words
    // after the extension-length word, whose low byte holds the first extension byte. So a
    // length of 1 needs no further word.
    ++position_;
    if (position_ > entry_->mapExtensionLength / 2 + kExtensionLengthWord) {
        entryKind_ = MapEntryKind::None;
    }
}

bool SvcFileDecoder::mapEntryOpen() const {
    if (codeDigits_ == "0321") {
        return subState_ > 2;  // the PDD index word has opened an entry
    }
    return entryKind_ != MapEntryKind::None;
}

void SvcFileDecoder::openReferenceEntry(uint16_t pdrIndex) {
    if (pdrIndex >= 0x0001 && pdrIndex <= 0x3FFF) {
        entryKind_ = MapEntryKind::Input;
    } else if (pdrIndex >= 0x4000 && pdrIndex <= 0x7FFF) {
        entryKind_ = MapEntryKind::Output;
    } else if (pdrIndex >= 0x8000 && pdrIndex <= 0xBFFF) {
        entryKind_ = MapEntryKind::DirectLink;
    } else {
        entryKind_ = MapEntryKind::None;
    }
    // The row is the one this entry takes. A word of 0 or from 16#C000 on is no entry and keeps
    // no row: kept, it would stand in the PLC map as an entry, and one with PDR_Index 0 would
    // end the map there and hide every real entry after it.
    out_.write("  ----- MAP_PDR_Index = x" + hexText(pdrIndex));
    out_.writeListingOnly("  (MAP_Index = " + decimalText(entryNumber_ + skippedMapIndexes_ + 1) +
                          ") ");
    out_.pad();
    if (entryKind_ == MapEntryKind::None) {
        if (variant_.nonEntryPdrTakesMapIndex) {
            ++skippedMapIndexes_;
        }
        // The next word starts an entry again, on the same output line.
        return;
    }
    SvcMapEntry& entry = openMapEntry();
    entry.mapPdrIndex = pdrIndex;
    position_ = kFirstEntryWord;
    const std::string index = "PDR Index =  x" + hex4Text(pdrIndex);
    switch (entryKind_) {
        case MapEntryKind::Input:
            out_.write("(Input)\t" + index + " (Input)");
            break;
        case MapEntryKind::Output:
            out_.write("(Output)\t" + index + " (Output)");
            break;
        default:
            out_.write("(Direct_Link)\t" + index + " (Direct Link)",
                       "(Direct_Link)\t\t" + index + " (Direct Link)");
            break;
    }
    out_.endLine();
}

void SvcFileDecoder::decodeInputEntryWord(uint16_t word) {
    SvcMapEntry& entry = *entry_;
    switch (position_) {
        case 2:
            entry.mapSourceNumber = word;
            out_.write("     Source Device Number = " + decimalText(word) + "  x" + hexText(word) +
                       "\t\t" + "Device " + byteText(word));
            break;
        case 3:
            entry.mapSourceIndex = word;
            out_.write("     Source PDD Index = " + decimalText(word) + "  x" + hexText(word) +
                       "\t\t" + "(Input)");
            break;
        case 4: {
            entry.mapDestination = word;
            int length = 0;
            if (SvcDevice* device = devices_.findByNumberWord(entry.mapSourceNumber)) {
                device->inDestAddress = word;
                device->inPdrIndex = entry.mapPdrIndex;
                device->hasInputEntry = 1;
                length = device->lengthCode;
            }
            const double firstWord = (word - 512) / 2.0;
            out_.write("     Destination Address = " + decimalText(word) + "  x" + hexText(word) +
                       "\t\t" + "DPM Location = x" + hex4Text(word) + " - x" +
                       hex4Text(word + 2 * length - 2) + "\t" + plcWordText("%IW", firstWord) +
                       " - " + plcWordText("%IW", firstWord + length - 1));
            break;
        }
        case 5:
            decodeStartBitWord(word, "\t\t");
            return;
        case kExtensionLengthWord:
            decodeExtensionLengthWord(word, ExtensionForm::Input);
            return;
        default:
            decodeExtensionWord(word, ExtensionForm::Input);
            return;
    }
    out_.endLine();
}

void SvcFileDecoder::decodeOutputEntryWord(uint16_t word) {
    SvcMapEntry& entry = *entry_;
    switch (position_) {
        case 2:
            entry.mapSourceNumber = word;
            out_.write("     MAP_Source_Number = " + decimalText(word) + "  x" + hexText(word) +
                       "\t\t\t\t" + "DPM Location = x" + hex4Text(word));
            break;
        case 3:
            decodeStartBitWord(word, variant_.widerOutputStartBitGap ? "\t\t\t" : "\t\t");
            return;
        case 4: {
            entry.mapDestination = word;
            int length = 0;
            if (SvcDevice* device = devices_.findByNumberWord(word)) {
                device->outSourceAddress = entry.mapSourceNumber;
                device->outPdrIndex = entry.mapPdrIndex;
                device->hasOutputEntry = 1;
                length = device->lengthCode;
            }
            const int source = entry.mapSourceNumber;
            const double firstWord = source / 2.0;
            out_.write("     MAP_Destination_Number = " + decimalText(word) + "  x" +
                       hex4Text(word) + "\t\t\t" + "Device " + byteText(word) +
                       "  DPM Location = x" + hex4Text(source) + " - x" +
                       hex4Text(source + 2 * length - 2) + "\t" + plcWordText("%QW", firstWord) +
                       " - " + plcWordText("%QW", firstWord + length - 1));
            break;
        }
        case 5:
            entry.mapDestinationIndex = word;
            out_.write("     MAP_Destination_Index = " + hexText(word) + "  x" + hex4Text(word) +
                       (variant_.widerOutputDestinationIndexGap ? "\t\t\t" : "\t\t") + "(Output)");
            break;
        case kExtensionLengthWord:
            decodeExtensionLengthWord(word, ExtensionForm::Output);
            return;
        default:
            decodeExtensionWord(word, ExtensionForm::Output);
            return;
    }
    out_.endLine();
}

void SvcFileDecoder::decodeDirectLinkEntryWord(uint16_t word) {
    SvcMapEntry& entry = *entry_;
    const char* label = nullptr;
    switch (position_) {
        case 2:
            entry.mapSourceNumber = word;
            label = "     MAP_Source_Number = ";
            break;
        case 3:
            entry.mapSourceIndex = word;
            label = "     MAP_Source_Index = ";
            break;
        case 4:
            entry.mapDestination = word;
            label = "     MAP_Destination_Number = ";
            break;
        case 5:
            entry.mapDestinationIndex = word;
            label = "     MAP_Destination_Index = ";
            break;
        case kExtensionLengthWord:
            decodeExtensionLengthWord(word, variant_.directLinkExtensionOwnTexts
                                                ? ExtensionForm::DirectLink
                                                : ExtensionForm::Input);
            return;
        default:
            decodeExtensionWord(word, variant_.directLinkExtensionOwnTexts
                                          ? ExtensionForm::DirectLink
                                          : ExtensionForm::Input);
            return;
    }
    out_.write(label + decimalText(word) + "  x" + hexText(word));
    out_.endLine();
}

void SvcFileDecoder::decodeStartBitWord(uint16_t word, const char* gap) {
    const int hi = word >> 8;
    const int lo = word & 0xFF;
    entry_->mapStartBit = hi;
    entry_->mapDataCons = lo;
    out_.write("     MAP_Start_Bit = " + decimalText(hi) + "  DataCons = " + decimalText(lo) + gap +
               "(" + decimalText(consistencyBits(lo)) + " bit consistancy)");
    out_.endLine();
}

// An entry without extension bytes ends with this word.
void SvcFileDecoder::decodeExtensionLengthWord(uint16_t word, ExtensionForm form) {
    const int hi = word >> 8;
    const int lo = word & 0xFF;
    entry_->mapExtensionLength = hi;
    entry_->mapExtensionText = std::string(1, static_cast<char>(lo));
    const std::string lengthAndByte = decimalText(hi) + "  Extension = x" + hexText(lo);
    switch (form) {
        case ExtensionForm::Output:
            out_.write("     MAP_Extension_Length = x" + hexText(hi) + ", x" + hexText(lo));
            break;
        case ExtensionForm::Input:
            out_.write("     MAP_Extension = " + lengthAndByte,
                       (variant_.inputExtensionConsoleAsListing ? "     MAP_Extension = "
                                                                : "     MAP_Extension_Length = ") +
                           lengthAndByte);
            break;
        case ExtensionForm::DirectLink:
            out_.write("     MAP_Extension_Length = " + lengthAndByte);
            break;
    }
    out_.endLine();
    if (hi == 0) {
        entryKind_ = MapEntryKind::None;
    }
}

void SvcFileDecoder::decodeExtensionWord(uint16_t word, ExtensionForm form) {
    const int hi = word >> 8;
    const int lo = word & 0xFF;
    entry_->mapExtensionText += static_cast<char>(hi);
    entry_->mapExtensionText += static_cast<char>(lo);
    // Built piece by piece: GCC 12 warns falsely on a chain of + here (-Wrestrict).
    std::string bytes = "x";
    bytes += hexText(hi);
    bytes += ", x";
    bytes += hexText(lo);
    switch (form) {
        case ExtensionForm::Output:
            out_.write("     MAP_Extension = " + bytes);
            break;
        case ExtensionForm::Input:
            out_.write("     (else) Extension = " + bytes,
                       (variant_.inputExtensionConsoleAsListing ? "     (else) Extension = "
                                                                : "     Extension = ") +
                           bytes);
            break;
        case ExtensionForm::DirectLink:
            out_.write("     Extension = " + bytes);
            break;
    }
    out_.endLine();
}

}  // namespace svc
