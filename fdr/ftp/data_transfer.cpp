#include "fdr/ftp/data_transfer.h"

#include <array>

namespace fdr {

TransferEnd receiveUntilClosed(platform::TcpClient& data, uint32_t waitLimitMs,
                               std::vector<uint8_t>& bytes) {
    std::array<uint8_t, 8192> chunk{};
    for (;;) {
        const platform::TcpClient::Result got =
            data.Receive(chunk.data(), static_cast<int>(chunk.size()), waitLimitMs);
        switch (got.status) {
            case platform::TcpClient::Status::kOk:
                if (bytes.size() + static_cast<std::size_t>(got.bytes) > maxTransferBytes)
                    return TransferEnd::TooLarge;
                bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got.bytes);
                break;
            case platform::TcpClient::Status::kClosed:
                return TransferEnd::Complete;
            case platform::TcpClient::Status::kTimedOut:
                return TransferEnd::TimedOut;
            case platform::TcpClient::Status::kFailed:
                return TransferEnd::Broken;
        }
    }
}

}  // namespace fdr
