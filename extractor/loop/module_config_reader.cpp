#include "extractor/loop/module_config_reader.h"

#include <cstdio>

#include "extractor/project/line_text.h"
#include "extractor/project/topo_address.h"

namespace extractor {

ModuleConfigReader::Step ModuleConfigReader::malformed(std::string what) {
    error_ = std::move(what);
    return Step::Malformed;
}

ModuleConfigReader::Step ModuleConfigReader::line(std::string_view text, LoopState& state,
                                                  ModuleContext& module) {
    switch (state) {
        case LoopState::ModuleHeader:
            state = LoopState::InModule;
            return Step::Nothing;
        case LoopState::InModule:
            if (holds(text, topoAddressKey)) {
                const auto address = parseTopoAddress(text);
                if (!address) {
                    return malformed("Malformed topological address: " + std::string(text));
                }
                module.rack = address->rack;
                module.slot = address->slot;
                state = LoopState::AfterAddress;
            }
            return Step::Nothing;
        case LoopState::AfterAddress:
            if (wordLinesRead_ < 0) {
                if (holds(text, "<paramKW>")) {
                    wordLinesRead_ = 0;
                }
                return Step::Nothing;
            }
            switch (wordLinesRead_++) {
                case 0:
                    module.kw0 = configurationValue(text);
                    break;
                case 1:
                    module.kw1 = configurationValue(text);
                    module.wordCount = module.kw1 == 242 ? 242 : 128;
                    break;
                default:
                    module.kw2 = configurationValue(text);
                    state = LoopState::AfterWords;
                    break;
            }
            return Step::Nothing;
        case LoopState::AfterWords:
            if (holds(text, "<paramKPW>")) {
                state = LoopState::NameLength;
            }
            return Step::Nothing;
        case LoopState::NameLength:
            nameLeft_ = configurationValue(text);
            if (nameLeft_ <= 0) {
                return malformed("The service file name has no characters.");
            }
            state = LoopState::NameCharacters;
            return Step::Nothing;
        case LoopState::NameCharacters: {
            const long code = configurationValue(text);
            if (code < 1 || code > 255) {
                return malformed("The service file name holds the character code " + decimal(code) +
                                 ".");
            }
            file_.storedName.push_back(static_cast<char>(code));
            if (--nameLeft_ == 0) {
                state = LoopState::WordCount;
            }
            return Step::Nothing;
        }
        case LoopState::WordCount:
            wordsLeft_ = configurationValue(text);
            if (wordsLeft_ <= 0) {
                return malformed("The service file has no words.");
            }
            state = LoopState::ServiceWords;
            return Step::Nothing;
        case LoopState::ServiceWords:
            if (wordsLeft_ == 0) {
                return Step::Nothing;  // the rest of the block produces nothing
            }
            file_.words.push_back(static_cast<uint16_t>(configurationValue(text) & 0xFFFF));
            return --wordsLeft_ == 0 ? Step::ServiceFileRead : Step::Nothing;
        default:
            return Step::Nothing;
    }
}

std::vector<std::string> serviceFileLines(const std::vector<uint16_t>& words) {
    std::vector<std::string> lines;
    enum class Record { Code, Count, Data } record = Record::Code;
    long left = 0;
    for (uint16_t word : words) {
        char text[16];
        std::snprintf(text, sizeof text, "#0x%04X#", word);
        switch (record) {
            case Record::Code:
                lines.insert(lines.end(), {"", "", "#CMD#"});
                record = Record::Count;
                break;
            case Record::Count:
                left = word;
                record = word > 0 ? Record::Data : Record::Code;
                break;
            case Record::Data:
                if (--left == 0) {
                    record = Record::Code;
                }
                break;
        }
        lines.emplace_back(text);
    }
    return lines;
}

std::string plainServiceFileName(std::string_view storedName) {
    const std::size_t separator = storedName.find_last_of("\\/");
    const std::string_view name =
        separator == std::string_view::npos ? storedName : storedName.substr(separator + 1);
    if (name.empty() || name == "." || name == "..") {
        return {};
    }
    // Only what Windows itself refuses in a file name: the name is used as a file name and
    // never reaches a command line.
    for (unsigned char c : name) {
        if (c < 0x20 ||
            std::string_view("\"*:<>?|").find(static_cast<char>(c)) != std::string_view::npos) {
            return {};
        }
    }
    // Device names ("NUL", "COM1.svc") open the device, not a file.
    std::string stem = upperCase(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
        if (stem == device) {
            return {};
        }
    }
    if (stem.size() == 4 && (stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) &&
        stem[3] >= '1' && stem[3] <= '9') {
        return {};
    }
    return std::string(name);
}

}  // namespace extractor
