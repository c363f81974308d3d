// The BSD socket calls used here are the same on both systems; only their headers differ.

#include "platform/ipv4_address.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include <cstring>

namespace platform {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The blanks that ended an address in the system's own reading.
bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// A host name's last label is never a number (its top-level domain), so a text whose last label
// is one was typed as an address.
bool MeantAsNumber(std::string_view text) {
    const std::size_t lastDot = text.rfind('.');
    std::string_view label = lastDot == std::string_view::npos ? text : text.substr(lastDot + 1);
    if (label.size() >= 2 && label[0] == '0' && (label[1] == 'x' || label[1] == 'X')) {
        label.remove_prefix(2);
        for (char c : label) {
            if (!IsHexDigit(c))
                return false;
        }
        return true;
    }
    if (label.empty())
        return false;
    for (char c : label) {
        if (!IsDigit(c))
            return false;
    }
    return true;
}

}  // namespace

std::optional<Ipv4Address> ParseDottedDecimal(std::string_view text) {
    Ipv4Address address = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.')
                return std::nullopt;
            ++at;
        }
        const std::size_t start = at;
        unsigned value = 0;
        while (at < text.size() && IsDigit(text[at])) {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            if (value > 255)
                return std::nullopt;
            ++at;
        }
        if (at == start)
            return std::nullopt;
        address = address << 8 | value;
    }
    if (at != text.size())
        return std::nullopt;
    return address;
}

Ipv4Address ResolveIpv4(std::string_view text) {
    const std::string name(text);
    if (name.empty() || name.find('\0') != std::string::npos)
        return 0;
    std::string_view typed = text;
    for (std::size_t at = 0; at < typed.size(); ++at) {
        if (IsBlank(typed[at])) {
            typed = typed.substr(0, at);
            break;
        }
    }
    if (MeantAsNumber(typed))
        return ParseDottedDecimal(typed).value_or(0);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return 0;
    sockaddr_in address{};
    std::memcpy(&address, found->ai_addr, sizeof address);
    ::freeaddrinfo(found);
    return ntohl(address.sin_addr.s_addr);
}

std::string Ipv4Text(Ipv4Address address) {
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

}  // namespace platform
