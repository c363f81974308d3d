#pragma once

// The converted module's configuration as its block in the project stores it: the topological
// address, the three configuration words after "<paramKW>", and after "<paramKPW>" the service
// file's stored name (its length, then one character per value line) and its words (their
// count, then one word per value line). Each value line holds its value in hexadecimal.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "extractor/loop/conversion_state.h"
#include "extractor/loop/module_context.h"

namespace extractor {

struct ServiceFile {
    std::string storedName;  // as configured, folders and all
    std::vector<uint16_t> words;
};

class ModuleConfigReader {
  public:
    enum class Step {
        Nothing,
        ServiceFileRead,  // serviceFile() is complete
        Malformed,        // error() says what
    };

    // One line of the converted module's block. `state` moves through the reading states;
    // `module` gets the address and the configuration words.
    Step line(std::string_view text, LoopState& state, ModuleContext& module);

    const ServiceFile& serviceFile() const { return file_; }
    const std::string& error() const { return error_; }

  private:
    Step malformed(std::string what);

    ServiceFile file_;
    long nameLeft_ = 0;
    long wordsLeft_ = 0;
    int wordLinesRead_ = -1;  // configuration words read after "<paramKW>"; -1: none expected
    std::string error_;
};

// The service file as text lines: each record two empty lines, "#CMD#", then its service code,
// word count and data words as "#0x" + four upper-case hexadecimal digits + "#".
std::vector<std::string> serviceFileLines(const std::vector<uint16_t>& words);

// The stored name reduced to a plain file name: the text after its last folder separator.
// Empty when Windows would not take it as a file name (empty, "." or "..", a drive, a device
// name, or one of the characters " * : < > ? | or a control character).
std::string plainServiceFileName(std::string_view storedName);

}  // namespace extractor
