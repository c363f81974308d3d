#pragma once

// The slave's side of the three Modbus framings: cutting requests out of received bytes
// and framing replies. Written apart from the master's framing classes on purpose, so
// that each side checks the other.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace krtsim {

uint16_t crc16(const uint8_t* bytes, size_t count);
uint8_t lrc(const uint8_t* bytes, size_t count);

// The length of the RTU request at bytes (unit byte to the end of the data, CRC not
// counted): 0 when more bytes are needed to tell, -1 for a function code whose layout the
// module does not know (such a frame is cut at the next silence instead).
int rtuRequestLength(const uint8_t* bytes, size_t available);

class RtuRequestCutter {
  public:
    void feed(const uint8_t* bytes, size_t count);
    // The next request whose CRC checks, without the CRC. Bytes that start no such frame
    // are dropped one at a time.
    std::optional<std::vector<uint8_t>> next();
    // Called when the line has been silent: a buffered frame of an unknown function code
    // with a sound CRC is cut whole; anything else buffered is discarded.
    std::optional<std::vector<uint8_t>> silence();
    bool pending() const { return !buffer_.empty(); }

  private:
    bool soundFrameAt(size_t at) const;

    std::vector<uint8_t> buffer_;
};

class AsciiRequestCutter {
  public:
    void feed(const uint8_t* bytes, size_t count);
    // The next frame with a sound LRC, decoded, without the LRC.
    std::optional<std::vector<uint8_t>> next();

  private:
    std::string buffer_;
};

struct TcpRequest {
    uint16_t transaction = 0;
    std::vector<uint8_t> pdu;  // unit byte first
};

class TcpRequestCutter {
  public:
    void feed(const uint8_t* bytes, size_t count);
    std::optional<TcpRequest> next();

  private:
    std::vector<uint8_t> buffer_;
};

std::vector<uint8_t> rtuFrame(const std::vector<uint8_t>& pdu);
std::vector<uint8_t> asciiFrame(const std::vector<uint8_t>& pdu);
std::vector<uint8_t> tcpFrame(uint16_t transaction, const std::vector<uint8_t>& pdu,
                              uint16_t protocol = 0);

}  // namespace krtsim
