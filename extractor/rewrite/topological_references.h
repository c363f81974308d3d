#pragma once

// The code pass: every reference of a program line to the converted module becomes its
// replacement. Configuration words become their values, error bits and the IODDT objects of
// channel and module become members of the module's management variable, and the remaining
// process-data words elements of its device variable. The rules are fixed per module; their
// order is part of the behaviour (a word's rule leaves its bit addresses to the bit rules).

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "extractor/loop/module_context.h"

namespace extractor {

// The member of the module's management variable that the code pass puts for a channel IODDT
// word or bit, "%MW" + rack.slot + suffix (".MOD.2.1" gives ".Channel.CH_FLT"); none for one
// without a rule. The declaration pass gives a declaration at such an address the same member.
std::optional<std::string_view> channelIoddtMember(std::string_view suffix);

// The error bits the code pass takes: "%I" + rack.slot + one of these, each the channel's
// MOD_ERROR.
inline constexpr std::string_view errorBitSuffixes[] = {".MOD.ERR", ".0.ERR"};

class TopologicalReferences {
  public:
    explicit TopologicalReferences(const ModuleContext& module);

    struct Counts {
        int ioddt = 0;   // configuration words, error bits and IODDT objects
        int direct = 0;  // process-data words made device array elements
    };

    // Rewrites the line in place and adds what it replaced to `counts`.
    void rewrite(std::string& line, bool ignoreStrings, Counts& counts) const;

    // The replacement rules in the order they are applied (pattern, replacement).
    const std::vector<std::pair<std::string, std::string>>& rules() const { return rules_; }

  private:
    std::vector<std::pair<std::string, std::string>> rules_;
    // What every pattern of a family starts with, and each rule's family: a line without the
    // start needs none of the family's rules (a replacement never makes a pattern).
    std::vector<std::string> familyStarts_;
    std::vector<std::size_t> ruleFamily_;
    std::string inputPrefix_, inputName_, outputPrefix_, outputName_;
};

}  // namespace extractor
