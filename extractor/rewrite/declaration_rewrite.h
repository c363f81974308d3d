#pragma once

// The declaration pass: inside the data block, every declaration located on the converted
// module (its words %IW, %QW and %KW, its error bit .MOD.ERR, its IODDT objects %CH) becomes an
// unlocated declaration with the address kept in its comment, and the connection to the
// module's data becomes an assignment for the IN or OUT section. Declarations typed with the
// module's IODDTs get the generated channel and module types.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "extractor/loop/module_context.h"
#include "extractor/passes/derived_types.h"
#include "extractor/project/line_files.h"

namespace extractor {

struct DeclarationOutputs {
    LineSink project;
    LineSink inputs;   // assignments for the IN section
    LineSink outputs;  // assignments for the OUT section
    LineSink results;  // warnings
};

class DeclarationPass {
  public:
    DeclarationPass(const ModuleContext& module, const DerivedTypeCatalogue& types,
                    DeclarationOutputs outputs)
        : module_(module), types_(types), out_(std::move(outputs)) {}

    // One line of the data block; it is written, rewritten or replaced.
    void line(std::string_view text);
    // Writes a declaration whose lines are still being read: the data block ended first.
    void flush();

    int inputVariables() const { return inputs_; }
    int outputVariables() const { return outputs_; }
    int channelVariables() const { return channels_; }
    const std::vector<std::string>& channelList() const { return channelList_; }
    const std::vector<std::string>& moduleList() const { return moduleList_; }

  private:
    // A declaration over several lines, read to its end before it is written: where the
    // address goes in its comment depends on whether one of its lines holds a comment.
    struct Spread {
        std::string comment;  // " - " + this goes into its comment; empty: nothing to add
        bool dropOwnInit = false;
        std::vector<std::string> children;
    };

    bool rewriteVariableDecl(std::string_view line, const std::string& pattern,
                             const std::string& tail);
    // A declaration at a channel IODDT word or bit that the code pass converts.
    bool rewriteChannelIoddtDecl(std::string_view line);
    // The declaration without its address, with the address in its comment; `init` the
    // configured value of a %KW declaration.
    void writeUnlocated(std::string_view line, const std::string& address, bool errorBit,
                        std::optional<long> init);
    void writeSpread();
    // How a word of the module reaches a variable of `type`: the conversion function around
    // it, the member of a derived type, and the note the assignment carries.
    struct WordConversion {
        std::string prefix, suffix, note, member;
    };
    WordConversion wordConversion(const std::string& type, const std::string& name,
                                  const std::string& address, bool input);
    // The configured word (KW0 to KW2) a %KW declaration starts with, if it is one of them.
    std::optional<long> configuredValue(const std::string& pattern, const std::string& tail,
                                        const std::string& address) const;
    // The line without the initial value it holds; false when nothing is left to write.
    bool dropOwnInit(std::string& line);
    void warnOutOfRange(std::string_view assignment, const std::string& name,
                        const std::string& address);
    void writeAssignment(std::string_view line, const std::string& pattern, const std::string& tail,
                         const std::string& address, const std::string& name,
                         const std::string& type);

    const ModuleContext& module_;
    const DerivedTypeCatalogue& types_;
    DeclarationOutputs out_;
    std::optional<Spread> spread_;
    bool insideOwnInit_ = false;  // inside the initial value it held, spread over lines
    int inputs_ = 0, outputs_ = 0, channels_ = 0;
    std::vector<std::string> channelList_, moduleList_;
};

}  // namespace extractor
