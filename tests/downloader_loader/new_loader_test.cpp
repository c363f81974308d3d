// Downloads through the block-write loader against the simulated module, checked on the
// module's request log and its memory afterwards.

#include <gtest/gtest.h>

#include "downloader/fixup_list.h"
#include "downloader/md5.h"
#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "loader_fixture.h"
#include "vxo_builder.h"

namespace {

using loader_test::Describe;
using loader_test::MessageBoxLine;

std::vector<uint8_t> DigestOf(const std::string& path) {
    Md5Context context{};
    EXPECT_EQ(DigestFile(context, path), 0);
    return {context.digest, context.digest + 16};
}

// The 8 digest words as the module holds them: each pair of digest bytes, first byte low.
std::vector<uint16_t> DigestWords(const std::vector<uint8_t>& digest) {
    std::vector<uint16_t> words;
    for (size_t i = 0; i < 16; i += 2) {
        words.push_back(static_cast<uint16_t>(digest[i] | digest[i + 1] << 8));
    }
    return words;
}

uint16_t CrcOf(const std::vector<uint16_t>& words) {
    // The CRC word that would close `words`, computed by the builder's own CRC.
    return vxo::CrcWordFor(words);
}

class NewLoaderTest : public loader_test::SimulatorTest {
  protected:
    // An object for the block-write loader, for channel 1.
    static vxo::Builder NewObject() {
        vxo::Builder object;
        object.Text(kKrtVersionBlock, "2");
        return object;
    }
};

// Channel 1 of the default simulated module: code base 0x00100004, data 0x00180000,
// hook 0x001C0000.
constexpr uint32_t kCodeBase1 = 0x00100004;
constexpr uint32_t kDataBase1 = 0x00180000;

TEST_F(NewLoaderTest, SmallObjectEveryRequestAndEveryWord) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("small.vxo");
    vxo::Builder object = NewObject();
    object.Fixups(kCodeFixupBlock, 0x00001000, {2})
        .Fixups(kDataFixupBlock, 0x00002000, {8})
        .Code({0x1111, 0x0000, 0x1234, 0x2222, 0x0000, 0x2010});
    object.WriteTo(path);
    LoadOptionsFor(path, 1);
    loader_test::LogCapture log;

    ASSERT_EQ(RunLoad(), 1) << Transcript();

    EXPECT_EQ(log.Text(), "Vexim Log file, starting load of file " + path + "\n" +
                              "Code block fixups added (1 total)\n"
                              "Data block fixups added (2 total)\n"
                              "Beginning load\n"
                              "Reading target for Status Register\n"
                              "\tStatus Register is 1\n"
                              "LoadFileNew\n"
                              "Checking App\n"
                              "Erasing\n"
                              "8 words loaded successfully.\n");
    const std::vector<std::string> expected = {
        "20 file=128 length=2 record=532",  // serial number
        "3 count=10 start=8176",            // module name
        "66 ch=1 sub=16",                   // application space size
        "3 count=1 start=35",               // write protection
        "3 count=1 start=41",               // status register number
        "3 count=1 start=33",               // run register number
        "3 count=1 start=32",               // stop: run register R - 1
        "6 addr=32 value=65280",            // channel 1's byte cleared
        "6 addr=41 value=1",                // status register for the halt wait
    };
    const auto requests = Requests();
    ASSERT_GE(requests.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Describe(requests[i]), expected[i]) << i;
    }
    // The halt wait reads input register 0 until bit 15 clears; only then is the flash erased
    // under the program.
    size_t next = expected.size();
    while (next < requests.size() && requests[next].functionCode == 4) {
        EXPECT_EQ(Describe(requests[next]), "4 count=1 start=0");
        ++next;
    }
    ASSERT_LT(next + 1, requests.size());
    EXPECT_EQ(Describe(requests[next]), "66 ch=1 sub=0");        // erase
    EXPECT_EQ(Describe(requests[next + 1]), "66 ch=1 sub=112");  // block bases
    next += 2;
    const std::vector<uint16_t> payload = object.PayloadWords();  // 6 code words + CRC word
    const uint32_t codeDelta = kCodeBase1 - 0x1000;
    const uint32_t dataDelta = kDataBase1 - 0x2000;
    std::vector<uint16_t> relocated = payload;
    const uint32_t code = (0x0000u << 16 | 0x1234u) + codeDelta;
    relocated[1] = static_cast<uint16_t>(code >> 16);
    relocated[2] = static_cast<uint16_t>(code);
    const uint32_t data = (0x0000u << 16 | 0x2010u) + dataDelta;
    relocated[4] = static_cast<uint16_t>(data >> 16);
    relocated[5] = static_cast<uint16_t>(data);
    const std::vector<std::string> tail = {
        "66 addr=4 ch=1 count=7 sub=32",   // payload
        "66 addr=18 ch=1 count=1 sub=32",  // CRC word of the relocated payload
        "66 addr=20 ch=1 count=8 sub=32",  // digest
        "3 count=1 start=34",              // auto-start byte
        "6 addr=34 value=255",
        "66 addr=0 ch=1 count=2 sub=32",  // loaded length
        "3 count=1 start=34",             // restart
        "3 count=1 start=32",
        "6 addr=32 value=65535",
    };
    ASSERT_EQ(requests.size(), next + tail.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        EXPECT_EQ(Describe(requests[next + i]), tail[i]) << i;
    }
    EXPECT_EQ(requests[next].values(), relocated);
    const uint16_t crc = CrcOf(relocated);
    EXPECT_EQ(requests[next + 1].values(), std::vector<uint16_t>{crc});
    EXPECT_EQ(requests[next + 2].values(), DigestWords(DigestOf(path)));
    EXPECT_EQ(requests[next + 5].values(), (std::vector<uint16_t>{0, 8}));

    const std::vector<uint16_t> flash = Dump().channelFlash(1);
    std::vector<uint16_t> stored = {0, 8};
    stored.insert(stored.end(), relocated.begin(), relocated.end());
    stored.push_back(crc);
    const auto digest = DigestWords(DigestOf(path));
    stored.insert(stored.end(), digest.begin(), digest.end());
    ASSERT_GT(flash.size(), stored.size());
    EXPECT_EQ(std::vector<uint16_t>(flash.begin(), flash.begin() + stored.size()), stored);
    EXPECT_EQ(flash[stored.size()], 0xFFFF);  // nothing written past the digest
    EXPECT_EQ(TranscriptLines("status").back(), "status \"8 words loaded successfully.\"");
    EXPECT_EQ(historyAdds_, 1);
}

// Requests of a load, described, in order.
std::vector<std::string> Described(const std::vector<krtsim::LoggedRequest>& requests) {
    std::vector<std::string> described;
    for (const auto& request : requests) {
        described.push_back(Describe(request));
    }
    return described;
}

bool Contains(const std::vector<std::string>& described, const std::string& request) {
    return std::find(described.begin(), described.end(), request) != described.end();
}

TEST_F(NewLoaderTest, F1HasNoProgramToStopAndKeepsTheByteLength) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("f1.vxo");
    // One byte past an even application length: no question, the byte is not sent.
    NewObject().Code(vxo::CountingWords(10)).Trailing({0x77}).ApplicationLength(22).WriteTo(path);
    LoadOptionsFor(path, 10);
    ASSERT_EQ(RunLoad("answer Yes\n"), 1);
    const auto described = Described(Requests());
    for (const std::string& request : described) {
        EXPECT_EQ(request.rfind("3 ", 0) == 0 && request != "3 count=10 start=8176" &&
                      request != "3 count=1 start=35",
                  false)
            << request;  // no run, status or auto-start register is touched
        EXPECT_EQ(request.rfind("6 ", 0), std::string::npos) << request;
    }
    EXPECT_TRUE(Contains(described, "66 ch=10 sub=0"));
    const std::vector<uint16_t> flash = Dump().channelFlash(10);
    EXPECT_EQ(flash[0], 0);
    EXPECT_EQ(flash[1], 22);  // the object's length in bytes, not the words written
    EXPECT_EQ(flash[2 + 10], vxo::CrcWordFor(vxo::CountingWords(10)));
    EXPECT_EQ(TranscriptLines("msgbox").size(), 1u);  // "Application 2 is selected" only
}

TEST_F(NewLoaderTest, RamObjectGoesToRamUnlessFlashIsForced) {
    for (const bool forced : {false, true}) {
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
        const std::string path = TempPath("ram.vxo");
        NewObject().Text(kNoFlashBlock, "1").Code(vxo::CountingWords(4)).WriteTo(path);
        LoadOptionsFor(path, 1);
        loadOptions.forceFlash = forced;
        ASSERT_EQ(RunLoad(), 1);
        const auto described = Described(Requests());
        EXPECT_TRUE(Contains(described, forced ? "66 ch=1 sub=0" : "66 ch=1 sub=64")) << forced;
        EXPECT_TRUE(Contains(
            described, forced ? "66 addr=4 ch=1 count=5 sub=32" : "66 addr=4 ch=1 count=5 sub=96"))
            << forced;
        const auto dump = Dump();
        EXPECT_EQ((forced ? dump.channelFlash(1) : dump.channelRam(1))[2], 0x1000) << forced;
        ASSERT_TRUE(sim_->stop());
    }
}

// Without Auto Start nobody stops the program: the load asks before it erases under the program
// that still runs, goes on as the user answers, and neither stops nor starts it.
TEST_F(NewLoaderTest, WithoutAutoStartTheProgramIsLeftAlone) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("plain");
    NewObject().Code(vxo::CountingWords(4)).WriteTo(path + ".vxo");
    LoadOptionsFor(path, 2);
    loadOptions.autoStart = 0;
    ASSERT_EQ(RunLoad("answer Yes\nanswer Yes\n"), 1);
    EXPECT_EQ(loadOptions.fileName, path + ".vxo");  // the default extension was added
    const auto described = Described(Requests());
    EXPECT_FALSE(Contains(described, "6 addr=32 value=255"));
    EXPECT_FALSE(Contains(described, "6 addr=32 value=65280"));
    EXPECT_TRUE(Contains(described, "6 addr=34 value=0"));  // channel 2's auto-start byte cleared
    // The program still running is asked about before its flash is erased (load_outcome_test).
    EXPECT_EQ(TranscriptLines("msgbox").back(),
              MessageBoxLine("File loader",
                             "The program on channel 2 is running, and with Auto Start off this "
                             "download does not stop it.\n\r\n\rErase application space 2 "
                             "under the running program?",
                             "Yes"));
    EXPECT_EQ(Dump().holding(32), 0xFFFF);  // neither program stopped
}

TEST_F(NewLoaderTest, ModuleWithoutAutoStartWarns) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--no-autostart"}));
    const std::string path = TempPath("object.vxo");
    NewObject().Code(vxo::CountingWords(4)).WriteTo(path);
    LoadOptionsFor(path, 1);
    ASSERT_EQ(RunLoad(), 1);
    const auto status = TranscriptLines("status");
    ASSERT_GE(status.size(), 2u);
    EXPECT_EQ(status[status.size() - 2], "status \"WARNING: Module not equipped for Auto Start.\"");
    EXPECT_EQ(Dump().holding(32), 0xFF00);  // stopped and not started again
}

TEST_F(NewLoaderTest, RunRegisterOutOfRangeIsRepairedAndIgnoredHaltClearsIt) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--reg", "33=5000", "--status-stuck", "1"}));
    const std::string path = TempPath("object.vxo");
    NewObject().Code(vxo::CountingWords(4)).WriteTo(path);
    LoadOptionsFor(path, 1);
    ASSERT_EQ(RunLoad("", true), 1);
    EXPECT_EQ(loadOptions.runRegister, 33);
    const auto described = Described(Requests());
    const std::vector<std::string> registers = {"3 count=1 start=33", "6 addr=33 value=33",
                                                "6 addr=33 value=0"};
    EXPECT_NE(std::search(described.begin(), described.end(), registers.begin(), registers.end()),
              described.end());
    for (const auto& request : Requests()) {
        EXPECT_NE(request.functionCode, 4);  // no halt wait
    }
    EXPECT_TRUE(TranscriptLines("msgbox").empty());
}

TEST_F(NewLoaderTest, StatusRegisterTheModuleCannotNameFallsBackByChannel) {
    for (const int16_t channel : {1, 2}) {
        const std::string address = std::to_string(40 + channel);
        ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--reg", address + "=0"}));
        const std::string path = TempPath("object.vxo");
        NewObject().Code(vxo::CountingWords(4)).WriteTo(path);
        LoadOptionsFor(path, channel);
        ASSERT_EQ(RunLoad("answer Yes\n"), 1);
        const auto described = Described(Requests());
        EXPECT_TRUE(
            Contains(described, "6 addr=" + address + " value=" + std::to_string(2 * channel - 1)))
            << channel;
        EXPECT_EQ(loadOptions.statusRegister, 0);  // the setting keeps asking the module
        ASSERT_TRUE(sim_->stop());
    }
}

TEST_F(NewLoaderTest, WithoutLoadOnlyEraseAndStop) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    LoadOptionsFor(TempPath("never-opened.vxo"), 1);
    loadOptions.loadProgram = 0;
    ASSERT_EQ(RunLoad(), 1);
    EXPECT_EQ(TranscriptLines("status").back(), "status \"Application space 1 erased.\"");
    const auto described = Described(Requests());
    EXPECT_TRUE(Contains(described, "6 addr=32 value=65280"));  // stopped
    for (const auto& request : Requests()) {
        EXPECT_FALSE(request.functionCode == 21 && request.field("record") > 0);
    }
    EXPECT_EQ(Dump().holding(32), 0xFF00);
}

// An object shorter than its application block says, with a relocation in its last word: the
// held-back word still goes out, and no empty write is made.
TEST_F(NewLoaderTest, CarryAtTheEndIsSentNotLost) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("short.vxo");
    NewObject()
        .Fixups(kCodeFixupBlock, 0, {198})
        .Code(vxo::CountingWords(100))
        .WithoutCrcWord()
        .ApplicationLength(204)
        .WriteTo(path);
    LoadOptionsFor(path, 1);
    ASSERT_EQ(RunLoad("answer Yes\nanswer Yes\n"), 1) << Transcript();  // length and CRC
    std::vector<std::string> writes;
    for (const auto& request : Requests()) {
        if (request.functionCode == 66 && request.field("sub") == 32) {
            writes.push_back(std::to_string(request.field("addr")) + "/" +
                             std::to_string(request.field("count")));
        }
    }
    EXPECT_EQ(writes, (std::vector<std::string>{"4/99", "202/1", "204/1", "206/8", "0/2"}));
    const std::vector<uint16_t> flash = Dump().channelFlash(1);
    EXPECT_EQ(flash[1], 101);
    EXPECT_EQ(flash[2 + 99], 0x1000 + 99);
    EXPECT_EQ(flash[2 + 100], CrcOf(vxo::CountingWords(100)));
}

// Relocation blocks listed from the highest offset down, the three kinds interleaved in the
// payload and one value relocated by two blocks: the module ends with every value moved by the
// deltas of all the relocations at its offset, whatever order the blocks listed them in.
TEST_F(NewLoaderTest, RelocationsListedTopDownAreEachApplied) {
    constexpr uint32_t kHookBase1 = 0x001C0000;
    constexpr size_t kWords = 1200;
    const uint32_t links[3] = {0x1000, 0x2000, 0x3000};
    const uint32_t deltas[3] = {kCodeBase1 - links[0], kDataBase1 - links[1],
                                kHookBase1 - links[2]};
    std::vector<uint32_t> offsets[3];
    // Values every 4 words, taking turns: code, data, hook; listed from the top down.
    for (size_t value = kWords / 4; value-- > 0;) {
        offsets[value % 3].push_back(static_cast<uint32_t>(value * 8));
    }
    offsets[1].push_back(0);  // the first value is moved by a code and a data relocation
    const std::vector<uint16_t> code = vxo::CountingWords(kWords, 0x0100);
    const std::string path = TempPath("top-down.vxo");
    vxo::Builder object = NewObject();
    object.Fixups(kCodeFixupBlock, links[0], offsets[0])
        .Fixups(kDataFixupBlock, links[1], offsets[1])
        .Fixups(kHookFixupBlock, links[2], offsets[2])
        .Code(code);
    object.WriteTo(path);
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    LoadOptionsFor(path, 1);

    ASSERT_EQ(RunLoad(), 1) << Transcript();

    // The payload is the code and its CRC word; the loader closes it with a CRC of its own.
    std::vector<uint16_t> relocated = object.PayloadWords();
    for (size_t kind = 0; kind < 3; ++kind) {
        for (const uint32_t offset : offsets[kind]) {
            const size_t i = offset / 2;
            const uint32_t value = (uint32_t{relocated[i]} << 16 | relocated[i + 1]) + deltas[kind];
            relocated[i] = static_cast<uint16_t>(value >> 16);
            relocated[i + 1] = static_cast<uint16_t>(value);
        }
    }
    const std::vector<uint16_t> flash = Dump().channelFlash(1);
    ASSERT_GT(flash.size(), 2 + relocated.size());
    EXPECT_EQ(std::vector<uint16_t>(flash.begin() + 2, flash.begin() + 2 + relocated.size()),
              relocated);
    EXPECT_EQ(flash[2 + relocated.size()], CrcOf(relocated));
}

// A text block longer than the reader's buffer is read up to it and the rest passed over; a fixup
// block that is not a list of u32 values is passed over whole.
TEST_F(NewLoaderTest, OversizedAndMalformedBlocksArePassedOver) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("odd-blocks.vxo");
    std::vector<uint8_t> mask = {'K', 'R', 'T'};
    mask.resize(700, 'x');
    vxo::Builder object;
    object.Block(kModuleMaskBlock, std::vector<uint8_t>(mask.begin(), mask.end()))
        .Block(kCodeFixupBlock, {0, 0, 0, 0, 0, 2})
        .Text(kKrtVersionBlock, "2")  // read after both: the block-write loader is used
        .Code({0x0000, 0x0001, 0x0002});
    object.WriteTo(path);
    LoadOptionsFor(path, 1);
    ASSERT_EQ(RunLoad("answer Yes\n"), 1);
    const auto boxes = TranscriptLines("msgbox");
    ASSERT_EQ(boxes.size(), 1u);  // the mask of 511 characters is not in the module name
    EXPECT_NE(boxes[0].find("Mask: KRT" + std::string(508, 'x') + "\\n"), std::string::npos);
    const std::vector<uint16_t> flash = Dump().channelFlash(1);
    const std::vector<uint16_t> payload = object.PayloadWords();
    EXPECT_EQ(std::vector<uint16_t>(flash.begin() + 2, flash.begin() + 6), payload);  // unrelocated
}

class NewLoaderFramingTest : public NewLoaderTest,
                             public ::testing::WithParamInterface<krtsim::Framing> {};

// 199 code words and the CRC word, with a code value at words 98-99: the first chunk of 99 words
// holds word 98 back, so the block writes carry 98, 100 and 2 words.
TEST_P(NewLoaderFramingTest, ValueAtAChunkEdgeIsNeverSplit) {
    ASSERT_TRUE(StartModule(GetParam()));
    const std::string path = TempPath("edge.vxo");
    vxo::Builder object = NewObject();
    std::vector<uint16_t> code = vxo::CountingWords(199, 0x0100);
    code[98] = 0x0000;
    code[99] = 0xFFF0;
    code[150] = 0x0001;
    code[151] = 0x0002;
    object.Fixups(kCodeFixupBlock, 0x00000010, {98 * 2, 150 * 2}).Code(code);
    object.WriteTo(path);
    LoadOptionsFor(path, 1);

    ASSERT_EQ(RunLoad(), 1) << Transcript();

    std::vector<krtsim::LoggedRequest> writes;
    for (const auto& request : Requests()) {
        if (request.functionCode == 66 && request.field("sub") == 32) {
            writes.push_back(request);
        }
    }
    ASSERT_EQ(writes.size(), 6u);  // three chunks, CRC word, digest, length
    const long counts[] = {98, 100, 2, 1, 8, 2};
    const long addresses[] = {4, 200, 400, 404, 406, 0};
    for (size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].field("count"), counts[i]) << i;
        EXPECT_EQ(writes[i].field("addr"), addresses[i]) << i;
    }
    std::vector<uint16_t> relocated = object.PayloadWords();
    const uint32_t delta = kCodeBase1 - 0x10;
    relocated[98] = static_cast<uint16_t>((0xFFF0u + delta) >> 16);
    relocated[99] = static_cast<uint16_t>(0xFFF0u + delta);
    relocated[150] = static_cast<uint16_t>((0x00010002u + delta) >> 16);
    relocated[151] = static_cast<uint16_t>(0x00010002u + delta);
    const std::vector<uint16_t> flash = Dump().channelFlash(1);
    EXPECT_EQ(std::vector<uint16_t>(flash.begin() + 2, flash.begin() + 202), relocated);
    EXPECT_EQ(flash[202], CrcOf(relocated));
    EXPECT_EQ(flash[0], 0);
    EXPECT_EQ(flash[1], 201);  // payload words and the CRC word
    const auto progress = TranscriptLines("progress");
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), "progress 100");
}

INSTANTIATE_TEST_SUITE_P(Framings, NewLoaderFramingTest,
                         ::testing::Values(krtsim::Framing::Tcp, krtsim::Framing::Rtu,
                                           krtsim::Framing::Ascii),
                         loader_test::FramingName);

}  // namespace
