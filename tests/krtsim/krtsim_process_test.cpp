// krtsim run as a program through its harness, spoken to with raw frames: the ready line,
// the three framings, the request log and the state dump.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "krtsim_harness.h"
#include "slave_framing.h"

namespace krtsim {
namespace {

using Bytes = std::vector<uint8_t>;

// Reads until `expected` bytes came or the time ran out.
Bytes receive(int fd, size_t expected, int timeoutMs = 2000) {
    Bytes bytes;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes.size() < expected && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 20) <= 0)
            continue;
        uint8_t buffer[512];
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0)
            bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void send(int fd, const Bytes& bytes) {
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

int connectTcp(uint16_t port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int openRawTerminal(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    termios settings{};
    if (fd >= 0 && tcgetattr(fd, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(fd, TCSANOW, &settings);
    }
    return fd;
}

const Bytes kReadIdentity{1, 3, 0x1F, 0xFB, 0, 1};
const Bytes kReadSerial{1, 20, 7, 6, 0, 128, 2, 20, 0, 2};

TEST(KrtSimProcess, ServesTcpAndDumpsWhatReachedTheModule) {
    KrtSim sim({"--identity", "0x9995", "--serial", "70000"});
    ASSERT_TRUE(sim.start(Framing::Tcp)) << sim.output();
    ASSERT_NE(sim.port(), 0);
    int fd = connectTcp(sim.port());
    ASSERT_GE(fd, 0);
    send(fd, tcpFrame(1, kReadIdentity));
    EXPECT_EQ(receive(fd, 11), tcpFrame(1, {1, 3, 2, 0x99, 0x95}));
    send(fd, tcpFrame(2, kReadSerial));
    EXPECT_EQ(receive(fd, 15), tcpFrame(2, {1, 20, 6, 5, 6, 0x00, 0x01, 0x11, 0x70}));
    send(fd, tcpFrame(3, {1, 0x42, 0x21, 0, 0, 0, 8, 2, 0x60, 0x14, 0xBE, 0xEF}));
    EXPECT_EQ(receive(fd, 9), tcpFrame(3, {1, 0x42, 0x21}));

    StateDump running = sim.dump();
    EXPECT_EQ(running.sequence(), 1);
    EXPECT_EQ(running.requestCount(), 3);
    EXPECT_EQ(running.channelFlash(1)[4], 0x6014);

    send(fd, tcpFrame(4, {1, 0x42, 0x61, 0, 0, 0, 8, 1, 0x12, 0x34}));
    EXPECT_EQ(receive(fd, 9), tcpFrame(4, {1, 0x42, 0x61}));
    close(fd);
    EXPECT_TRUE(sim.stop()) << sim.output();

    StateDump last = sim.dump();
    EXPECT_EQ(last.sequence(), 2);
    auto flash = last.channelFlash(1);
    ASSERT_EQ(flash.size(), 65536u);
    EXPECT_EQ(flash[4], 0x6014);
    EXPECT_EQ(flash[5], 0xBEEF);
    EXPECT_EQ(flash[6], 0xFFFF);
    EXPECT_EQ(last.channelRam(1)[4], 0x1234);
    EXPECT_EQ(last.channelFlash(2)[4], 0xFFFF);
    EXPECT_EQ(last.holding(33), 33);
    EXPECT_EQ(last.status(1), 0x8000);

    auto log = sim.requests();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].functionCode, 3);
    EXPECT_EQ(log[0].field("start"), 8187);
    EXPECT_EQ(log[1].field("file"), 128);
    EXPECT_EQ(log[2].field("sub"), 0x20);
    EXPECT_EQ(log[2].field("addr"), 8);
    EXPECT_EQ(log[2].values(), (std::vector<uint16_t>{0x6014, 0xBEEF}));
    EXPECT_TRUE(log[3].ok());
}

TEST(KrtSimProcess, ServesRtuOnAPseudoTerminal) {
    std::string link =
        std::filesystem::temp_directory_path() / ("krtsim-link-" + std::to_string(getpid()));
    KrtSim sim({"--link", link, "--fault", "req=2,do=noreply"});
    ASSERT_TRUE(sim.start(Framing::Rtu)) << sim.output();
    EXPECT_EQ(std::filesystem::read_symlink(link), sim.devicePath());
    int fd = openRawTerminal(link);
    ASSERT_GE(fd, 0);
    send(fd, rtuFrame(kReadSerial));
    EXPECT_EQ(receive(fd, 11), rtuFrame({1, 20, 6, 5, 6, 0x00, 0x12, 0xD6, 0x87}));
    send(fd, rtuFrame(kReadIdentity));
    EXPECT_TRUE(receive(fd, 1, 300).empty()) << "request 2 gets no reply";
    // A request split over two writes, then a function code the module does not know.
    Bytes frame = rtuFrame(kReadIdentity);
    send(fd, Bytes(frame.begin(), frame.begin() + 3));
    send(fd, Bytes(frame.begin() + 3, frame.end()));
    EXPECT_EQ(receive(fd, 7), rtuFrame({1, 3, 2, 0x99, 0x91}));
    send(fd, rtuFrame({1, 0x2B, 0x0E, 0x01, 0x00}));
    EXPECT_EQ(receive(fd, 5), rtuFrame({1, 0xAB, 1}));
    close(fd);
    EXPECT_TRUE(sim.stop());
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(sim.requests().size(), 4u);
}

TEST(KrtSimProcess, ServesAsciiOnAPseudoTerminal) {
    KrtSim sim({"--unit", "5"});
    ASSERT_TRUE(sim.start(Framing::Ascii)) << sim.output();
    int fd = openRawTerminal(sim.devicePath());
    ASSERT_GE(fd, 0);
    send(fd, asciiFrame({1, 3, 0x1F, 0xFB, 0, 1}));  // another unit: no reply
    send(fd, asciiFrame({5, 6, 0, 34, 0xFF, 0x00}));
    EXPECT_EQ(receive(fd, 17), asciiFrame({5, 6, 0, 34, 0xFF, 0x00}));
    close(fd);
    ASSERT_TRUE(sim.stop());
    EXPECT_EQ(sim.dump().holding(34), 0xFF00);
    auto log = sim.requests();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].fields.at("result"), "ignored");
}

TEST(KrtSimProcess, RefusesABadCommandLine) {
    KrtSim sim({"--space", "7=100"});
    EXPECT_FALSE(sim.start(Framing::Tcp));
    EXPECT_NE(sim.output().find("bad value '7=100' for --space"), std::string::npos)
        << sim.output();
}

}  // namespace
}  // namespace krtsim
