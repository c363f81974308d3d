#pragma once

// The communication block rewrite in function block diagrams: a block element whose first line
// calls SEND_REQ, READ_VAR or WRITE_VAR is read up to its address pin. When the pin's
// ADDR(...) names the converted module, the pin gets the node number and the block the
// module's replacement type and instance name; a pin wired to a variable gets a warning.

#include <string>
#include <string_view>
#include <vector>

#include "extractor/rewrite/comm_block_rewrite.h"

namespace extractor {

class FbdBlockRewrite {
  public:
    bool active() const { return active_; }

    // Starts on the block's first line when it calls one of the three blocks (as "READ_VAR(" or
    // as the type name alone) and the element
    // goes on past this line; false (nothing kept) otherwise.
    bool start(std::string_view line);

    // A further line of the element. True when the element has been read as far as it needs:
    // `finished` then gets the lines to write, and the last line read goes back to the loop.
    bool feed(std::string_view line, CommRewriteContext& context,
              std::vector<std::string>& finished);
    // The lines kept when the project file ends inside the element.
    std::vector<std::string> flush();
    // The last line read, with its address pin rewritten, once feed returned true.
    const std::string& lastLine() const { return lastLine_; }

  private:
    bool active_ = false;
    CommBlock block_ = CommBlock::SendReq;
    std::size_t callAt_ = 0;
    bool typedOnly_ = false;  // typeName="READ_VAR": the block's pins carry its arguments
    std::vector<std::string> lines_;
    std::string lastLine_;
};

}  // namespace extractor
