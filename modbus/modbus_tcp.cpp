#include "modbus/modbus_tcp.h"

#include <algorithm>
#include <cstring>

namespace {

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
    receiver.Reset();
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
    if (!IoThreadStarted())
        return -kModbusPortClosed;
    const uint16_t transaction = transactionCounter;
    PutBigEndian16(frame, transaction);
    PutBigEndian16(frame + 2, 0);
    PutBigEndian16(frame + 4, noResponse != 0 ? 0xFFFF : static_cast<uint16_t>(pduLength));
    std::memcpy(frame + kHeaderSize, pdu, static_cast<size_t>(pduLength));
    if (RequestsInFlight() == 0)
        discardRequested = true;
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
    if (discardRequested.exchange(false))
        receiver.Reset();
    return receiver.Receive(length, bytes, *this);
}

bool ModBusTCP::OnReply(int32_t tag, int32_t length, const uint8_t* pdu) {
    ProcessResponse(tag, length, pdu);
    return discardRequested.exchange(false);
}
