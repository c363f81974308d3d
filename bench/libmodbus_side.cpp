#include <modbus.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "bench/bench_sides.h"

namespace {

constexpr int kUnit = 1;

class LibmodbusMaster : public BenchMaster {
  public:
    explicit LibmodbusMaster(modbus_t* context) : context(context) {
        modbus_set_slave(context, kUnit);
        modbus_set_response_timeout(context, 1, 0);
        open = modbus_connect(context) == 0;
        for (int i = 0; i < 99; ++i)
            words[i] = static_cast<uint16_t>(0x5000 + i);
    }
    ~LibmodbusMaster() override {
        modbus_close(context);
        modbus_free(context);
    }
    bool IsOpen() override { return open; }
    bool ReadHundred() override { return modbus_read_registers(context, 0, 100, values) == 100; }
    bool WriteNinetyNine() override { return modbus_write_registers(context, 0, 99, words) == 99; }

  private:
    modbus_t* context;
    bool open = false;
    uint16_t values[100] = {};
    uint16_t words[99] = {};
};

[[noreturn]] void Serve(modbus_t* context, bool acceptClients) {
    modbus_mapping_t* mapping = modbus_mapping_new(0, 0, 1000, 0);
    uint8_t query[MODBUS_TCP_MAX_ADU_LENGTH];
    int listener = acceptClients ? modbus_tcp_listen(context, 4) : -1;
    if (!acceptClients && modbus_connect(context) != 0) {
        std::fprintf(stderr, "server: %s\n", modbus_strerror(errno));
        std::_Exit(1);
    }
    for (;;) {
        if (acceptClients && modbus_tcp_accept(context, &listener) < 0)
            std::_Exit(1);
        for (;;) {
            const int length = modbus_receive(context, query);
            if (length > 0) {
                modbus_reply(context, query, length, mapping);
            } else if (length < 0 && acceptClients) {
                break;  // the client went away; take the next one
            }
        }
        ::close(modbus_get_socket(context));
    }
}

}  // namespace

std::unique_ptr<BenchMaster> LibmodbusTcpMaster(uint16_t port) {
    return std::make_unique<LibmodbusMaster>(modbus_new_tcp("127.0.0.1", port));
}

std::unique_ptr<BenchMaster> LibmodbusRtuMaster(const std::string& device) {
    return std::make_unique<LibmodbusMaster>(modbus_new_rtu(device.c_str(), 115200, 'N', 8, 1));
}

void RunLibmodbusTcpServer(uint16_t port) {
    Serve(modbus_new_tcp("127.0.0.1", port), true);
}

void RunLibmodbusRtuServer(const std::string& device) {
    modbus_t* context = modbus_new_rtu(device.c_str(), 115200, 'N', 8, 1);
    modbus_set_slave(context, kUnit);
    Serve(context, false);
}
