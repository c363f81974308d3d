#include "modbus/modbus.h"

int32_t ModbusFailure(uint16_t unit, int32_t status) {
    // Bit 15 of the unit would land in the sign bit and make a failure look like a count.
    const uint32_t encoded =
        (static_cast<uint32_t>(unit & 0x7FFF) << 16) | static_cast<uint16_t>(status);
    return -static_cast<int32_t>(encoded);
}

int32_t ModBus::Refuse(uint16_t unit, int32_t status, CompletionEvent* event) {
    return event == kSynchronous ? ModbusFailure(unit, status) : status;
}

int32_t ModBus::Submit(uint32_t timeoutMs, uint16_t unit, int32_t pduLength, const uint8_t* pdu,
                       void* resultBuffer, size_t resultBytes, CompletionEvent* event,
                       uint8_t noResponse) {
    if (event != kSynchronous) {
        return QueueRequest(timeoutMs, unit, pduLength, pdu, resultBuffer, resultBytes, event,
                            noResponse);
    }
    // One Completion event serves every synchronous request: the GUI thread makes
    // one at a time. It is cleared before queueing so a fast reply cannot be missed.
    completionEvent_.Reset();
    const int32_t reference = QueueRequest(timeoutMs, unit, pduLength, pdu, resultBuffer,
                                           resultBytes, &completionEvent_, noResponse);
    if (reference < kFirstReference) {
        return ModbusFailure(unit, reference);
    }
    // No limit: a reply, the time-out sweep or a send failure always completes it.
    completionEvent_.Wait();
    uint32_t out = 0;
    const int32_t count = ReleaseTransaction(reference, out);
    const int32_t status = static_cast<int32_t>(out & 0xFFFF);
    return status != 0 ? ModbusFailure(unit, status) : count;
}
