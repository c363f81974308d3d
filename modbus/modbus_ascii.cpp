#include "modbus/modbus_ascii.h"

#include "modbus/crc16.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

ModBusAscii::ModBusAscii(const char* portName, uint32_t baud, uint8_t parity, uint8_t byteSize,
                         uint8_t stopBits)
    : SerialStream(portName, baud, parity, byteSize, stopBits, kRtsToggle) {
    // Last: the polling thread must find the whole object built.
    StartPolling();
}

ModBusAscii::~ModBusAscii() {
    Shutdown();
}

std::string ModBusAscii::GetErrorText() {
    return StreamErrorText();
}

void ModBusAscii::SetErrorText(std::string_view text) {
    SetStreamErrorText(text);
}

// A partial frame needs no help here: the next ":" starts over, and the buffer is emptied
// before every request anyway.
void ModBusAscii::ResetReceive() {}

void ModBusAscii::Close() {
    Shutdown();
    ModBus::Close();
    delete this;
}

bool ModBusAscii::IsOpen() {
    return SerialStream::IsOpen();
}

int32_t ModBusAscii::SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t) {
    uint8_t frame[1 + 2 * (kModbusMaxPdu + 1) + 2];
    if (pduLength < 0 || pduLength > kModbusMaxPdu)
        return -kModbusOutputBufferFull;
    int32_t length = 0;
    frame[length++] = ':';
    auto putByte = [&](uint8_t value) {
        frame[length++] = static_cast<uint8_t>(kHexDigits[value >> 4]);
        frame[length++] = static_cast<uint8_t>(kHexDigits[value & 0x0F]);
    };
    for (int32_t i = 0; i < pduLength; ++i)
        putByte(pdu[i]);
    putByte(ModbusLrc(pdu, static_cast<size_t>(pduLength)));
    frame[length++] = '\r';
    frame[length++] = '\n';
    DiscardStaleInput();
    return Send(length, frame);
}

void ModBusAscii::OnIdle() {
    CheckTimeouts();
}

void ModBusAscii::OnDiscardInput() {
    receiver.Reset();
}

bool ModBusAscii::OnReceive(int32_t length, const uint8_t* bytes) {
    return receiver.Receive(length, bytes, *this);
}

bool ModBusAscii::OnReply(int32_t tag, int32_t length, const uint8_t* pdu) {
    ProcessResponse(tag, length, pdu);
    return TakeDiscardRequest();
}
