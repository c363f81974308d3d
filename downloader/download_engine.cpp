#include "downloader/download_engine.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "downloader/channel_control.h"
#include "downloader/load_outcome.h"
#include "downloader/loader_ui.h"
#include "downloader/log_file.h"
#include "downloader/md5.h"
#include "downloader/payload_crc.h"
#include "downloader/relocation.h"

namespace {

// 99 words keep a block write with a carried word in front within the 256-byte PDU.
constexpr uint32_t kChunkWords = 99;

// Up to `maxWords` whole words of payload; each word is stored low byte first in the file.
uint32_t ReadWords(std::FILE* file, uint16_t* words, uint32_t maxWords) {
    uint8_t bytes[2 * kChunkWords];
    const size_t got = std::fread(bytes, 1, 2 * maxWords, file);
    const uint32_t count = static_cast<uint32_t>(got / 2);
    for (uint32_t i = 0; i < count; ++i) {
        words[i] = static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    }
    if (got % 2 != 0) {
        std::fseek(file, -1, SEEK_CUR);  // an odd final byte is not part of any word
    }
    return count;
}

// The digest stored in the module is that of the very file being loaded.
bool DigestOpenFile(std::FILE* file, uint8_t digest[16]) {
    const long position = std::ftell(file);
    Md5Context context;
    Md5Init(context);
    std::fseek(file, 0, SEEK_SET);
    uint8_t buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        Md5Update(context, buffer, static_cast<uint32_t>(got));
    }
    const bool complete = !std::ferror(file);
    Md5Final(context);
    std::copy_n(context.digest, 16, digest);
    return complete && std::fseek(file, position, SEEK_SET) == 0;
}

// The payload from the file position to the end: its CRC and its length in whole-word bytes.
void CheckPayload(std::FILE* file, uint16_t& crc, uint32_t& bytes) {
    const long position = std::ftell(file);
    crc = 0xFFFF;
    bytes = 0;
    uint16_t words[kChunkWords];
    uint32_t count = 0;
    while ((count = ReadWords(file, words, kChunkWords)) > 0) {
        crc = PayloadCrc(crc, words, static_cast<int32_t>(count));
        bytes += 2 * count;
    }
    std::fseek(file, position, SEEK_SET);
}

class NewLoader {
  public:
    NewLoader(bool writeToRam, LoadJob& job) : writeToRam_(writeToRam), job_(job) {}

    int32_t Run(uint32_t codeBlock);

  private:
    bool CheckObject(uint32_t codeBlock);
    bool Erase();
    bool ResolveBases();
    bool Transfer();
    bool SendChunk(uint16_t* words, uint32_t count);
    bool WriteBlock(uint32_t address, uint32_t count, const uint16_t* words);
    bool StoreTrailer();

    bool writeToRam_;
    LoadJob& job_;
    uint8_t digest_[16] = {};
    uint32_t wordsSent_ = 0;
    uint32_t address_ = 4;  // the loaded length takes the first two words
    uint16_t crc_ = 0xFFFF;
};

int32_t NewLoader::Run(uint32_t codeBlock) {
    LogPrintf("LoadFileNew\n");
    LogPrintf("Checking App\n");
    const int16_t channel = loadOptions.channel;
    if (loadOptions.loadProgram && !CheckObject(codeBlock)) {
        return 0;
    }
    if (channel > 1 && !AskYesNo(Formatted("Application %s is selected\n\rbut not supported.\n\r"
                                           "Continue anyway?",
                                           ChannelName(channel).c_str()))) {
        return 0;
    }
    // The program is stopped, and has halted, before its flash is erased or written under it.
    if (LoadSteps::Stopped() || !StopChannelProgram(job_) || !ConfirmHalt(job_) || !Erase() ||
        LoadSteps::Stopped()) {
        return 0;
    }
    if (loadOptions.loadProgram) {
        if (!ResolveBases()) {
            return 0;
        }
        SetStatusText("Transferring file");
        if (!Transfer() || !StoreTrailer()) {
            return 0;
        }
    }
    FinishLoad(FinalStatus(wordsSent_, job_.changes));
    return 1;
}

bool NewLoader::CheckObject(uint32_t codeBlock) {
    uint16_t crc = 0;
    uint32_t bytes = 0;
    CheckPayload(job_.file, crc, bytes);
    if (bytes != codeBlock &&
        !AskYesNo(Formatted("Object code is unexpected length.\n\rExpected %d found %d bytes.\n\r"
                            "Continue? (Y/N)\n\r",
                            static_cast<int>(codeBlock), static_cast<int>(bytes)))) {
        return false;
    }
    SetStatusText("Payload CRC is %04X.", crc);
    if (crc != 0 && !loadOptions.ignoreWarnings &&
        !AskYesNo(Formatted("Object code is corrupted.\n\rChecksum = %04X\n\rLoad anyway?", crc))) {
        return false;
    }
    if (!DigestOpenFile(job_.file, digest_)) {
        RefuseLoad("Unable to load %s.", loadOptions.fileName.c_str());
        return false;
    }
    return true;
}

bool NewLoader::Erase() {
    if (!loadOptions.eraseFlash) {
        return true;
    }
    if (LoadSteps::Stopped()) {
        return false;
    }
    LogPrintf("Erasing\n");
    SetStatusText("Erasing");
    const bool erased = job_.steps.Run([&](ModBus& link) {
        return link.ExtCommand(writeToRam_, EraseTimeout(), RequestUnit(), loadOptions.channel);
    });
    if (erased || job_.steps.MayHaveActed()) {
        job_.changes.space = ChannelChanges::Space::kErased;
    }
    return erased;
}

bool NewLoader::ResolveBases() {
    uint32_t bases[3] = {};
    if (!job_.steps.Run([&](ModBus& link) {
            return link.ExtReadBases(RequestTimeout(), RequestUnit(), loadOptions.channel, bases);
        })) {
        return false;
    }
    // The link bases from the file become the amounts each relocated value moves by.
    codeBase = bases[0] - codeBase;
    dataBase = bases[1] - dataBase;
    hookBase = bases[2] - hookBase;
    return true;
}

bool NewLoader::Transfer() {
    uint16_t words[kChunkWords + 1];  // room for a carried word in front
    uint32_t count = 0;
    while ((count = ReadWords(job_.file, words, kChunkWords)) > 0) {
        if (LoadSteps::Stopped()) {
            return false;
        }
        if (!SendChunk(words, ApplyFixups(words, count, wordsSent_))) {
            return false;
        }
    }
    if (carryPending) {
        // The payload ended on a held-back word: it goes out on its own.
        words[0] = carriedWord;
        carryPending = false;
        return SendChunk(words, 1);
    }
    return true;
}

bool NewLoader::SendChunk(uint16_t* words, uint32_t count) {
    crc_ = PayloadCrc(crc_, words, static_cast<int32_t>(count));
    if (count > 0 && !WriteBlock(address_, count, words)) {
        return false;
    }
    wordsSent_ += count;
    // The bar follows what the module has taken.
    ShowTransferProgress(wordsSent_, job_.sendBytes);
    address_ += 2 * count;
    SetStatusText("%d words transmitted.", static_cast<int>(wordsSent_));
    return true;
}

bool NewLoader::WriteBlock(uint32_t address, uint32_t count, const uint16_t* words) {
    if (LoadSteps::Stopped()) {
        return false;
    }
    const bool written = job_.steps.Run([&](ModBus& link) {
        return link.ExtWriteBlock(writeToRam_, RequestTimeout(), RequestUnit(), loadOptions.channel,
                                  address, static_cast<int32_t>(count), words);
    });
    if ((written || job_.steps.MayHaveActed()) &&
        job_.changes.space != ChannelChanges::Space::kLoaded) {
        job_.changes.space = ChannelChanges::Space::kPartlyWritten;
    }
    return written;
}

bool NewLoader::StoreTrailer() {
    if (LoadSteps::Stopped() || !WriteBlock(address_, 1, &crc_)) {
        return false;
    }
    ++wordsSent_;
    address_ += 2;
    uint16_t digestWords[8];
    for (int i = 0; i < 8; ++i) {
        // Each pair of digest bytes is one word, the first byte its low byte.
        digestWords[i] = static_cast<uint16_t>(digest_[2 * i] | digest_[2 * i + 1] << 8);
    }
    if (!WriteBlock(address_, 8, digestWords) || LoadSteps::Stopped() ||
        !StoreAutoStartByte(job_.steps)) {
        return false;
    }
    // Channels 1 and 2 keep the words written, F1 and F2 the object's length in bytes.
    const uint32_t loaded =
        HasProgram(loadOptions.channel) ? wordsSent_ : static_cast<uint32_t>(job_.fileLength);
    const uint16_t length[2] = {static_cast<uint16_t>(loaded >> 16),
                                static_cast<uint16_t>(loaded & 0xFFFF)};
    if (!WriteBlock(0, 2, length)) {
        return false;
    }
    job_.changes.space = ChannelChanges::Space::kLoaded;
    return RestartChannelProgram(job_);
}

}  // namespace

int32_t LoadFileNew(bool writeToRam, LoadJob& job, uint32_t codeBlock) {
    return NewLoader(writeToRam, job).Run(codeBlock);
}
