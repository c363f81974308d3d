// krtsim: a KRT module on Modbus/TCP or on a pseudo-terminal (RTU or ASCII), for the
// downloader's tests and demonstrations. Options: krtsim --help.

#include <cstdio>
#include <string>
#include <vector>

#include "krt_module.h"
#include "module_config.h"
#include "slave_server.h"
#include "slave_session.h"
#include "state_dump.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const auto& arg : args)
        if (arg == "--help" || arg == "-h") {
            std::fputs(krtsim::usageText(), stdout);
            return 0;
        }
    std::string error;
    auto config = krtsim::parseArguments(args, error);
    if (!config) {
        std::fprintf(stderr, "krtsim: %s\n%s", error.c_str(), krtsim::usageText());
        return 2;
    }

    krtsim::KrtModule module(config->module);
    krtsim::SlaveSession session(module, *config);
    if (!session.logOpen()) {
        std::fprintf(stderr, "krtsim: cannot write the log %s\n", config->logPath.c_str());
        return 1;
    }
    int sequence = 0;
    krtsim::ServerHooks hooks;
    hooks.signalFd = krtsim::installSignalPipe();
    hooks.dump = [&]() {
        if (!config->dumpPath.empty())
            krtsim::writeDumpFile(config->dumpPath,
                                  krtsim::formatDump(module, ++sequence, session.requestCount()));
    };
    int code = config->mode == krtsim::ServerMode::Tcp ? krtsim::serveTcp(*config, session, hooks)
                                                       : krtsim::servePty(*config, session, hooks);
    hooks.dump();
    return code;
}
