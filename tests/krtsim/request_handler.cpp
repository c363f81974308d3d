#include "request_handler.h"

#include <sstream>

namespace krtsim {
namespace {

constexpr uint8_t kFileReferenceType = 6;

uint16_t word(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

uint32_t longWord(const std::vector<uint8_t>& bytes, size_t at) {
    return static_cast<uint32_t>(word(bytes, at)) << 16 | word(bytes, at + 2);
}

void putWord(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    bytes.push_back(static_cast<uint8_t>(value));
}

void putLongWord(std::vector<uint8_t>& bytes, uint32_t value) {
    putWord(bytes, static_cast<uint16_t>(value >> 16));
    putWord(bytes, static_cast<uint16_t>(value));
}

std::vector<uint16_t> words(const std::vector<uint8_t>& bytes, size_t at, size_t count) {
    std::vector<uint16_t> values;
    for (size_t i = 0; i < count && at + 2 * i + 1 < bytes.size(); ++i)
        values.push_back(word(bytes, at + 2 * i));
    return values;
}

std::string joined(const std::vector<uint16_t>& values) {
    std::ostringstream text;
    for (size_t i = 0; i < values.size(); ++i)
        text << (i ? "/" : "") << values[i];
    return text.str();
}

// A request whose fields do not fit its function code's layout.
struct Malformed {};

class Request {
  public:
    Request(KrtModule* module, const std::vector<uint8_t>& pdu) : module_(module), pdu_(pdu) {}

    HandledRequest run() {
        reply_.assign(pdu_.begin(), pdu_.begin() + 2);
        try {
            exception_ = dispatch();
        } catch (const Malformed&) {
            exception_ = kIllegalDataValue;
        }
        HandledRequest handled;
        handled.fields = fields_.str();
        handled.exception = exception_;
        handled.reply = exception_ ? exceptionReply(pdu_, exception_) : reply_;
        return handled;
    }

  private:
    bool executing() const { return module_ != nullptr; }

    void need(size_t length, bool exact = true) const {
        if (pdu_.size() < length || (exact && pdu_.size() != length))
            throw Malformed{};
    }

    uint8_t dispatch() {
        switch (pdu_[1]) {
            case 3:
                return readRegisters(true);
            case 4:
                return readRegisters(false);
            case 6:
                return writeRegister();
            case 16:
                return writeRegisters();
            case 20:
                return readFileRecord();
            case 21:
                return writeFileRecord();
            case kExtendedFunction:
                return extended();
            default:
                return kIllegalFunction;
        }
    }

    uint8_t readRegisters(bool holding) {
        need(6);
        int start = word(pdu_, 2), count = word(pdu_, 4);
        fields_ << "start=" << start << " count=" << count;
        if (!executing())
            return kNoException;
        std::vector<uint16_t> values;
        uint8_t refused = holding ? module_->readHolding(start, count, values)
                                  : module_->readInput(start, count, values);
        if (refused)
            return refused;
        reply_.push_back(static_cast<uint8_t>(2 * values.size()));
        for (uint16_t value : values)
            putWord(reply_, value);
        return kNoException;
    }

    uint8_t writeRegister() {
        need(6);
        int address = word(pdu_, 2);
        uint16_t value = word(pdu_, 4);
        fields_ << "addr=" << address << " value=" << value;
        if (!executing())
            return kNoException;
        if (uint8_t refused = module_->writeHolding(address, {value}))
            return refused;
        reply_ = pdu_;
        return kNoException;
    }

    uint8_t writeRegisters() {
        need(7, false);
        int start = word(pdu_, 2), count = word(pdu_, 4), byteCount = pdu_[6];
        auto values = words(pdu_, 7, count);
        fields_ << "start=" << start << " count=" << count << " values=" << joined(values);
        if (count < 1 || count > 123 || byteCount != 2 * count)
            throw Malformed{};
        need(7 + static_cast<size_t>(byteCount));
        if (!executing())
            return kNoException;
        if (uint8_t refused = module_->writeHolding(start, values))
            return refused;
        reply_.insert(reply_.end(), pdu_.begin() + 2, pdu_.begin() + 6);
        return kNoException;
    }

    uint8_t readFileRecord() {
        need(3, false);
        size_t byteCount = pdu_[2];
        if (byteCount < 7 || byteCount % 7 != 0)
            throw Malformed{};
        need(3 + byteCount);
        std::vector<uint8_t> data;
        for (size_t at = 3; at < pdu_.size(); at += 7) {
            int file = word(pdu_, at + 1), record = word(pdu_, at + 3), length = word(pdu_, at + 5);
            if (at == 3)
                fields_ << "file=" << file << " record=" << record << " length=" << length;
            if (pdu_[at] != kFileReferenceType)
                return kIllegalDataAddress;
            if (!executing())
                continue;
            std::vector<uint16_t> values;
            if (uint8_t refused = module_->readFile(file, record, length, values))
                return refused;
            data.push_back(static_cast<uint8_t>(1 + 2 * values.size()));
            data.push_back(kFileReferenceType);
            for (uint16_t value : values)
                putWord(data, value);
        }
        if (byteCount > 7)
            fields_ << " subrequests=" << byteCount / 7;
        if (data.size() > 250)
            return kIllegalDataValue;
        reply_.push_back(static_cast<uint8_t>(data.size()));
        reply_.insert(reply_.end(), data.begin(), data.end());
        return kNoException;
    }

    uint8_t writeFileRecord() {
        need(3, false);
        size_t byteCount = pdu_[2];
        need(3 + byteCount);
        int subRequests = 0;
        for (size_t at = 3; at < pdu_.size();) {
            if (at + 7 > pdu_.size())
                throw Malformed{};
            int file = word(pdu_, at + 1), record = word(pdu_, at + 3), length = word(pdu_, at + 5);
            if (at + 7 + 2 * static_cast<size_t>(length) > pdu_.size())
                throw Malformed{};
            auto values = words(pdu_, at + 7, length);
            if (subRequests++ == 0)
                fields_ << "file=" << file << " record=" << record << " length=" << length
                        << " values=" << joined(values);
            if (pdu_[at] != kFileReferenceType)
                return kIllegalDataAddress;
            if (executing())
                if (uint8_t refused = module_->writeFile(file, record, values))
                    return refused;
            at += 7 + 2 * static_cast<size_t>(length);
        }
        if (subRequests > 1)
            fields_ << " subrequests=" << subRequests;
        reply_ = pdu_;
        return kNoException;
    }

    uint8_t extended() {
        need(3, false);
        int sub = pdu_[2] & 0xF0, channel = pdu_[2] & 0x0F;
        fields_ << "sub=" << sub << " ch=" << channel;
        reply_.push_back(pdu_[2]);
        switch (sub) {
            case 0x00:
            case 0x40:
                need(3);
                return executing() ? module_->erase(channel, sub == 0x40) : uint8_t{kNoException};
            case 0x20:
            case 0x60:
                return extendedWrite(channel, sub == 0x60);
            case 0x30:
                return extendedRead(channel);
            case 0x10: {
                need(3);
                uint32_t bytes = 0;
                if (!executing())
                    return kNoException;
                if (uint8_t refused = module_->spaceSize(channel, bytes))
                    return refused;
                putLongWord(reply_, bytes);
                return kNoException;
            }
            case 0x70: {
                need(3);
                uint32_t bases[3] = {};
                if (!executing())
                    return kNoException;
                if (uint8_t refused = module_->blockBases(channel, bases))
                    return refused;
                for (uint32_t base : bases)
                    putLongWord(reply_, base);
                return kNoException;
            }
            default:
                return kIllegalFunction;
        }
    }

    uint8_t extendedWrite(int channel, bool ram) {
        need(8, false);
        uint32_t address = longWord(pdu_, 3);
        int count = pdu_[7];
        auto values = words(pdu_, 8, count);
        fields_ << " addr=" << address << " count=" << count << " values=" << joined(values);
        need(8 + 2 * static_cast<size_t>(count));
        return executing() ? module_->writeBlock(channel, ram, address, values)
                           : uint8_t{kNoException};
    }

    uint8_t extendedRead(int channel) {
        need(8);
        uint32_t address = longWord(pdu_, 3);
        int count = pdu_[7];
        fields_ << " addr=" << address << " count=" << count;
        if (!executing())
            return kNoException;
        std::vector<uint16_t> values;
        if (uint8_t refused = module_->readBlock(channel, address, count, values))
            return refused;
        reply_.push_back(static_cast<uint8_t>(values.size()));
        for (uint16_t value : values)
            putWord(reply_, value);
        return kNoException;
    }

    KrtModule* module_;
    const std::vector<uint8_t>& pdu_;
    std::vector<uint8_t> reply_;
    std::ostringstream fields_;
    uint8_t exception_ = kNoException;
};

}  // namespace

int requestFunctionCode(const std::vector<uint8_t>& pdu) {
    return pdu.size() >= 2 ? pdu[1] : -1;
}

int requestSubCommand(const std::vector<uint8_t>& pdu) {
    return pdu.size() >= 3 && pdu[1] == kExtendedFunction ? pdu[2] & 0xF0 : -1;
}

std::vector<uint8_t> exceptionReply(const std::vector<uint8_t>& pdu, uint8_t code) {
    return {pdu[0], static_cast<uint8_t>(pdu[1] | 0x80), code};
}

std::string describeRequest(const std::vector<uint8_t>& pdu) {
    if (pdu.size() < 2)
        return "";
    return Request(nullptr, pdu).run().fields;
}

HandledRequest handleRequest(KrtModule& module, const std::vector<uint8_t>& pdu) {
    if (pdu.size() < 2)
        return {};
    return Request(&module, pdu).run();
}

}  // namespace krtsim
