#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "modbus/completion_event.h"
#include "modbus/modbus_status.h"

// A PDU is the unit byte, the function code and its data: the unit always leads,
// on every framing, in requests and replies alike.
inline constexpr int32_t kModbusMaxPdu = 256;

// One request record. While queued, `deadline` holds the time-out in ms; once sent
// it holds the tick count at which the request expires. The count is 64 bits wide: a
// time-out of 2^31 ms or more would otherwise look expired the moment it was sent.
struct ModbusTransaction {
    uint64_t deadline = 0;
    CompletionEvent* event = nullptr;  // set when the request completes; may be null
    int32_t status = 0;
    int32_t tag = 0;    // SendFrame's result: the TCP transaction id, 0 on serial lines
    int32_t count = 0;  // values stored in resultBuffer
    void* resultBuffer = nullptr;
    uint8_t noResponse = 0;
    int32_t pduLength = 0;
    uint16_t unit = 0;
    uint8_t pdu[kModbusMaxPdu + 2] = {};
    ModbusTransaction* next = nullptr;
    ModbusTransaction* prev = nullptr;
    // Room in resultBuffer, in bytes: a reply never stores more than this.
    size_t resultBytes = 0;
    // The value QueueRequest handed out for this record.
    int32_t reference = 0;
};

// The transport-independent Modbus master: a pool of request records, one request
// on the wire at a time, replies matched by tag and decoded into the caller's
// buffer, unanswered requests expired. A framing derives from a byte stream and
// from this class; it overrides the virtual slots, calls ProcessResponse with each
// whole reply and CheckTimeouts on its idle tick, both from its I/O thread.
//
// Ownership: a Connection object lives on the heap and is ended only by Close(),
// which a framing overrides to stop its stream, run ModBus::Close() and then
// `delete this`; the caller drops its pointer afterwards. ModBus::Close() itself
// only releases the core, once, so it is safe to reach it more than once.
class ModBus {
  public:
    // Passed as a request operation's event to wait for the result in the call
    // itself (the synchronous form); any other event selects the asynchronous form.
    static constexpr CompletionEvent* kSynchronous = nullptr;

    // QueueRequest hands out record references from this value up; smaller
    // results are refusal statuses (16 or 17, or 19 for a malformed PDU).
    static constexpr int32_t kFirstReference = 48;
    static constexpr int32_t kPoolSize = 16;

    ModBus();
    ModBus(const ModBus&) = delete;
    ModBus& operator=(const ModBus&) = delete;

    // --- Virtual slots, in this order; a framing overrides them. ---
    // The connection's last error text.
    virtual std::string GetErrorText();
    virtual void SetErrorText(std::string_view text);
    // Forget buffered received bytes after a time-out.
    virtual void ResetReceive();
    // Stops the stream, releases the core and destroys the object (see above).
    virtual void Close();
    virtual bool IsOpen();
    // Frames the PDU and hands it to the stream. Returns the tag (0 or more) or a
    // negative stream error (-kModbusPortClosed, -kModbusOutputBufferFull).
    virtual int32_t SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t noResponse);

    // --- Core. ---
    void AddTransactions(int32_t n);
    void SetMaxOutstanding(int32_t n);
    // Queues a copy of the PDU. Returns a record reference (kFirstReference or more)
    // or a refusal status: 16 no free record, 17 PDU over 256 bytes, 19 no PDU or
    // one shorter than 2 bytes. resultBytes is the room in resultBuffer.
    int32_t QueueRequest(uint32_t timeoutMs, uint16_t unit, int32_t pduLength, const uint8_t* pdu,
                         void* resultBuffer, size_t resultBytes, CompletionEvent* event,
                         uint8_t noResponse);
    // Sends the next queued request when the in-flight limit allows.
    void SendNext();
    // One whole reply from the framing: unit byte first, check bytes removed.
    void ProcessResponse(int32_t tag, int32_t length, const uint8_t* frame);
    // Expires sent requests whose deadline has passed (I/O thread, idle tick).
    void CheckTimeouts();
    // Collects a completed request. out = (unit << 16) | status. Returns the number
    // of values stored when the status is below 34, else -1. A record that is not
    // (yet) complete stays where it is: out carries 36 "Pending", or 37 for a
    // reference that names no record.
    int32_t ReleaseTransaction(int32_t reference, uint32_t& out);
    // Expected reply length from a candidate frame's first bytes (reads bytes 1 to
    // 3, so at least 4 must be present): 0 or -1 when no reply starts there.
    static int32_t ResponseLength(const uint8_t* frame);

    // --- Request operations. Synchronous form (event kSynchronous): the number of
    // values stored, or -(((unit & 0x7FFF) << 16) | status) on any failure.
    // Asynchronous form: QueueRequest's result, or a refusal status below 48. ---

    // Function code 0x42: the module's application channels (0 to 15).
    int32_t ExtCommand(uint8_t writeToRam, uint32_t timeoutMs, uint16_t unit, int32_t channel,
                       CompletionEvent* event = kSynchronous);
    int32_t ExtWriteBlock(uint8_t writeToRam, uint32_t timeoutMs, uint16_t unit, int32_t channel,
                          uint32_t address, int32_t count, const uint16_t* words,
                          CompletionEvent* event = kSynchronous);
    int32_t ExtRead32(uint32_t timeoutMs, uint16_t unit, int32_t channel, uint32_t* out,
                      CompletionEvent* event = kSynchronous);
    int32_t ExtReadBlock(uint32_t timeoutMs, uint16_t unit, int32_t channel, uint32_t address,
                         uint8_t count, uint16_t* out, CompletionEvent* event = kSynchronous);
    // out receives three words: code, data and hook block base addresses.
    int32_t ExtReadBases(uint32_t timeoutMs, uint16_t unit, int32_t channel, uint32_t* out,
                         CompletionEvent* event = kSynchronous);

    // Standard function codes. Note the (count, start) order of the arguments; the
    // PDU carries start first.
    int32_t ReadCoils(uint32_t timeoutMs, uint16_t unit, uint16_t count, uint16_t start,
                      uint8_t* out, CompletionEvent* event = kSynchronous);
    int32_t ReadInputs(uint32_t timeoutMs, uint16_t unit, uint16_t count, uint16_t start,
                       uint8_t* out, CompletionEvent* event = kSynchronous);
    int32_t ReadHoldingRegisters(uint32_t timeoutMs, uint16_t unit, uint16_t count, uint16_t start,
                                 uint16_t* out, CompletionEvent* event = kSynchronous);
    int32_t ReadInputRegisters(uint32_t timeoutMs, uint16_t unit, uint16_t count, uint16_t start,
                               uint16_t* out, CompletionEvent* event = kSynchronous);
    int32_t WriteCoil(uint32_t timeoutMs, uint16_t unit, uint16_t address, uint8_t value,
                      CompletionEvent* event = kSynchronous);
    int32_t WriteRegister(uint32_t timeoutMs, uint16_t unit, uint16_t address, uint16_t value,
                          CompletionEvent* event = kSynchronous);
    int32_t ReadExceptionStatus(uint32_t timeoutMs, uint16_t unit, uint8_t* out,
                                CompletionEvent* event = kSynchronous);
    int32_t Diagnostics(uint32_t timeoutMs, uint16_t unit, uint16_t subFunction, uint16_t data,
                        uint16_t* out, CompletionEvent* event = kSynchronous);
    // values[i] equal to exactly 1 sets coil start + i.
    int32_t WriteCoils(uint32_t timeoutMs, uint16_t unit, int32_t count, uint16_t start,
                       const uint8_t* values, CompletionEvent* event = kSynchronous);
    int32_t WriteRegisters(uint32_t timeoutMs, uint16_t unit, uint32_t count, uint16_t start,
                           const uint16_t* words, CompletionEvent* event = kSynchronous);
    // Note the (file, length, record) order; the PDU carries record before length.
    int32_t ReadFileRecord(uint32_t timeoutMs, uint16_t unit, uint16_t file, uint16_t length,
                           uint16_t record, uint16_t* out, CompletionEvent* event = kSynchronous);
    int32_t WriteFileRecord(uint32_t timeoutMs, uint16_t unit, uint16_t file, uint32_t length,
                            uint16_t record, const uint16_t* words,
                            CompletionEvent* event = kSynchronous, uint8_t referenceType = 6);
    // Sends data as the request after the function code; the reply is decoded by its
    // function code back into data, which must hold `length` bytes.
    int32_t RawRequest(uint32_t timeoutMs, uint16_t unit, uint8_t functionCode, uint8_t noResponse,
                       uint32_t length, uint8_t* data, CompletionEvent* event = kSynchronous);

  protected:
    // Requests sent and not yet answered. For a framing's SendFrame, which runs under the
    // core lock before the request it sends is counted.
    int32_t RequestsInFlight() const { return inFlight_; }
    // Whether a synchronous caller watches for its completion before sleeping (the default;
    // see CompletionEvent::SetWatching).
    void WatchForCompletions(bool watch) { completionEvent_.SetWatching(watch); }

    // Only Close() ends an object; the destructor still releases the core in case
    // a derived Close did not.
    virtual ~ModBus();

  private:
    // Queues the PDU and, in the synchronous form, waits for and collects it.
    int32_t Submit(uint32_t timeoutMs, uint16_t unit, int32_t pduLength, const uint8_t* pdu,
                   void* resultBuffer, size_t resultBytes, CompletionEvent* event,
                   uint8_t noResponse);
    // A request refused before queueing, in the form the caller expects.
    static int32_t Refuse(uint16_t unit, int32_t status, CompletionEvent* event);
    void ReleaseCore();
    void FreeTransactions(ModbusTransaction*& head);
    ModbusTransaction* RecordFor(int32_t reference);

    ModbusTransaction* queued_ = nullptr;
    ModbusTransaction* sent_ = nullptr;
    ModbusTransaction* done_ = nullptr;
    ModbusTransaction* freeList_ = nullptr;
    int32_t inFlight_ = 0;
    int32_t maxInFlight_ = 1;
    CompletionEvent completionEvent_;
    std::recursive_mutex lock_;
    bool closed_ = false;
    // Owns every record; the lists only link them. Slot i is reference 48 + i.
    std::vector<std::unique_ptr<ModbusTransaction>> pool_;
};

// The synchronous result for a failure: minus ((unit << 16) | status), with the
// unit kept below 0x8000 so that the result is negative for every unit.
int32_t ModbusFailure(uint16_t unit, int32_t status);
