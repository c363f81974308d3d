// Function code 0x42: the module's own requests on its application channels.
#include "modbus/modbus.h"
#include "modbus/pdu_builder.h"

namespace {

constexpr uint8_t kExtFunction = 0x42;
constexpr uint8_t kEraseCommand = 0x00;
constexpr uint8_t kReadSpaceSize = 0x10;
constexpr uint8_t kWriteBlock = 0x20;
constexpr uint8_t kReadBlock = 0x30;
constexpr uint8_t kRamFlag = 0x40;  // the same sub-command, on the application held in RAM
constexpr uint8_t kReadBases = 0x70;

bool ChannelInRange(int32_t channel) {
    return channel >= 0 && channel <= 15;
}

PduBuilder ExtPdu(uint16_t unit, uint8_t subCommand, int32_t channel) {
    PduBuilder pdu(unit, kExtFunction);
    pdu.Byte(static_cast<uint8_t>(subCommand | channel));
    return pdu;
}

}  // namespace

int32_t ModBus::ExtCommand(uint8_t writeToRam, uint32_t timeoutMs, uint16_t unit, int32_t channel,
                           CompletionEvent* event) {
    if (!ChannelInRange(channel)) {
        return Refuse(unit, kModbusCommandOverRange, event);
    }
    const uint8_t sub = writeToRam != 0 ? kEraseCommand | kRamFlag : kEraseCommand;
    const PduBuilder pdu = ExtPdu(unit, sub, channel);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), nullptr, 0, event, 0);
}

int32_t ModBus::ExtWriteBlock(uint8_t writeToRam, uint32_t timeoutMs, uint16_t unit,
                              int32_t channel, uint32_t address, int32_t count,
                              const uint16_t* words, CompletionEvent* event) {
    if (!ChannelInRange(channel) || count < 0 || (words == nullptr && count > 0)) {
        return Refuse(unit, kModbusCommandOverRange, event);
    }
    if (8 + 2 * static_cast<int64_t>(count) > kModbusMaxPdu) {
        return Refuse(unit, kModbusCommandOverSize, event);
    }
    const uint8_t sub = writeToRam != 0 ? kWriteBlock | kRamFlag : kWriteBlock;
    PduBuilder pdu = ExtPdu(unit, sub, channel);
    pdu.Long(address);
    pdu.Byte(static_cast<uint8_t>(count));
    pdu.Words(words, count);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), nullptr, 0, event, 0);
}

int32_t ModBus::ExtRead32(uint32_t timeoutMs, uint16_t unit, int32_t channel, uint32_t* out,
                          CompletionEvent* event) {
    if (!ChannelInRange(channel)) {
        return Refuse(unit, kModbusCommandOverRange, event);
    }
    const PduBuilder pdu = ExtPdu(unit, kReadSpaceSize, channel);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, sizeof(uint32_t), event, 0);
}

int32_t ModBus::ExtReadBlock(uint32_t timeoutMs, uint16_t unit, int32_t channel, uint32_t address,
                             uint8_t count, uint16_t* out, CompletionEvent* event) {
    if (!ChannelInRange(channel)) {
        return Refuse(unit, kModbusCommandOverRange, event);
    }
    PduBuilder pdu = ExtPdu(unit, kReadBlock, channel);
    pdu.Long(address);
    pdu.Byte(count);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, count * sizeof(uint16_t), event,
                  0);
}

int32_t ModBus::ExtReadBases(uint32_t timeoutMs, uint16_t unit, int32_t channel, uint32_t* out,
                             CompletionEvent* event) {
    if (!ChannelInRange(channel)) {
        return Refuse(unit, kModbusCommandOverRange, event);
    }
    const PduBuilder pdu = ExtPdu(unit, kReadBases, channel);
    return Submit(timeoutMs, unit, pdu.length(), pdu.bytes(), out, 3 * sizeof(uint32_t), event, 0);
}
