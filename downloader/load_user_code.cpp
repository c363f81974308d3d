#include "downloader/load_user_code.h"

#include <cstdio>
#include <memory>

#include "downloader/channel_control.h"
#include "downloader/download_engine.h"
#include "downloader/legacy_loader.h"
#include "downloader/loader_ui.h"
#include "downloader/log_file.h"
#include "downloader/module_services.h"
#include "downloader/user_code_object.h"

namespace {

constexpr uint16_t kHighestStatusRegister = 2080;  // 32 input registers + 2048 holding
constexpr uint16_t kHighestRunRegister = 2048;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

bool ValidChannel(int16_t channel) {
    return channel == 1 || channel == 2 || channel == 10 || channel == 11;
}

// Opens the user-code file as named, else with ".vxo" appended (the option keeps the suffix).
OpenFile OpenUserCode() {
    OpenFile file(std::fopen(loadOptions.fileName.c_str(), "rb"));
    if (!file) {
        loadOptions.fileName += ".vxo";
        file.reset(std::fopen(loadOptions.fileName.c_str(), "rb"));
    }
    if (!file) {
        ErrorBox("Unable to load %s.", loadOptions.fileName.c_str());
    }
    return file;
}

bool ApplicationSpace(LoadSteps& steps, bool newMethod, int32_t& size) {
    if (!newMethod) {
        size = loadOptions.channel == 2 ? 0x3FFFC : 0x1FFFC;
        return true;
    }
    uint32_t bytes = 0;
    if (!steps.Run([&](ModBus& link) {
            return link.ExtRead32(RequestTimeout(), RequestUnit(), loadOptions.channel, &bytes);
        })) {
        return false;
    }
    size = bytes > INT32_MAX ? INT32_MAX : static_cast<int32_t>(bytes);
    return true;
}

bool CheckSpace(int32_t length, int32_t size) {
    switch (IsWriteProtected(loadOptions.channel)) {
        case -1:
            StopBox("Timeout During Read", "Write error");
            return false;
        case 1:
            StopBox("Application space is write protected", "Write error");
            return false;
        default:
            break;
    }
    if (length > size) {
        ErrorBox("Application file is too large for space.");
        return false;
    }
    return true;
}

// The status and run registers of channels 1 and 2, asked of the module when set to 0.
bool ResolveRegisters(LoadSteps& steps, bool ignoreHalt, uint16_t& statusRegister) {
    const int16_t channel = loadOptions.channel;
    if (statusRegister == 0) {
        LogPrintf("Reading target for Status Register\n");
        const uint16_t address = static_cast<uint16_t>(kStatusRegisterBase + channel);
        if (!ReadHoldingStep(steps, address, statusRegister)) {
            return false;
        }
        LogPrintf("\tStatus Register is %d\n", statusRegister);
        if (statusRegister < 1 || statusRegister > kHighestStatusRegister) {
            statusRegister = static_cast<uint16_t>(2 * channel - 1);
        }
    } else {
        LogPrintf("Not reading target for Status Register, it's set to %d\n", statusRegister);
    }
    if (loadOptions.runRegister != 0) {
        return true;
    }
    uint16_t run = 0;
    if (!ReadHoldingStep(steps, kRunRegisterNumberRegister, run)) {
        return false;
    }
    loadOptions.runRegister = run;
    if (run < 1 || run > kHighestRunRegister) {
        loadOptions.runRegister = kRunRegisterNumberRegister;
        if (!WriteHoldingStep(steps, kRunRegisterNumberRegister, kRunRegisterNumberRegister)) {
            return false;
        }
    }
    return !ignoreHalt || WriteHoldingStep(steps, loadOptions.runRegister, 0);
}

}  // namespace

int32_t LoadUserCode(bool ignoreHalt) {
    LoadSteps steps(linkSettings.retries);
    uint16_t statusRegister = loadOptions.statusRegister;
    SetStatusText("Connected");
    LogPrintf("Vexim Log file, starting load of file %s\n", loadOptions.fileName.c_str());
    if (linkSettings.drop < 0) {
        linkSettings.drop = 255;
    }
    if (!ValidChannel(loadOptions.channel)) {
        ErrorBox("Invalid channel %d. Must be 1..2. or F1..F2", loadOptions.channel);
        return 0;
    }
    if (loadOptions.fileName.empty()) {
        ErrorBox("You didn't select a file");
        return 0;
    }
    OpenFile file;
    UserCodeHeader header;
    int32_t length = 0;
    if (loadOptions.loadProgram) {
        file = OpenUserCode();
        if (!file) {
            return 0;
        }
        length = ReadUserCodeHeader(file.get(), header);
        if (length < 0) {
            return 0;
        }
        int32_t size = 0;
        if (!ApplicationSpace(steps, header.WriteNewMethod, size) || !CheckSpace(length, size)) {
            return 0;
        }
    }
    LogPrintf("Beginning load\n");
    if (statusRegister > kHighestStatusRegister) {
        ErrorBox("Invalid status register %d. Must be 1..2080", statusRegister);
        return 0;
    }
    if (loadOptions.runRegister > kHighestRunRegister) {
        ErrorBox("Invalid run control register %d. Must be 1..2048", loadOptions.runRegister);
        return 0;
    }
    if (HasProgram(loadOptions.channel) && !ResolveRegisters(steps, ignoreHalt, statusRegister)) {
        return 0;
    }
    LoadJob job{steps, file.get(), ignoreHalt, statusRegister, length + (length & 1), length};
    if (header.WriteNewMethod) {
        return LoadFileNew(header.WriteToRam && !loadOptions.forceFlash, job, header.CodeBlock);
    }
    return LoadFileLegacy(job);
}
