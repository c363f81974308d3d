#include "modbus/reply_receivers.h"

#include <algorithm>
#include <cstring>

#include "modbus/crc16.h"
#include "modbus/modbus.h"

namespace {

// The digit's value, or -1 for a character that is not a hexadecimal digit.
int HexValue(uint8_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool KeptInAsciiFrame(uint8_t c) {
    return c == ':' || c == '\r' || c == '\n' || HexValue(c) >= 0;
}

uint16_t BigEndian16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

}  // namespace

// --- RTU ---

void RtuReceiver::Reset() {
    count_ = 0;
    searched_ = 0;
}

bool RtuReceiver::CanLead(uint8_t byte) const {
    const int32_t unit = awaitedUnit_.load(std::memory_order_relaxed);
    return unit <= 0 || byte == unit;
}

int32_t RtuReceiver::ValidReplyAt(int32_t at) const {
    const int32_t available = count_ - at;
    // ResponseLength reads three bytes past the unit.
    if (available < 4 || !CanLead(buffer_[at]))
        return 0;
    const uint8_t* frame = buffer_ + at;
    const int32_t expected = ModBus::ResponseLength(frame);
    if (expected <= 0 || available < expected + 2)
        return 0;
    const uint16_t crc = ModbusCrc16(frame, static_cast<size_t>(expected));
    if (frame[expected] != (crc & 0xFF) || frame[expected + 1] != (crc >> 8))
        return 0;
    return expected;
}

int32_t RtuReceiver::FindWholeReply(int32_t from) {
    // Candidates that are not whole yet can only start within the last kMaxFrame bytes; the
    // next search must look at them again, but at nothing before them.
    int32_t firstOpen = -1;
    for (int32_t at = std::max(from, searched_); at < count_; ++at) {
        if (!CanLead(buffer_[at]))
            continue;
        const int32_t available = count_ - at;
        if (available < 4) {
            if (firstOpen < 0)
                firstOpen = at;
            continue;
        }
        const int32_t expected = ModBus::ResponseLength(buffer_ + at);
        if (expected <= 0)
            continue;
        if (available < expected + 2) {
            if (firstOpen < 0)
                firstOpen = at;
            continue;
        }
        if (ValidReplyAt(at) > 0) {
            searched_ = at;
            return at;
        }
    }
    searched_ = firstOpen >= 0 ? firstOpen : count_;
    return -1;
}

void RtuReceiver::DropFront(int32_t count) {
    if (count <= 0)
        return;
    std::memmove(buffer_, buffer_ + count, static_cast<size_t>(count_ - count));
    count_ -= count;
    searched_ = std::max(searched_ - count, 0);
}

bool RtuReceiver::Receive(int32_t length, const uint8_t* bytes, ReplySink& sink) {
    if (length < 0 || length > kBufferSize - count_)
        return false;
    std::memcpy(buffer_ + count_, bytes, static_cast<size_t>(length));
    count_ += length;

    int32_t front = 0;  // the candidate now judged; everything before it goes
    while (front < count_) {
        if (!CanLead(buffer_[front])) {
            ++front;  // cannot begin the awaited reply: not worth waiting on
            continue;
        }
        const int32_t available = count_ - front;
        if (available >= 4) {
            const int32_t expected = ModBus::ResponseLength(buffer_ + front);
            if (expected <= 0) {
                ++front;
                continue;
            }
            if (available >= expected + 2) {
                if (ValidReplyAt(front) == 0) {
                    ++front;  // CRC mismatch: the reply may begin one byte on
                    continue;
                }
                const bool discard = sink.OnReply(0, expected, buffer_ + front);
                front += expected + 2;
                if (discard) {
                    // The reply let the next request go out: whatever is left predates it.
                    front = count_;
                    searched_ = 0;
                }
                continue;
            }
        }
        // The front candidate is not whole yet; it may be noise announcing a length that never
        // comes, so a whole reply further on is taken at once rather than left to time out.
        const int32_t found = FindWholeReply(front + 1);
        if (found < 0)
            break;
        front = found;
    }
    DropFront(front);
    return true;
}

// --- ASCII ---

void AsciiReceiver::Reset() {
    count_ = 0;
    searched_ = 0;
}

void AsciiReceiver::DropFront(int32_t count) {
    std::memmove(buffer_, buffer_ + count, static_cast<size_t>(count_ - count));
    count_ -= count;
    searched_ = 0;
}

bool AsciiReceiver::Receive(int32_t length, const uint8_t* bytes, ReplySink& sink) {
    if (length < 0)
        return false;
    const int32_t kept =
        static_cast<int32_t>(std::count_if(bytes, bytes + length, KeptInAsciiFrame));
    if (kept > kBufferSize - count_)
        return false;
    for (int32_t i = 0; i < length; ++i) {
        if (KeptInAsciiFrame(bytes[i]))
            buffer_[count_++] = bytes[i];
    }
    CutFrames(sink);
    return true;
}

void AsciiReceiver::CutFrames(ReplySink& sink) {
    while (count_ > 0) {
        if (buffer_[0] != ':') {
            const void* colon = std::memchr(buffer_, ':', static_cast<size_t>(count_));
            if (colon == nullptr) {
                Reset();
                return;
            }
            DropFront(static_cast<int32_t>(static_cast<const uint8_t*>(colon) - buffer_));
        }
        // Resume where the last search stopped; a CR at the very end may still meet its LF.
        int32_t cr = -1;
        for (int32_t i = searched_ > 1 ? searched_ - 1 : 1; i + 1 < count_; ++i) {
            if (buffer_[i] == '\r' && buffer_[i + 1] == '\n') {
                cr = i;
                break;
            }
        }
        if (cr < 0) {
            searched_ = count_;
            // A frame this long is no reply of ours, whatever still comes; keeping it would
            // only fill the buffer. A later ":" may have begun a reply.
            if (count_ - 1 >= kMaxFrameDigits) {
                int32_t colon = count_ - 1;
                while (colon > 0 && buffer_[colon] != ':')
                    --colon;
                if (colon > 0 && count_ - 1 - colon < kMaxFrameDigits) {
                    DropFront(colon);
                    searched_ = count_;
                } else {
                    Reset();
                }
            }
            return;
        }
        // A frame cut short by a new ":" is abandoned: the reply starts at the last one.
        int32_t colon = cr - 1;
        while (buffer_[colon] != ':')
            --colon;
        const bool discard = DispatchFrame(buffer_ + colon + 1, cr - colon - 1, sink);
        DropFront(cr + 2);
        if (discard) {
            // The reply let the next request go out: whatever is left predates it.
            Reset();
            return;
        }
    }
}

bool AsciiReceiver::DispatchFrame(const uint8_t* digits, int32_t count, ReplySink& sink) {
    // A reply needs at least the unit, the function code and the LRC, in whole digit pairs.
    if (count >= kMaxFrameDigits || count % 2 != 0 || count < 6)
        return false;
    uint8_t sum = 0;
    const int32_t byteCount = count / 2;
    for (int32_t i = 0; i < byteCount; ++i) {
        const int high = HexValue(digits[2 * i]);
        const int low = HexValue(digits[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;  // a lone CR or LF inside the frame: it cannot be trusted
        decoded_[i] = static_cast<uint8_t>(high << 4 | low);
        sum = static_cast<uint8_t>(sum + decoded_[i]);
    }
    if (sum != 0)
        return false;
    return sink.OnReply(0, byteCount - 1, decoded_);
}

// --- TCP ---

void TcpReceiver::Reset() {
    count_ = 0;
    skipCount_ = 0;
}

bool TcpReceiver::Receive(int32_t length, const uint8_t* bytes, ReplySink& sink) {
    while (length > 0) {
        if (skipCount_ > 0) {
            const int32_t skipped = std::min(skipCount_, length);
            skipCount_ -= skipped;
            bytes += skipped;
            length -= skipped;
            continue;
        }
        // Frames are cut as soon as they are whole, so a partial one always leaves room.
        const int32_t taken = std::min(length, kBufferSize - count_);
        if (taken == 0) {
            Reset();  // cannot happen with whole frames cut at once; never spin
            continue;
        }
        std::memcpy(buffer_ + count_, bytes, static_cast<size_t>(taken));
        count_ += taken;
        bytes += taken;
        length -= taken;
        if (CutFrames(sink)) {
            Reset();  // the rest predates the request that went out meanwhile
            return true;
        }
    }
    return true;
}

bool TcpReceiver::CutFrames(ReplySink& sink) {
    int32_t start = 0;
    while (count_ - start >= kHeaderSize) {
        const uint8_t* frame = buffer_ + start;
        const int32_t lengthField = BigEndian16(frame + 4);
        const int32_t frameLength = kHeaderSize + lengthField;
        if (frameLength > kBufferSize) {
            // It can never be whole here: throw it away as it comes, keep the link in step.
            skipCount_ = frameLength - (count_ - start);
            start = count_;
            break;
        }
        if (count_ - start < frameLength)
            break;
        start += frameLength;
        // A reply shorter than a unit and a function code carries nothing to match.
        if (BigEndian16(frame + 2) == 0 && lengthField >= 2 &&
            sink.OnReply(BigEndian16(frame), lengthField, frame + kHeaderSize)) {
            return true;
        }
    }
    if (start > 0) {
        std::memmove(buffer_, buffer_ + start, static_cast<size_t>(count_ - start));
        count_ -= start;
    }
    return false;
}
