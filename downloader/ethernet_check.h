#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Addresses a Write of the communication configuration would leave the module's Ethernet port
// unreachable at, or a mask no network uses. Each doubt is one sentence for the user, who may
// still mean it (a module taken off the network): the Write asks rather than refuses.

// True when the mask's one bits all stand before its zero bits (255.255.252.0, 0.0.0.0).
bool IsContiguousMask(uint32_t mask);

// The doubts about IP address `ip` with subnet mask `mask`, both first byte most significant:
// 0.0.0.0, 255.255.255.255 or the broadcast address of its subnet, a mask that is not
// contiguous. Empty when there is nothing to ask.
std::vector<std::string> EthernetDoubts(uint32_t ip, uint32_t mask);
