// Round trips per second: our master and libmodbus's master, one after the other, against
// the same libmodbus server: over TCP loopback and over a pty pair in RTU.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_peers.h"
#include "bench/bench_sides.h"

namespace {

// Many short turns rather than one long run each: load from elsewhere on the machine then
// falls on both masters alike.
constexpr auto kMeasureTime = std::chrono::milliseconds(100);
constexpr int kRounds = 21;

using Operation = bool (BenchMaster::*)();
using MasterMaker = std::function<std::unique_ptr<BenchMaster>()>;

// Round trips per second over one measuring period, or -1 when a request failed.
double Rate(BenchMaster& master, Operation operation) {
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < 20; ++i) {
        if (!(master.*operation)())
            return -1;  // warm-up
    }
    const Clock::time_point start = Clock::now();
    long count = 0;
    Clock::duration elapsed{};
    do {
        for (int i = 0; i < 50; ++i) {
            if (!(master.*operation)())
                return -1;
        }
        count += 50;
        elapsed = Clock::now() - start;
    } while (elapsed < kMeasureTime);
    return count / std::chrono::duration<double>(elapsed).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A few rounds, taken in turns so that both masters meet the same conditions. The median
// round is what a user can count on; the best shows what each can do on a quiet machine.
void Compare(const char* link, const char* what, Operation operation, const MasterMaker& ours,
             const MasterMaker& theirs) {
    std::vector<double> rates[2];
    for (int round = 0; round < kRounds; ++round) {
        const MasterMaker* makers[2] = {&ours, &theirs};
        for (int side = 0; side < 2; ++side) {
            std::unique_ptr<BenchMaster> master = (*makers[side])();
            if (!master->IsOpen()) {
                std::printf("%s %s: %s master did not open\n", link, what,
                            side == 0 ? "our" : "libmodbus");
                return;
            }
            const double rate = Rate(*master, operation);
            if (rate < 0) {
                std::printf("%s %s: %s master failed a request\n", link, what,
                            side == 0 ? "our" : "libmodbus");
                return;
            }
            rates[side].push_back(rate);
        }
    }
    const double median[2] = {Median(rates[0]), Median(rates[1])};
    const double best[2] = {*std::max_element(rates[0].begin(), rates[0].end()),
                            *std::max_element(rates[1].begin(), rates[1].end())};
    std::printf(
        "%-4s %-27s median: ours %7.0f/s  libmodbus %7.0f/s  ratio %.2f   best: ratio %.2f\n", link,
        what, median[0], median[1], median[0] / median[1], best[0] / best[1]);
}

bool CompareTcp() {
    const uint16_t port = FreeLoopbackPort();
    ChildServer tcpServer([port] { RunLibmodbusTcpServer(port); });
    if (!WaitForListener(port, 5000)) {
        std::printf("the TCP server did not start\n");
        return false;
    }
    // The probe connections above count as clients; give the server time to drop them.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Compare(
        "TCP", "read 100 holding registers", &BenchMaster::ReadHundred,
        [port] { return OurTcpMaster(port); }, [port] { return LibmodbusTcpMaster(port); });
    Compare(
        "TCP", "write 99 registers", &BenchMaster::WriteNinetyNine,
        [port] { return OurTcpMaster(port); }, [port] { return LibmodbusTcpMaster(port); });
    return true;
}

bool CompareRtu() {
    PtyPair pair;
    if (!pair.Ready()) {
        std::printf("socat did not make the pty pair\n");
        return false;
    }
    ChildServer rtuServer([&pair] { RunLibmodbusRtuServer(pair.serverEnd); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::string device = pair.masterEnd;
    Compare(
        "RTU", "read 100 holding registers", &BenchMaster::ReadHundred,
        [device] { return OurRtuMaster(device); }, [device] { return LibmodbusRtuMaster(device); });
    Compare(
        "RTU", "write 99 registers", &BenchMaster::WriteNinetyNine,
        [device] { return OurRtuMaster(device); }, [device] { return LibmodbusRtuMaster(device); });
    return true;
}

// One master alone over an existing pty, for strace or perf to look at one side: `count`
// reads of 100 registers then `count` writes of 99, timed.
int RunOneMaster(const std::string& side, const std::string& device, int count) {
    std::unique_ptr<BenchMaster> master =
        side == "ours" ? OurRtuMaster(device) : LibmodbusRtuMaster(device);
    if (!master->IsOpen()) {
        std::printf("the master did not open %s\n", device.c_str());
        return 1;
    }
    const Operation operations[2] = {&BenchMaster::ReadHundred, &BenchMaster::WriteNinetyNine};
    for (const Operation operation : operations) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i) {
            if (!((*master).*operation)()) {
                std::printf("request %d failed\n", i);
                return 1;
            }
        }
        const std::chrono::duration<double, std::micro> elapsed =
            std::chrono::steady_clock::now() - start;
        std::printf("%s: %.1f us per round trip\n",
                    operation == operations[0] ? "read 100" : "write 99", elapsed.count() / count);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // "tcp" or "rtu" runs that link alone. "rtu-server DEVICE" serves on a pty made
    // elsewhere (socat), "rtu-ours DEVICE COUNT" and "rtu-libmodbus DEVICE COUNT" run one
    // master against it.
    const std::string only = argc > 1 ? argv[1] : "";
    if (only == "rtu-server" && argc > 2)
        RunLibmodbusRtuServer(argv[2]);
    if ((only == "rtu-ours" || only == "rtu-libmodbus") && argc > 3)
        return RunOneMaster(only.substr(4), argv[2], std::atoi(argv[3]));
    if (only != "rtu" && !CompareTcp())
        return 1;
    if (only != "tcp" && !CompareRtu())
        return 1;
    return 0;
}
