#include "downloader/load_user_code.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "downloader/channel_control.h"
#include "downloader/download_engine.h"
#include "downloader/legacy_loader.h"
#include "downloader/load_outcome.h"
#include "downloader/loader_ui.h"
#include "downloader/log_file.h"
#include "downloader/module_services.h"
#include "downloader/user_code_object.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

// Behind the payload the block-write loader writes its CRC word and the file's 16-byte digest.
constexpr int64_t kBlockWriteTrailerBytes = 2 + 16;

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
        RefuseLoad("Unable to load %s.", loadOptions.fileName.c_str());
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

bool CheckWritable() {
    switch (IsWriteProtected(loadOptions.channel)) {
        case -1:
            StopBox("Timeout During Read", "Write error");
            return false;
        case 1:
            StopBox("Application space is write protected", "Write error");
            return false;
        default:
            return true;
    }
}

// The bytes from the file position to the end of the file; the position is kept.
int64_t BytesLeft(std::FILE* file) {
    const long position = std::ftell(file);
    if (position < 0 || std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long end = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return end > position ? end - position : 0;
}

// What the transfer will send: the block-write loader leaves out an odd final byte, the
// file-record loader sends it as a word of its own.
int32_t BytesToSend(std::FILE* file, bool newMethod) {
    const int64_t left = BytesLeft(file);
    const int64_t bytes = newMethod ? left & ~int64_t{1} : (left + 1) & ~int64_t{1};
    return bytes > INT32_MAX - 1 ? INT32_MAX - 1 : static_cast<int32_t>(bytes);
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

// The load itself; LoadUserCode tells how it ended when it did not succeed.
int32_t Load(LoadSteps& steps, ChannelChanges& changes, bool ignoreHalt) {
    uint16_t statusRegister = loadOptions.statusRegister;
    SetStatusText("Connected");
    LogPrintf("Vexim Log file, starting load of file %s\n", loadOptions.fileName.c_str());
    if (linkSettings.drop < 0) {
        linkSettings.drop = 255;
    }
    if (!ValidChannel(loadOptions.channel)) {
        RefuseLoad("Invalid channel %d. Must be 1..2. or F1..F2", loadOptions.channel);
        return 0;
    }
    if (!loadOptions.loadProgram && !loadOptions.eraseFlash) {
        // Neither loading nor erasing, a load would only stop the channel's program.
        RefuseLoad(
            "Load File and Erase Flash are both off: there is nothing to do.\n"
            "Nothing was sent to the module.");
        return 0;
    }
    if (loadOptions.fileName.empty()) {
        RefuseLoad("You didn't select a file");
        return 0;
    }
    OpenFile file;
    UserCodeHeader header;
    int32_t length = 0;
    int32_t sendBytes = 0;
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
        if (!ApplicationSpace(steps, header.WriteNewMethod, size) || !CheckWritable()) {
            return 0;
        }
        // Both loaders send the file to its end, whatever its application block declares: the
        // space must hold what is sent, or the transfer runs into the space after it. The
        // block-write loader also writes its CRC word and the digest behind it; a space that
        // holds the payload alone would be erased and then fail.
        sendBytes = BytesToSend(file.get(), header.WriteNewMethod);
        const int64_t written = int64_t{std::max(length, sendBytes)} +
                                (header.WriteNewMethod ? kBlockWriteTrailerBytes : 0);
        if (written > size) {
            RefuseLoad("Application file is too large for space.");
            return 0;
        }
    } else if (!CheckWritable()) {
        return 0;
    }
    LogPrintf("Beginning load\n");
    if (statusRegister > kHighestStatusRegister) {
        RefuseLoad(kStatusRegisterRefusal, statusRegister);
        return 0;
    }
    if (loadOptions.runRegister > kHighestRunRegister) {
        RefuseLoad(kRunRegisterRefusal, loadOptions.runRegister);
        return 0;
    }
    if (HasProgram(loadOptions.channel) && !ResolveRegisters(steps, ignoreHalt, statusRegister)) {
        return 0;
    }
    const int32_t evenLength = length + (length & 1);
    LoadJob job{steps,     file.get(), ignoreHalt, statusRegister, std::max(evenLength, sendBytes),
                sendBytes, length};
    const int32_t result =
        header.WriteNewMethod
            ? LoadFileNew(header.WriteToRam && !loadOptions.forceFlash, job, header.CodeBlock)
            : LoadFileLegacy(job);
    changes = job.changes;
    return result;
}

}  // namespace

int32_t LoadUserCode(bool ignoreHalt) {
    BeginLoadOutcome();
    LoadSteps steps(linkSettings.retries);
    ChannelChanges changes;
    const int32_t result = Load(steps, changes, ignoreHalt);
    if (result == 0) {
        EndUnsuccessfulLoad(changes);
    }
    return result;
}
