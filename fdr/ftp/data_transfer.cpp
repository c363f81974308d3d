#include "fdr/ftp/data_transfer.h"

#include <algorithm>
#include <array>

#include "platform/tick.h"

namespace fdr {

TransferEnd receiveUntilClosed(platform::TcpClient& data, uint32_t waitLimitMs, uint32_t deadline,
                               std::vector<uint8_t>& bytes) {
    std::array<uint8_t, 8192> chunk{};
    for (;;) {
        const uint32_t now = platform::TickCount();
        if (platform::TickReached(now, deadline))
            return TransferEnd::Overdue;
        const uint32_t left = deadline - now;
        const platform::TcpClient::Result got =
            data.Receive(chunk.data(), static_cast<int>(chunk.size()), std::min(waitLimitMs, left));
        switch (got.status) {
            case platform::TcpClient::Status::kOk:
                if (bytes.size() + static_cast<std::size_t>(got.bytes) > maxTransferBytes)
                    return TransferEnd::TooLarge;
                bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got.bytes);
                break;
            case platform::TcpClient::Status::kClosed:
                return TransferEnd::Complete;
            case platform::TcpClient::Status::kTimedOut:
                if (waitLimitMs >= left)
                    return TransferEnd::Overdue;
                return TransferEnd::TimedOut;
            case platform::TcpClient::Status::kFailed:
                return TransferEnd::Broken;
        }
    }
}

}  // namespace fdr
