#pragma once

#include <atomic>
#include <cstdint>

// The receivers of the three framings: each cuts whole replies out of the bytes a stream
// delivers, on the stream's I/O thread, and hands them to a ReplySink (the framing, which
// passes them on to the core). They hold no stream and start no thread, so they can be fed
// bytes directly.

class ReplySink {
  public:
    // One whole reply, unit byte first, check bytes removed. Returns true when the bytes the
    // receiver still holds predate the next request (it went out meanwhile) and must go.
    virtual bool OnReply(int32_t tag, int32_t length, const uint8_t* pdu) = 0;

  protected:
    ~ReplySink() = default;
};

// Modbus RTU: a reply is a run of bytes whose expected length (ModBus::ResponseLength) and
// CRC-16 agree. Line noise before a reply (a turnaround glitch on RS-485) must not cost the
// reply: bytes that cannot start the awaited reply are dropped at once, a candidate whose CRC
// fails loses one byte, and a candidate still waiting for bytes that may never come does not
// hide a whole, CRC-valid reply already buffered behind it.
class RtuReceiver {
  public:
    static constexpr int32_t kBufferSize = 65536;
    // The longest reply ResponseLength can announce (a block read of 255 words), with its CRC.
    static constexpr int32_t kMaxFrame = 2 * 255 + 4 + 2;

    // The unit byte of the request now on the wire, 0 to 255; the reply must begin with it. A
    // request to unit 0 (broadcast) may be answered under any unit. Called by SendFrame before
    // the request goes out; until the first call any unit is taken.
    void Await(uint8_t unit) { awaitedUnit_.store(unit, std::memory_order_relaxed); }
    // Takes one chunk and hands every whole reply in it to the sink. False when the chunk was
    // dropped because the buffer had no room for it.
    bool Receive(int32_t length, const uint8_t* bytes, ReplySink& sink);
    void Reset();
    int32_t Buffered() const { return count_; }
    // True, while the sink handles a reply (OnReply's `pdu`, `length`), when no byte was
    // received after it.
    bool EndsInput(const uint8_t* pdu, int32_t length) const {
        return pdu + length + 2 == buffer_ + count_;
    }

  private:
    bool CanLead(uint8_t byte) const;
    // Length of the reply that starts at `at` when it is whole and its CRC agrees, else 0.
    int32_t ValidReplyAt(int32_t at) const;
    // The first position from `from` on where a whole, CRC-valid reply starts, or -1.
    int32_t FindWholeReply(int32_t from);
    void DropFront(int32_t count);

    uint8_t buffer_[kBufferSize] = {};
    int32_t count_ = 0;
    // Positions below this one (past the front candidate) hold no whole reply, and never
    // will: the look-ahead resumes here instead of searching the buffer again.
    int32_t searched_ = 0;
    std::atomic<int32_t> awaitedUnit_{-1};
};

// Modbus ASCII: ":" then hexadecimal digit pairs ending with the LRC, then CR LF.
class AsciiReceiver {
  public:
    static constexpr int32_t kBufferSize = 65536;
    // A frame of this many digits or more is never a reply of ours.
    static constexpr int32_t kMaxFrameDigits = 16384;

    // Takes one chunk: only ":", CR, LF and hexadecimal digits are kept, so a space or a NUL
    // from the line does not spoil a frame. False when what was kept had no room.
    bool Receive(int32_t length, const uint8_t* bytes, ReplySink& sink);
    void Reset();
    int32_t Buffered() const { return count_; }

  private:
    void CutFrames(ReplySink& sink);
    // True when the sink asked for the rest of the buffer to go.
    bool DispatchFrame(const uint8_t* digits, int32_t count, ReplySink& sink);
    void DropFront(int32_t count);

    uint8_t buffer_[kBufferSize] = {};
    int32_t count_ = 0;
    // Characters from the front of the buffer already searched for CR LF.
    int32_t searched_ = 0;
    uint8_t decoded_[kMaxFrameDigits / 2] = {};
};

// Modbus/TCP: an MBAP header (transaction, protocol 0, length) and the PDU; replies are tagged
// with their transaction identifier.
class TcpReceiver {
  public:
    static constexpr int32_t kBufferSize = 65536;
    static constexpr int32_t kHeaderSize = 6;

    // Takes one chunk and hands every whole reply to the sink. Always true: a frame too long
    // for the buffer is skipped as it arrives.
    bool Receive(int32_t length, const uint8_t* bytes, ReplySink& sink);
    void Reset();
    int32_t Buffered() const { return count_; }

  private:
    // True when the sink asked for the rest of the buffer to go.
    bool CutFrames(ReplySink& sink);

    uint8_t buffer_[kBufferSize] = {};
    int32_t count_ = 0;
    // Bytes still to come of a frame too long for the buffer, thrown away as they arrive.
    int32_t skipCount_ = 0;
};
