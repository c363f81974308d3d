#include "downloader/module_services.h"

#include "downloader/comm_config.h"
#include "downloader/connection.h"
#include "downloader/load_step.h"
#include "downloader/settings.h"
#include "modbus/modbus.h"
#include "platform/ui.h"

namespace ui = platform::ui;

std::string moduleName;

namespace {

constexpr uint16_t kIdentityRegister = 8187;
constexpr uint16_t kModuleNameRegister = 8176;
constexpr uint16_t kWriteProtectRegister = 35;
constexpr uint16_t kFlashFiles[2] = {2560, 2816};
constexpr uint16_t kFlashRequestWords = 64;

bool Open() {
    return linkSettings.connectMode == kConnectTcp ? OpenTcpConnection() : OpenSerialConnection();
}

int32_t Once(auto request) {
    int32_t attempts = 1;
    return TryRequest(attempts, request);
}

bool IsKrt(const std::optional<std::string>& name) {
    return name && FindText(*name, "KRT");
}

}  // namespace

std::optional<size_t> FindText(const std::string& text, const std::string& pattern) {
    const size_t position = text.find(pattern);
    if (position == std::string::npos) {
        return std::nullopt;
    }
    return position;
}

std::optional<std::string> IdentifyModule() {
    uint16_t identity = 0;
    if (Once([&](ModBus& link) {
            return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(), 1, kIdentityRegister,
                                             &identity);
        }) < 0 ||
        (identity & 0xFFF0) != 0x9990) {
        return std::nullopt;
    }
    uint16_t words[11] = {};
    if (Once([&](ModBus& link) {
            return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(), 11,
                                             kModuleNameRegister, words);
        }) < 0) {
        return std::nullopt;
    }
    std::string name;
    for (int i = 0; i < 10; ++i) {
        name.push_back(static_cast<char>(words[i] >> 8));
        name.push_back(static_cast<char>(words[i] & 0xFF));
    }
    name.resize(name.find('\0') == std::string::npos ? name.size() : name.find('\0'));
    moduleName = name;
    return name;
}

int32_t IsWriteProtected(int16_t channel) {
    uint16_t bits = 0;
    int32_t attempts = AttemptsAllowed();
    if (TryRequest(attempts, [&](ModBus& link) {
            return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(), 1,
                                             kWriteProtectRegister, &bits);
        }) < 0) {
        return -1;
    }
    const uint16_t mask = channel == 1 ? 0x0002 : channel == 2 ? 0x0008 : 0;
    return (bits & mask) != 0 ? 1 : 0;
}

ModuleJob ConnectModule() {
    if (!Open()) {
        CloseConnection();
        return ModuleJob::kNotOpened;
    }
    ModuleJob outcome = ModuleJob::kFailed;
    const auto name = IdentifyModule();
    if (name && !IsKrt(name)) {
        outcome = ModuleJob::kNotKrt;
    } else if (name) {
        CommConfigBlock block{};
        if (Once([&](ModBus& link) {
                return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(), kCommConfigWords,
                                                 kCommConfigRegister, block.data());
            }) >= 0) {
            commConfig = block;
            outcome = ModuleJob::kDone;
        }
    }
    CloseConnection();
    return outcome;
}

ModuleJob WriteCommConfig(bool& written) {
    written = false;
    if (!Open()) {
        CloseConnection();
        return ModuleJob::kNotOpened;
    }
    ModuleJob outcome = ModuleJob::kNotKrt;
    if (IsKrt(IdentifyModule())) {
        if (Once([&](ModBus& link) {
                return link.WriteRegisters(RequestTimeout(), RequestUnit(), kCommConfigWords,
                                           kCommConfigRegister, commConfig.data());
            }) < 0) {
            const std::string text = CurrentConnection ? CurrentConnection->GetErrorText() : "";
            ui::ShowMessageBox(mainDialogWindow, text, "Connection Error", ui::Buttons::Ok,
                               ui::Icon::Stop);
        } else {
            written = true;
        }
        outcome = ModuleJob::kDone;
    }
    CloseConnection();
    return outcome;
}

bool BackupFlash(FlashImage& image) {
    if (!Open()) {
        CloseConnection();
        return false;
    }
    bool complete = IsKrt(IdentifyModule());
    for (uint16_t offset = 0; complete && offset < kFlashFileWords; offset += kFlashRequestWords) {
        for (size_t part = 0; complete && part < 2; ++part) {
            uint16_t* words = image.data() + part * kFlashFileWords + offset;
            // A short answer would leave words of the image unread: the backup fails.
            complete =
                Once([&](ModBus& link) {
                    return link.ReadFileRecord(RequestTimeout(), RequestUnit(), kFlashFiles[part],
                                               kFlashRequestWords, offset, words);
                }) == kFlashRequestWords;
        }
    }
    CloseConnection();
    return complete;
}

FlashRestore RestoreFlash(const FlashImage& image) {
    if (!Open()) {
        CloseConnection();
        return FlashRestore::kNotWritten;
    }
    if (!IsKrt(IdentifyModule())) {
        CloseConnection();
        return FlashRestore::kNotWritten;
    }
    int32_t attempts = AttemptsAllowed();  // one counter for the whole restore
    // From the first write the module takes on, its flash is no longer what it was.
    bool taken = false;
    bool maybeTaken = false;
    auto write = [&](uint16_t file, uint16_t record, uint32_t count, const uint16_t* words) {
        const bool done = TryRequest(
                              attempts,
                              [&](ModBus& link) {
                                  return link.WriteFileRecord(RequestTimeout(), RequestUnit(), file,
                                                              count, record, words);
                              },
                              &maybeTaken) >= 0;
        taken = taken || done;
        return done;
    };
    const uint16_t zero = 0;
    bool written = write(kFlashFiles[0], 0, 1, &zero) && write(kFlashFiles[1], 0, 1, &zero);
    for (uint16_t offset = 0; written && offset < kFlashFileWords; offset += kFlashRequestWords) {
        for (size_t part = 0; written && part < 2; ++part) {
            written = write(kFlashFiles[part], offset, kFlashRequestWords,
                            image.data() + part * kFlashFileWords + offset);
        }
    }
    CloseConnection();
    if (written) {
        return FlashRestore::kWritten;
    }
    return taken        ? FlashRestore::kPartlyWritten
           : maybeTaken ? FlashRestore::kMaybePartlyWritten
                        : FlashRestore::kNotWritten;
}
