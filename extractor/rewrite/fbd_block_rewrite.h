#pragma once

// The communication block rewrite in block diagrams and ladder rungs: an FFBBlock element of
// SEND_REQ, READ_VAR or WRITE_VAR is read whole. When its ADR pin's ADDR(...) names the
// converted module, the block becomes one of the generated block: its type and instance are
// those the structured-text call gets, its pins go where that rewrite puts the call's
// arguments (comm_block_pins.h) and it gets the IP placeholder. A block whose pins cannot all
// be given their place (a pin wired by a link, an object other than 'PMS', a pin the
// generated block lacks) is left as it is, with a warning naming its section and instance,
// and is not counted; so is a block whose ADR is wired to a variable.

#include <string>
#include <string_view>
#include <vector>

#include "extractor/rewrite/comm_block_rewrite.h"

namespace extractor {

class FbdBlockRewrite {
  public:
    bool active() const { return active_; }

    // Starts on the first line of an FFBBlock element of one of the three blocks when the
    // element goes on past this line; false (nothing kept) otherwise.
    bool start(std::string_view line);

    // A further line of the element. True when the element has been read whole (or its diagram
    // ended first): `finished` then gets the lines to write, and the last line read goes back
    // to the loop.
    bool feed(std::string_view line, CommRewriteContext& context,
              std::vector<std::string>& finished);
    // The lines kept when the project file ends inside the element.
    std::vector<std::string> flush();
    // The last line read, once feed returned true.
    const std::string& lastLine() const { return lastLine_; }

  private:
    // The block's lines as they are to be written: converted, or as they were.
    void convert(CommRewriteContext& context);
    void warn(CommRewriteContext& context, const std::string& why) const;

    bool active_ = false;
    CommBlock block_ = CommBlock::SendReq;
    std::vector<std::string> lines_;
    std::string lastLine_;
};

}  // namespace extractor
