#include "downloader/user_code_object.h"

#include <optional>
#include <string>

#include "downloader/channel_control.h"
#include "downloader/connection.h"
#include "downloader/fixup_list.h"
#include "downloader/header_blocks.h"
#include "downloader/header_checks.h"
#include "downloader/load_outcome.h"
#include "downloader/load_step.h"
#include "downloader/loader_ui.h"
#include "downloader/log_file.h"
#include "downloader/relocation.h"
#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "modbus/modbus.h"

namespace {

constexpr uint16_t kInfoFile = 128;
constexpr uint16_t kSerialRecord = 532;
constexpr uint16_t kModuleNameRegister = 8176;
constexpr uint16_t kApplicationMarker = 0x6014;
constexpr int32_t kRefused = -1;

const char* const kUnexpectedEnd = "Unexpected end of file, check your application.";

int32_t Refuse(const std::string& text) {
    StopBox(text, "Load Error");
    return kRefused;
}

// Module text: two characters a register, high byte first, ended at a zero byte.
std::string RegisterText(const uint16_t* words, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        for (const uint8_t byte :
             {static_cast<uint8_t>(words[i] >> 8), static_cast<uint8_t>(words[i] & 0xFF)}) {
            if (byte == 0) {
                return text;
            }
            text.push_back(static_cast<char>(byte));
        }
    }
    return text;
}

// Reads the header of one object against the module. Module reads share one attempt counter;
// they retry at once, without pumping.
class HeaderCheck {
  public:
    HeaderCheck(std::FILE* file, UserCodeHeader& header)
        : reader_(file), file_(file), header_(header), attempts_(AttemptsAllowed()) {}

    int32_t Run();

  private:
    bool TakeRawObject();
    bool ReadModule(auto request);
    int32_t ReadBlocks();
    int32_t ReadFixups(uint16_t type, uint32_t length);
    int32_t CheckRevision(const std::string& text);
    int32_t ApplicationBlock(uint32_t length);
    int32_t CheckBlock(uint16_t type, const std::string& text);
    // 0 when the module fits or the user goes on, else kRefused.
    static int32_t Ask(const std::optional<std::string>& question) {
        return !question || AskYesNo(*question) ? 0 : kRefused;
    }

    HeaderBlockReader reader_;
    std::FILE* file_;
    UserCodeHeader& header_;
    int32_t attempts_;
    int32_t serial_ = 0;
    FirmwareIdentity firmware_;
};

// A file without the magic holds no header blocks: a raw object, or no user-code object at all
// (a text file chosen by mistake would be written into the module as code). The user says which;
// an unattended run takes it only when its command line says so.
bool HeaderCheck::TakeRawObject() {
    const std::string& name = loadOptions.fileName;
    if (loadOptions.unattended) {
        if (loadOptions.rawObjects) {
            return true;
        }
        RefuseLoad(
            "%s holds no user-code header.\nAn unattended download loads a file without one, as "
            "a raw object, only with the switch -O.\nNothing was sent to the module.",
            name.c_str());
        return false;
    }
    return AskYesNo(name +
                        " holds no user-code header.\n\rLoaded as a raw object, the whole file "
                        "is written into application space " +
                        ChannelName(loadOptions.channel) +
                        " as code.\n\r\n\rLoad it as a raw object?",
                    "File loader", QuestionDefault::kNo);
}

bool HeaderCheck::ReadModule(auto request) {
    return TryRequest(attempts_, request) >= 0;
}

int32_t HeaderCheck::Run() {
    header_ = {};
    ClearFixups();
    carryPending = false;

    bool complete = false;
    const bool magic = reader_.ReadMagic(complete);
    if (!complete) {
        return Refuse(kUnexpectedEnd);
    }
    if (!magic && !TakeRawObject()) {
        return kRefused;
    }
    uint16_t serialWords[2] = {};
    if (!ReadModule([&](ModBus& link) {
            return link.ReadFileRecord(RequestTimeout(), RequestUnit(), kInfoFile, 2, kSerialRecord,
                                       serialWords);
        })) {
        return Refuse("Timeout during read.");
    }
    serial_ = static_cast<int32_t>(uint32_t{serialWords[0]} << 16 | serialWords[1]);
    if (!magic) {
        // A raw object: the whole file is the payload.
        std::fseek(file_, 0, SEEK_SET);
        return static_cast<int32_t>(reader_.FileSize());
    }
    uint16_t nameWords[10] = {};
    if (!ReadModule([&](ModBus& link) {
            return link.ReadHoldingRegisters(RequestTimeout(), RequestUnit(), 10,
                                             kModuleNameRegister, nameWords);
        })) {
        return Refuse("Timeout during read.");
    }
    firmware_ = SplitModuleName(RegisterText(nameWords, 10));
    return ReadBlocks();
}

bool IsTextBlock(uint16_t type) {
    return (type >= kMinFirmwareBlock && type <= kKrtVersionBlock) || type == kRevisionBlock;
}

int32_t HeaderCheck::ReadBlocks() {
    uint16_t type = 0;
    uint32_t length = 0;
    while (reader_.Next(type, length)) {
        if (type == kApplicationBlock) {
            return ApplicationBlock(length);
        }
        int32_t result = 0;
        if (type == kCodeFixupBlock || type == kDataFixupBlock || type == kHookFixupBlock) {
            result = ReadFixups(type, length);
        } else if (IsTextBlock(type)) {
            std::string text;
            result = reader_.ReadText(text) ? CheckBlock(type, text) : Refuse(kUnexpectedEnd);
        } else if (!reader_.Skip()) {  // comments and blocks the loader does not read
            result = Refuse(kUnexpectedEnd);
        }
        if (result < 0) {
            return kRefused;
        }
    }
    // The file ended before its application block.
    return Refuse(kUnexpectedEnd);
}

int32_t HeaderCheck::ApplicationBlock(uint32_t length) {
    header_.CodeBlock = length;
    for (size_t i = 0; i < FixupCount(); ++i) {
        if (uint64_t{FixupAt(i).offset} + 4 > length) {
            return Refuse("Relocation beyond the end of the object code, check your application.");
        }
    }
    // Held to the i32 range so that the space check refuses an absurd length.
    return length > INT32_MAX ? INT32_MAX : static_cast<int32_t>(length);
}

int32_t HeaderCheck::CheckBlock(uint16_t type, const std::string& text) {
    switch (type) {
        case kMinFirmwareBlock:
            return Ask(MinFirmwareQuestion(firmware_, text));
        case kMaxFirmwareBlock:
            return Ask(MaxFirmwareQuestion(firmware_, text));
        case kMinSerialBlock:
            return Ask(MinSerialQuestion(serial_, text));
        case kMaxSerialBlock:
            return Ask(MaxSerialQuestion(serial_, text));
        case kModuleMaskBlock:
            if (const auto question = ModuleMaskQuestion(text, firmware_.name)) {
                // Cancel goes on as Yes does.
                if (AskYesNoCancel(*question) == QuestionAnswer::kNo) {
                    NoteEndingAnswer(*question, "No");
                    return kRefused;
                }
            }
            return 0;
        case kApplicationNumberBlock:
            if (const auto offer = ApplicationNumberQuestion(loadOptions.channel, text)) {
                const QuestionAnswer answer = AskYesNoCancel(offer->question);
                if (answer == QuestionAnswer::kCancel) {
                    NoteEndingAnswer(offer->question, "Cancel");
                    return kRefused;
                }
                if (answer == QuestionAnswer::kYes) {
                    loadOptions.channel = offer->suggestedChannel;
                }
            }
            return 0;
        case kNoFlashBlock:
            header_.WriteToRam = DecimalValue(text) != 0;
            return 0;
        case kKrtVersionBlock:
            header_.WriteNewMethod = DecimalValue(text) >= 2;
            return 0;
        case kRevisionBlock:
            return CheckRevision(text);
        default:
            return 0;
    }
}

int32_t HeaderCheck::ReadFixups(uint16_t type, uint32_t length) {
    if (length < 4 || length % 4 != 0) {
        // Not a list of u32 values: nothing in it can be trusted, so it is passed over.
        return reader_.Skip() ? 0 : Refuse(kUnexpectedEnd);
    }
    if (!reader_.DataFits()) {
        return Refuse(kUnexpectedEnd);
    }
    uint32_t* base = type == kCodeFixupBlock   ? &codeBase
                     : type == kDataFixupBlock ? &dataBase
                                               : &hookBase;
    const uint32_t fixupType = type == kCodeFixupBlock   ? kCodeFixup
                               : type == kDataFixupBlock ? kDataFixup
                                                         : kHookFixup;
    if (!reader_.ReadU32(*base)) {
        return Refuse(kUnexpectedEnd);
    }
    for (uint32_t i = 1; i < length / 4; ++i) {
        uint32_t offset = 0;
        if (!reader_.ReadU32(offset)) {
            return Refuse(kUnexpectedEnd);
        }
        if (offset % 2 != 0) {
            // A relocated value must start on a word: an odd offset would patch a word pair
            // the linker never meant.
            return Refuse("Relocation at an odd offset, check your application.");
        }
        AddFixup(offset, fixupType);
    }
    const char* kind = type == kCodeFixupBlock ? "Code" : type == kDataFixupBlock ? "Data" : "Hook";
    LogPrintf("%s block fixups added (%d total)\n", kind, static_cast<int>(FixupCount()));
    return 0;
}

int32_t HeaderCheck::CheckRevision(const std::string& text) {
    const uint16_t file = loadOptions.channel == 1 ? 256 : 512;
    uint16_t start[2] = {};
    if (!ReadModule([&](ModBus& link) {
            return link.ReadFileRecord(RequestTimeout(), RequestUnit(), file, 2, 1, start);
        })) {
        return Refuse("Timeout during read.");
    }
    uint16_t nameRecord = 0;
    if (start[1] == kApplicationMarker) {
        nameRecord = 3;
    } else if (start[0] == kApplicationMarker) {
        nameRecord = 2;
    } else {
        return 0;  // the module holds no application to compare with
    }
    const RevisionText loading = SplitRevision(text);
    uint16_t nameWords[10] = {};
    if (!ReadModule([&](ModBus& link) {
            return link.ReadFileRecord(RequestTimeout(), RequestUnit(), file, 10, nameRecord,
                                       nameWords);
        })) {
        return Refuse("Timeout during read.");
    }
    const RevisionText current = SplitRevision(RegisterText(nameWords, 10));
    if (loadOptions.ignoreWarnings) {
        return 0;
    }
    return Ask(RevisionQuestion(current, loading));
}

}  // namespace

int32_t ReadUserCodeHeader(std::FILE* file, UserCodeHeader& header) {
    return HeaderCheck(file, header).Run();
}
