#include "svc/svc_file_decoder.h"

#include "svc/svc_number_text.h"
#include "svc/svc_tables.h"

namespace svc {

SvcFileDecoder::SvcFileDecoder(SvcListingOutput& out, SvcModuleContext module,
                               SvcDeviceTable& devices, SvcMapTable& map, SvcDecoderVariant variant)
    : out_(out), module_(module), variant_(variant), devices_(devices), map_(map) {}

void SvcFileDecoder::decodeLine(std::string_view line) {
    ++lineNumber_;
    const bool recordWasOpen = reader_.inRecord();
    const SvcLineEvent event = reader_.feed(line);
    // A record ends before the line that ends it is echoed, so that what is said about it
    // stands right after its last word.
    if (recordWasOpen && (event.step == SvcStep::Separator || event.step == SvcStep::RecordStart)) {
        endRecord();
    }
    out_.write(line);
    out_.pad();
    switch (event.step) {
        case SvcStep::ServiceCode:
        case SvcStep::WordCount:
        case SvcStep::DataWord:
            if (!malformedLine_ && !isWellFormedWordLine(line)) {
                malformedLine_ = SvcMalformedLine{lineNumber_};
            }
            break;
        default:
            break;
    }
    switch (event.step) {
        case SvcStep::Separator:
            out_.endLine();
            break;
        case SvcStep::RecordStart:
            if (countMismatch_) {
                countMismatch_->lastRecord = false;
            }
            recordStarted_ = true;
            recordLine_ = lineNumber_;
            out_.endLine();
            break;
        case SvcStep::ServiceCode:
            ++servicesRead_;
            codeDigits_ = event.digits;
            serviceCode_ = event.value;
            // Nothing of the record before counts for this one until its word count is read.
            wordCountRead_ = false;
            wordCount_ = 0;
            dataWordsRead_ = 0;
            out_.write("Command = " + event.digits);
            out_.pad();
            out_.write(svcServiceName(event.value));
            out_.endLine();
            break;
        case SvcStep::WordCount:
            startRecordWords(event.value);
            out_.write("Word Count = " + decimalText(event.value));
            out_.endLine();
            break;
        case SvcStep::DataWord:
            dataWordsRead_ = event.dataWordNumber;
            decodeDataWord(event);
            break;
        case SvcStep::StrayWord:
            if (recordStarted_ && !strayWord_) {
                strayWord_ = SvcStrayWord{lineNumber_};
            }
            // Only echoed: the next echo goes on along the same output line.
            break;
    }
}

void SvcFileDecoder::finish() {
    if (reader_.inRecord()) {
        endRecord();
    }
}

// The services whose words build the tables, or that the load code follows: a word too many or
// too few there changes what the PLC is given.
bool SvcFileDecoder::refusesCountMismatch() const {
    static constexpr std::string_view kCheckedServices[] = {"0306", "0307", "0321",
                                                            "0325", "0264", "0711"};
    for (std::string_view checked : kCheckedServices) {
        if (codeDigits_ == checked) {
            return true;
        }
    }
    return svcServiceIndex(serviceCode_) == 0 || (dataWordsRead_ < wordCount_ && entryOpen());
}

// At the line that ends the record: the record's own counters still stand.
void SvcFileDecoder::endRecord() {
    if (!wordCountRead_) {
        return;  // a record head without its count announces nothing to compare with
    }
    wordCountRead_ = false;
    if (dataWordsRead_ == wordCount_) {
        return;
    }
    if (refusesCountMismatch()) {
        if (!countMismatch_) {
            countMismatch_ =
                SvcCountMismatch{dataWordsRead_, wordCount_,  recordLine_,
                                 true,           codeDigits_, svcServiceIndex(serviceCode_) != 0};
        }
        return;
    }
    std::string warning = "WARNING: the record at line ";
    warning += decimalText(recordLine_);
    warning += " (";
    warning += svcServiceName(serviceCode_);
    warning += ") has ";
    warning += decimalText(dataWordsRead_);
    warning += " data words for a word count of ";
    warning += decimalText(wordCount_);
    out_.endOpenLine();
    out_.write(warning);
    out_.endLine();
    countWarnings_.push_back(std::move(warning));
}

bool SvcFileDecoder::entryOpen() const {
    if (codeDigits_ == "0750") {
        return subState_ != 0 && pendingValueWords_ > 0;
    }
    if (codeDigits_ == "0321" || codeDigits_ == "0325") {
        return mapEntryOpen();
    }
    if (codeDigits_ == "0307") {
        return configurationEntryOpen();
    }
    if (codeDigits_ == "0264") {
        return crlEntryOpen();
    }
    return false;
}

void SvcFileDecoder::startRecordWords(uint16_t wordCount) {
    wordCountRead_ = true;
    wordCount_ = wordCount;
    dataWordsRead_ = 0;
    subState_ = 0;
    position_ = 0;
    pendingValueWords_ = 0;
    longValue_ = 0;
    entryKind_ = MapEntryKind::None;
    entry_ = nullptr;
}

// Services are told apart by the code's digits as written; every decoded code is digits only.
void SvcFileDecoder::decodeDataWord(const SvcLineEvent& word) {
    if (codeDigits_ == "0750") {
        decodeSetValue(word);
    } else if (codeDigits_ == "0321") {
        decodeDescriptionList(word.value);
    } else if (codeDigits_ == "0325") {
        decodeReferenceList(word.value);
    } else if (codeDigits_ == "0307") {
        decodeLoadConfiguration(word.value);
    } else if (codeDigits_ == "0264") {
        decodeCrlAttributes(word.value);
    } else if (codeDigits_ == "0711") {
        decodeActivateConfiguration(word.value, word.dataWordNumber);
    } else if (codeDigits_ == "0306") {
        decodeInitiateLoadConfiguration(word.value);
    } else if (codeDigits_ == "0152") {
        decodeSetIndication(word.value);
    } else {
        decodeAnyOtherWord(word.value, word.dataWordNumber);
    }
}

// The service code and the word count are words 1 and 2 of a record, so data word n is n + 2.
void SvcFileDecoder::decodeAnyOtherWord(uint16_t word, int number) {
    out_.write("data[" + decimalText(number + 2) + "] = " + decimalText(word));
    out_.endLine();
}

void SvcFileDecoder::decodeSetValue(const SvcLineEvent& word) {
    if (subState_ == 0) {
        out_.write("  Variable Count = " + decimalText(word.value));
        out_.endLine();
        // A count of 0 announces nothing: the next word is again a count.
        if (word.value != 0 || !variant_.zeroVariableCountRepeats) {
            subState_ = 1;
        }
        return;
    }
    if (pendingValueWords_ == 0) {
        pendingValueWords_ = (word.value >> 8) & 0x0F;
        longValue_ = 0;
        out_.write("  Variable ID = " + word.digits +
                   "  Varible Word Count = " + decimalText(pendingValueWords_));
        out_.pad();
        out_.write(svcParameterName(word.value));
        out_.endLine();
        return;
    }
    longValue_ = (longValue_ << 16) | word.value;
    --pendingValueWords_;
    out_.write("    data[" + decimalText(word.dataWordNumber + 2) +
               "] = " + decimalText(word.value));
    out_.pad();
    if (pendingValueWords_ == 0) {
        out_.write(" longdata = " + decimalText(static_cast<int32_t>(longValue_)));
    }
    out_.endLine();
}

void SvcFileDecoder::decodeActivateConfiguration(uint16_t word, int number) {
    if (number == 1) {
        out_.write("  Frame = " + decimalText(word));
        out_.endLine();
    }
}

void SvcFileDecoder::decodeInitiateLoadConfiguration(uint16_t word) {
    switch (subState_) {
        case 0:
            out_.write("  New Config = " + decimalText(word));
            break;
        case 1:
            out_.write("  Frame Reference = " + decimalText(word));
            break;
        case 2:
            out_.write("  Device Count = " + decimalText(word));
            break;
        default:
            out_.write("  Extension Length = " + decimalText(word >> 8) +
                       "    Extension = " + decimalText(word & 0xFF));
            break;
    }
    out_.endLine();
    if (subState_ < 3) {
        ++subState_;
    }
}

void SvcFileDecoder::decodeSetIndication(uint16_t word) {
    static constexpr const char* kDistributionBits[] = {
        "                   bit 0 - Front Panel Display",
        "                   bit 1 - SSGI",
        "                   bit 2 - MXI",
        "                   bit 3 - Diag. Interface",
        "                   bit 4 - MPM0",
        "                   bit 5 - MPM1",
        "                   bit 6 - MPM2",
        "                   bit 7 - MPM3",
    };
    switch (subState_) {
        case 0:
            out_.write("  Indication Ability = " + decimalText(word) +
                       (word == 1 ? " (Enable)" : " (Disable)"));
            out_.endLine();
            break;
        case 1:
            out_.write("  Distribution = x" + hexText(word));
            out_.endLine();
            for (int bit = 0; bit < 8; ++bit) {
                if (word & (1u << bit)) {
                    out_.write(kDistributionBits[bit]);
                    out_.endLine();
                }
            }
            break;
        case 2:
            out_.write("  Indication_Code = " + hexText(word));
            out_.pad();
            out_.write(svcServiceName(word));
            out_.endLine();
            break;
        default:
            return;  // later words are only echoed
    }
    ++subState_;
}

bool decodeSvcLines(std::istream& input, SvcFileDecoder& decoder, SvcListingOutput& out) {
    SvcLineSource lines(input);
    std::string line;
    while (lines.next(line)) {
        decoder.decodeLine(line);
    }
    decoder.finish();
    out.finishListing();
    return !input.bad();
}

}  // namespace svc
