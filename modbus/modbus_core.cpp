#include <array>
#include <cstring>

#include "modbus/modbus.h"
#include "modbus/reply_decoder.h"
#include "platform/tick.h"

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

void Unlink(ModbusTransaction*& head, ModbusTransaction* record) {
    if (record->prev != nullptr) {
        record->prev->next = record->next;
    } else {
        head = record->next;
    }
    if (record->next != nullptr) {
        record->next->prev = record->prev;
    }
    record->next = nullptr;
    record->prev = nullptr;
}

void PushHead(ModbusTransaction*& head, ModbusTransaction* record) {
    record->prev = nullptr;
    record->next = head;
    if (head != nullptr) {
        head->prev = record;
    }
    head = record;
}

// The send queue is first in, first out; it never holds more than the pool, so the
// walk to its tail is short.
void AppendTail(ModbusTransaction*& head, ModbusTransaction* record) {
    if (head == nullptr) {
        PushHead(head, record);
        return;
    }
    ModbusTransaction* tail = head;
    while (tail->next != nullptr) {
        tail = tail->next;
    }
    tail->next = record;
    record->prev = tail;
    record->next = nullptr;
}

void Complete(ModbusTransaction*& done, ModbusTransaction* record) {
    PushHead(done, record);
    if (record->event != nullptr) {
        record->event->Set();
    }
}

// Completions found on the I/O thread are signalled only after the core lock is released, so
// the woken caller does not at once block on that lock to collect its result.
class DeferredWakeups {
  public:
    void Complete(ModbusTransaction*& done, ModbusTransaction* record) {
        PushHead(done, record);
        if (record->event != nullptr && count_ < events_.size()) {
            events_[count_++] = record->event;
        } else if (record->event != nullptr) {
            record->event->Set();
        }
    }
    void SetAll() {
        for (size_t i = 0; i < count_; ++i) {
            events_[i]->Set();
        }
        count_ = 0;
    }

  private:
    std::array<CompletionEvent*, 16> events_{};
    size_t count_ = 0;
};

bool IsOnList(const ModbusTransaction* head, const ModbusTransaction* record) {
    for (; head != nullptr; head = head->next) {
        if (head == record) {
            return true;
        }
    }
    return false;
}

}  // namespace

ModBus::ModBus() {
    AddTransactions(kPoolSize);
}

ModBus::~ModBus() {
    ReleaseCore();
}

std::string ModBus::GetErrorText() {
    return std::string();
}

void ModBus::SetErrorText(std::string_view) {}

void ModBus::ResetReceive() {}

void ModBus::Close() {
    ReleaseCore();
}

bool ModBus::IsOpen() {
    return false;
}

int32_t ModBus::SendFrame(int32_t, const uint8_t*, uint8_t) {
    return 0;
}

void ModBus::AddTransactions(int32_t n) {
    Guard guard(lock_);
    for (int32_t i = 0; i < n; ++i) {
        auto record = std::make_unique<ModbusTransaction>();
        record->reference = kFirstReference + static_cast<int32_t>(pool_.size());
        PushHead(freeList_, record.get());
        pool_.push_back(std::move(record));
    }
}

void ModBus::FreeTransactions(ModbusTransaction*& head) {
    Guard guard(lock_);
    while (head != nullptr) {
        ModbusTransaction* record = head;
        head = record->next;
        pool_[static_cast<size_t>(record->reference - kFirstReference)].reset();
    }
}

void ModBus::SetMaxOutstanding(int32_t n) {
    Guard guard(lock_);
    maxInFlight_ = n;
}

void ModBus::ReleaseCore() {
    Guard guard(lock_);
    if (closed_) {
        return;
    }
    FreeTransactions(freeList_);
    FreeTransactions(sent_);
    FreeTransactions(done_);
    FreeTransactions(queued_);
    pool_.clear();
    inFlight_ = 0;
    closed_ = true;
}

ModbusTransaction* ModBus::RecordFor(int32_t reference) {
    const int64_t slot = static_cast<int64_t>(reference) - kFirstReference;
    if (slot < 0 || slot >= static_cast<int64_t>(pool_.size())) {
        return nullptr;
    }
    return pool_[static_cast<size_t>(slot)].get();
}

int32_t ModBus::QueueRequest(uint32_t timeoutMs, uint16_t unit, int32_t pduLength,
                             const uint8_t* pdu, void* resultBuffer, size_t resultBytes,
                             CompletionEvent* event, uint8_t noResponse) {
    Guard guard(lock_);
    if (freeList_ == nullptr) {
        return kModbusQueueFull;
    }
    if (pduLength > kModbusMaxPdu) {
        return kModbusCommandOverSize;
    }
    if (pdu == nullptr || pduLength < 2) {
        return kModbusCommandOverRange;
    }
    ModbusTransaction* record = freeList_;
    Unlink(freeList_, record);
    record->unit = unit;
    record->event = event;
    record->status = kModbusQueued;
    record->pduLength = pduLength;
    record->resultBuffer = resultBuffer;
    record->resultBytes = resultBuffer != nullptr ? resultBytes : 0;
    record->deadline = timeoutMs;
    record->noResponse = noResponse;
    record->count = 0;
    std::memcpy(record->pdu, pdu, static_cast<size_t>(pduLength));
    AppendTail(queued_, record);
    SendNext();
    return record->reference;
}

void ModBus::SendNext() {
    Guard guard(lock_);
    if (inFlight_ >= maxInFlight_ || queued_ == nullptr) {
        return;
    }
    ModbusTransaction* record = queued_;
    Unlink(queued_, record);
    record->deadline += platform::TickCount64();
    record->tag = SendFrame(record->pduLength, record->pdu, record->noResponse);
    if (record->tag >= 0) {
        PushHead(sent_, record);
        ++inFlight_;
    } else {
        // The stream refused the frame: complete at once so the caller wakes.
        record->status = -record->tag;
        Complete(done_, record);
    }
}

void ModBus::ProcessResponse(int32_t tag, int32_t length, const uint8_t* frame) {
    DeferredWakeups wakeups;
    {
        Guard guard(lock_);
        ModbusTransaction* record = sent_;
        while (record != nullptr) {
            ModbusTransaction* following = record->next;
            if (record->tag == tag) {
                --inFlight_;
                record->status = DecodeReply(*record, length, frame);
                Unlink(sent_, record);
                wakeups.Complete(done_, record);
            }
            record = following;
        }
        // Still under the lock: the caller about to be woken collects its result without
        // meeting this thread on the lock.
        SendNext();
    }
    wakeups.SetAll();
}

void ModBus::CheckTimeouts() {
    DeferredWakeups wakeups;
    {
        Guard guard(lock_);
        const uint64_t now = platform::TickCount64();
        ModbusTransaction* record = sent_;
        while (record != nullptr) {
            ModbusTransaction* following = record->next;
            if (now >= record->deadline) {
                Unlink(sent_, record);
                record->status = kModbusTimedOut;
                --inFlight_;
                wakeups.Complete(done_, record);
                // A partial reply must not spoil the next one.
                ResetReceive();
            }
            record = following;
        }
    }
    wakeups.SetAll();
    SendNext();
}

int32_t ModBus::ReleaseTransaction(int32_t reference, uint32_t& out) {
    Guard guard(lock_);
    ModbusTransaction* record = RecordFor(reference);
    if (record == nullptr) {
        out = kModbusGeneralFault;
        return -1;
    }
    const uint32_t unitBits = static_cast<uint32_t>(record->unit) << 16;
    if (!IsOnList(done_, record)) {
        // Still on its way (asynchronous callers may ask early), or already collected.
        const bool pending = IsOnList(queued_, record) || IsOnList(sent_, record);
        out = unitBits | (pending ? kModbusPending : kModbusGeneralFault);
        return -1;
    }
    out = unitBits | static_cast<uint16_t>(record->status);
    Unlink(done_, record);
    PushHead(freeList_, record);
    if (record->status >= 1 && record->status <= kModbusBufferFull) {
        SetErrorText(ModbusStatusText(record->status));
    }
    return record->status < kModbusIncompleteTransaction ? record->count : -1;
}
