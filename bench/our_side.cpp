#include "bench/bench_sides.h"
#include "modbus/modbus_rtu.h"
#include "modbus/modbus_tcp.h"

namespace {

constexpr uint32_t kTimeoutMs = 1000;
constexpr uint16_t kUnit = 1;

class OurMaster : public BenchMaster {
  public:
    explicit OurMaster(ModBus* connection) : connection(connection) {
        for (int i = 0; i < 99; ++i)
            words[i] = static_cast<uint16_t>(0x6000 + i);
    }
    ~OurMaster() override { connection->Close(); }
    bool IsOpen() override { return connection->IsOpen(); }
    bool ReadHundred() override {
        return connection->ReadHoldingRegisters(kTimeoutMs, kUnit, 100, 0, values) == 100;
    }
    bool WriteNinetyNine() override {
        return connection->WriteRegisters(kTimeoutMs, kUnit, 99, 0, words) == 0;
    }

  private:
    ModBus* connection;
    uint16_t values[100] = {};
    uint16_t words[99] = {};
};

}  // namespace

std::unique_ptr<BenchMaster> OurTcpMaster(uint16_t port) {
    return std::make_unique<OurMaster>(new ModBusTCP("127.0.0.1", port));
}

std::unique_ptr<BenchMaster> OurRtuMaster(const std::string& device) {
    return std::make_unique<OurMaster>(new ModBusRTU(device.c_str(), 115200, 0, 8, 0));
}
