// Writes the seed inputs of vexim's fuzz targets and of the settings store's into the corpus
// folders under the folder given: objects from the tests' object builder, load inputs in the
// loader target's layout, a profile and a settings store as vexim itself writes them, UI scripts
// and command lines. Run it after a change of those formats and check the new seeds in.
//
//   make_vexim_seeds tests/fuzz/corpus

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "downloader/settings.h"
#include "downloader/system_profile.h"
#include "downloader/user_code_format.h"
#include "platform/registry.h"
#include "vxo_builder.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

fs::path corpus;

void Write(const std::string& target, const std::string& name, const Bytes& bytes) {
    const fs::path folder = corpus / target;
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& target, const std::string& name, const std::string& text) {
    Write(target, name, Bytes(text.begin(), text.end()));
}

vxo::Builder ObjectWithEveryBlock() {
    vxo::Builder object;
    object.Text(kMinFirmwareBlock, "01Jan2019")
        .Text(kMaxFirmwareBlock, "31Dec2030")
        .Text(kMinSerialBlock, "1000")
        .Text(kMaxSerialBlock, "9999999")
        .Text(kModuleMaskBlock, "KRT-*")
        .Text(kApplicationNumberBlock, "1")
        .Text(kKrtVersionBlock, "2")
        .Text(kCommentBlock, "pump station")
        .Text(kRevisionBlock, "Pumps 12Mar2024")
        .Fixups(kCodeFixupBlock, 0x00001000, {2, 10})
        .Fixups(kDataFixupBlock, 0x00002000, {20})
        .Fixups(kHookFixupBlock, 0x00003000, {30})
        .Code(vxo::CountingWords(24));
    return object;
}

void ObjectSeeds() {
    Write("vexim_object", "seed-every-block.vxo", ObjectWithEveryBlock().Bytes());
    vxo::Builder raw;
    raw.Raw().Code(vxo::CountingWords(16)).Trailing({0x5A});
    Write("vexim_object", "seed-raw.vxl", raw.Bytes());
    vxo::Builder overrun;
    overrun.Text(kCommentBlock, "cut").BlockWithLength(kRevisionBlock, {'R', ' ', '1'}, 4000);
    overrun.EndAfterBlocks();
    Write("vexim_object", "seed-block-past-end.vxo", overrun.Bytes());
    vxo::Builder unknown;
    unknown.Block(0x0777, {1, 2, 3}).Code(vxo::CountingWords(4)).WithoutCrcWord();
    Write("vexim_object", "seed-unknown-block-bad-crc.vxo", unknown.Bytes());
}

// An input of the loader target (see vexim_load_fuzz.cpp for the layout).
class LoadInput {
  public:
    explicit LoadInput(uint8_t shape) { bytes_.push_back(shape); }
    LoadInput& Declared(uint32_t length) { return U32(length); }
    LoadInput& Fixups(std::vector<std::pair<uint8_t, uint16_t>> fixups, const uint32_t bases[3]) {
        bytes_.push_back(static_cast<uint8_t>(fixups.size()));
        for (int kind = 0; kind < 3; ++kind)
            U32(bases[kind]);
        for (const auto& [kind, wordIndex] : fixups) {
            bytes_.push_back(kind);
            Word(wordIndex);
        }
        return *this;
    }
    LoadInput& Odd(uint8_t byte) {
        bytes_.push_back(byte);
        return *this;
    }
    LoadInput& Code(const std::vector<uint16_t>& words) {
        for (uint16_t word : words)
            Word(word);
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

  private:
    LoadInput& Word(uint16_t word) {
        bytes_.push_back(static_cast<uint8_t>(word));
        bytes_.push_back(static_cast<uint8_t>(word >> 8));
        return *this;
    }
    LoadInput& U32(uint32_t value) {
        Word(static_cast<uint16_t>(value));
        return Word(static_cast<uint16_t>(value >> 16));
    }
    Bytes bytes_;
};

void LoadSeeds() {
    const char* channels[] = {"1", "2", "F1", "F2"};
    const uint32_t bases[3] = {0x00001000, 0x00002000, 0x00003000};
    for (uint8_t channel = 0; channel < 4; ++channel) {
        const std::string name = channels[channel];
        // Block-write loader, one fixup of each kind, started again afterwards.
        Write("vexim_load", "seed-block-write-" + name,
              LoadInput(channel | 0x08 | 0x80)
                  .Fixups({{0, 2}, {1, 6}, {2, 11}}, bases)
                  .Code(vxo::CountingWords(40))
                  .bytes());
        // File-record loader with an odd final byte.
        Write("vexim_load", "seed-file-record-odd-" + name,
              LoadInput(channel | 0x10)
                  .Fixups({}, bases)
                  .Odd(0xAB)
                  .Code(vxo::CountingWords(150))
                  .bytes());
    }
    // A declared length of 0, which record 0 of F1 and F2 would keep as the erase command.
    for (uint8_t channel : {2, 3}) {
        Write("vexim_load", "seed-file-record-declares-0-" + std::string(channels[channel]),
              LoadInput(channel | 0x20)
                  .Declared(0)
                  .Fixups({}, bases)
                  .Code(vxo::CountingWords(8))
                  .bytes());
    }
    // A whole object file with requirement blocks, read against the module.
    Bytes raw = {0x04 | 0x40};
    const Bytes object = ObjectWithEveryBlock().Bytes();
    raw.insert(raw.end(), object.begin(), object.end());
    Write("vexim_load", "seed-object-file-1", raw);
}

void ProfileSeeds() {
    SystemProfile profile;
    profile.fileName = "C:\\Projects\\pump.vxo";
    profile.connectMode = 1;
    profile.host = "192.168.10.20";
    profile.tcpPort = 502;
    profile.portName = "COM3:";
    profile.baudText = "19200";
    profile.parityText = "Even";
    profile.dataBits = 8;
    profile.stopBits = 1;
    profile.drop = 1;
    profile.channel = 10;
    profile.autoStart = 1;
    profile.loadProgram = 1;
    profile.eraseFlash = 1;
    profile.retries = 3;
    profile.timeoutMs = 5000;
    ProfileBytes bytes{};
    if (!EncodeProfile(profile, bytes))
        std::exit(1);
    Write("vexim_profile", "seed-tcp.vxf", Bytes(bytes.begin(), bytes.end()));
    // A record whose size field names another record.
    bytes[0] = 0x34;
    Write("vexim_profile", "seed-other-size.vxf", Bytes(bytes.begin(), bytes.end()));
}

void SettingsSeeds() {
    const fs::path store = fs::temp_directory_path() / "make_vexim_seeds.reg";
    fs::remove(store);
    ::setenv("CALVENTO_REGISTRY", store.c_str(), 1);
    linkSettings = LinkSettings{};
    loadOptions = LoadOptions{};
    linkSettings.portName = "COM3:";
    linkSettings.host = "10.0.0.7";
    linkSettings.tcpPort = 502;
    linkSettings.drop = 1;
    linkSettings.timeoutMs = 5000;
    linkSettings.retries = 3;
    loadOptions.fileName = "C:\\Projects\\pump \"line 2\".vxo";
    loadOptions.channel = 11;
    if (SaveSettings() != 1)
        std::exit(1);
    platform::RegistryKey key;
    key.Create(platform::RegRoot::CurrentUser, "SOFTWARE\\Calvento R&D\\VEXIM\\History");
    const uint8_t record[] = {0x95, 0x05, 'a', 0, 0xFF};
    key.SetBinary("0", record, sizeof record);
    key.SetValue("Expand", platform::RegType::ExpandString, "%TEMP%", 7);
    key.Close();
    std::ifstream in(store, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    WriteText("settings_store", "seed-vexim.reg", text);
    WriteText(
        "settings_store", "seed-serialcomm.reg",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\r\n"
        "\"/dev/pts/3\"=\"COM7\"\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Calvento R&D\\VEXIM]\r\n"
        "\"Channel\"=hex(4):0a,00\r\n\"Timeout\"=dword:7fffffff\r\n@=\"default\"\r\n");
    fs::remove(store);
}

void UiSeeds() {
    WriteText("ui_script", "seed-every-event.txt",
              "# every kind of event once\n"
              "text 11 \"typed \\\"text\\\"\\n\\033\"\n"
              "check 12 1\ncheck 14 1\nselect 15 2\nselect 16 1\nselect 17 0\nselect 22 1\n"
              "tab 19 1\nip 21 10.0.0.7\nkey 0 13\nclick 11\nsize 640 480\nactivate 0\n"
              "activate 1\ndevice remove\nmenu 100\nsyscommand 200\n"
              "command 101\nanswer Yes\ncommand 102\nfile \"/tmp/x.vxo\"\ncommand 102\n"
              "file offered\ncommand 103\npump\npump command 101\nprint cancel\nclose\n");
    WriteText("ui_script", "seed-refused.txt",
              "answer Maybe\ncommand\nselect 15 99\nfile \"unclosed\ntext 11 \"\\q\"\ncommand 1\n");
}

void CommandLineSeeds() {
    WriteText("vexim_command_line", "seed-tcp.txt", "1 sample.vxo 127.0.0.1:502 1 -A");
    WriteText("vexim_command_line", "seed-serial.txt",
              "F1 \"my program\" COM3:19200,E,8,1 -T50 -C3 -N -R40 -S12");
    WriteText("vexim_command_line", "seed-switches.txt",
              "/Fpump.vxo -M9600,N,8,1 -Pplant.vxf -W -B -E");
    const std::string arguments("2\0pump line.vxo\0COM1:\0-U\0", 25);
    WriteText("vexim_command_line", "seed-arguments.bin", arguments);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_vexim_seeds CORPUS_FOLDER\n");
        return 2;
    }
    corpus = argv[1];
    ObjectSeeds();
    LoadSeeds();
    ProfileSeeds();
    SettingsSeeds();
    UiSeeds();
    CommandLineSeeds();
    return 0;
}
