#pragma once

// Names the renames give Fennick's code that the project defines already (the IBS set of the
// load-code library imported by hand, a user's own IBS_Manage): the rewritten project then holds
// two definitions of one name and does not build. Both stay, as the rewrite leaves every other
// line; the user is told which names and where, to remove the extra ones by hand.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "converter/conversion/inventory.h"

namespace vornick {

class DefinedNames {
  public:
    // The kinds of name the project defines once each: types (data types and function blocks
    // share their names), the data blocks' variables, the sections.
    enum class Kind { DataType, FunctionBlock, Variable, Section };

    DefinedNames() = default;
    // The DTM names and IP addresses of the inventory are among the names the renames make.
    explicit DefinedNames(const Inventory& inventory);

    // The name a project line defines, if it defines one; read before the renames.
    static std::string definedBy(std::string_view line, bool inDataBlock);

    // Notes the definition the kept line `rewritten` makes (`original`: the name it defined
    // before the renames, from definedBy); `lineNumber` is the line's place in unitpro.xef.
    void note(std::string_view rewritten, const std::string& original, bool inDataBlock,
              int lineNumber);

    // The warning's text, or an empty text when every renamed name is defined once.
    std::string warning() const;

  private:
    struct Definition {
        Kind kind;
        int line;
        std::string name;
        std::string renamedFrom;  // empty when the renames left the name as it was
    };

    // Whether a name the renames left may equal one they made: every name they make holds
    // "IBS" (IBS_..., DIOibs), a DTM name or an IP address. Only those are kept, so that the
    // names of a large project are not all held for the few that can clash.
    bool mayMeetARenamedName(const std::string& folded) const;

    std::vector<std::string> renamedNameParts_{"IBS"};  // upper case
    // By kind of name and upper-case name, in the order first defined.
    std::map<std::pair<int, std::string>, std::vector<Definition>> definitions_;
};

}  // namespace vornick
