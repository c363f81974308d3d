#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "modbus/modbus.h"
#include "modbus/reply_receivers.h"
#include "modbus/serial_stream.h"

// Modbus ASCII on a COM port: ":" then the PDU and its LRC as upper-case hexadecimal digits,
// then CR LF.
//
// Make one with new; end it only with Close(), which stops the polling thread and deletes
// the object. Construction never fails outright: when IsOpen() is false, GetErrorText()
// says why, and Close() still ends the object.
class ModBusAscii final : private SerialStream, public ModBus, private ReplySink {
  public:
    static constexpr int32_t kReceiveBufferSize = AsciiReceiver::kBufferSize;
    // A frame of this many digits or more is never a reply of ours.
    static constexpr int32_t kMaxFrameDigits = AsciiReceiver::kMaxFrameDigits;
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
    bool OnReply(int32_t tag, int32_t length, const uint8_t* pdu) override;

    AsciiReceiver receiver;  // polling thread only
};
