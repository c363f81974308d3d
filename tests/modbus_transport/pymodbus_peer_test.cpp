// The framings against a real Modbus server (pymodbus): over TCP on 127.0.0.1 and over a
// socat pseudo-terminal pair in RTU and in ASCII.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "modbus/modbus_ascii.h"
#include "modbus/modbus_rtu.h"
#include "modbus/modbus_tcp.h"
#include "tests/modbus_transport/child_process.h"
#include "tests/modbus_transport/connection_helpers.h"
#include "tests/modbus_transport/pymodbus_server.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace {

// The server answers every request here: the wait ends with its reply, and is long only so
// that a loaded machine (the server is a Python process) does not pass for a silent peer.
constexpr uint32_t kTimeoutMs = 10000;
constexpr uint16_t kUnit = 1;

// The server's register contents (see modbus_server.py).
uint16_t HoldingRegister(int n) {
    return static_cast<uint16_t>(3 * n + 1);
}
uint16_t InputRegister(int n) {
    return static_cast<uint16_t>(40000 - n);
}
uint8_t Coil(int n) {
    return n % 3 == 0 ? 1 : 0;
}

enum class Link { kTcp, kRtu, kAscii };

std::string LinkName(const ::testing::TestParamInfo<Link>& info) {
    switch (info.param) {
        case Link::kTcp:
            return "Tcp";
        case Link::kRtu:
            return "Rtu";
        case Link::kAscii:
            return "Ascii";
    }
    return "";
}

// A pseudo-terminal pair made by socat; the server opens one end, the master the other.
class SocatPair {
  public:
    bool Start() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "modbus_transport_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            return false;
        directory = pattern;
        masterEnd = directory + "/master";
        serverEnd = directory + "/server";
        if (!socat.Start({"/usr/bin/socat", "pty,raw,echo=0,link=" + masterEnd,
                          "pty,raw,echo=0,link=" + serverEnd})) {
            return false;
        }
        for (int i = 0; i < 500; ++i) {
            struct stat info;
            if (::stat(masterEnd.c_str(), &info) == 0 && ::stat(serverEnd.c_str(), &info) == 0) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    ~SocatPair() {
        socat.Stop();
        if (!directory.empty()) {
            ::unlink(masterEnd.c_str());
            ::unlink(serverEnd.c_str());
            ::rmdir(directory.c_str());
        }
    }
    std::string masterEnd, serverEnd;

  private:
    ChildProcess socat;
    std::string directory;
};

class PymodbusPeer : public ::testing::TestWithParam<Link> {
  protected:
    void SetUp() override {
        switch (GetParam()) {
            case Link::kTcp:
                ASSERT_TRUE(server.StartTcp());
                master = new ModBusTCP("127.0.0.1", server.Port());
                break;
            case Link::kRtu:
                ASSERT_TRUE(pair.Start());
                ASSERT_TRUE(server.StartSerial("rtu", pair.serverEnd));
                master = new ModBusRTU(pair.masterEnd.c_str(), 115200, 0, 8, 0);
                break;
            case Link::kAscii:
                ASSERT_TRUE(pair.Start());
                ASSERT_TRUE(server.StartSerial("ascii", pair.serverEnd));
                master = new ModBusAscii(pair.masterEnd.c_str(), 115200, 0, 8, 0);
                break;
        }
        ASSERT_TRUE(master->IsOpen()) << master->GetErrorText();
    }
    void TearDown() override {
        if (master != nullptr)
            master->Close();
        server.Stop();
    }

    SocatPair pair;
    PymodbusServer server;
    ModBus* master = nullptr;
};

TEST_P(PymodbusPeer, ReadsRegistersAndCoils) {
    uint16_t holding[26] = {};
    ASSERT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 26, 37, holding), 26)
        << master->GetErrorText();
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(holding[i], HoldingRegister(37 + i)) << i;

    uint16_t input[125] = {};
    ASSERT_EQ(master->ReadInputRegisters(kTimeoutMs, kUnit, 125, 500, input), 125);
    for (int i = 0; i < 125; ++i)
        EXPECT_EQ(input[i], InputRegister(500 + i)) << i;

    uint8_t coils[21] = {};
    ASSERT_EQ(master->ReadCoils(kTimeoutMs, kUnit, 21, 4, coils), 21);
    for (int i = 0; i < 21; ++i)
        EXPECT_EQ(coils[i], Coil(4 + i)) << i;
}

TEST_P(PymodbusPeer, WritesAndReadsBack) {
    uint16_t block[99];
    for (int i = 0; i < 99; ++i)
        block[i] = static_cast<uint16_t>(0xA000 + 7 * i);
    ASSERT_EQ(master->WriteRegisters(kTimeoutMs, kUnit, 99, 1000, block), 0)
        << master->GetErrorText();
    ASSERT_EQ(master->WriteRegister(kTimeoutMs, kUnit, 1099, 0xFFFF), 0);
    uint16_t back[100] = {};
    ASSERT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 100, 1000, back), 100);
    for (int i = 0; i < 99; ++i)
        EXPECT_EQ(back[i], block[i]) << i;
    EXPECT_EQ(back[99], 0xFFFF);

    const uint8_t pattern[10] = {1, 1, 0, 0, 1, 0, 1, 0, 0, 1};
    ASSERT_EQ(master->WriteCoils(kTimeoutMs, kUnit, 10, 50, pattern), 0);
    ASSERT_EQ(master->WriteCoil(kTimeoutMs, kUnit, 60, 1), 0);
    uint8_t coils[11] = {};
    ASSERT_EQ(master->ReadCoils(kTimeoutMs, kUnit, 11, 50, coils), 11);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(coils[i], pattern[i]) << i;
    EXPECT_EQ(coils[10], 1);
}

TEST_P(PymodbusPeer, ExceptionReplyCarriesItsCode) {
    uint16_t value = 0;
    // Past the end of the server's 2000 registers: Illegal Data Address.
    EXPECT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 1, 5000, &value), -(kUnit << 16 | 2));
    EXPECT_EQ(master->GetErrorText(), "Illegal Data Address");
}

INSTANTIATE_TEST_SUITE_P(AllLinks, PymodbusPeer,
                         ::testing::Values(Link::kTcp, Link::kRtu, Link::kAscii), LinkName);

TEST(PymodbusTcpRestart, MasterReconnectsAndCompletesTheNextRequest) {
    PymodbusServer server;
    ASSERT_TRUE(server.StartTcp());
    ConnectionPtr<ModBusTCP> master(new ModBusTCP("127.0.0.1", server.Port()));
    ASSERT_TRUE(master->IsOpen()) << master->GetErrorText();
    uint16_t value = 0;
    ASSERT_EQ(master->ReadHoldingRegisters(kTimeoutMs, kUnit, 1, 10, &value), 1);

    server.Stop();
    ASSERT_TRUE(server.StartTcp());
    // The first request after the restart may meet the old, dead connection; the link then
    // comes back by itself and a following request is answered.
    int32_t result = -1;
    const int64_t deadline = NowMs() + 20000;
    while (result < 0 && NowMs() < deadline) {
        result = master->ReadHoldingRegisters(2000, kUnit, 1, 11, &value);
    }
    ASSERT_EQ(result, 1) << master->GetErrorText();
    EXPECT_EQ(value, HoldingRegister(11));
}

}  // namespace
