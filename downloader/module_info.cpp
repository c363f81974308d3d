#include "downloader/module_info.h"

#include <cstring>

#include "downloader/connection.h"
#include "downloader/load_step.h"
#include "downloader/log_file.h"
#include "downloader/md5.h"
#include "downloader/settings.h"

namespace {

constexpr uint16_t kApplicationMarker = 0x6014;
constexpr uint16_t kModuleNameRegister = 8176;
constexpr uint16_t kChannel1File = 256;
constexpr uint16_t kChannel2File = 512;
constexpr uint16_t kInfoFile = 128;
constexpr uint16_t kSerialRecord = 532;
const char* const kReadTimeout = "Read Timeout";
// The length words of an erased channel.
constexpr uint32_t kErasedLength = 0xFFFFFFFF;

// One request, one attempt; a short answer counts as failed.
bool ReadOnce(int32_t wanted, auto request) {
    int32_t attempts = 1;
    return TryRequest(attempts, request) >= wanted;
}

std::string WordText(const uint16_t* words, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text.push_back(static_cast<char>(words[i] >> 8));
        text.push_back(static_cast<char>(words[i] & 0xFF));
    }
    return text.substr(0, text.find('\0'));
}

// The name of the application in a channel's space: the marker is the first word of the
// program, at record 1 behind the file-record loader's one length word, or at record 2 behind
// the block-write loader's two.
std::string ApplicationName(uint16_t file) {
    constexpr uint16_t kWords = 13;
    uint16_t words[kWords] = {};
    if (!ReadOnce(kWords, [&](ModBus& link) {
            return link.ReadFileRecord(RequestTimeout(), RequestUnit(), file, kWords, 1, words);
        })) {
        return kReadTimeout;
    }
    if (words[0] == kApplicationMarker) {
        return WordText(words + 1, 10);
    }
    if (words[1] == kApplicationMarker) {
        return WordText(words + 2, 10);
    }
    return "Application header missing";
}

std::string StoredDigest() {
    uint16_t length[2] = {};
    if (!ReadOnce(2, [&](ModBus& link) {
            return link.ExtReadBlock(RequestTimeout(), RequestUnit(), 1, 0, 2, length);
        })) {
        return "Read Timeout(L)";
    }
    const uint32_t loaded = uint32_t{length[0]} << 16 | length[1];
    LogPrintf("Read user code length as %d (%X)\n", static_cast<int>(loaded), loaded);
    if (loaded == kErasedLength) {
        return "no program";  // erased flash: no length, and no digest behind it
    }
    uint16_t words[8] = {};
    if (!ReadOnce(8, [&](ModBus& link) {
            return link.ExtReadBlock(RequestTimeout(), RequestUnit(), 1, loaded * 2 + 4, 8, words);
        })) {
        return "Read Timeout(M)";
    }
    uint8_t digest[16];
    for (int i = 0; i < 8; ++i) {
        digest[2 * i] = static_cast<uint8_t>(words[i] & 0xFF);
        digest[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
    }
    if (FileDigestListed && std::memcmp(digest, FileDigest.digest, sizeof digest) == 0) {
        return "Matched!";
    }
    std::string text;
    char pair[3];
    for (uint8_t byte : digest) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        text += pair;
    }
    return text;
}

}  // namespace

bool QueryModuleInfo(ModuleInfo& info) {
    CloseConnection();
    const bool opened =
        linkSettings.connectMode == kConnectTcp ? OpenTcpConnection() : OpenSerialConnection();
    if (!opened) {
        return false;
    }
    uint16_t name[10] = {};
    info.firmware = ReadOnce(10,
                             [&](ModBus& link) {
                                 return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(),
                                                                  10, kModuleNameRegister, name);
                             })
                        ? WordText(name, 10)
                        : kReadTimeout;
    info.applicationSpace1 = ApplicationName(kChannel1File);
    info.applicationSpace2 = ApplicationName(kChannel2File);
    uint16_t serial[2] = {};
    info.serialNumber =
        ReadOnce(2,
                 [&](ModBus& link) {
                     return link.ReadFileRecord(RequestTimeout(), RequestUnit(), kInfoFile, 2,
                                                kSerialRecord, serial);
                 })
            ? std::to_string(static_cast<int32_t>(uint32_t{serial[0]} << 16 | serial[1]))
            : kReadTimeout;
    info.digest = StoredDigest();
    CloseConnection();
    return true;
}
