#include "downloader/load_step.h"

#include "downloader/load_outcome.h"
#include "downloader/message_pump.h"
#include "modbus/modbus_status.h"

void LoadSteps::Pump() {
    PumpMessages();
}

void LoadSteps::EndWithConnectionError() {
    NoteLoadFailure(CurrentConnection != nullptr
                        ? CurrentConnection->GetErrorText()
                        : std::string(ModbusStatusText(kModbusNoConnection)));
    ConnectionClosed = true;
}

void NoteFailure(int32_t result) {
    if (result >= 0 || CurrentConnection == nullptr) {
        return;
    }
    const int32_t status = static_cast<int32_t>(static_cast<uint32_t>(-result) & 0xFFFF);
    const char* text = ModbusStatusText(status);
    if (status == kModbusPortClosed) {
        text = ModbusStatusText(kModbusNoConnection);
    } else if (status == kModbusOutputBufferFull) {
        text = ModbusStatusText(kModbusBufferFull);
    }
    if (text[0] != '\0') {
        CurrentConnection->SetErrorText(text);
    }
}

bool MayHaveActed(int32_t result) {
    if (result >= 0) {
        return true;
    }
    const int32_t status = static_cast<int32_t>(static_cast<uint32_t>(-result) & 0xFFFF);
    switch (status) {
        case kModbusAcknowledge:  // the module took it and works on it
            return true;
        case kModbusQueueFull:
        case kModbusCommandOverSize:
        case kModbusCommandOverRange:
        case kModbusNoConnection:
        case kModbusBufferFull:
        case kModbusPortClosed:
        case kModbusOutputBufferFull:
            return false;  // never sent
        default:
            // An exception reply refused it; anything else went out without an answer.
            return status >= kModbusQueueFull;
    }
}
