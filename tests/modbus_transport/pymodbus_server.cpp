#include "tests/modbus_transport/pymodbus_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// pymodbus takes a while to import on a busy machine.
constexpr int kStartupMs = 30000;

}  // namespace

PymodbusServer::~PymodbusServer() {
    Stop();
    if (listenFd >= 0)
        ::close(listenFd);
}

bool PymodbusServer::StartTcp() {
    if (listenFd < 0) {
        listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listenFd < 0 ||
            ::bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listenFd, 8) != 0 ||
            ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return false;
        }
        port = ntohs(address.sin_port);
    }
    return Start({"tcp-socket", std::to_string(listenFd)}, listenFd);
}

bool PymodbusServer::StartSerial(const std::string& framing, const std::string& device) {
    return Start({framing, device}, -1);
}

bool PymodbusServer::Start(const std::vector<std::string>& arguments, int keepFd) {
    std::vector<std::string> argv = {PYTHON_FOR_PYMODBUS, MODBUS_SERVER_SCRIPT};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return process.Start(argv, keepFd) && process.WaitForLine("ready", kStartupMs);
}

void PymodbusServer::Stop() {
    process.Stop();
}
