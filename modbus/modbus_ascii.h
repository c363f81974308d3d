#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "modbus/modbus.h"
#include "modbus/serial_stream.h"

// Modbus ASCII on a COM port: ":" then the PDU and its LRC as upper-case hexadecimal digits,
// then CR LF.
//
// Make one with new; end it only with Close(), which stops the polling thread and deletes
// the object. Construction never fails outright: when IsOpen() is false, GetErrorText()
// says why, and Close() still ends the object.
class ModBusAscii final : private SerialStream, public ModBus {
  public:
    static constexpr int32_t kReceiveBufferSize = 65536;
    // A frame of this many digits or more is never a reply of ours.
    static constexpr int32_t kMaxFrameDigits = 16384;
    static constexpr int kRtsToggle = 3;

    // The same arguments as ModBusRTU.
    ModBusAscii(const char* portName, uint32_t baud, uint8_t parity, uint8_t byteSize,
                uint8_t stopBits);

    std::string GetErrorText() override;
    void SetErrorText(std::string_view text) override;
    void ResetReceive() override;
    void Close() override;
    bool IsOpen() override;
    // Always tag 0: the serial line carries one request at a time.
    int32_t SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t noResponse) override;

  private:
    ~ModBusAscii() override;

    void OnIdle() override;
    bool OnReceive(int32_t length, const uint8_t* bytes) override;
    void OnDiscardInput() override;
    void CutFrames();
    void DispatchFrame(const uint8_t* digits, int32_t count);
    void DropFront(int32_t count);

    uint8_t receiveBuffer[kReceiveBufferSize] = {};
    int32_t receivedCount = 0;
    // Characters from the front of the buffer already searched for CR LF.
    int32_t searchedCount = 0;
    uint8_t decoded[kMaxFrameDigits / 2] = {};
};
