// The standard Modbus function codes and the raw request.
#include "modbus/modbus.h"
#include "modbus/pdu_builder.h"

namespace {

enum Function : uint8_t {
    kReadCoils = 1,
    kReadInputs = 2,
    kReadHoldingRegisters = 3,
    kReadInputRegisters = 4,
    kWriteCoil = 5,
    kWriteRegister = 6,
    kReadExceptionStatus = 7,
    kDiagnostics = 8,
    kWriteCoils = 15,
    kWriteRegisters = 16,
    kReadFileRecord = 20,
    kWriteFileRecord = 21,
};

constexpr uint16_t kCoilOn = 0xFF00;
constexpr uint8_t kFileRequestBytes = 7;  // reference type, file, record, length
constexpr uint8_t kStandardReference = 6;

PduBuilder StartCountPdu(uint16_t unit, uint8_t function, uint16_t start, uint16_t count) {
    PduBuilder pdu(unit, function);
    pdu.Word(start);
    pdu.Word(count);
    return pdu;
}

bool Fits(int64_t pduLength) {
    return pduLength <= kModbusMaxPdu;
}

}  // namespace

int32_t ModBus::ReadCoils(uint32_t timeoutMs, uint16_t unit, uint16_t count, uint16_t start,
                          uint8_t* out, CompletionEvent* event) {
    const PduBuilder pdu = StartCountPdu(unit, kReadCoils, start, count);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, count, event, 0);
}

int32_t ModBus::ReadInputs(uint32_t timeoutMs, uint16_t unit, uint16_t count, uint16_t start,
                           uint8_t* out, CompletionEvent* event) {
    const PduBuilder pdu = StartCountPdu(unit, kReadInputs, start, count);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, count, event, 0);
}

int32_t ModBus::ReadHoldingRegisters(uint32_t timeoutMs, uint16_t unit, uint16_t count,
                                     uint16_t start, uint16_t* out, CompletionEvent* event) {
    const PduBuilder pdu = StartCountPdu(unit, kReadHoldingRegisters, start, count);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, count * sizeof(uint16_t), event,
                  0);
}

int32_t ModBus::ReadInputRegisters(uint32_t timeoutMs, uint16_t unit, uint16_t count,
                                   uint16_t start, uint16_t* out, CompletionEvent* event) {
    const PduBuilder pdu = StartCountPdu(unit, kReadInputRegisters, start, count);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, count * sizeof(uint16_t), event,
                  0);
}

int32_t ModBus::WriteCoil(uint32_t timeoutMs, uint16_t unit, uint16_t address, uint8_t value,
                          CompletionEvent* event) {
    const PduBuilder pdu = StartCountPdu(unit, kWriteCoil, address, value != 0 ? kCoilOn : 0);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), nullptr, 0, event, 0);
}

int32_t ModBus::WriteRegister(uint32_t timeoutMs, uint16_t unit, uint16_t address, uint16_t value,
                              CompletionEvent* event) {
    const PduBuilder pdu = StartCountPdu(unit, kWriteRegister, address, value);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), nullptr, 0, event, 0);
}

int32_t ModBus::ReadExceptionStatus(uint32_t timeoutMs, uint16_t unit, uint8_t* out,
                                    CompletionEvent* event) {
    const PduBuilder pdu(unit, kReadExceptionStatus);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, 1, event, 0);
}

int32_t ModBus::Diagnostics(uint32_t timeoutMs, uint16_t unit, uint16_t subFunction, uint16_t data,
                            uint16_t* out, CompletionEvent* event) {
    // Big-endian like every other Modbus field, so a device reads what was meant.
    const PduBuilder pdu = StartCountPdu(unit, kDiagnostics, subFunction, data);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, sizeof(uint16_t), event, 0);
}

int32_t ModBus::WriteCoils(uint32_t timeoutMs, uint16_t unit, int32_t count, uint16_t start,
                           const uint8_t* values, CompletionEvent* event) {
    if (count < 0 || (values == nullptr && count > 0)) {
        return Refuse(unit, kModbusCommandOverRange, event);
    }
    const int32_t byteCount = count / 8 + (count % 8 != 0 ? 1 : 0);
    if (!Fits(7 + static_cast<int64_t>(byteCount))) {
        return Refuse(unit, kModbusCommandOverSize, event);
    }
    PduBuilder pdu = StartCountPdu(unit, kWriteCoils, start, static_cast<uint16_t>(count));
    pdu.Byte(static_cast<uint8_t>(byteCount));
    for (int32_t first = 0; first < count; first += 8) {
        uint8_t bits = 0;
        for (int32_t bit = 0; bit < 8 && first + bit < count; ++bit) {
            if (values[first + bit] == 1) {
                bits |= static_cast<uint8_t>(1 << bit);
            }
        }
        pdu.Byte(bits);
    }
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), nullptr, 0, event, 0);
}

int32_t ModBus::WriteRegisters(uint32_t timeoutMs, uint16_t unit, uint32_t count, uint16_t start,
                               const uint16_t* words, CompletionEvent* event) {
    if (!Fits(7 + 2 * static_cast<int64_t>(count))) {
        return Refuse(unit, kModbusCommandOverSize, event);
    }
    if (words == nullptr && count > 0) {
        return Refuse(unit, kModbusCommandOverRange, event);
    }
    PduBuilder pdu = StartCountPdu(unit, kWriteRegisters, start, static_cast<uint16_t>(count));
    pdu.Byte(static_cast<uint8_t>(2 * count));
    pdu.Words(words, static_cast<int32_t>(count));
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), nullptr, 0, event, 0);
}

int32_t ModBus::ReadFileRecord(uint32_t timeoutMs, uint16_t unit, uint16_t file, uint16_t length,
                               uint16_t record, uint16_t* out, CompletionEvent* event) {
    PduBuilder pdu(unit, kReadFileRecord);
    pdu.Byte(kFileRequestBytes);
    pdu.Byte(kStandardReference);
    pdu.Word(file);
    pdu.Word(record);
    pdu.Word(length);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, length * sizeof(uint16_t), event,
                  0);
}

int32_t ModBus::WriteFileRecord(uint32_t timeoutMs, uint16_t unit, uint16_t file, uint32_t length,
                                uint16_t record, const uint16_t* words, CompletionEvent* event,
                                uint8_t referenceType) {
    if (!Fits(10 + 2 * static_cast<int64_t>(length))) {
        return Refuse(unit, kModbusCommandOverSize, event);
    }
    if (words == nullptr && length > 0) {
        return Refuse(unit, kModbusCommandOverRange, event);
    }
    PduBuilder pdu(unit, kWriteFileRecord);
    pdu.Byte(static_cast<uint8_t>(2 * length + kFileRequestBytes));
    pdu.Byte(referenceType);
    pdu.Word(file);
    pdu.Word(record);
    pdu.Word(static_cast<uint16_t>(length));
    pdu.Words(words, static_cast<int32_t>(length));
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), nullptr, 0, event, 0);
}

int32_t ModBus::RawRequest(uint32_t timeoutMs, uint16_t unit, uint8_t functionCode,
                           uint8_t noResponse, uint32_t length, uint8_t* data,
                           CompletionEvent* event) {
    if (!Fits(2 + static_cast<int64_t>(length))) {
        return Refuse(unit, kModbusCommandOverSize, event);
    }
    if (data == nullptr && length > 0) {
        return Refuse(unit, kModbusCommandOverRange, event);
    }
    PduBuilder pdu(unit, functionCode);
    for (uint32_t i = 0; i < length; ++i) {
        pdu.Byte(data[i]);
    }
    // The reply comes back into the same buffer; the record keeps its own copy of the request.
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), data, length, event, noResponse);
}
