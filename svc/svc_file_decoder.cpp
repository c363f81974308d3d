#include "svc/svc_file_decoder.h"

#include "svc/svc_number_text.h"
#include "svc/svc_tables.h"

namespace svc {

SvcFileDecoder::SvcFileDecoder(SvcListingOutput& out, SvcModuleContext module,
                               SvcDeviceTable& devices, SvcMapTable& map, SvcDecoderVariant variant)
    : out_(out), module_(module), variant_(variant), devices_(devices), map_(map) {}

void SvcFileDecoder::decodeLine(std::string_view line) {
    ++lineNumber_;
    out_.write(line);
    out_.pad();
    const bool recordWasOpen = reader_.inRecord();
    const SvcLineEvent event = reader_.feed(line);
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
            endRecord(recordWasOpen);
            out_.endLine();
            break;
        case SvcStep::RecordStart:
            endRecord(recordWasOpen);
            if (truncation_) {
                truncation_->lastRecord = false;
            }
            recordLine_ = lineNumber_;
            out_.endLine();
            break;
        case SvcStep::ServiceCode:
            ++servicesRead_;
            codeDigits_ = event.digits;
            // Nothing of the record before counts for this one until its word count is read.
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
            // Only echoed: the next echo goes on along the same output line.
            break;
    }
}

std::optional<SvcTruncation> SvcFileDecoder::openRecordTruncation(bool recordOpen) const {
    if (!recordOpen || dataWordsRead_ >= wordCount_ || !entryOpen()) {
        return std::nullopt;
    }
    return SvcTruncation{dataWordsRead_, wordCount_, recordLine_, true};
}

// At the line that ends the record: the record's own counters still stand.
void SvcFileDecoder::endRecord(bool recordWasOpen) {
    if (!truncation_) {
        truncation_ = openRecordTruncation(recordWasOpen);
    }
}

std::optional<SvcTruncation> SvcFileDecoder::truncation() const {
    return truncation_ ? truncation_ : openRecordTruncation(reader_.inRecord());
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
    std::string line;
    while (std::getline(input, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        decoder.decodeLine(line);
    }
    out.finishListing();
    return !input.bad();
}

}  // namespace svc
