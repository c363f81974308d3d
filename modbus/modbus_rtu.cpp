#include "modbus/modbus_rtu.h"

#include <cstring>

#include "modbus/crc16.h"

ModBusRTU::ModBusRTU(const char* portName, uint32_t baud, uint8_t parity, uint8_t byteSize,
                     uint8_t stopBits)
    : SerialStream(portName, baud, parity, byteSize, stopBits, kRtsToggle) {
    // A reply comes through the port's driver, on a virtual port through another process too:
    // a caller watching for it competes with them, and measured over a pty it lost more than
    // the sleep and wake-up it saves (on a real line a reply takes milliseconds anyway).
    WatchForCompletions(false);
    // Last: the polling thread must find the whole object built.
    StartPolling();
}

ModBusRTU::~ModBusRTU() {
    Shutdown();
}

std::string ModBusRTU::GetErrorText() {
    return StreamErrorText();
}

void ModBusRTU::SetErrorText(std::string_view text) {
    SetStreamErrorText(text);
}

void ModBusRTU::ResetReceive() {
    inputEndedWithReply = false;  // a time-out: its late reply may be on its way
    receiver.Reset();
}

void ModBusRTU::Close() {
    Shutdown();
    ModBus::Close();
    delete this;
}

bool ModBusRTU::IsOpen() {
    return SerialStream::IsOpen();
}

int32_t ModBusRTU::SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t) {
    uint8_t frame[kModbusMaxPdu + 2];
    if (pduLength < 0 || pduLength > kModbusMaxPdu)
        return -kModbusOutputBufferFull;
    std::memcpy(frame, pdu, static_cast<size_t>(pduLength));
    const uint16_t crc = ModbusCrc16(pdu, static_cast<size_t>(pduLength));
    frame[pduLength] = static_cast<uint8_t>(crc & 0xFF);
    frame[pduLength + 1] = static_cast<uint8_t>(crc >> 8);
    if (pduLength > 0)
        receiver.Await(pdu[0]);
    DiscardStaleInput(inputEndedWithReply.exchange(false));
    return Send(pduLength + 2, frame);
}

void ModBusRTU::OnIdle() {
    CheckTimeouts();
}

void ModBusRTU::OnDiscardInput() {
    receiver.Reset();
}

bool ModBusRTU::OnReceive(int32_t length, const uint8_t* bytes) {
    return receiver.Receive(length, bytes, *this);
}

bool ModBusRTU::OnReply(int32_t tag, int32_t length, const uint8_t* pdu) {
    // Before the reply completes its request: the caller may send the next one at once.
    inputEndedWithReply = receiver.EndsInput(pdu, length);
    ProcessResponse(tag, length, pdu);
    return TakeDiscardRequest();
}
