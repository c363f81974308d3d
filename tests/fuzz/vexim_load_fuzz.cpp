// vexim's download against the KRT module simulated in this process, on channels 1, 2, F1 and
// F2, through both loaders. The first byte picks the channel and the object's shape:
//
//   bits 0-1  channel 1, 2, F1, F2
//   bit 2     the rest of the input is the object file itself (a damaged object)
//   bit 3     the object asks for the block-write loader (KRT version 2)
//   bit 4     an odd final byte after the payload words
//   bit 5     the application block declares a length of its own (4 bytes follow)
//   bit 6     the load does not wait for the program to halt
//   bit 7     the program is started again after the load
//
// An object built by the tests' own builder is followed by its fixups (a count, a link base for
// each of the three kinds, then kind and word index of each) and its code words. When such a
// load reports success, the module must hold exactly what was sent: the payload with its
// relocations applied behind the two length words (block-write loader), or the payload words
// unrelocated, an odd final byte padded with 0xFF, behind the length record (file-record loader);
// every word after that must still be erased.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "downloader/connection.h"
#include "downloader/load_user_code.h"
#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "krt_module.h"
#include "platform/ui_headless.h"
#include "request_handler.h"
#include "scratch_files.h"
#include "tests/modbus/test_transport.h"
#include "vxo_builder.h"

namespace {

constexpr int kChannels[] = {1, 2, krtsim::kChannelF1, krtsim::kChannelF2};
constexpr size_t kMostCodeWords = 3000;
constexpr uint16_t kErased = 0xFFFF;

// Reads the input front to back; past its end every value is 0.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Low part first; each read is its own statement, so the order does not depend on the
    // compiler.
    uint16_t Word() {
        const uint8_t low = Byte();
        return static_cast<uint16_t>(low | Byte() << 8);
    }
    uint32_t U32() {
        const uint16_t low = Word();
        return low | uint32_t{Word()} << 16;
    }
    size_t Left() const { return size_ - std::min(at_, size_); }
    const uint8_t* Rest() const { return data_ + std::min(at_, size_); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

struct Fixup {
    int kind;  // 0 code, 1 data, 2 hook
    uint32_t wordIndex;
};

// What the built object holds and what the module must hold after a successful load.
struct BuiltObject {
    std::vector<uint8_t> bytes;
    bool blockWrite = false;
    std::vector<uint16_t> payload;  // code words and the CRC word, unrelocated
    std::optional<uint8_t> oddByte;
    uint32_t declaredLength = 0;
    uint32_t linkBase[3] = {};
    std::vector<Fixup> fixups;
};

BuiltObject Build(Input& in, uint8_t shape) {
    BuiltObject object;
    object.blockWrite = (shape & 0x08) != 0;
    const bool odd = (shape & 0x10) != 0;
    const bool declares = (shape & 0x20) != 0;
    const uint32_t declared = declares ? in.U32() : 0;
    const size_t fixupCount = in.Byte() % 9;
    for (uint32_t& base : object.linkBase)
        base = in.U32();
    std::vector<Fixup> wanted;
    for (size_t i = 0; i < fixupCount; ++i)
        wanted.push_back({in.Byte() % 3, in.Word()});
    if (odd)
        object.oddByte = in.Byte();
    std::vector<uint16_t> code;
    while (in.Left() >= 2 && code.size() < kMostCodeWords)
        code.push_back(in.Word());

    vxo::Builder builder;
    if (object.blockWrite)
        builder.Text(kKrtVersionBlock, "2");
    // Each fixup names a 32-bit value inside the code words; two never share a word, so the
    // relocated value does not depend on the order they are applied in.
    std::vector<uint32_t> offsets[3];
    for (const Fixup& fixup : wanted) {
        const bool inside = fixup.wordIndex + 1 < code.size();
        const bool clear =
            std::none_of(object.fixups.begin(), object.fixups.end(), [&](const Fixup& f) {
                return f.wordIndex + 1 >= fixup.wordIndex && fixup.wordIndex + 1 >= f.wordIndex;
            });
        if (inside && clear) {
            object.fixups.push_back(fixup);
            offsets[fixup.kind].push_back(2 * fixup.wordIndex);
        }
    }
    for (int kind = 0; kind < 3; ++kind) {
        if (!offsets[kind].empty())
            builder.Fixups(static_cast<uint16_t>(kCodeFixupBlock + kind), object.linkBase[kind],
                           offsets[kind]);
    }
    builder.Code(code);
    if (object.oddByte)
        builder.Trailing({*object.oddByte});
    object.payload = builder.PayloadWords();
    object.declaredLength =
        declares ? declared : static_cast<uint32_t>(2 * object.payload.size() + (odd ? 1 : 0));
    if (declares)
        builder.ApplicationLength(declared);
    object.bytes = builder.Bytes();
    return object;
}

// The module's answer to each request, as krtsim gives it over a line.
struct InProcessModule {
    krtsim::KrtModule module;
    explicit InProcessModule(const krtsim::ModuleConfig& config) : module(config) {}
    std::optional<Bytes> Answer(const Bytes& pdu) {
        krtsim::HandledRequest handled = krtsim::handleRequest(module, pdu);
        if (handled.reply.empty())
            return std::nullopt;
        return handled.reply;
    }
};

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

// Every word from `from` to the end of the space is still erased.
void CheckErasedFrom(const std::vector<uint16_t>& flash, size_t from) {
    for (size_t i = from; i < flash.size(); ++i)
        Check(flash[i] == kErased);
}

void CheckBlockWriteLoad(const BuiltObject& object, const std::vector<uint16_t>& flash,
                         const krtsim::KrtModule& module, int channel) {
    uint32_t bases[3] = {};
    Check(module.blockBases(channel, bases) == krtsim::kNoException);
    std::vector<uint16_t> relocated = object.payload;
    for (const Fixup& fixup : object.fixups) {
        const uint32_t value =
            (uint32_t{relocated[fixup.wordIndex]} << 16 | relocated[fixup.wordIndex + 1]) +
            (bases[fixup.kind] - object.linkBase[fixup.kind]);
        relocated[fixup.wordIndex] = static_cast<uint16_t>(value >> 16);
        relocated[fixup.wordIndex + 1] = static_cast<uint16_t>(value);
    }
    // Behind the two length words: the relocated payload, the CRC word that closes it and the
    // file's 16-byte digest; nothing after that.
    const size_t first = 2;
    Check(flash.size() >= first + relocated.size() + 1 + 8);
    Check(std::equal(relocated.begin(), relocated.end(), flash.begin() + first));
    Check(flash[first + relocated.size()] == vxo::CrcWordFor(relocated));
    CheckErasedFrom(flash, first + relocated.size() + 1 + 8);
}

void CheckFileRecordLoad(const BuiltObject& object, const std::vector<uint16_t>& flash,
                         int channel) {
    std::vector<uint16_t> words = object.payload;
    if (object.oddByte)
        words.push_back(static_cast<uint16_t>(0xFF00 | *object.oddByte));
    Check(flash.size() >= 1 + words.size());
    // Record 0 keeps the word count (channels 1 and 2) or the declared byte length (F1, F2); a
    // 0 there would have erased the channel.
    const uint32_t length =
        channel <= 2 ? static_cast<uint32_t>(words.size()) : object.declaredLength;
    Check(flash[0] == static_cast<uint16_t>(length % 65536));
    Check(std::equal(words.begin(), words.end(), flash.begin() + 1));
    CheckErasedFrom(flash, 1 + words.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const uint8_t shape = in.Byte();
    const int channel = kChannels[shape & 3];
    const bool rawFile = (shape & 0x04) != 0;
    BuiltObject object;
    if (rawFile) {
        object.bytes.assign(in.Rest(), in.Rest() + in.Left());
    } else {
        object = Build(in, shape);
    }
    const std::string path =
        fuzz::WriteScratchFile("load.vxo", object.bytes.data(), object.bytes.size());

    // The block-write loader asks before it loads a channel other than 1; requirement blocks of
    // a whole object file ask too.
    platform::ui::headless::StartSession("answer Yes\nanswer Yes\nanswer Yes\nanswer Yes\n");
    krtsim::ModuleConfig config;
    config.statusPolls = 0;
    // Spaces that hold the largest object built here and little more: a fresh module per input
    // stays cheap.
    for (auto& [number, space] : config.channels)
        space.spaceBytes = std::min<uint32_t>(space.spaceBytes, 2 * kMostCodeWords + 0x400);
    // Programs halt at once when stopped; a load that does not stop them (no auto start) finds
    // them halted, rather than waiting a second for a program that never stops.
    const bool autoStart = (shape & 0x80) != 0;
    if (!autoStart)
        config.presetRegisters[krtsim::kRunRegisterNumber - 1] = 0;
    InProcessModule module(config);

    linkSettings = LinkSettings{};
    linkSettings.drop = 1;
    linkSettings.timeoutMs = 200;
    linkSettings.retries = 1;
    loadOptions = LoadOptions{};
    loadOptions.fileName = path;
    loadOptions.channel = static_cast<int16_t>(channel);
    loadOptions.autoStart = autoStart;
    loadOptions.eraseFlash = 1;
    loadOptions.loadProgram = 1;
    ConnectionClosed = false;
    DownloadCancelled = false;
    CurrentConnection =
        TestTransport::Open([&module](const Bytes& pdu) { return module.Answer(pdu); });
    const int32_t result = LoadUserCode((shape & 0x40) != 0);
    CloseConnection();

    if (result == 1 && !rawFile) {
        const std::vector<uint16_t>& flash = module.module.flash(channel);
        if (object.blockWrite) {
            CheckBlockWriteLoad(object, flash, module.module, channel);
        } else {
            CheckFileRecordLoad(object, flash, channel);
        }
    }
    return 0;
}
