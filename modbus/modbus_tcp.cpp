#include "modbus/modbus_tcp.h"

#include <algorithm>
#include <cstring>

namespace {

uint16_t BigEndian16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

void PutBigEndian16(uint8_t* bytes, uint16_t value) {
    bytes[0] = static_cast<uint8_t>(value >> 8);
    bytes[1] = static_cast<uint8_t>(value & 0xFF);
}

}  // namespace

ModBusTCP::ModBusTCP(const char* host, uint16_t port) : TcpipStream(host, port) {
    // Last: the I/O thread must find the whole object built.
    StartIoThread();
}

ModBusTCP::~ModBusTCP() {
    Shutdown();
}

std::string ModBusTCP::GetErrorText() {
    return StreamErrorText();
}

void ModBusTCP::SetErrorText(std::string_view text) {
    SetStreamErrorText(text);
}

// After a time-out the buffer may hold the start of a reply that never finished; left in
// place, it would swallow every later reply of the connection.
void ModBusTCP::ResetReceive() {
    receivedCount = 0;
    skipCount = 0;
}

void ModBusTCP::Close() {
    Shutdown();
    ModBus::Close();
    delete this;
}

bool ModBusTCP::IsOpen() {
    return TcpipStream::IsOpen();
}

int32_t ModBusTCP::SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t noResponse) {
    uint8_t frame[kHeaderSize + kModbusMaxPdu];
    if (pduLength < 0 || pduLength > kModbusMaxPdu)
        return -kModbusOutputBufferFull;
    const uint16_t transaction = transactionCounter;
    PutBigEndian16(frame, transaction);
    PutBigEndian16(frame + 2, 0);
    PutBigEndian16(frame + 4, noResponse != 0 ? 0xFFFF : static_cast<uint16_t>(pduLength));
    std::memcpy(frame + kHeaderSize, pdu, static_cast<size_t>(pduLength));
    const int32_t sent = Send(kHeaderSize + pduLength, frame);
    if (sent < 0)
        return sent;
    ++transactionCounter;  // wraps from 65535 to 0
    return transaction;
}

void ModBusTCP::OnIdle() {
    CheckTimeouts();
}

void ModBusTCP::OnConnected() {
    ResetReceive();
}

bool ModBusTCP::OnReceive(int32_t length, const uint8_t* bytes) {
    while (length > 0) {
        if (skipCount > 0) {
            const int32_t skipped = std::min(skipCount, length);
            skipCount -= skipped;
            bytes += skipped;
            length -= skipped;
            continue;
        }
        // Frames are cut as soon as they are whole, so a partial one always leaves room.
        const int32_t taken = std::min(length, kReceiveBufferSize - receivedCount);
        if (taken == 0) {
            ResetReceive();  // cannot happen with whole frames cut at once; never spin
            continue;
        }
        std::memcpy(receiveBuffer + receivedCount, bytes, static_cast<size_t>(taken));
        receivedCount += taken;
        bytes += taken;
        length -= taken;
        CutFrames();
    }
    return true;
}

void ModBusTCP::CutFrames() {
    int32_t start = 0;
    while (receivedCount - start >= kHeaderSize) {
        const uint8_t* frame = receiveBuffer + start;
        const int32_t lengthField = BigEndian16(frame + 4);
        const int32_t frameLength = kHeaderSize + lengthField;
        if (frameLength > kReceiveBufferSize) {
            // It can never be whole here: throw it away as it comes, keep the link in step.
            skipCount = frameLength - (receivedCount - start);
            start = receivedCount;
            break;
        }
        if (receivedCount - start < frameLength)
            break;
        // A reply shorter than a unit and a function code carries nothing to match.
        if (BigEndian16(frame + 2) == 0 && lengthField >= 2) {
            ProcessResponse(BigEndian16(frame), lengthField, frame + kHeaderSize);
        }
        start += frameLength;
    }
    if (start > 0) {
        std::memmove(receiveBuffer, receiveBuffer + start,
                     static_cast<size_t>(receivedCount - start));
        receivedCount -= start;
    }
}
