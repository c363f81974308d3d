#pragma once

// IPv4 addresses as programs type them: a dotted address or a host name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// An IPv4 address with its first byte as the most significant; 0 stands for "none".
using Ipv4Address = uint32_t;

// Four decimal numbers from 0 to 255 joined by dots, each with as many leading zeros as the
// user typed ("192.168.010.020" is 192.168.10.20, never octal); nothing for any other text.
std::optional<Ipv4Address> ParseDottedDecimal(std::string_view text);

// The address of a dotted text, else the first IPv4 address the system's name lookup gives
// for it, else 0. A text meant as a number (its last label is digits, or 0x and hex digits)
// is read by ParseDottedDecimal alone: the system's own reading would take "010" as octal and
// "127.1" or "0x7f.0.0.1" as addresses. As that reading did, the address ends at the first
// blank. The network library must be started (NetworkStartup) on Windows.
Ipv4Address ResolveIpv4(std::string_view text);

// "a.b.c.d".
std::string Ipv4Text(Ipv4Address address);

}  // namespace platform
