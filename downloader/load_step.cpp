#include "downloader/load_step.h"

#include "downloader/message_pump.h"

void LoadSteps::Pump() {
    PumpMessages();
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
