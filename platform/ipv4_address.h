#pragma once

// IPv4 addresses as programs type them: a dotted address or a host name.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// An IPv4 address with its first byte as the most significant; 0 stands for "none".
using Ipv4Address = uint32_t;

// The address of a dotted text (the system's own reading, so "127.1" and "0x7f.0.0.1" count
// too), else the first IPv4 address the system's name lookup gives for it, else 0. The
// network library must be started (NetworkStartup) on Windows.
Ipv4Address ResolveIpv4(std::string_view text);

// "a.b.c.d".
std::string Ipv4Text(Ipv4Address address);

}  // namespace platform
