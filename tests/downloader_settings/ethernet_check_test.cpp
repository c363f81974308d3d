// The doubts a Write of the communication configuration asks about before it sends.

#include "downloader/ethernet_check.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t Address(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return a << 24 | b << 16 | c << 8 | d;
}

TEST(EthernetCheckTest, MasksAreContiguousWhenTheirOnesComeFirst) {
    for (const uint32_t mask : {Address(255, 255, 255, 0), Address(255, 255, 252, 0),
                                Address(255, 255, 255, 255), Address(128, 0, 0, 0), 0u}) {
        EXPECT_TRUE(IsContiguousMask(mask)) << std::hex << mask;
    }
    for (const uint32_t mask :
         {Address(255, 0, 255, 0), Address(0, 255, 255, 255), Address(255, 255, 255, 253), 1u}) {
        EXPECT_FALSE(IsContiguousMask(mask)) << std::hex << mask;
    }
}

TEST(EthernetCheckTest, DoubtsNameTheAddressAndWhy) {
    const uint32_t c24 = Address(255, 255, 255, 0);
    const struct {
        uint32_t ip, mask;
        std::vector<std::string> doubts;
    } cases[] = {
        {0, c24, {"IP address 0.0.0.0 is no address: the module cannot be reached over Ethernet."}},
        {Address(255, 255, 255, 255),
         c24,
         {"IP address 255.255.255.255 is the broadcast address: the module cannot be reached "
          "over Ethernet at it."}},
        {Address(192, 168, 1, 255),
         c24,
         {"IP address 192.168.1.255 is the broadcast address of its subnet 255.255.255.0: the "
          "module cannot be reached over Ethernet at it."}},
        {Address(192, 168, 1, 10),
         Address(255, 0, 255, 0),
         {"Subnet mask 255.0.255.0 is not contiguous."}},
        {0,
         Address(0, 255, 0, 0),
         {"IP address 0.0.0.0 is no address: the module cannot be reached over Ethernet.",
          "Subnet mask 0.255.0.0 is not contiguous."}},
        // Nothing to ask: an ordinary host, a .255 that is not the subnet's broadcast, the
        // subnets without a broadcast address (/31, /32), and the factory address.
        {Address(192, 168, 1, 10), c24, {}},
        {Address(10, 0, 0, 255), Address(255, 255, 0, 0), {}},
        {Address(10, 0, 0, 1), Address(255, 255, 255, 254), {}},
        {Address(10, 0, 0, 255), Address(255, 255, 255, 255), {}},
        {Address(10, 10, 10, 10), Address(255, 0, 0, 0), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EthernetDoubts(c.ip, c.mask), c.doubts) << std::hex << c.ip << " " << c.mask;
}

}  // namespace
