#include "modbus/modbus_ascii.h"

#include <cstring>

#include "modbus/crc16.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

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
    receivedCount = 0;
    searchedCount = 0;
}

bool ModBusAscii::OnReceive(int32_t length, const uint8_t* bytes) {
    if (length > kReceiveBufferSize - receivedCount)
        return false;
    std::memcpy(receiveBuffer + receivedCount, bytes, static_cast<size_t>(length));
    receivedCount += length;
    CutFrames();
    return true;
}

void ModBusAscii::DropFront(int32_t count) {
    std::memmove(receiveBuffer, receiveBuffer + count, static_cast<size_t>(receivedCount - count));
    receivedCount -= count;
    searchedCount = 0;
}

void ModBusAscii::CutFrames() {
    while (receivedCount > 0) {
        if (receiveBuffer[0] != ':') {
            const void* colon = std::memchr(receiveBuffer, ':', static_cast<size_t>(receivedCount));
            if (colon == nullptr) {
                receivedCount = 0;
                searchedCount = 0;
                return;
            }
            DropFront(static_cast<int32_t>(static_cast<const uint8_t*>(colon) - receiveBuffer));
        }
        // Resume where the last search stopped; a CR at the very end may still meet its LF.
        int32_t cr = -1;
        for (int32_t i = searchedCount > 1 ? searchedCount - 1 : 1; i + 1 < receivedCount; ++i) {
            if (receiveBuffer[i] == '\r' && receiveBuffer[i + 1] == '\n') {
                cr = i;
                break;
            }
        }
        if (cr < 0) {
            searchedCount = receivedCount;
            return;
        }
        // A frame cut short by a new ":" is abandoned: the reply starts at the last one.
        int32_t colon = cr - 1;
        while (receiveBuffer[colon] != ':')
            --colon;
        DispatchFrame(receiveBuffer + colon + 1, cr - colon - 1);
        DropFront(cr + 2);
        if (TakeDiscardRequest()) {
            // The reply let the next request go out: whatever is left predates it.
            receivedCount = 0;
            searchedCount = 0;
            return;
        }
    }
}

void ModBusAscii::DispatchFrame(const uint8_t* digits, int32_t count) {
    // A reply needs at least the unit, the function code and the LRC, in whole digit pairs.
    if (count >= kMaxFrameDigits || count % 2 != 0 || count < 6)
        return;
    uint8_t sum = 0;
    const int32_t byteCount = count / 2;
    for (int32_t i = 0; i < byteCount; ++i) {
        const int high = HexValue(digits[2 * i]);
        const int low = HexValue(digits[2 * i + 1]);
        if (high < 0 || low < 0)
            return;  // noise inside the frame: it cannot be trusted
        decoded[i] = static_cast<uint8_t>(high << 4 | low);
        sum = static_cast<uint8_t>(sum + decoded[i]);
    }
    if (sum != 0)
        return;
    ProcessResponse(0, byteCount - 1, decoded);
}
