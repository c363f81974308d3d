// Load_Configuration (0307) and Load_CRL_Attributes_Loc (0264): the device table.

#include <algorithm>

#include "svc/svc_file_decoder.h"
#include "svc/svc_number_text.h"

namespace svc {
namespace {

// Word kinds of a configuration entry, named by the attribute they carry.
enum EntryWordKind {
    kNoKind = 0,
    kDeviceNumber = 1,
    kDeviceCode = 2,
    kDeviceLevel = 4,
    kLogicalGroup = 5,
    kErrorCharacteristic = 6,
    kAdditionalInformation = 15,
};

struct AttributeBit {
    int bit;
    EntryWordKind kind;  // kNoKind: the bit adds words of its own kind only after the others
    const char* line;
};

constexpr AttributeBit kUsedAttributes[] = {
    {0, kDeviceNumber, "                   bit 0 - Device Number Present"},
    {1, kDeviceCode, "                   bit 1 - Device Code Present"},
    {3, kDeviceLevel, "                   bit 3 - Device Level Present"},
    {4, kLogicalGroup, "                   bit 4 - Logical Group Number Present"},
    {5, kErrorCharacteristic, "                   bit 5 - Error Characteristic Present"},
    {14, kNoKind, "                   bit 14 - Additional Device Information Present"},
};

constexpr const char* kLengthUnits[] = {"Word", "Nibble", "Byte", "Bit"};

// PCP length code by bits 1-0 of the ID code: 00 gives 2, 01 gives 4, 10 gives 0, 11 gives 1.
constexpr int kPcpLengths[] = {2, 4, 0, 1};

struct CrlAttribute {
    int code;
    int valueWords;
    const char* name;
};

constexpr CrlAttribute kCrlAttributes[] = {
    {2, 1, "(Remote Address)"},
    {14, 1, "(Max PDU Sending Low)"},
    {16, 1, "(Max PDU Receiving Low)"},
    {11, 2, "(ACI timeout)"},
    {17, 3, "(Services Supported - Client and Server)"},
    {18, 1, "(Services Supported - Client byte 0)"},
    {19, 1, "(Services Supported - Client byte 1)"},
    {20, 1, "(Services Supported - Client byte 2)"},
    {21, 1, "(Services Supported - Server byte 0)"},
    {22, 1, "(Services Supported - Server byte 1)"},
    {23, 1, "(Services Supported - Server byte 2)"},
};

struct ServiceBit {
    int code;
    int mask;
    const char* line;
};

// Service bits are numbered from the most significant bit of the first byte.
constexpr ServiceBit kServiceBits[] = {
    {18, 0x80, "                      bit 0 - (Client - Get_OD)"},
    {18, 0x10, "                      bit 3 - (Client - Download Sequence)"},
    {18, 0x08, "                      bit 4 - (Client - Upload Sequence)"},
    {18, 0x02, "                      bit 6 - (Client - Request Domain Update)"},
    {19, 0x80, "                      bit 8 - (Client - Start,Stop,Reset,Resume)"},
    {19, 0x20, "                      bit 10 - (Client - Read)"},
    {19, 0x10, "                      bit 11 - (Client - Write)"},
    {20, 0x80, "                      bit 16 - (Client - Information Report)"},
    {20, 0x01, "                      bit 23 - (Client - Write/Read with Name)"},
    {21, 0x80, "                      bit 24 - (Server - Get_OD)"},
    {21, 0x10, "                      bit 27 - (Server - Download Sequence)"},
    {21, 0x08, "                      bit 28 - (Server - Upload Sequence)"},
    {21, 0x02, "                      bit 30 - (Server - Request Domain Update)"},
    {22, 0x80, "                      bit 32 - (Server - Start,Stop,Reset,Resume)"},
    {22, 0x20, "                      bit 34 - (Server - Read)"},
    {22, 0x10, "                      bit 35 - (Server - Write)"},
    {23, 0x80, "                      bit 40 - (Server - Information Report)"},
    {23, 0x01, "                      bit 47 - (Server - Write/Read with Name)"},
};

// Sub-states of Load_Configuration.
enum ConfigurationStep {
    kUsedAttributesWord,
    kStartEntryWord,
    kEntryCountWord,
    kEntryWords,
    kNoEntries
};

}  // namespace

void SvcFileDecoder::decodeLoadConfiguration(uint16_t word) {
    switch (subState_) {
        case kUsedAttributesWord:
            usedAttributes_ = word;
            out_.write("  Used Atributes:");
            out_.endLine();
            for (const AttributeBit& attribute : kUsedAttributes) {
                if (word & (1u << attribute.bit)) {
                    out_.write(attribute.line);
                    out_.endLine();
                }
            }
            subState_ = kStartEntryWord;
            break;
        case kStartEntryWord:
            startEntry_ = word;
            out_.write("  Start Entry Number = " + decimalText(word));
            out_.endLine();
            subState_ = kEntryCountWord;
            break;
        case kEntryCountWord: {
            const bool hasEntries = buildEntryLayout(word);
            out_.write("  Entry Count = " + decimalText(word) +
                       "   vwordcount = " + decimalText(wordsPerEntry_));
            out_.endLine();
            subState_ = hasEntries ? kEntryWords : kNoEntries;
            break;
        }
        case kEntryWords:
            decodeEntryWord(word);
            break;
        default:
            break;  // a record without entries: its words are only echoed
    }
}

// The announced word count less the three header words, shared out over the entries. A count
// of entries of 0, or a word count too small for any entry word, leaves the record without
// entries; so does, where the layout carries over, an entry too wide for the layout.
bool SvcFileDecoder::buildEntryLayout(uint16_t entryCount) {
    wordsPerEntry_ = 0;
    if (entryCount != 0 && wordCount_ > 3) {
        wordsPerEntry_ = static_cast<int>(
            roundHalfEven(static_cast<double>(wordCount_ - 3) / static_cast<double>(entryCount)));
    }
    // Additional information reaches the place after the entry when the layout carries over.
    const int placesClaimed = wordsPerEntry_ + (variant_.entryLayoutCarriesOver ? 1 : 0);
    if (wordsPerEntry_ <= 0 ||
        (variant_.entryLayoutCarriesOver && placesClaimed > maxLayoutWords)) {
        return false;
    }
    if (!variant_.entryLayoutCarriesOver) {
        layout_.fill(kNoKind);
    }
    int place = 0;
    for (const AttributeBit& attribute : kUsedAttributes) {
        if (attribute.kind != kNoKind && (usedAttributes_ & (1u << attribute.bit))) {
            layout_[static_cast<std::size_t>(place++)] = attribute.kind;
        }
    }
    if (usedAttributes_ & (1u << 14)) {
        const int end = std::min(placesClaimed, maxLayoutWords);
        for (; place < end; ++place) {
            layout_[static_cast<std::size_t>(place)] = kAdditionalInformation;
        }
    }
    deviceRow_ = startEntry_ - 1;
    position_ = 0;
    return true;
}

bool SvcFileDecoder::configurationEntryOpen() const {
    return subState_ == kEntryWords && position_ != 0;
}

bool SvcFileDecoder::crlEntryOpen() const {
    return subState_ == 3;  // value words of a reference still to come
}

void SvcFileDecoder::decodeEntryWord(uint16_t word) {
    const int kind = position_ < maxLayoutWords ? layout_[static_cast<std::size_t>(position_)] : 0;
    if (++position_ == wordsPerEntry_) {
        position_ = 0;  // the next word starts a new entry
    }
    const int hi = word >> 8;
    const int lo = word & 0xFF;
    SvcDevice* stored = devices_.row(deviceRow_);
    switch (kind) {
        case kDeviceNumber: {
            ++deviceRow_;
            stored = devices_.row(deviceRow_);
            ++devices_.devicesListed;
            if (stored != nullptr) {
                devices_.deviceCount = static_cast<int>(deviceRow_);
            } else {
                ++devices_.devicesNotStored;
                discardedDevice_ = SvcDevice{};
            }
            SvcDevice& device = stored != nullptr ? *stored : discardedDevice_;
            device.devNumberWord = word;
            device.busSegment = hi;
            device.busPosition = lo;
            out_.write("    --- Bus_Segment_Number = " + decimalText(hi) +
                       "  Position = " + decimalText(lo) + " Devicenumber(" +
                       decimalText(deviceRow_) + ") = x" + hexText(word));
            out_.endLine();
            break;
        }
        case kDeviceCode:
            decodeDeviceCode(stored != nullptr ? *stored : discardedDevice_,
                             stored != nullptr ? deviceRow_ : 0, word);
            break;
        case kDeviceLevel:
            (stored != nullptr ? *stored : discardedDevice_).deviceLevel = word;
            out_.write("              Device_Level = " + decimalText(word));
            out_.endLine();
            break;
        case kLogicalGroup: {
            SvcDevice& device = stored != nullptr ? *stored : discardedDevice_;
            device.logicalGroup = hi;
            device.alternative = lo;
            out_.write("             Logical_Group = " + decimalText(hi) +
                       "   Alternative = " + decimalText(lo));
            out_.endLine();
            break;
        }
        case kErrorCharacteristic:
            (stored != nullptr ? *stored : discardedDevice_).errorCharacteristic = word;
            out_.write("      Error_Characteristic = " + decimalText(word));
            out_.endLine();
            break;
        default:
            break;  // additional device information, or a place without a kind: only echoed
    }
}

// `row` is 0 when the device is not stored, so that no PCP node points at it.
void SvcFileDecoder::decodeDeviceCode(SvcDevice& device, long long row, uint16_t word) {
    const int hi = word >> 8;
    const int lo = word & 0xFF;
    device.lengthCode = hi;
    device.idCode = lo;
    device.lengthUnitText = kLengthUnits[hi >> 6];
    device.stationClass = static_cast<int>(roundHalfEven(lo / 16.0));
    device.hasInput = 0;
    device.hasOutput = 0;
    if ((lo & 0xC0) == 0xC0) {
        device.pcpFlag = 1;
        device.hasInput = 1;
        device.hasOutput = 1;
        device.directionText = "Input+Output";
        if ((lo & 0x03) != 2 || !variant_.pcpLengthKeptForIdBits10) {
            device.pcpLength = kPcpLengths[lo & 0x03];
        }
        device.pcpNode = ++pcpNodeCounter_;
        if (pcpNodeCounter_ > SvcDeviceTable::maxPcpNode) {
            ++devices_.pcpNodesNotStored;
        } else if (row != 0) {
            devices_.pcpNodeDevice[static_cast<std::size_t>(pcpNodeCounter_)] =
                static_cast<int>(row);
        }
    } else {
        device.pcpFlag = 0;
        device.pcpLength = 0;
        switch (lo & 0x03) {
            case 0:
                device.directionText = "Bus Term";
                break;
            case 2:
                device.hasInput = 1;
                device.directionText = "Input";
                break;
            case 1:
                device.hasOutput = 1;
                device.directionText = "Output";
                break;
            default:
                device.hasInput = 1;
                device.hasOutput = 1;
                device.directionText = "Input+Output";
                break;
        }
    }
    out_.write("               length_code = x" + hexText(hi) + " (" + device.lengthUnitText + " " +
               decimalText(hi & 0x3F) + ") " + "   ID_Code = " + decimalText(lo) +
               "  StationClass = " + decimalText(device.stationClass) + "  (" +
               device.directionText + ")   PCP_true = " + decimalText(device.pcpFlag) +
               "   PCP_Node = " + decimalText(device.pcpNode) +
               "   PCP_Length = " + decimalText(device.pcpLength));
    out_.endLine();
}

void SvcFileDecoder::decodeCrlAttributes(uint16_t word) {
    switch (subState_) {
        case 0: {
            attributeCode_ = word;
            const char* name = "(unknown)";
            for (const CrlAttribute& attribute : kCrlAttributes) {
                if (attribute.code == word) {
                    name = attribute.name;
                    attributeValueWords_ = attribute.valueWords;
                }
            }
            out_.write("  Attribute Code = x" + hexText(word));
            out_.pad();
            out_.write(name);
            out_.endLine();
            subState_ = 1;
            break;
        }
        case 1:
            out_.write("  Entry Count = " + decimalText(word));
            out_.endLine();
            subState_ = 2;
            break;
        case 2:
            out_.write("  Communication Reference = " + decimalText(word));
            out_.endLine();
            crlDeviceRow_ = 0;
            if (word <= SvcDeviceTable::maxPcpNode) {
                crlDeviceRow_ = devices_.pcpNodeDevice[static_cast<std::size_t>(word)];
            } else {
                ++devices_.referencesNotStored;
            }
            attributeValueCounter_ = 0;
            subState_ = 3;
            break;
        default:
            storeCrlAttributeValue(word);
            break;
    }
}

void SvcFileDecoder::storeCrlAttributeValue(uint16_t word) {
    out_.write("     Attribute Value = x" + hexText(word));
    out_.pad();
    out_.endLine();
    if (SvcDevice* device = devices_.row(crlDeviceRow_)) {
        switch (attributeCode_) {
            case 2:
                device->pcpRemoteAddress = word;
                break;
            case 14:
                device->pcpMaxPduSending = word;
                break;
            case 16:
                device->pcpMaxPduReceiving = word;
                break;
            case 18:
            case 21:
                device->pcpServices[0] = word;
                break;
            case 19:
            case 22:
                device->pcpServices[1] = word;
                break;
            case 20:
            case 23:
                device->pcpServices[2] = word;
                break;
            default:
                break;
        }
    }
    for (const ServiceBit& bit : kServiceBits) {
        if (bit.code == attributeCode_ && (word & bit.mask)) {
            out_.write(bit.line);
            out_.endLine();
        }
    }
    if (++attributeValueCounter_ >= attributeValueWords_) {
        subState_ = 2;  // the next word names the next communication reference
    }
}

}  // namespace svc
