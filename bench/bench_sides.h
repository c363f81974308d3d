#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// One Modbus master under test, seen only through the two round trips the benchmark times.
// Each side lives in its own file so that libmodbus's <modbus.h> and ours never meet.
class BenchMaster {
  public:
    virtual ~BenchMaster() = default;
    virtual bool IsOpen() = 0;
    // Read 100 holding registers from 0; true on success.
    virtual bool ReadHundred() = 0;
    // Write 99 holding registers from 0; true on success.
    virtual bool WriteNinetyNine() = 0;
};

std::unique_ptr<BenchMaster> OurTcpMaster(uint16_t port);
std::unique_ptr<BenchMaster> OurRtuMaster(const std::string& device);
std::unique_ptr<BenchMaster> LibmodbusTcpMaster(uint16_t port);
std::unique_ptr<BenchMaster> LibmodbusRtuMaster(const std::string& device);

// The server both masters talk to, run in a child process until the benchmark ends.
// Serves one client at a time, unit 1, 1000 holding registers.
[[noreturn]] void RunLibmodbusTcpServer(uint16_t port);
[[noreturn]] void RunLibmodbusRtuServer(const std::string& device);
