#include "downloader/ethernet_check.h"

#include "platform/ipv4_address.h"

bool IsContiguousMask(uint32_t mask) {
    const uint32_t hostBits = ~mask;
    return (hostBits & (hostBits + 1)) == 0;
}

std::vector<std::string> EthernetDoubts(uint32_t ip, uint32_t mask) {
    std::vector<std::string> doubts;
    const std::string address = platform::Ipv4Text(ip);
    if (ip == 0) {
        doubts.push_back(
            "IP address 0.0.0.0 is no address: the module cannot be reached over "
            "Ethernet.");
    } else if (ip == 0xFFFFFFFF) {
        doubts.push_back("IP address " + address +
                         " is the broadcast address: the module cannot be reached over Ethernet "
                         "at it.");
    } else if (IsContiguousMask(mask) && (~mask & ~1u) != 0 && (ip | mask) == 0xFFFFFFFF) {
        // A subnet of one or two addresses (/32, /31) has no broadcast address.
        doubts.push_back("IP address " + address + " is the broadcast address of its subnet " +
                         platform::Ipv4Text(mask) +
                         ": the module cannot be reached over Ethernet at it.");
    }
    if (!IsContiguousMask(mask))
        doubts.push_back("Subnet mask " + platform::Ipv4Text(mask) + " is not contiguous.");
    return doubts;
}
