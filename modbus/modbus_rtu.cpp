#include "modbus/modbus_rtu.h"

#include <cstring>

#include "modbus/crc16.h"

ModBusRTU::ModBusRTU(const char* portName, uint32_t baud, uint8_t parity, uint8_t byteSize,
                     uint8_t stopBits)
    : SerialStream(portName, baud, parity, byteSize, stopBits, kRtsToggle) {
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
    receivedCount = 0;
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
    DiscardStaleInput();
    return Send(pduLength + 2, frame);
}

void ModBusRTU::OnIdle() {
    CheckTimeouts();
}

void ModBusRTU::OnDiscardInput() {
    receivedCount = 0;
}

bool ModBusRTU::OnReceive(int32_t length, const uint8_t* bytes) {
    if (length > kReceiveBufferSize - receivedCount)
        return false;
    std::memcpy(receiveBuffer + receivedCount, bytes, static_cast<size_t>(length));
    receivedCount += length;
    CutFrames();
    return true;
}

void ModBusRTU::CutFrames() {
    int32_t start = 0;
    while (receivedCount - start >= 4) {
        // The first position where a reply of ours could begin.
        int32_t expected = 0;
        const int32_t lastCandidate = receivedCount - 4;
        while (start <= lastCandidate) {
            expected = ResponseLength(receiveBuffer + start);
            if (expected > 0)
                break;
            ++start;
        }
        if (start > lastCandidate) {
            // No reply starts here; the last three bytes may still begin one.
            start = receivedCount - 3;
            break;
        }
        if (receivedCount - start < expected + 2)
            break;  // wait for the rest
        const uint8_t* frame = receiveBuffer + start;
        const uint16_t crc = ModbusCrc16(frame, static_cast<size_t>(expected));
        if (frame[expected] != (crc & 0xFF) || frame[expected + 1] != (crc >> 8)) {
            ++start;
            continue;
        }
        ProcessResponse(0, expected, frame);
        start += expected + 2;
        if (TakeDiscardRequest()) {
            // The reply let the next request go out: whatever is left predates it.
            start = receivedCount;
        }
    }
    if (start > 0) {
        std::memmove(receiveBuffer, receiveBuffer + start,
                     static_cast<size_t>(receivedCount - start));
        receivedCount -= start;
    }
}
