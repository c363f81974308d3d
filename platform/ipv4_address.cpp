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

Ipv4Address ResolveIpv4(std::string_view text) {
    const std::string name(text);
    if (name.empty() || name.find('\0') != std::string::npos)
        return 0;
    const auto dotted = ::inet_addr(name.c_str());
    if (dotted != INADDR_NONE)
        return ntohl(dotted);
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
