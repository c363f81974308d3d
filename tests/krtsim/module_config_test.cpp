#include "module_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace krtsim {
namespace {

std::optional<RunConfig> parse(std::vector<std::string> args, std::string* error = nullptr) {
    std::string ignored;
    return parseArguments(args, error ? *error : ignored);
}

TEST(ModuleConfig, ReadsEveryModuleOption) {
    auto config = parse({"--rtu",
                         "--identity",
                         "0x9980",
                         "--name",
                         "KRT-7",
                         "--serial",
                         "-5",
                         "--protect",
                         "2",
                         "--no-autostart",
                         "--old-module",
                         "--status-polls",
                         "0",
                         "--status-stuck",
                         "1",
                         "--halt-ms",
                         "250",
                         "--space",
                         "F2=100",
                         "--bases",
                         "1=1,0x20,3",
                         "--reg",
                         "33=5000",
                         "--unit",
                         "9",
                         "--fault",
                         "req=3,do=split"});
    ASSERT_TRUE(config);
    const ModuleConfig& module = config->module;
    EXPECT_EQ(config->mode, ServerMode::Rtu);
    EXPECT_EQ(module.identity, 0x9980);
    EXPECT_EQ(module.name, "KRT-7");
    EXPECT_EQ(module.serial, -5);
    EXPECT_EQ(module.writeProtectBits, 0x0008);
    EXPECT_FALSE(module.autoStartEquipped);
    EXPECT_TRUE(module.oldModule);
    EXPECT_EQ(module.statusPolls, 0);
    EXPECT_EQ(module.haltMs, 250);
    EXPECT_EQ(module.statusStuck, std::set<int>{1});
    EXPECT_EQ(module.channels.at(kChannelF2).spaceBytes, 100u);
    EXPECT_EQ(module.channels.at(1).dataBase, 0x20u);
    EXPECT_EQ(module.channels.at(1).hookBase, 3u);
    EXPECT_EQ(module.presetRegisters.at(33), 5000);
    EXPECT_EQ(config->unit, 9);
    ASSERT_EQ(config->faults.size(), 1u);
    EXPECT_EQ(config->faults[0].kind, FaultKind::Split);
}

TEST(ModuleConfig, RefusesWhatItCannotSimulate) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--tcp", "127.0.0.1"},
        {"--tcp", "127.0.0.1:70000"},
        {"--rtu", "--name", "a name longer than twenty"},
        {"--rtu", "--protect", "F1"},
        {"--rtu", "--halt-ms", "0"},
        {"--rtu", "--space", "3=10"},
        {"--rtu", "--bases", "1=1,2"},
        {"--rtu", "--reg", "33"},
        {"--rtu", "--identity", "0x10000"},
        {"--rtu", "--frobnicate"},
        {"--rtu", "--serial"},
    };
    for (const auto& args : bad)
        EXPECT_FALSE(parse(args)) << (args.empty() ? "" : args.back());
}

TEST(ModuleConfig, ConfigFileTakesOneOptionALine) {
    // The process id keeps another run of the suite from removing the file under this one.
    std::string path =
        testing::TempDir() + "krtsim-config-test-" + std::to_string(getpid()) + ".conf";
    {
        std::ofstream file(path);
        file << "# demo module\n"
                "tcp 127.0.0.1:1502\n"
                "  name KRT-2000 01Feb2019\r\n"
                "\n"
                "no-autostart\n";
    }
    auto config = parse({"--config", path, "--serial", "77"});
    std::remove(path.c_str());
    ASSERT_TRUE(config);
    EXPECT_EQ(config->mode, ServerMode::Tcp);
    EXPECT_EQ(config->tcpPort, 1502);
    EXPECT_EQ(config->module.name, "KRT-2000 01Feb2019");
    EXPECT_FALSE(config->module.autoStartEquipped);
    EXPECT_EQ(config->module.serial, 77);
}

}  // namespace
}  // namespace krtsim
