// Module services against the simulated module: flash backup and restore through the image
// file, the communication configuration, identification and write protection.

#include "downloader/module_services.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "downloader/comm_config.h"
#include "downloader/connection.h"
#include "downloader/flash_backup.h"
#include "downloader/settings.h"
#include "loader_fixture.h"
#include "vxo_builder.h"

namespace {

using loader_test::MessageBoxLine;

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ModuleServicesTest : public loader_test::SimulatorTest {
  protected:
    // Loads a raw object of `words` into F1 or F2 through the legacy loader.
    void LoadFlashFile(int16_t channel, const std::vector<uint16_t>& words) {
        const std::string path = TempPath("flash.vxl");
        vxo::Builder().Raw().Code(words).WithoutCrcWord().WriteTo(path);
        LoadOptionsFor(path, channel);
        ASSERT_EQ(RunLoad("answer Yes\n"), 1) << Transcript();  // a raw object, the user says
    }
};

TEST_F(ModuleServicesTest, BackupThenRestoreCarriesBothFlashFiles) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    LoadFlashFile(10, vxo::CountingWords(3000, 0x1000));
    LoadFlashFile(11, vxo::CountingWords(4000, 0x8000));
    const krtsim::StateDump original = Dump();
    const std::string name = TempPath("image");
    std::string written = name;

    ASSERT_TRUE(WithScript("", [&] { return BackupFlashToFile(nullptr, written); }))
        << Transcript();
    EXPECT_EQ(written, name + ".bin");  // the caller learns the name of the file written

    const std::vector<uint8_t> image = FileBytes(name + ".bin");
    ASSERT_EQ(image.size(), 16384u);
    EXPECT_FALSE(std::filesystem::exists(name + ".bin.tmp"));
    const std::vector<uint16_t> f1 = original.channelFlash(10);
    const std::vector<uint16_t> f2 = original.channelFlash(11);
    // Each flash file is 4096 words, and the image holds both in full.
    ASSERT_EQ(f1.size(), 4096u);
    ASSERT_EQ(f2.size(), 4096u);
    for (size_t word = 0; word < f1.size(); ++word) {
        ASSERT_EQ(image[2 * word] << 8 | image[2 * word + 1], f1[word]) << word;
    }
    for (size_t word = 0; word < f2.size(); ++word) {
        ASSERT_EQ(image[8192 + 2 * word] << 8 | image[8192 + 2 * word + 1], f2[word]) << word;
    }

    ASSERT_TRUE(sim_->stop());
    ASSERT_TRUE(StartModule(krtsim::Framing::Rtu));
    ASSERT_TRUE(WithScript("", [&] { return RestoreFlashFromFile(nullptr, name + ".bin"); }))
        << Transcript();
    const krtsim::StateDump restored = Dump();
    EXPECT_EQ(restored.channelFlash(10), f1);
    EXPECT_EQ(restored.channelFlash(11), f2);
    EXPECT_EQ(CurrentConnection, nullptr);
}

TEST_F(ModuleServicesTest, FailedReadWritesNoImage) {
    // Identification takes two requests, then the files are read in turn: request 68 is file
    // 2816 at record 2048.
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--fault", "req=68,do=exception,code=2"}));
    std::string name = TempPath("image.bin");
    EXPECT_FALSE(WithScript("", [&] { return BackupFlashToFile(nullptr, name); }));
    EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                             "Restore flash", "Failed to read flash", "OK")});
    EXPECT_FALSE(std::filesystem::exists(name));
    const auto requests = Requests();
    ASSERT_EQ(requests.size(), 68u);
    EXPECT_EQ(requests.back().field("file"), 2816);
    EXPECT_EQ(requests.back().field("record"), 2048);
}

// Only a file of exactly 16384 bytes is a flash image; any other (a random file, an object)
// is refused before the module is reached, so nothing is written into the flash.
TEST_F(ModuleServicesTest, FileThatIsNotAnImageIsRefusedBeforeConnecting) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    for (const size_t size : {size_t{16383}, size_t{16385}, size_t{20000}}) {
        SCOPED_TRACE(size);
        const std::string path = TempPath("other.bin");
        std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(size, 'x');
        EXPECT_FALSE(WithScript("", [&] { return RestoreFlashFromFile(nullptr, path); }));
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "Restore flash", "Flash image file must be 16384 bytes", "OK")});
    }
    EXPECT_FALSE(WithScript("", [&] { return RestoreFlashFromFile(nullptr, TempPath("none")); }));
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{
                  MessageBoxLine("Restore flash", "Failed to open file for reading", "OK")});
    EXPECT_TRUE(Requests().empty());
}

// A restore that stops part-way says so: the module's flash is no longer the old one.
TEST_F(ModuleServicesTest, RestoreThatFailsPartWaySaysTheFlashIsPartlyRewritten) {
    // Identification takes two requests; then the two record-0 clears and the first block of
    // each file are written. The next block is refused on all three attempts.
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp,
                            {"--fault", "req=7,do=exception,code=4", "--fault",
                             "req=8,do=exception,code=4", "--fault", "req=9,do=exception,code=4"}));
    const std::string path = TempPath("image.bin");
    std::ofstream(path, std::ios::binary) << std::string(16384, '\x22');
    EXPECT_FALSE(WithScript("", [&] { return RestoreFlashFromFile(nullptr, path); }));
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "Restore flash", "Failed to write flash\nThe flash is partly rewritten.", "OK")});
    EXPECT_EQ(Requests().size(), 9u);
    EXPECT_EQ(Dump().channelFlash(10)[0], 0x2222);  // the first block went in
    ASSERT_TRUE(sim_->stop());
    // Not reached or not identified: nothing was written, and the box says no more.
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--identity", "0x9980"}));
    EXPECT_FALSE(WithScript("", [&] { return RestoreFlashFromFile(nullptr, path); }));
    EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                             "Restore flash", "Failed to write flash", "OK")});
}

// "Partly" only once the module has taken a write: a restore refused from its first write leaves
// the flash as it was and says no more than that it failed; one whose first write went
// unanswered (it may have been carried out) says the flash may be partly rewritten.
TEST_F(ModuleServicesTest, RestoreRefusedAtItsFirstWriteLeavesTheFlashAsItWas) {
    const std::string path = TempPath("image.bin");
    std::ofstream(path, std::ios::binary) << std::string(16384, '\x22');
    const struct {
        const char* fault;
        std::string box;
        bool flashKept;
    } cases[] = {
        {"do=exception,code=4", "Failed to write flash", true},
        {"do=noreply", "Failed to write flash\nThe flash may be partly rewritten.", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        // F1 holds a program; the fault meets the restore's writes, from its first on.
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
        LoadFlashFile(10, vxo::CountingWords(100, 0x1000));
        const int restoreFrom = static_cast<int>(Requests().size()) + 1;
        ASSERT_TRUE(sim_->stop());
        ASSERT_TRUE(StartModule(
            krtsim::Framing::Tcp,
            {"--fault", "from=" + std::to_string(restoreFrom) + ",fc=21," + std::string(c.fault)}));
        LoadFlashFile(10, vxo::CountingWords(100, 0x1000));
        const std::vector<uint16_t> before = Dump().channelFlash(10);
        ASSERT_EQ(before[1], 0x1000);
        linkSettings.timeoutMs = 100;

        EXPECT_FALSE(WithScript("", [&] { return RestoreFlashFromFile(nullptr, path); }));

        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine("Restore flash", c.box, "OK")});
        const auto requests = Requests(restoreFrom);
        ASSERT_EQ(requests.size(), 5u);  // identity, name, three attempts at the first write
        EXPECT_EQ(requests[2].field("file"), 2560);
        EXPECT_EQ(requests[2].field("record"), 0);
        EXPECT_EQ(Dump().channelFlash(10) == before, c.flashKept);
        ASSERT_TRUE(sim_->stop());
    }
}

TEST_F(ModuleServicesTest, BackupOfAModuleOfAnotherFamilyFails) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--identity", "0x9980"}));
    std::string name = TempPath("image.bin");
    EXPECT_FALSE(WithScript("", [&] { return BackupFlashToFile(nullptr, name); }));
    EXPECT_FALSE(std::filesystem::exists(name));
    EXPECT_EQ(Requests().size(), 1u);  // the identity word only
}

TEST_F(ModuleServicesTest, CommunicationConfigurationReadAndWritten) {
    ASSERT_TRUE(StartModule(
        krtsim::Framing::Tcp,
        {"--reg", "37=0x8D05", "--reg", "38=0x1100", "--reg", "40=7", "--reg", "45=192", "--reg",
         "46=168", "--reg", "47=1", "--reg", "48=20", "--reg", "62=502", "--reg", "39=0x1234"}));
    ASSERT_EQ(WithScript("", [] { return ConnectModule(); }), ModuleJob::kDone);
    EXPECT_EQ(moduleName, "KRT-2000 03Dec2020  ");  // 20 characters
    EXPECT_EQ(PortDrop(commConfig[kSerialPort1Word]), 5);
    EXPECT_EQ(BaudForCode(PortBaudCode(commConfig[kSerialPort1Word])), 9600u);
    EXPECT_FALSE(PortHasParity(commConfig[kSerialPort1Word]));
    EXPECT_EQ(PortDrop(commConfig[kSerialPort2Word]), 0);
    EXPECT_EQ(BaudForCode(PortBaudCode(commConfig[kSerialPort2Word])), 57600u);
    EXPECT_TRUE(PortHasParity(commConfig[kSerialPort2Word]));
    EXPECT_EQ(AddressFromWords(commConfig, kIpAddressWord), 0xC0A80114u);
    EXPECT_EQ(commConfig[kTcpPortWord], 502);

    commConfig[kSerialPort1Word] = 0x0F09;  // drop 9, 19200, even parity
    AddressToWords(commConfig, kIpAddressWord, 0x0A0A0A0B);
    commConfig[kTcpPortWord] = 1502;
    const CommConfigBlock written = commConfig;
    bool taken = false;
    ASSERT_EQ(WithScript("", [&] { return WriteCommConfig(taken); }), ModuleJob::kDone);
    EXPECT_TRUE(taken);
    EXPECT_TRUE(TranscriptLines("msgbox").empty());
    const krtsim::StateDump dump = Dump();
    for (size_t i = 0; i < kCommConfigWords; ++i) {
        EXPECT_EQ(dump.holding(static_cast<int>(kCommConfigRegister + i)), written[i]) << i;
    }
    EXPECT_EQ(dump.holding(39), 0x1234);  // words not edited go back as read
    EXPECT_EQ(CurrentConnection, nullptr);
}

TEST_F(ModuleServicesTest, ConfigurationOfOtherModules) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--name", "krt-lower 01Jan2020"}));
    EXPECT_EQ(WithScript("", [] { return ConnectModule(); }), ModuleJob::kNotKrt);
    bool taken = true;
    EXPECT_EQ(WithScript("", [&] { return WriteCommConfig(taken); }), ModuleJob::kNotKrt);
    EXPECT_FALSE(taken);
    for (const auto& request : Requests()) {
        EXPECT_NE(request.field("start"), 37);
    }
    ASSERT_TRUE(sim_->stop());
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--identity", "0x9980"}));
    EXPECT_EQ(WithScript("", [] { return ConnectModule(); }), ModuleJob::kFailed);
    EXPECT_EQ(WithScript("", [&] { return WriteCommConfig(taken); }), ModuleJob::kNotKrt);
}

TEST_F(ModuleServicesTest, FailedConfigurationWriteIsShownAndStillDone) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--fault", "fc=16,do=exception,code=3"}));
    bool taken = true;
    EXPECT_EQ(WithScript("", [&] { return WriteCommConfig(taken); }), ModuleJob::kDone);
    EXPECT_FALSE(taken);
    EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                             "Connection Error", "Illegal Data Value", "OK")});
}

TEST_F(ModuleServicesTest, WriteProtectionByChannel) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--protect", "2"}));
    WithScript("", [] { return OpenTcpConnection(); });
    EXPECT_EQ(IsWriteProtected(1), 0);
    EXPECT_EQ(IsWriteProtected(2), 1);
    EXPECT_EQ(IsWriteProtected(10), 0);
    EXPECT_EQ(IsWriteProtected(11), 0);
    const auto identified = IdentifyModule();
    ASSERT_TRUE(identified.has_value());
    EXPECT_EQ(*identified, "KRT-2000 03Dec2020  ");
    CloseConnection();
}

}  // namespace
