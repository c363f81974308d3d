// The serial port list: the store file's own SERIALCOMM entries come first and keep their COM
// names; the devices present take the COM numbers left free, in a stable order.

#include "platform/posix/serial_comm.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "temp_store.h"

using platform::SerialPortEntry;

namespace {

const char* kMappedPty =
    "REGEDIT4\n\n"
    "[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n"
    "\"/dev/pts/7\"=\"COM2\"\n"
    "\"/dev/ttyUSB1\"=\"COM9\"\n";

std::vector<std::pair<std::string, std::string>> Named(const std::vector<std::string>& devices) {
    platform::regedit4::Document doc;
    std::string error;
    EXPECT_TRUE(platform::regedit4::Parse(kMappedPty, doc, error)) << error;
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& v : platform::serialcomm::Values(doc, devices)) {
        out.emplace_back(v.name, std::string(v.value.data.begin(), v.value.data.end() - 1));
    }
    return out;
}

}  // namespace

TEST(SerialCommTest, StoredEntriesComeFirstAndKeepTheirNames) {
    struct Case {
        std::vector<std::string> devices;
        std::vector<std::pair<std::string, std::string>> expected;
    };
    const Case cases[] = {
        {{}, {{"/dev/pts/7", "COM2"}, {"/dev/ttyUSB1", "COM9"}}},
        {{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0"},
         {{"/dev/pts/7", "COM2"},
          {"/dev/ttyUSB1", "COM9"},
          {"/dev/ttyUSB0", "COM1"},
          {"/dev/ttyACM0", "COM3"},
          {"/dev/ttyS0", "COM4"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Named(c.devices), c.expected);
}

TEST(SerialCommTest, PortsAreFoundByTheirComNames) {
    TempStore store;
    store.Write(kMappedPty);
    const std::vector<SerialPortEntry> ports = platform::ListSerialPorts();
    ASSERT_GE(ports.size(), 2u);
    EXPECT_EQ(ports[0].device, "/dev/pts/7");
    EXPECT_EQ(ports[0].comName, "COM2");
    const struct {
        const char* asked;
        const char* device;
    } cases[] = {
        {"COM2", "/dev/pts/7"},       {"com2:", "/dev/pts/7"}, {"COM9:", "/dev/ttyUSB1"},
        {"/dev/ttyS3", "/dev/ttyS3"}, {"COM200", ""},          {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::SerialDeviceForPort(c.asked), c.device) << c.asked;
}

TEST(SerialCommTest, PresentDevicesAreOrderedByFamilyAndNumber) {
    const std::vector<std::string> devices = platform::serialcomm::PresentDevices();
    const auto rank = [](const std::string& d) {
        const int family = d.rfind("/dev/ttyUSB", 0) == 0   ? 0
                           : d.rfind("/dev/ttyACM", 0) == 0 ? 1
                                                            : 2;
        const std::string digits = d.substr(d.find_first_of("0123456789"));
        return std::make_pair(family, std::stol(digits));
    };
    for (size_t i = 1; i < devices.size(); ++i) {
        EXPECT_LT(rank(devices[i - 1]), rank(devices[i])) << devices[i - 1] << " " << devices[i];
    }
}
