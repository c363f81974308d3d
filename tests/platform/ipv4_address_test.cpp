// Addresses as the user types them. Every text here is meant as a number, so none of them asks
// the machine's name service.

#include "platform/ipv4_address.h"

#include <gtest/gtest.h>

namespace {

TEST(Ipv4Address, EachPartIsADecimalNumberWhateverItsLeadingZeros) {
    const struct {
        const char* typed;
        platform::Ipv4Address address;  // 0: refused
    } cases[] = {
        {"127.000.016.010", 0x7F00100A},
        {"010.0.0.1", 0x0A000001},
        {"192.168.010.020", 0xC0A80A14},
        {"192.168.1.10", 0xC0A8010A},
        {"00192.168.1.0010", 0xC0A8010A},
        {"255.255.255.255", 0xFFFFFFFF},
        // Blanks after the address, and what follows them, were never part of it.
        {"192.168.1.10 ", 0xC0A8010A},
        {"192.168.1.10\t\r\n", 0xC0A8010A},
        {"192.168.1.10 rack 2", 0xC0A8010A},
        // No address to connect to, as before.
        {"0.0.0.0", 0},
        {"1.2.3.256", 0},
        {"1.2.3.1000", 0},
        {"1.2.3", 0},
        {"127.1", 0},
        {"2130706433", 0},
        {"0x7f.0.0.1", 0},
        {"0x7f000001", 0},
        {"127.0.0.0x1", 0},
        {"1.2.3.4.5", 0},
        {"1..3.4", 0},
        {".1.2.3.4", 0},
        {"-1.2.3.4", 0},
        {"+1.2.3.4", 0},
        {"1.2.3.4x.5", 0},
        {"99999999999999999999.1.2.3", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::ResolveIpv4(c.typed), c.address) << c.typed;
}

TEST(Ipv4Address, TextIsWrittenAsFourDecimalNumbers) {
    EXPECT_EQ(platform::Ipv4Text(0x7F00100A), "127.0.16.10");
    EXPECT_EQ(platform::ParseDottedDecimal(platform::Ipv4Text(0xC0A80A14)), 0xC0A80A14U);
}

}  // namespace
