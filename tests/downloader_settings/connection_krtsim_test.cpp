// The connection reaches the KRT module simulator with each framing and the configured drop.

#include "downloader/connection.h"
#include "downloader/settings.h"
#include "krtsim_harness.h"
#include "modbus/modbus.h"
#include "platform/ui_headless.h"
#include "settings_fixture.h"

namespace {

constexpr int kDrop = 17;

}  // namespace

using KrtsimConnectionTest = SettingsTest;

TEST_F(KrtsimConnectionTest, ReachesTheModuleWithEachFraming) {
    const struct {
        krtsim::Framing framing;
        const char* name;
    } framings[] = {
        {krtsim::Framing::Tcp, "tcp"},
        {krtsim::Framing::Rtu, "rtu"},
        {krtsim::Framing::Ascii, "ascii"},
    };
    for (const auto& f : framings) {
        SCOPED_TRACE(f.name);
        platform::ui::headless::StartSession("");
        krtsim::KrtSim sim({"--unit", std::to_string(kDrop)});
        ASSERT_TRUE(sim.start(f.framing)) << sim.output();
        LoadDefaultSettings(nullptr);
        linkSettings.drop = kDrop;
        bool opened = false;
        if (f.framing == krtsim::Framing::Tcp) {
            linkSettings.host = "127.0.0.1";
            linkSettings.tcpPort = sim.port();
            opened = OpenTcpConnection();
        } else {
            store.Write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n\"" +
                        sim.devicePath() + "\"=\"COM8\"\n");
            linkSettings.portName = "COM8:";
            linkSettings.ascii = f.framing == krtsim::Framing::Ascii;
            linkSettings.baudIndex = 19;
            opened = OpenSerialConnection();
        }
        ASSERT_TRUE(opened) << platform::ui::headless::Transcript();
        uint16_t value = 0;
        const int32_t result = CurrentConnection->ReadHoldingRegisters(
            2000, static_cast<uint16_t>(linkSettings.drop), 1, 0, &value);
        // Answered at all, with values or an exception: not a time-out.
        EXPECT_NE(CurrentConnection->GetErrorText(), "Modbus Timed Out") << result;
        CloseConnection();
        EXPECT_TRUE(sim.stop());
        const std::vector<krtsim::LoggedRequest> requests = sim.requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].functionCode, 3);
        EXPECT_EQ(requests[0].field("unit"), kDrop);
    }
}
