#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "modbus/modbus.h"
#include "modbus/reply_receivers.h"
#include "modbus/serial_stream.h"

// Modbus RTU on a COM port: each PDU goes out followed by its CRC-16, and replies are cut
// from the received bytes by their expected length and CRC (RtuReceiver).
//
// Make one with new; end it only with Close(), which stops the polling thread and deletes
// the object. Construction never fails outright: when IsOpen() is false, GetErrorText()
// says why, and Close() still ends the object.
class ModBusRTU final : private SerialStream, public ModBus, private ReplySink {
  public:
    static constexpr int32_t kReceiveBufferSize = RtuReceiver::kBufferSize;
    // RTS raised only while transmitting; ports that cannot do that fall back to RTS on.
    static constexpr int kRtsToggle = 3;

    // portName: "COMn:" as listed by the system (elsewhere than Windows also a device path).
    // parity: 0 none, 1 odd, 2 even; byteSize 7 or 8; stopBits: 0 one, 2 two.
    ModBusRTU(const char* portName, uint32_t baud, uint8_t parity, uint8_t byteSize,
              uint8_t stopBits);

    std::string GetErrorText() override;
    void SetErrorText(std::string_view text) override;
    void ResetReceive() override;
    void Close() override;
    bool IsOpen() override;
    // Always tag 0: the serial line carries one request at a time.
    int32_t SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t noResponse) override;

  private:
    ~ModBusRTU() override;

    void OnIdle() override;
    bool OnReceive(int32_t length, const uint8_t* bytes) override;
    void OnDiscardInput() override;
    bool OnReply(int32_t tag, int32_t length, const uint8_t* pdu) override;

    RtuReceiver receiver;  // polling thread only, but for the unit SendFrame announces
    // The last request was answered by a reply that ended the input: nothing stray is
    // pending, so the next request need not flush the device. Any other outcome (a time-out,
    // bytes after the reply, the first request) leaves it false.
    std::atomic<bool> inputEndedWithReply{false};
};
