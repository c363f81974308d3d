#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "modbus/modbus.h"
#include "modbus/reply_receivers.h"
#include "modbus/tcpip_stream.h"

// Modbus/TCP: each PDU goes out behind an MBAP header whose transaction identifier is the
// request's tag; replies are matched by that identifier.
//
// Make one with new; end it only with Close(), which stops the I/O thread and deletes the
// object. Construction never fails outright: when IsOpen() is false, GetErrorText() says
// why, and Close() still ends the object. Once connected, the object reconnects by itself
// whenever the link breaks.
class ModBusTCP final : private TcpipStream, public ModBus, private ReplySink {
  public:
    static constexpr int32_t kReceiveBufferSize = TcpReceiver::kBufferSize;
    static constexpr int32_t kHeaderSize = TcpReceiver::kHeaderSize;

    // host: a name or a dotted address; port: the server's TCP port (502 as a rule).
    ModBusTCP(const char* host, uint16_t port);

    std::string GetErrorText() override;
    void SetErrorText(std::string_view text) override;
    void ResetReceive() override;
    void Close() override;
    bool IsOpen() override;
    // The tag is the frame's transaction identifier, 0 to 65535, counting up from 0. A
    // connection that never came up refuses with -kModbusPortClosed: nothing would ever send
    // the frame or expire the request.
    int32_t SendFrame(int32_t pduLength, const uint8_t* pdu, uint8_t noResponse) override;

  private:
    ~ModBusTCP() override;

    void OnIdle() override;
    bool OnReceive(int32_t length, const uint8_t* bytes) override;
    void OnConnected() override;
    bool OnReply(int32_t tag, int32_t length, const uint8_t* pdu) override;

    TcpReceiver receiver;  // I/O thread only
    // Set by SendFrame when the request it sends is the only one in flight: whatever the
    // receiver holds then belongs to earlier replies (a length field shorter than the data
    // leaves such bytes behind) and would be read as the start of the new reply.
    std::atomic<bool> discardRequested{false};
    uint16_t transactionCounter = 0;  // guarded by the core lock, like SendFrame itself
};
