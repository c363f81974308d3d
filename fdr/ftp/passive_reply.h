#pragma once

// The server's answer to PASV: "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)", the address
// and port of the data connection that the server waits on.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/ipv4_address.h"

namespace fdr {

struct PassiveTarget {
    platform::Ipv4Address address = 0;
    uint16_t port = 0;
};

// The six numbers after the first "(" (or, when the server writes none, after the reply code),
// separated by commas: each must be a decimal number from 0 to 255 and the port must not be 0.
// Nothing when the reply does not hold them.
std::optional<PassiveTarget> parsePassiveReply(std::string_view line);

}  // namespace fdr
