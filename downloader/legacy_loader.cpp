#include "downloader/legacy_loader.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "downloader/channel_control.h"
#include "downloader/flash_image.h"
#include "downloader/load_outcome.h"
#include "downloader/loader_ui.h"

namespace {

constexpr uint16_t kCommandRegister = 8173;
constexpr uint16_t kUpperPartFile = 1792;  // channel 2's words above 65535; capability record
constexpr int32_t kLargestLowerObject = 0x1FFFC;
constexpr int32_t kLowerPartBytes = 0x20000;
constexpr uint32_t kRecordWords = 100;
// An odd final byte becomes a word whose missing byte is left as erased flash holds it.
constexpr uint8_t kPadByte = 0xFF;

uint16_t ChannelFile(int16_t channel) {
    return static_cast<uint16_t>(channel * 256);
}

class LegacyLoader {
  public:
    explicit LegacyLoader(LoadJob& job) : job_(job), file_(ChannelFile(loadOptions.channel)) {}

    int32_t Run();

  private:
    bool Erase();
    bool CheckCapability();
    bool Transfer();
    bool WriteRecords(uint16_t file, uint16_t record, uint32_t count, const uint16_t* words);
    bool StoreLength();

    LoadJob& job_;
    uint16_t file_;
    uint32_t total_ = 0;
};

// Record 0 keeps the word count modulo 65536 (channels 1 and 2) or the byte length (F1, F2), and
// a one-word 0 there is the module's erase command: a length that would be stored as 0 would
// erase the words just loaded while the load reports success.
bool LengthCanBeStored(const LoadJob& job) {
    const bool words = HasProgram(loadOptions.channel);
    const long length = words ? job.sendBytes / 2 : job.fileLength;
    if (length % 65536 != 0) {
        return true;
    }
    RefuseLoad("Application length of %ld %s cannot be stored by the module.", length,
               words ? "words" : "bytes");
    return false;
}

// F1 and F2 are the module's flash files of 4096 words, record 0 of which keeps the length:
// the fixed space that serves the other channels is far larger than what they hold, and a
// transfer that runs past their end fails only after the erase.
bool FitsFlashFile(const LoadJob& job) {
    constexpr long kFlashChannelBytes = 2 * (static_cast<long>(kFlashFileWords) - 1);
    if (HasProgram(loadOptions.channel) ||
        std::max<long>(job.fileLength, job.sendBytes) <= kFlashChannelBytes) {
        return true;
    }
    RefuseLoad("Application file is too large for space.");
    return false;
}

int32_t LegacyLoader::Run() {
    const bool load = loadOptions.loadProgram != 0;
    // Everything that may refuse the load comes first; then the program is stopped, and has
    // halted, before its flash is erased or written under it.
    if ((load && (!LengthCanBeStored(job_) || !FitsFlashFile(job_) || !CheckCapability())) ||
        LoadSteps::Stopped() || !StopChannelProgram(job_) || !ConfirmHalt(job_) || !Erase() ||
        LoadSteps::Stopped()) {
        return 0;
    }
    if (load) {
        SetStatusText("Transferring file");
        if (!Transfer() || LoadSteps::Stopped() || !StoreAutoStartByte(job_.steps) ||
            !StoreLength() || !RestartChannelProgram(job_)) {
            return 0;
        }
    }
    FinishLoad(FinalStatus(total_, job_.changes));
    return 1;
}

bool LegacyLoader::Erase() {
    if (!loadOptions.eraseFlash) {
        return true;
    }
    if (LoadSteps::Stopped()) {
        return false;
    }
    SetStatusText("Erasing");
    const int16_t channel = loadOptions.channel;
    const uint32_t timeout = EraseTimeout();
    // The space is erased as far as the module may have carried out an erase request.
    auto erase = [&](auto request) {
        const bool done = job_.steps.Run(request);
        if (done || job_.steps.MayHaveActed()) {
            job_.changes.space = ChannelChanges::Space::kErased;
        }
        return done;
    };
    auto command = [&](uint16_t value) {
        return erase([&](ModBus& link) {
            return link.WriteRegister(timeout, RequestUnit(), kCommandRegister, value);
        });
    };
    if (channel == 2) {
        if (!command(static_cast<uint16_t>(0xB0B0 + 0x0101 * channel))) {
            return false;
        }
        if (job_.spaceBytes > kLowerPartBytes && !command(0xB3B3)) {
            return false;
        }
    } else {
        const uint16_t zero = 0;
        if (!erase([&](ModBus& link) {
                return link.WriteFileRecord(timeout, RequestUnit(), file_, 1, 0, &zero);
            })) {
            return false;
        }
    }
    uint16_t first = 0;
    if (!job_.steps.Run([&](ModBus& link) {
            return link.ReadFileRecord(timeout, RequestUnit(), file_, 1, 0, &first);
        })) {
        return false;
    }
    if (first != 0xFFFF) {
        job_.changes.space = ChannelChanges::Space::kPartlyErased;
        NoteLoadFailure(
            "ERROR!  Unable to erase application memory block.\n"
            "Check that SW2 is not in \"Mem Prot\"");
        return false;
    }
    return true;
}

bool LegacyLoader::CheckCapability() {
    if (job_.spaceBytes <= kLargestLowerObject) {
        return true;
    }
    uint16_t record[10] = {};
    const bool read = job_.steps.RunQuietly([&](ModBus& link) {
        return link.ReadFileRecord(RequestTimeout(), RequestUnit(), kUpperPartFile, 10, 0, record);
    });
    if (LoadSteps::Stopped()) {
        return false;
    }
    const bool capable =
        read && std::all_of(record, record + 7, [](uint16_t w) { return w == 0xFFFF; });
    if (!capable) {
        RefuseLoad(
            "ERROR!  Connected module does not support application objects longer than "
            "128K words.");
        ErrorBox("First upgrade firmware in module, then load this application.");
    }
    return capable;
}

bool LegacyLoader::Transfer() {
    // Only channel 2 has words above 65535 (in file 1792); no other channel's load may reach
    // them, so its records end at 65535.
    const uint32_t endRecord = loadOptions.channel == 2 ? 2 * 65536 : 65536;
    uint32_t record = 1;
    for (;;) {
        // No request may cross into the next 64K-word part of the space.
        const uint32_t room = std::min<uint32_t>(kRecordWords, 65536 - record % 65536);
        uint8_t bytes[2 * kRecordWords];
        const size_t got = std::fread(bytes, 1, 2 * room, job_.file);
        const uint32_t words = static_cast<uint32_t>((got + 1) / 2);
        if (words == 0) {
            return true;
        }
        if (LoadSteps::Stopped()) {
            return false;
        }
        if (record + words > endRecord) {
            NoteLoadFailure("Application file is too large for space.");
            return false;
        }
        if (got % 2 != 0) {
            bytes[got] = kPadByte;
        }
        uint16_t values[kRecordWords];
        for (uint32_t i = 0; i < words; ++i) {
            values[i] = static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
        }
        const uint16_t file = (record & 0x10000) != 0 ? kUpperPartFile : file_;
        if (!WriteRecords(file, static_cast<uint16_t>(record % 65536), words, values)) {
            return false;
        }
        total_ += words;
        // The bar follows what the module has taken.
        ShowTransferProgress(total_, job_.sendBytes);
        record += words;
        SetStatusText("%d words transmitted.", static_cast<int>(total_));
    }
}

bool LegacyLoader::WriteRecords(uint16_t file, uint16_t record, uint32_t count,
                                const uint16_t* words) {
    if (LoadSteps::Stopped()) {
        return false;
    }
    const bool written = job_.steps.Run([&](ModBus& link) {
        return link.WriteFileRecord(RequestTimeout(), RequestUnit(), file, count, record, words);
    });
    if ((written || job_.steps.MayHaveActed()) &&
        job_.changes.space != ChannelChanges::Space::kLoaded) {
        job_.changes.space = ChannelChanges::Space::kPartlyWritten;
    }
    return written;
}

bool LegacyLoader::StoreLength() {
    // Channels 1 and 2 keep the words written, F1 and F2 the object's length in bytes.
    const uint32_t loaded =
        HasProgram(loadOptions.channel) ? total_ : static_cast<uint32_t>(job_.fileLength);
    const uint16_t length = static_cast<uint16_t>(loaded % 65536);
    if (!WriteRecords(file_, 0, 1, &length)) {
        return false;
    }
    job_.changes.space = ChannelChanges::Space::kLoaded;
    return true;
}

}  // namespace

int32_t LoadFileLegacy(LoadJob& job) {
    return LegacyLoader(job).Run();
}
