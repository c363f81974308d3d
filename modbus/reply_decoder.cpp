#include "modbus/reply_decoder.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kExceptionBit = 0x80;
constexpr uint8_t kExtFunction = 0x42;

uint16_t BigEndian16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t BigEndian32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

// Writes go through memcpy: a raw request's byte buffer may hold words unaligned.
template <typename T>
void StoreValue(void* buffer, int32_t index, T value) {
    std::memcpy(static_cast<uint8_t*>(buffer) + static_cast<size_t>(index) * sizeof(T), &value,
                sizeof(T));
}

// How many values of type T fit in the request's result buffer.
template <typename T>
int32_t Room(const ModbusTransaction& request) {
    if (request.resultBuffer == nullptr) {
        return 0;
    }
    return static_cast<int32_t>(std::min<size_t>(request.resultBytes / sizeof(T), 0x7FFFFFFF));
}

// The count that the request asked for, when its PDU holds one at `offset`;
// a raw request may be too short to carry it, and then only the buffer limits.
int32_t Asked(const ModbusTransaction& request, int32_t offset, int32_t width) {
    if (request.pduLength < offset + width) {
        return 0x7FFFFFFF;
    }
    return width == 1 ? request.pdu[offset] : BigEndian16(request.pdu + offset);
}

int32_t Limit(int32_t offered, int32_t asked, int32_t room) {
    return std::min({offered, asked, room});
}

// A read reply that carries fewer values than were asked has not answered the request: its
// caller would take the values missing as zeros.
bool FewerThanAsked(int32_t offered, int32_t asked) {
    return offered < asked;
}

bool EchoMatches(const ModbusTransaction& request, int32_t length, const uint8_t* frame,
                 int32_t bytes) {
    return length >= 2 + bytes && request.pduLength >= 2 + bytes &&
           std::memcmp(frame + 2, request.pdu + 2, static_cast<size_t>(bytes)) == 0;
}

int32_t DecodeBits(ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    if (length < 3 || length < 3 + frame[2] || FewerThanAsked(8 * frame[2], Asked(request, 4, 2))) {
        return kModbusInvalidResponse;
    }
    const int32_t n = Limit(8 * frame[2], Asked(request, 4, 2), Room<uint8_t>(request));
    for (int32_t i = 0; i < n; ++i) {
        const bool on = (frame[3 + i / 8] >> (i % 8)) & 1;
        StoreValue<uint8_t>(request.resultBuffer, i, on ? 1 : 0);
    }
    request.count = n;
    return kModbusOk;
}

int32_t DecodeRegisters(ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    if (length < 3 || length < 3 + frame[2] || FewerThanAsked(frame[2] / 2, Asked(request, 4, 2))) {
        return kModbusInvalidResponse;
    }
    const int32_t n = Limit(frame[2] / 2, Asked(request, 4, 2), Room<uint16_t>(request));
    for (int32_t i = 0; i < n; ++i) {
        StoreValue<uint16_t>(request.resultBuffer, i, BigEndian16(frame + 3 + 2 * i));
    }
    request.count = n;
    return kModbusOk;
}

int32_t DecodeSingleByte(ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    if (length < 3) {
        return kModbusInvalidResponse;
    }
    if (Room<uint8_t>(request) >= 1) {
        StoreValue<uint8_t>(request.resultBuffer, 0, frame[2]);
        request.count = 1;
    }
    return kModbusOk;
}

int32_t DecodeDiagnostics(ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    if (length < 6 || !EchoMatches(request, length, frame, 2)) {
        return kModbusInvalidResponse;
    }
    if (Room<uint16_t>(request) >= 1) {
        StoreValue<uint16_t>(request.resultBuffer, 0, BigEndian16(frame + 4));
        request.count = 1;
    }
    return kModbusOk;
}

int32_t DecodeFileRecord(ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    // Byte 3 is the sub-response length, the reference type (byte 4) included.
    if (length < 4 || length < 4 + frame[3]) {
        return kModbusInvalidResponse;
    }
    const int32_t offered = frame[3] == 0 ? 0 : (frame[3] - 1) / 2;
    if (FewerThanAsked(offered, Asked(request, 8, 2))) {
        return kModbusInvalidResponse;
    }
    const int32_t n = Limit(offered, Asked(request, 8, 2), Room<uint16_t>(request));
    for (int32_t i = 0; i < n; ++i) {
        StoreValue<uint16_t>(request.resultBuffer, i, BigEndian16(frame + 5 + 2 * i));
    }
    request.count = n;
    return kModbusOk;
}

int32_t DecodeWholeEcho(const ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    const bool same = length == request.pduLength &&
                      std::memcmp(frame + 2, request.pdu + 2, static_cast<size_t>(length - 2)) == 0;
    return same ? kModbusOk : kModbusInvalidResponse;
}

int32_t DecodeU32s(ModbusTransaction& request, int32_t length, const uint8_t* frame,
                   int32_t values) {
    if (length < 3 + 4 * values) {
        return kModbusInvalidResponse;
    }
    const int32_t n = std::min(values, Room<uint32_t>(request));
    for (int32_t i = 0; i < n; ++i) {
        StoreValue<uint32_t>(request.resultBuffer, i, BigEndian32(frame + 3 + 4 * i));
    }
    request.count = n;
    return kModbusOk;
}

int32_t DecodeExtBlock(ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    if (length < 4 || length < 4 + 2 * frame[3] || FewerThanAsked(frame[3], Asked(request, 7, 1))) {
        return kModbusInvalidResponse;
    }
    const int32_t n = Limit(frame[3], Asked(request, 7, 1), Room<uint16_t>(request));
    for (int32_t i = 0; i < n; ++i) {
        StoreValue<uint16_t>(request.resultBuffer, i, BigEndian16(frame + 4 + 2 * i));
    }
    request.count = n;
    return kModbusOk;
}

// The reply is read as the request's sub-command asked: a module that answers
// another sub-command has not answered this request.
int32_t DecodeExtension(ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    if (length < 3 || request.pduLength < 3) {
        return kModbusInvalidResponse;
    }
    const uint8_t asked = request.pdu[2] & 0xF0;
    if ((frame[2] & 0xF0) != asked) {
        return kModbusInvalidResponse;
    }
    switch (asked) {
        case 0x00:
        case 0x20:
        case 0x40:
        case 0x60:
            return kModbusOk;
        case 0x10:
            return DecodeU32s(request, length, frame, 1);
        case 0x30:
            return DecodeExtBlock(request, length, frame);
        case 0x70:
            return DecodeU32s(request, length, frame, 3);
        default:
            return kModbusOk;
    }
}

int32_t DecodeByFunction(ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    switch (frame[1]) {
        case 1:
        case 2:
            return DecodeBits(request, length, frame);
        case 3:
        case 4:
            return DecodeRegisters(request, length, frame);
        case 5:
        case 6:
        case 15:
        case 16:
            return EchoMatches(request, length, frame, 4) ? kModbusOk : kModbusInvalidResponse;
        case 7:
            return DecodeSingleByte(request, length, frame);
        case 8:
            return DecodeDiagnostics(request, length, frame);
        case 20:
            return DecodeFileRecord(request, length, frame);
        case 21:
            return DecodeWholeEcho(request, length, frame);
        case kExtFunction:
            return DecodeExtension(request, length, frame);
        default:
            return kModbusQueued;
    }
}

}  // namespace

int32_t DecodeReply(ModbusTransaction& request, int32_t length, const uint8_t* frame) {
    request.count = 0;
    if (frame == nullptr || length < 2) {
        return kModbusInvalidResponse;
    }
    const uint8_t function = frame[1];
    if (function > kExceptionBit) {
        // An exception code of 0 would read as success with no values.
        if (length < 3 || (function & 0x7F) != request.pdu[1] || frame[2] == 0) {
            return kModbusInvalidResponse;
        }
        return frame[2];
    }
    if (function != request.pdu[1]) {
        return kModbusInvalidResponse;
    }
    return DecodeByFunction(request, length, frame);
}

int32_t ModBus::ResponseLength(const uint8_t* frame) {
    const uint8_t function = frame[1];
    if (function >= kExceptionBit) {
        return 3;
    }
    switch (function) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 20:
        case 21:
            return frame[2] + 3;
        case 5:
        case 6:
        case 15:
        case 16:
        case 8:
            return 6;
        case 7:
            return 3;
        case kExtFunction:
            switch (frame[2] & 0xF0) {
                case 0x00:
                case 0x20:
                case 0x40:
                case 0x60:
                    return 3;
                case 0x10:
                    return 7;
                case 0x30:
                    return 2 * frame[3] + 4;
                case 0x70:
                    return 15;
                default:
                    return 0;
            }
        default:
            return -1;
    }
}
